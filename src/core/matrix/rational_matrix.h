// Dense matrices of GMP rationals: the engine's wide path, the evaluator's
// when a step leaves 32 bits, and the matrix equations, which are solved in
// them from the start. Internal to the core.
#pragma once

#include <gmpxx.h>

#include <cstddef>
#include <vector>

#include "core/matrix/matrix.h"
#include "core/matrix/steps.h"

namespace velmora::detail {

// A rows x cols matrix of rationals, 0-based, row after row.
class QMatrix {
  public:
    QMatrix() = default;
    QMatrix(int r, int c) : rows(r), cols(c), cells_(static_cast<std::size_t>(r * c)) {}

    mpq_class& operator()(int i, int j) { return cells_[static_cast<std::size_t>(i * cols + j)]; }
    const mpq_class& operator()(int i, int j) const {
        return cells_[static_cast<std::size_t>(i * cols + j)];
    }
    void SwapRows(int i, int k) {
        for (int j = 0; j < cols; ++j) std::swap((*this)(i, j), (*this)(k, j));
    }
    std::vector<mpq_class>& cells() { return cells_; }
    const std::vector<mpq_class>& cells() const { return cells_; }
    static QMatrix Identity(int n);

    friend bool operator==(const QMatrix&, const QMatrix&) = default;

    int rows = 0;
    int cols = 0;

  private:
    std::vector<mpq_class> cells_;
};

mpq_class ToQ(Fraction f);  // f with a non-zero denominator
QMatrix ToQ(const Matrix& m);
// Rows ri[0..rows-1] and columns ci[0..cols-1] of m (1-based indices).
QMatrix ToQ(const Matrix& m, int rows, const int* ri, int cols, const int* ci);
// ArithmeticOverflow when q has no 32-bit form.
Fraction Narrow(const mpq_class& q);
// Not refreshed.
Matrix Narrow(const QMatrix& q);

// Rows of rationals (a RationalRows) and back; the rows all of one length.
QMatrix FromRows(const std::vector<std::vector<mpq_class>>& rows);
std::vector<std::vector<mpq_class>> ToRows(const QMatrix& q);

// The entries as a step shows them, in the program's fraction text.
StepMatrix Texts(const QMatrix& a);

QMatrix Product(const QMatrix& a, const QMatrix& b);
QMatrix Transposed(const QMatrix& a);
// Gaussian elimination on the first `pivotColumns` columns; with `reduced`,
// every pivot becomes 1 and its column is cleared above it too (reduced row
// echelon form). Returns the rank; *det receives the determinant of the
// leading square block when the matrix has as many rows as pivot columns.
int RowReduce(QMatrix& a, int pivotColumns, bool reduced, mpq_class* det = nullptr);
// False, inverse untouched, when a (square) is singular.
bool Invert(const QMatrix& a, QMatrix& inverse);
// Bits of the largest numerator or denominator.
std::size_t Bits(const QMatrix& a);

}  // namespace velmora::detail
