// The matrix record and every computation on it.
//
// A Matrix is a plain value: a 10 x 10 array of fractions (1-based through at()),
// the dimensions in use, the square flag and the cached determinant. Every
// operation that hands back a whole matrix leaves `det` current when the matrix
// is square. Operations take their inputs by value, so an output may be the
// same object as an input. Arithmetic overflow propagates as ArithmeticOverflow
// (see fraction.h); an operation that throws has not written its output.
// Results are exact: an operation throws only when a cell of its result has
// no 32-bit form (a cached determinant that does not fit sets detOverflow
// instead), redoing the work in wide arithmetic where the usual 32/64/128-bit
// steps overflow. The elimination forms are the exception: a form whose
// fraction-free steps do not fit is reported as overflow.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <stdexcept>
#include <vector>

#include "core/arith/fraction.h"

namespace velmora {

class StepRecorder;  // matrix/steps.h

// Thrown when a dimension would leave 0..10.
class CapacityError : public std::length_error {
public:
    CapacityError() : std::length_error("dimensión fuera de 1..10") {}
};

struct Matrix {
    static constexpr int kMaxDim = 10;

    std::array<Fraction, kMaxDim * kMaxDim> cells{};  // row after row; zero-initialised
    uint8_t rows = 0;
    uint8_t cols = 0;
    bool square = true;  // 0 x 0
    Fraction det{1};     // the determinant of an empty matrix is 1
    // The determinant of a square matrix whose cells fit may itself leave 32
    // bits (the cofactor matrix of a 4 x 4 has det^3). Then det is 0/1 and
    // must not be shown or used; the matrix itself is sound.
    bool detOverflow = false;

    // Cell (i, j), both from 1.
    Fraction& at(int i, int j) { return cells[(i - 1) * kMaxDim + (j - 1)]; }
    const Fraction& at(int i, int j) const { return cells[(i - 1) * kMaxDim + (j - 1)]; }

    // Builders for callers and tests. They throw CapacityError for sizes
    // outside 0..10 and refresh the result.
    static Matrix Zero(int r, int c);
    static Matrix Identity(int n);
    static Matrix FromRows(std::initializer_list<std::initializer_list<Fraction>> rows);
    // Sets the dimensions (cells untouched, not refreshed); CapacityError outside 0..10.
    void SetSize(int r, int c);

    // True only when the determinant is known to be 0 (a determinant that
    // does not fit is never 0).
    bool DetIsZero() const { return !detOverflow && det.num == 0; }

    // --- record and elementary operations ---
    // square := rows = cols; if square, det := determinant of the used cells.
    void Refresh();
    bool IsZero() const;
    // r x c random integers in -5..5 (a non-zero entry is negative 3 times in 10).
    void FillRandom(uint8_t r, uint8_t c);
    // Every used cell times f.
    void MulFraction(Fraction f);
    // dest := transpose; square, det and detOverflow carried over.
    void Transpose(Matrix& dest) const;
    // dest := M without row i and column j (0 keeps all rows / columns).
    void Minor(uint8_t i, uint8_t j, Matrix& dest) const;
    // dest := rows r1..r2, columns c1..c2 (det not computed).
    void SubMatrix(uint8_t r1, uint8_t c1, uint8_t r2, uint8_t c2, Matrix& dest) const;
    void CopyTo(Matrix& dest) const;
    void GetColumn(uint8_t j, Matrix& dest) const;
    // dest := M with column j replaced by the first column of col.
    void ReplaceColumn(uint8_t j, Matrix col, Matrix& dest) const;
    void SwapRows(uint8_t i, uint8_t k);
    // Divides the numerators of row i by their gcd g when g > 1; refreshes.
    void RowGcdReduce(uint8_t i, int64_t& g);
    bool RowIsZero(uint8_t i) const;
    bool ColumnIsZero(uint8_t j) const;

    // --- elimination, rank and determinant ---
    // det := determinant of the first rows x rows cells (1 for a 0 x 0 matrix);
    // detOverflow tells whether it fits.
    void ComputeDeterminant();
    // Row t := d * row t - n * row p, where n/d is the quotient of the entries
    // of rows t and p under p's leading entry (searched from column p on);
    // then row t is divided by the gcd of its numerators. Refreshes.
    void EliminateRow(uint8_t p, uint8_t t);
    // dest := the row echelon form by fraction-free Gauss elimination: rows
    // are never divided by their pivots, only by the gcd of their numerators.
    // Throws ArithmeticOverflow when a step's row has no 32-bit form.
    void Triangular(Matrix& dest) const;
    // The same, recording every row operation; on overflow the steps so far
    // stay recorded, with a line for the step that did not fit.
    void Triangular(Matrix& dest, StepRecorder& steps) const;
    // dest := Triangular, then, from the last row up, the entries above each
    // row's leading entry (its pivot, on the diagonal or not) eliminated with
    // the same step. Throws ArithmeticOverflow as Triangular.
    void GaussJordan(Matrix& dest) const;
    void GaussJordan(Matrix& dest, StepRecorder& steps) const;

    // --- cofactors, adjugate and inverse ---
    Fraction MinorDeterminant(uint8_t i, uint8_t j) const;
    Fraction Cofactor(uint8_t i, uint8_t j) const;
    // dest := matrix of cofactors (not transposed). False, dest untouched, when not square.
    bool CofactorMatrix(Matrix& dest) const;
    // dest := transposed matrix of cofactors. False when not square.
    bool Adjugate(Matrix& dest) const;
    // dest := inverse. False, dest untouched, when not square or singular.
    // Throws ArithmeticOverflow only when a cell of the inverse does not fit;
    // a determinant of the inverse that does not fit sets its detOverflow.
    bool Inverse(Matrix& dest) const;
    // The same, recording det, the cofactors, their transpose and the inverse
    // (det = 0 alone for a singular matrix).
    bool Inverse(Matrix& dest, StepRecorder& steps) const;

    friend bool operator==(const Matrix& a, const Matrix& b);
};

// "[1 2; 3 -1/2]", the form velmora-calc reads; for messages and test output.
std::ostream& operator<<(std::ostream& out, const Matrix& m);

// dest := the rows of m that are not entirely zero, in order (exact test).
void DropZeroRows(Matrix m, Matrix& dest);
// False, dest untouched, when the sizes do not fit.
bool MatrixSum(Matrix a, Matrix b, Matrix& dest);
bool MatrixDifference(Matrix a, Matrix b, Matrix& dest);
bool MatrixProduct(Matrix a, Matrix b, Matrix& dest);
// dest := a^n; a^0 is the identity of a's order. False when a is not square.
bool MatrixPower(Matrix a, uint32_t n, Matrix& dest);
// The rank, from the triangular form; where that form has no 32-bit form,
// by exact elimination in wide arithmetic. Never throws ArithmeticOverflow.
int MatrixRank(const Matrix& a);
// The same, recording the row operations of the echelon form, those of the
// wide path included.
int MatrixRank(const Matrix& a, StepRecorder& steps);
// A uniform draw from lo..hi.
int RandomInRange(int lo, int hi);
// Cramer's rule on an augmented matrix [C | b] whose C is square and regular:
// the value of every unknown, in column order. Exact whatever the size of the
// determinants: throws ArithmeticOverflow only when a value of the solution
// has no 32-bit form (DivisionByZero when C is singular).
std::vector<Fraction> CramerSolve(Matrix a);
// The same, recording D, the determinants of each unknown and the quotients.
std::vector<Fraction> CramerSolve(Matrix a, StepRecorder& steps);

}  // namespace velmora
