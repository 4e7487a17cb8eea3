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

// The cofactors and the determinant of the matrix of order 2..4 whose rows
// are those of m each times the lcm of its denominators, scale[i] (1 for a
// row of integers, so for an integer matrix they are m's own): the common
// case of "adjuntos" and "inversa". False for anything else (a scale past
// 2^31, a scaled cell past 32 bits, a determinant past 127 bits), which
// takes the general path.
bool IntegerCofactors(const Matrix& m, IntCofactors& cof, wide::Int& det, int64_t (&scale)[kDirect]) {
    const int n = m.rows;
    if (n != m.cols || n < 2 || n > kDirect) return false;
    int32_t a[kDirect][kDirect];
    for (int i = 0; i < n; ++i) {
        uint64_t l = 1;
        for (int j = 0; j < n; ++j) {
            const int32_t d = m.at(i + 1, j + 1).den;
            if (d <= 0) return false;  // not in normal form: the general path decides
            if (d == 1) continue;
            l = l / wide::Gcd64(l, uint64_t(d)) * uint64_t(d);
            if (l > (uint64_t(1) << 31)) return false;
        }
        for (int j = 0; j < n; ++j) {
            const Fraction& f = m.at(i + 1, j + 1);
            const int64_t v = int64_t(f.num) * int64_t(l / uint64_t(f.den));
            if (!wide::FitsInt32(v)) return false;
            a[i][j] = static_cast<int32_t>(v);
        }
        scale[i] = static_cast<int64_t>(l);
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

bool AllOne(const int64_t* scale, int n) {
    for (int i = 0; i < n; ++i)
        if (scale[i] != 1) return false;
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
    int64_t scale[kDirect];
    if (IntegerCofactors(m, cof, det, scale)) {
        // Scaling row r by scale[r] scales the cofactors of every other row.
        const bool integers = AllOne(scale, m.rows);
        for (int i = 1; i <= m.rows; ++i) {
            wide::Int others = 1;
            for (int r = 1; r <= m.rows && !integers; ++r)
                if (r != i) others *= scale[r - 1];  // at most three factors below 2^31
            for (int j = 1; j <= m.cols; ++j) {
                const wide::Int v = cof[i - 1][j - 1];
                if (!integers) {
                    c.at(i, j) = wide::Reduce(v, others);
                } else if (!wide::FitsInt32(v)) {
                    throw ArithmeticOverflow();
                } else {
                    c.at(i, j) = Fraction(static_cast<int32_t>(v));
                }
            }
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

// The inverse from the cofactors of the scaled rows B = L m (L the
// diagonal of the scales): m^-1 = B^-1 L, so cell (i, j) is the cofactor
// (j, i) of B times scale[j] over det B, each reduced once: exact even where
// det itself has no 32-bit form. False when a product leaves 128 bits.
bool InverseFromCofactors(const IntCofactors& cof, wide::Int det, const int64_t* scale, int n,
                          Matrix& inv) {
    inv.rows = inv.cols = static_cast<uint8_t>(n);
    wide::Int scales = 1;  // det(m^-1) = 1 / det(m) = (product of the scales) / det B
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            wide::Int v;
            if (__builtin_mul_overflow(cof[j][i], wide::Int(scale[j]), &v)) return false;
            inv.at(i + 1, j + 1) = wide::Reduce(v, det);
        }
        scales *= scale[i];  // at most four factors below 2^31
    }
    inv.square = true;
    try {
        inv.det = wide::Reduce(scales, det);
        inv.detOverflow = false;
    } catch (const ArithmeticOverflow&) {
        inv.det = Fraction(0);
        inv.detOverflow = true;
    }
    return true;
}

bool InverseOf(const Matrix& m, Matrix& dest, StepRecorder* steps) {
    const int rows = m.rows;
    const int cols = m.cols;
    if (rows != cols) return false;
    IntCofactors cof;
    wide::Int det;
    int64_t scale[kDirect];
    // A recorder shows the cofactors of m itself: of an integer matrix only.
    if (IntegerCofactors(m, cof, det, scale) && (!steps || AllOne(scale, rows))) {
        if (steps) RecordIntegerInverse(*steps, m, cof, det);
        if (det == 0) return false;
        Matrix inv;
        if (InverseFromCofactors(cof, det, scale, rows, inv)) {
            if (steps) detail::RecordInverseResult(*steps, inv);
            dest = inv;
            return true;
        }
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
