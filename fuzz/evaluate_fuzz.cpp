// Any text over a store of a few matrices: the evaluator answers without
// touching the result unless it is Ok, refuses texts past the limit whole, and
// agrees with itself: a readable expression in parentheses gives the same
// answer, and with a sign in front its negation.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/store/evaluator.h"
#include "core/store/matrix_store.h"
#include "core/toolkit/strings.h"
#include "fuzz_check.h"

using velmora::EvalResult;
using velmora::Fraction;
using velmora::Matrix;

namespace {

velmora::MatrixStore MakeStore() {
    velmora::MatrixStore store;
    const Matrix matrices[] = {
        Matrix::FromRows({{1, 2}, {3, 4}}),
        Matrix::FromRows({{0, -1}, {Fraction(1, 2), 5}}),
        Matrix::FromRows({{1, 0, 2}, {-3, 1, Fraction(2, 3)}}),
        Matrix::FromRows({{2, 1, 0}, {1, 3, 1}, {0, 1, 4}}),
        Matrix::FromRows({{7}}),
        // Entries at the edge of 32 bits: products leave them, differences may come back.
        Matrix::FromRows({{46341, INT32_MIN}, {Fraction(1, 65536), INT32_MAX}}),
        Matrix::FromRows({{INT32_MIN}}),
    };
    for (const Matrix& m : matrices) {
        store.setSelected(0);
        store.store(m, velmora::Description());
    }
    store.setSelected(0);
    return store;
}

const Matrix kUntouched = Matrix::FromRows({{42}});

EvalResult Run(const std::string& text, Matrix& result) {
    static const velmora::MatrixStore store = MakeStore();
    result = kUntouched;
    const EvalResult r = velmora::Evaluate(text, store, result);
    if (r != EvalResult::Ok) FUZZ_CHECK(result == kUntouched);
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Matrix result;
    const EvalResult r = Run(text, result);
    const std::size_t length = velmora::Utf8Length(text);
    if (length > velmora::kMaxExpressionLength) FUZZ_CHECK(r == EvalResult::Unreadable);
    if (r == EvalResult::Ok) {
        FUZZ_CHECK(result.rows >= 1 && result.rows <= 10 && result.cols >= 1 && result.cols <= 10);
        FUZZ_CHECK(result.square == (result.rows == result.cols));
        for (int i = 1; i <= result.rows; ++i)
            for (int j = 1; j <= result.cols; ++j) FUZZ_CHECK(result.at(i, j).IsNormal());
    }
    if (r == EvalResult::Unreadable || length + 3 > velmora::kMaxExpressionLength) return 0;

    Matrix grouped;
    FUZZ_CHECK(Run("(" + text + ")", grouped) == r);
    if (r != EvalResult::Ok) return 0;
    FUZZ_CHECK(grouped == result);

    Matrix negated;
    const EvalResult n = Run("-(" + text + ")", negated);
    try {
        result.MulFraction(Fraction(-1));
    } catch (const velmora::ArithmeticOverflow&) {
        FUZZ_CHECK(n == EvalResult::Overflow);
        return 0;
    }
    FUZZ_CHECK(n == EvalResult::Ok && negated == result);
    return 0;
}
