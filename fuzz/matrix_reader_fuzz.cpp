// Any text through velmora-calc's matrix reader; a matrix it accepts has its
// brackets paired, goes through the engine, and its printed form reads back
// as the same matrix. The same text through the clipboard's reader: what it
// accepts fits the grid, and copied as a block or as LaTeX it pastes back the
// same; into a grid of polynomial cells, every cell it fills reads as one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/matrix_reader.h"
#include "core/arith/polynomial.h"
#include "core/matrix/matrix.h"
#include "fuzz_check.h"

using velmora::Matrix;

namespace {

void CheckPasted(std::string_view text) {
    constexpr velmora::BlockLimits kGrid{1, 4, 1, 5};
    velmora::TextMatrix cells;
    std::string error;
    if (velmora::ReadPastedCells(text, {2, 4, 3, 5}, true, cells, error)) {
        for (const std::string& cell : cells.texts) {
            velmora::Polynomial p;
            FUZZ_CHECK(velmora::ReadPolynomial(cell, p) == velmora::PolynomialReading::Ok);
        }
    }
    Matrix m;
    if (!velmora::ReadPastedMatrix(text, kGrid, m, error)) {
        FUZZ_CHECK(!error.empty());
        return;
    }
    FUZZ_CHECK(m.rows >= 1 && m.rows <= 4 && m.cols >= 1 && m.cols <= 5);
    Matrix back;
    FUZZ_CHECK(velmora::ReadPastedMatrix(velmora::MatrixTabText(m), kGrid, back, error));
    FUZZ_CHECK(back == m);
    FUZZ_CHECK(velmora::ReadPastedMatrix(velmora::MatrixLatex(m), kGrid, back, error));
    FUZZ_CHECK(back == m);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckPasted(text);
    Matrix m;
    std::string error;
    try {
        if (!velmora::ReadMatrixText(text, m, error)) {
            FUZZ_CHECK(!error.empty());
            return 0;
        }
    } catch (const velmora::ArithmeticOverflow&) {
        return 0;
    }
    FUZZ_CHECK(m.rows >= 1 && m.rows <= 10 && m.cols >= 1 && m.cols <= 10);
    // Brackets, when there are any, are one pair around the whole matrix.
    const std::size_t first = text.find_first_not_of(" ,\t\n\r");
    const std::size_t last = text.find_last_not_of(" ,\t\n\r");
    FUZZ_CHECK((text[first] == '[') == (text[last] == ']'));
    FUZZ_CHECK(text.find_first_of("[]", first + 1) >= last);
    std::string printed = velmora::MatrixText(m);
    for (char& c : printed)
        if (c == '\n') c = ';';
    printed.pop_back();
    Matrix back;
    FUZZ_CHECK(velmora::ReadMatrixText(printed, back, error));
    FUZZ_CHECK(back == m);
    // A rank always fits, whatever the size of the elimination's steps.
    const int rank = velmora::MatrixRank(m);
    FUZZ_CHECK(rank >= 0 && rank <= m.rows && rank <= m.cols);
    try {
        Matrix t;
        m.Triangular(t);
        m.GaussJordan(t);
        if (m.square && !m.DetIsZero()) {
            Matrix inverse;
            FUZZ_CHECK(m.Inverse(inverse));
            Matrix product;
            FUZZ_CHECK(velmora::MatrixProduct(m, inverse, product));
            FUZZ_CHECK(product == Matrix::Identity(m.rows));
        }
    } catch (const velmora::ArithmeticOverflow&) {
    }
    return 0;
}
