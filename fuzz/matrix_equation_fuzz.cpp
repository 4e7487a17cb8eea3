// Any text as an equation over a store of a few matrices: the solver answers
// without touching its output unless it is Ok, and every X it gives
// satisfies the equation (checked by the evaluator with X stored as W).
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/store/evaluator.h"
#include "core/store/expression_text.h"
#include "core/store/matrix_equation.h"
#include "fuzz_check.h"

using velmora::EvalResult;
using velmora::Fraction;
using velmora::Matrix;

namespace {

velmora::MatrixStore MakeStore(const Matrix* x) {
    velmora::MatrixStore store;
    const Matrix matrices[] = {
        Matrix::FromRows({{1, 2}, {3, 4}}),
        Matrix::FromRows({{1, 2}, {2, 4}}),
        Matrix::FromRows({{1, 0, 2}, {-3, 1, Fraction(2, 3)}}),
        Matrix::FromRows({{2, 1, 0}, {1, 3, 1}, {0, 1, 4}}),
        Matrix::FromRows({{7}}),
        Matrix::FromRows({{46341, INT32_MIN}, {Fraction(1, 65536), INT32_MAX}}),
    };
    for (const Matrix& m : matrices) {
        store.store(m, velmora::Description());
        store.setSelected(0);
    }
    // The letters up to W, so that X can stand in the last one.
    while (store.count() < velmora::MatrixStore::kCapacity - 1) {
        store.store(Matrix::FromRows({{0}}), velmora::Description());
        store.setSelected(0);
    }
    if (x) store.store(*x, velmora::Description());
    return store;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    static const velmora::MatrixStore store = MakeStore(nullptr);
    velmora::MatrixEquation q;
    q.x = {9, 9};
    velmora::EvalProblem problem;
    const EvalResult r = velmora::SolveMatrixEquation(text, store, {2, 2}, q, &problem);
    if (r != EvalResult::Ok) {
        FUZZ_CHECK((q.x == velmora::Shape{9, 9}));
        FUZZ_CHECK(!velmora::EvalProblemText(problem).empty());
        return 0;
    }
    velmora::EquationDocument(q);
    velmora::EquationSteps(q);
    Matrix x;
    if (!velmora::SolutionMatrix(q, x)) return 0;
    // Both sides again, X as the letter W.
    const std::size_t eq = text.find('=');
    std::string sides[2] = {text.substr(0, eq), text.substr(eq + 1)};
    const velmora::MatrixStore withX = MakeStore(&x);
    Matrix value[2];
    for (int k = 0; k < 2; ++k) {
        for (char& c : sides[k])
            if (c == 'X' || c == 'x') c = 'W';
        if (sides[k].find_first_not_of(" ") != std::string::npos &&
            sides[k].find_first_not_of(" 0") == std::string::npos)
            return 0;  // a side 0: the evaluator has no zero matrix
        if (velmora::Evaluate(sides[k], withX, value[k]) != EvalResult::Ok) return 0;
    }
    FUZZ_CHECK(value[0] == value[1]);
    return 0;
}
