// Pieces shared by the matrix engine's source files.
#pragma once

#include "matrix/matrix.h"

namespace velmora::detail {

// The determinant of rows 1..n and columns 1..n of m (1 when n = 0).
Fraction Determinant(const Matrix& m, int n);
// Elimination steps without the refreshes nobody reads; the callers refresh once.
bool EliminateRowQuiet(Matrix& m, int p, int t);
void RowGcdReduceQuiet(Matrix& m, int i, int64_t& g);
void TriangularQuiet(Matrix& m);

}  // namespace velmora::detail
