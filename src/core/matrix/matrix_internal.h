// Pieces shared by the matrix engine's source files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/arith/wide.h"
#include "core/matrix/matrix.h"

namespace velmora {
struct StepMatrix;
}  // namespace velmora

namespace velmora::detail {

// The determinant of the n x n matrix m(rowIndex[k], colIndex[k]), k = 0..n-1
// (1 when n = 0). Throws ArithmeticOverflow when it has no 32-bit form.
Fraction Determinant(const Matrix& m, int n, const int* rowIndex, const int* colIndex);
// The determinant of rows 1..n and columns 1..n of m.
Fraction Determinant(const Matrix& m, int n);
// The determinant of rows and columns 1..n as an exact 128-bit rational,
// whatever its size; false when it does not fit 128 bits (or n = 0).
bool WideDeterminant(const Matrix& m, int n, wide::Rational& det);
// The determinant of m without row i and column j (m square).
Fraction MinorDeterminant(const Matrix& m, int i, int j);
// Elimination steps without the refreshes nobody reads; the callers refresh
// once. With a recorder, every row operation is recorded as it is done.
bool EliminateRowQuiet(Matrix& m, int p, int t, StepRecorder* steps = nullptr);
void RowGcdReduceQuiet(Matrix& m, int i, int64_t& g);
void TriangularQuiet(Matrix& m, StepRecorder* steps = nullptr);

// The wide path (exact.cpp, GMP): exact whatever the size of the steps, run
// only after the fast path has overflowed. Each throws ArithmeticOverflow
// only when its answer has no 32-bit form.
Fraction ExactDeterminant(const Matrix& m, int n, const int* rowIndex, const int* colIndex);
// The same value as text, whatever its size.
std::string ExactDeterminantText(const Matrix& m, int n, const int* rowIndex, const int* colIndex);
// The rank by the fraction-free elimination of the fast path (the echelon
// form of EchelonForm, echelon.h), its rows in rationals of any size; it carries on
// from wherever the fast path stopped.
int ExactRank(const Matrix& m, StepRecorder* steps = nullptr);
// False, dest untouched, when m is singular; m square.
bool ExactInverse(const Matrix& m, Matrix& dest, StepRecorder* steps = nullptr);
// Cramer's rule on [C | b] as lines: D with C, each determinant of C with
// a column replaced by b, each quotient; exact whatever their size.
void CramerSteps(const Matrix& augmented, StepRecorder& steps);
// The solution of [C | b] with C square; DivisionByZero when C is singular.
std::vector<Fraction> ExactSolve(const Matrix& augmented);
// Cell (i, j) of a * b.
Fraction ExactDot(const Matrix& a, int i, const Matrix& b, int j);
// a^n (a square), not refreshed; an intermediate power past some thousands
// of bits counts as out of range.
Matrix ExactPower(const Matrix& a, uint32_t n);

// Texts of wide values for the steps.
std::string IntText(wide::Int v);
// n/d with d > 0, already reduced.
std::string WideRationalText(wide::Int n, wide::Int d);
// The lines of an inverse: the determinant with the matrix, then (unless it
// is 0) the cofactors and their transpose; and the inverse itself.
void RecordInverse(StepRecorder& steps, const Matrix& m, const std::string& det,
                   const StepMatrix& cofactors);
void RecordInverseResult(StepRecorder& steps, const Matrix& inverse);

}  // namespace velmora::detail
