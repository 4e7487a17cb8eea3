// Minors, cofactors, adjugate, inverse and Cramer's rule.
#include "arith/wide.h"
#include "matrix/matrix.h"
#include "matrix/matrix_internal.h"

namespace velmora {

Fraction Matrix::MinorDeterminant(uint8_t i, uint8_t j) const {
    Matrix s;
    Minor(i, j, s);
    // A square minor already carries its determinant; the cofactor of an
    // empty minor (a 1 x 1 matrix) is 1.
    return s.square ? s.det : detail::Determinant(s, s.rows);
}

Fraction Matrix::Cofactor(uint8_t i, uint8_t j) const {
    Fraction c = MinorDeterminant(i, j);
    c.MulInt(CofactorSign(i, j));
    return c;
}

bool Matrix::CofactorMatrix(Matrix& dest) const {
    if (rows != cols) return false;
    Matrix m = *this;
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j)
            m.at(i, j) = Cofactor(static_cast<uint8_t>(i), static_cast<uint8_t>(j));
    m.Refresh();
    dest = m;
    return true;
}

bool Matrix::Adjugate(Matrix& dest) const {
    Matrix c;
    if (!CofactorMatrix(c)) return false;
    Matrix t;
    c.Transpose(t);
    t.Refresh();
    dest = t;
    return true;
}

bool Matrix::Inverse(Matrix& dest) const {
    if (rows != cols) return false;
    const Fraction d = detail::Determinant(*this, rows);
    if (d.num == 0) return false;
    Matrix adj;
    Adjugate(adj);
    Matrix inv = adj;
    // Each cell is cofactor / det, reduced once.
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j) FracDiv(adj.at(i, j), d, inv.at(i, j));
    Fraction r;
    FracDiv(Fraction(1), d, r);  // det(M^-1) = 1 / det(M)
    inv.square = true;
    inv.det = r;
    dest = inv;
    return true;
}

std::vector<Fraction> CramerSolve(Matrix a) {
    Matrix c;
    a.Minor(0, a.cols, c);
    Matrix b;
    a.GetColumn(a.cols, b);
    const Fraction d = detail::Determinant(c, c.rows);
    if (d.num == 0 || c.rows != c.cols) throw DivisionByZero();
    std::vector<Fraction> x(c.cols);
    for (int k = 1; k <= c.cols; ++k) {
        Matrix t = c;
        for (int i = 1; i <= c.rows; ++i) t.at(i, k) = b.at(i, 1);
        FracDiv(detail::Determinant(t, t.rows), d, x[k - 1]);
    }
    return x;
}

}  // namespace velmora
