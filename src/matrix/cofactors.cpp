// Minors, cofactors, adjugate, inverse and Cramer's rule.
#include <algorithm>

#include "matrix/matrix.h"
#include "matrix/matrix_internal.h"

namespace velmora {

namespace {

// The matrix of cofactors without its refresh; its determinant (det^(n-1))
// may not fit although every cofactor does.
Matrix CofactorsOf(const Matrix& m) {
    Matrix c;
    c.rows = m.rows;
    c.cols = m.cols;
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            Fraction f = detail::MinorDeterminant(m, i, j);
            f.MulInt(CofactorSign(static_cast<unsigned>(i), static_cast<unsigned>(j)));
            c.at(i, j) = f;
        }
    }
    return c;
}

}  // namespace

Fraction Matrix::MinorDeterminant(uint8_t i, uint8_t j) const {
    // The cofactor of an empty minor (a 1 x 1 matrix) is 1.
    return detail::MinorDeterminant(*this, i, j);
}

Fraction Matrix::Cofactor(uint8_t i, uint8_t j) const {
    Fraction c = MinorDeterminant(i, j);
    c.MulInt(CofactorSign(i, j));
    return c;
}

bool Matrix::CofactorMatrix(Matrix& dest) const {
    if (rows != cols) return false;
    Matrix c = CofactorsOf(*this);
    c.Refresh();
    dest = c;
    return true;
}

bool Matrix::Adjugate(Matrix& dest) const {
    if (rows != cols) return false;
    Matrix t;
    CofactorsOf(*this).Transpose(t);
    t.Refresh();
    dest = t;
    return true;
}

bool Matrix::Inverse(Matrix& dest) const {
    if (rows != cols) return false;
    const Fraction d = detail::Determinant(*this, rows);
    if (d.num == 0) return false;
    const Matrix c = CofactorsOf(*this);
    Matrix inv;
    inv.rows = rows;
    inv.cols = cols;
    // Cell (i, j) is the cofactor (j, i) over det, reduced once.
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j) FracDiv(c.at(j, i), d, inv.at(i, j));
    FracDiv(Fraction(1), d, inv.det);  // det(M^-1) = 1 / det(M)
    inv.square = true;
    inv.detOverflow = false;
    dest = inv;
    return true;
}

std::vector<Fraction> CramerSolve(Matrix a) {
    Matrix c;
    a.Minor(0, a.cols, c);
    if (c.rows != c.cols) throw DivisionByZero();
    const Fraction d = detail::Determinant(c, c.rows);
    if (d.num == 0) throw DivisionByZero();
    std::vector<Fraction> x(c.cols);
    for (int k = 1; k <= c.cols; ++k) {
        Matrix t = c;
        for (int i = 1; i <= c.rows; ++i) t.at(i, k) = a.at(i, a.cols);
        FracDiv(detail::Determinant(t, t.rows), d, x[k - 1]);
    }
    return x;
}

}  // namespace velmora
