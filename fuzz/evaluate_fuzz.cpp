// Any expression of up to 254 characters over a store of a few matrices: the
// evaluator answers, the store keeps its count, and nothing else happens.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/evaluator.h"
#include "app/matrix_store.h"
#include "fuzz_check.h"

using velmora::Description;
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
    };
    for (const Matrix& m : matrices) {
        store.setSelected(0);
        store.store(m, Description());
    }
    store.setSelected(0);
    return store;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > velmora::kMaxExpressionLength) size = velmora::kMaxExpressionLength;
    static velmora::MatrixStore store = MakeStore();
    const int before = store.count();
    Matrix result = Matrix::FromRows({{42}});
    const velmora::EvalResult r =
        velmora::Evaluate(std::string(reinterpret_cast<const char*>(data), size), store, result);
    FUZZ_CHECK(store.count() == before);
    if (r != velmora::EvalResult::Ok) FUZZ_CHECK(result == Matrix::FromRows({{42}}));
    FUZZ_CHECK(result.rows >= 1 && result.rows <= 10 && result.cols >= 1 && result.cols <= 10);
    return 0;
}
