// Minors, cofactors, adjugate, inverse and Cramer's rule.
#include <algorithm>

#include "core/arith/wide.h"
#include "core/matrix/matrix.h"
#include "core/matrix/matrix_internal.h"
#include "core/matrix/steps.h"

namespace velmora {

namespace {

constexpr int kDirect = 4;  // orders whose cofactors are worked out directly
using IntCofactors = wide::Int[kDirect][kDirect];

// The determinant of the minor of `a` (order n) without row i and column j,
// straight from the entries: at most 3 x 3, so 128 bits cannot overflow.
wide::Int MinorOfIntegers(const int32_t (&a)[kDirect][kDirect], int n, int i, int j) {
    int r[kDirect - 1];
    int c[kDirect - 1];
    for (int k = 0, nr = 0, nc = 0; k < n; ++k) {
        if (k != i) r[nr++] = k;
        if (k != j) c[nc++] = k;
    }
    const auto e = [&](int x, int y) { return wide::Int(a[r[x]][c[y]]); };
    switch (n - 1) {
        case 1: return e(0, 0);
        case 2: return e(0, 0) * e(1, 1) - e(0, 1) * e(1, 0);
        default:
            return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) -
                   e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
                   e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
    }
}

// The cofactors and the determinant of an integer matrix of order 2..4: the
// common case of "adjuntos" and "inversa". False for anything else (or a
// determinant past 127 bits), which takes the general path.
bool IntegerCofactors(const Matrix& m, IntCofactors& cof, wide::Int& det) {
    const int n = m.rows;
    if (n != m.cols || n < 2 || n > kDirect) return false;
    int32_t a[kDirect][kDirect];
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const Fraction& f = m.at(i + 1, j + 1);
            if (f.den != 1) return false;
            a[i][j] = f.num;
        }
    }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const wide::Int minor = MinorOfIntegers(a, n, i, j);
            cof[i][j] = (i + j) % 2 == 0 ? minor : -minor;
        }
    det = 0;
    for (int j = 0; j < n; ++j) {
        wide::Int term;
        if (__builtin_mul_overflow(wide::Int(a[0][j]), cof[0][j], &term) ||
            __builtin_add_overflow(det, term, &det)) {
            return false;
        }
    }
    return true;
}

// The matrix of cofactors without its refresh; its determinant (det^(n-1))
// may not fit although every cofactor does.
Matrix CofactorsOf(const Matrix& m) {
    Matrix c;
    c.rows = m.rows;
    c.cols = m.cols;
    IntCofactors cof;
    wide::Int det;
    if (IntegerCofactors(m, cof, det)) {
        for (int i = 1; i <= m.rows; ++i)
            for (int j = 1; j <= m.cols; ++j) {
                if (!wide::FitsInt32(cof[i - 1][j - 1])) throw ArithmeticOverflow();
                c.at(i, j) = Fraction(static_cast<int32_t>(cof[i - 1][j - 1]));
            }
        return c;
    }
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

namespace {

// Recording stays out of the inverse's way: these run only with a recorder.
[[gnu::cold]] void RecordIntegerInverse(StepRecorder& steps, const Matrix& m,
                                        const IntCofactors& cof, wide::Int det) {
    // Filled here rather than through StepMatrix::Of: GCC inlines this into
    // InverseOf, and the template's lambda costs the inverse's hot path
    // instructions even when nothing is recorded.
    StepMatrix s;
    s.rows = s.cols = m.rows;
    for (int i = 0; i < m.rows; ++i)
        for (int j = 0; j < m.rows; ++j) s.cells.push_back(detail::IntText(cof[i][j]));
    detail::RecordInverse(steps, m, detail::IntText(det), s);
}

[[gnu::cold]] void RecordFractionInverse(StepRecorder& steps, const Matrix& m, Fraction det,
                                         const Matrix& cofactors) {
    detail::RecordInverse(steps, m, det.ToText(), cofactors.rows > 0 ? StepMatrix::Of(cofactors) : StepMatrix{});
}

bool InverseOf(const Matrix& m, Matrix& dest, StepRecorder* steps) {
    const int rows = m.rows;
    const int cols = m.cols;
    if (rows != cols) return false;
    IntCofactors cof;
    wide::Int det;
    if (IntegerCofactors(m, cof, det)) {
        if (steps) RecordIntegerInverse(*steps, m, cof, det);
        if (det == 0) return false;
        // Cell (i, j) is the cofactor (j, i) over det, each reduced once:
        // exact even where det itself has no 32-bit form.
        Matrix inv;
        inv.rows = m.rows;
        inv.cols = m.cols;
        for (int i = 1; i <= rows; ++i)
            for (int j = 1; j <= cols; ++j) inv.at(i, j) = wide::Reduce(cof[j - 1][i - 1], det);
        inv.square = true;
        try {
            inv.det = wide::Reduce(1, det);  // det(M^-1) = 1 / det(M)
        } catch (const ArithmeticOverflow&) {
            inv.det = Fraction(0);
            inv.detOverflow = true;
        }
        if (steps) detail::RecordInverseResult(*steps, inv);
        dest = inv;
        return true;
    }
    Matrix inv;
    try {
        const Fraction d = detail::Determinant(m, rows);
        if (d.num == 0) {
            if (steps) RecordFractionInverse(*steps, m, d, Matrix());
            return false;
        }
        const Matrix c = CofactorsOf(m);
        inv.rows = m.rows;
        inv.cols = m.cols;
        // Cell (i, j) is the cofactor (j, i) over det, reduced once.
        for (int i = 1; i <= rows; ++i)
            for (int j = 1; j <= cols; ++j) FracDiv(c.at(j, i), d, inv.at(i, j));
        FracDiv(Fraction(1), d, inv.det);  // det(M^-1) = 1 / det(M)
        // Recorded once everything is known: an overflow on the way hands
        // the whole inverse to the wide path, which records its own.
        if (steps) RecordFractionInverse(*steps, m, d, c);
    } catch (const ArithmeticOverflow&) {
        // The determinant, a cofactor or 1/det has no 32-bit form; the
        // inverse itself may still have one.
        if (!detail::ExactInverse(m, dest, steps)) return false;
        if (steps) detail::RecordInverseResult(*steps, dest);
        return true;
    }
    inv.square = true;
    inv.detOverflow = false;
    if (steps) detail::RecordInverseResult(*steps, inv);
    dest = inv;
    return true;
}

}  // namespace

bool Matrix::Inverse(Matrix& dest) const {
    return InverseOf(*this, dest, nullptr);
}

bool Matrix::Inverse(Matrix& dest, StepRecorder& steps) const {
    try {
        return InverseOf(*this, dest, &steps);
    } catch (const ArithmeticOverflow&) {
        steps.Line("desbordamiento: la inversa no cabe en fracciones de 32 bits",
                   "\\text{desbordamiento: la inversa no cabe en fracciones de 32 bits}");
        throw;
    }
}

std::vector<Fraction> CramerSolve(Matrix a) {
    Matrix c;
    a.Minor(0, a.cols, c);
    if (c.rows != c.cols) throw DivisionByZero();
    // Exact 128-bit determinants first: a solution that fits is found even
    // when the determinants themselves have no 32-bit form.
    wide::Rational wd;
    if (detail::WideDeterminant(c, c.rows, wd) && wd.n != 0) {
        std::vector<Fraction> x(c.cols);
        bool exact = true;
        for (int k = 1; k <= c.cols && exact; ++k) {
            Matrix t = c;
            for (int i = 1; i <= c.rows; ++i) t.at(i, k) = a.at(i, a.cols);
            wide::Rational wt;
            wide::Int num, den;
            exact = detail::WideDeterminant(t, t.rows, wt) &&
                    !__builtin_mul_overflow(wt.n, wd.d, &num) &&
                    !__builtin_mul_overflow(wt.d, wd.n, &den);
            if (exact) x[k - 1] = wide::Reduce(num, den);
        }
        if (exact) return x;
    }
    // Determinants past 128 bits, or rows whose denominators have no common
    // multiple in 31 bits: exact elimination in wide arithmetic.
    return detail::ExactSolve(a);
}

std::vector<Fraction> CramerSolve(Matrix a, StepRecorder& steps) {
    detail::CramerSteps(a, steps);
    return CramerSolve(a);
}

}  // namespace velmora
