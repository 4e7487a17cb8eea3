// The matrix record and every computation on it.
//
// A Matrix is a plain value: a 10 x 10 array of fractions (1-based through at()),
// the dimensions in use, the square flag and the cached determinant. Every
// operation that hands back a whole matrix leaves `det` current when the matrix
// is square. Operations take their inputs by value, so an output may be the
// same object as an input. Arithmetic overflow propagates as ArithmeticOverflow
// (see fraction.h); an operation that throws has not written its output.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <stdexcept>
#include <vector>

#include "arith/fraction.h"

namespace velmora {

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

    // --- record and elementary operations ---
    // square := rows = cols; if square, det := determinant of the used cells.
    void Refresh();
    bool IsZero() const;
    // r x c random integers in -5..5 (a non-zero entry is negative 3 times in 10).
    void FillRandom(uint8_t r, uint8_t c);
    // Every used cell times f.
    void MulFraction(Fraction f);
    // dest := transpose; square and det carried over.
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
    // det := determinant of the first rows x rows cells (1 for a 0 x 0 matrix).
    void ComputeDeterminant();
    // Row t := d * row t - n * row p, where n/d is the quotient of the entries
    // of rows t and p under p's leading entry (searched from column p on);
    // then row t is divided by the gcd of its numerators. Refreshes.
    void EliminateRow(uint8_t p, uint8_t t);
    // dest := the row echelon form by fraction-free Gauss elimination.
    void Triangular(Matrix& dest) const;
    // dest := Triangular, then the entries above its non-zero diagonal entries eliminated.
    void GaussJordan(Matrix& dest) const;

    // --- cofactors, adjugate and inverse ---
    Fraction MinorDeterminant(uint8_t i, uint8_t j) const;
    Fraction Cofactor(uint8_t i, uint8_t j) const;
    // dest := matrix of cofactors (not transposed). False, dest untouched, when not square.
    bool CofactorMatrix(Matrix& dest) const;
    // dest := transposed matrix of cofactors. False when not square.
    bool Adjugate(Matrix& dest) const;
    // dest := inverse. False, dest untouched, when not square or singular.
    bool Inverse(Matrix& dest) const;

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
// The rank, from the triangular form.
int MatrixRank(Matrix a);
// A uniform draw from lo..hi.
int RandomInRange(int lo, int hi);
// Cramer's rule on an augmented matrix [C | b] whose C is square and regular:
// the value of every unknown, in column order.
std::vector<Fraction> CramerSolve(Matrix a);

}  // namespace velmora
