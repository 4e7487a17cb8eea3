// Determinant, fraction-free Gauss elimination and its Gauss-Jordan extension.
#include <algorithm>

#include "arith/wide.h"
#include "matrix/matrix.h"
#include "matrix/matrix_internal.h"

namespace velmora {

namespace {

constexpr int kMaxMasks = 1 << Matrix::kMaxDim;

// Row i scaled by the lcm of its denominators, if that keeps every entry
// within 63 bits. The determinant of the scaled rows divided by the product
// of the scales is the determinant wanted.
bool ScaledIntegerRows(const Matrix& m, int n, wide::Int (&cells)[Matrix::kMaxDim][Matrix::kMaxDim],
                       wide::Int& scale) {
    scale = 1;
    for (int i = 1; i <= n; ++i) {
        uint64_t l = 1;
        for (int j = 1; j <= n; ++j) {
            if (m.at(i, j).den <= 0) return false;  // not in normal form: the slow path checks
            const uint64_t d = static_cast<uint64_t>(m.at(i, j).den);
            const uint64_t g = wide::Gcd64(l, d);
            if (__builtin_mul_overflow(l / g, d, &l) || l > (uint64_t(1) << 31)) return false;
        }
        for (int j = 1; j <= n; ++j) {
            const Fraction& f = m.at(i, j);
            cells[i - 1][j - 1] = wide::Int(f.num) * wide::Int(l / static_cast<uint64_t>(f.den));
        }
        if (__builtin_mul_overflow(scale, wide::Int(l), &scale)) return false;
    }
    return true;
}

// Laplace expansion over subsets of columns: minor[S] is the determinant of
// rows 1..|S| and the columns in S, built from the minors one row smaller.
// n * 2^n steps instead of n! for the textbook recursion.
bool IntegerDeterminant(const wide::Int (&cells)[Matrix::kMaxDim][Matrix::kMaxDim], int n,
                        wide::Int& result) {
    static thread_local wide::Int minor[kMaxMasks];
    minor[0] = 1;
    const int full = (1 << n) - 1;
    for (int mask = 1; mask <= full; ++mask) {
        const int row = __builtin_popcount(static_cast<unsigned>(mask)) - 1;
        wide::Int sum = 0;
        int position = 0;
        for (int j = 0; j < n; ++j) {
            if ((mask & (1 << j)) == 0) continue;
            const wide::Int a = cells[row][j];
            if (a != 0) {
                wide::Int term;
                if (__builtin_mul_overflow(a, minor[mask & ~(1 << j)], &term)) return false;
                // Expanding along the last row: sign (-1)^(row + position).
                if ((row + position) % 2 != 0) term = -term;
                if (__builtin_add_overflow(sum, term, &sum)) return false;
            }
            ++position;
        }
        minor[mask] = sum;
    }
    result = minor[full];
    return true;
}

// The same expansion in fractions, each minor narrowed to 32 bits.
Fraction FractionDeterminant(const Matrix& m, int n) {
    static thread_local Fraction minor[kMaxMasks];
    minor[0] = Fraction(1);
    const int full = (1 << n) - 1;
    for (int mask = 1; mask <= full; ++mask) {
        const int row = __builtin_popcount(static_cast<unsigned>(mask));
        wide::Rational sum;
        int position = 0;
        for (int j = 0; j < n; ++j) {
            if ((mask & (1 << j)) == 0) continue;
            const Fraction& a = m.at(row, j + 1);
            const Fraction& sub = minor[mask & ~(1 << j)];
            if (a.num != 0 && sub.num != 0) {
                wide::Int tn = wide::Int(int64_t(a.num) * sub.num);
                if ((row - 1 + position) % 2 != 0) tn = -tn;
                sum.Add(tn, wide::Int(int64_t(a.den) * sub.den));
            }
            ++position;
        }
        minor[mask] = sum.Narrow();
    }
    return minor[full];
}

// d * a - n * b, exactly.
Fraction Combine(int32_t d, const Fraction& a, int32_t n, const Fraction& b) {
    if (a.den == 1 && b.den == 1) {
        const wide::Int v = wide::Int(d) * a.num - wide::Int(n) * b.num;
        if (!wide::FitsInt32(v)) throw ArithmeticOverflow();
        return Fraction(static_cast<int32_t>(v), 1);
    }
    const wide::Int v =
        wide::Int(d) * a.num * b.den - wide::Int(n) * b.num * a.den;
    return wide::Reduce(v, wide::Int(a.den) * b.den);
}

}  // namespace

namespace detail {

Fraction Determinant(const Matrix& m, int n) {
    if (n == 0) return Fraction(1);
    if (n == 1) {
        Fraction f = m.at(1, 1);
        f.Normalize();
        return f;
    }
    wide::Int cells[Matrix::kMaxDim][Matrix::kMaxDim];
    wide::Int scale;
    wide::Int value;
    if (ScaledIntegerRows(m, n, cells, scale) && IntegerDeterminant(cells, n, value)) {
        return wide::Reduce(value, scale);
    }
    return FractionDeterminant(m, n);
}

void RowGcdReduceQuiet(Matrix& m, int i, int64_t& g) {
    g = 0;
    for (int j = 1; j <= m.cols; ++j) g = Gcd(g, m.at(i, j).num);
    if (g > 1) {
        for (int j = 1; j <= m.cols; ++j) m.at(i, j).num = static_cast<int32_t>(m.at(i, j).num / g);
    }
}

bool EliminateRowQuiet(Matrix& m, int p, int t) {
    int k = p;
    while (m.at(p, k).num == 0 && k < m.cols) ++k;
    if (m.at(p, k).num == 0) return false;  // row p has nothing from column p on
    if (m.at(t, k).num == 0) return true;   // nothing to eliminate
    Fraction q;
    FracDiv(m.at(t, k), m.at(p, k), q);
    // Row t := d * row t - n * row p; no division by the pivot.
    Fraction row[Matrix::kMaxDim];
    for (int j = 1; j <= m.cols; ++j) row[j - 1] = Combine(q.den, m.at(t, j), q.num, m.at(p, j));
    for (int j = 1; j <= m.cols; ++j) m.at(t, j) = row[j - 1];
    int64_t g;
    RowGcdReduceQuiet(m, t, g);
    return true;
}

void TriangularQuiet(Matrix& m) {
    const int rows = m.rows;
    const int limit = std::min<int>(m.rows, m.cols);
    int used = 0;  // columns used up; a column without pivot counts twice
    for (int i = 1; i <= limit; ++i) {
        int k = i + 1;
        while (m.at(i, i).num == 0 && k <= rows) {
            if (m.at(k, i).num != 0) m.SwapRows(static_cast<uint8_t>(i), static_cast<uint8_t>(k));
            ++k;
        }
        if (k > rows) ++used;
        for (int t = i + 1; t <= rows; ++t) EliminateRowQuiet(m, i, t);
        ++used;
        if (used == m.cols) break;
    }
}

}  // namespace detail

void Matrix::ComputeDeterminant() { det = detail::Determinant(*this, rows); }

void Matrix::EliminateRow(uint8_t p, uint8_t t) {
    Matrix m = *this;
    if (!detail::EliminateRowQuiet(m, p, t)) return;  // unchanged and not refreshed
    m.Refresh();
    *this = m;
}

void Matrix::Triangular(Matrix& dest) const {
    Matrix m = *this;
    detail::TriangularQuiet(m);
    m.Refresh();
    dest = m;
}

void Matrix::GaussJordan(Matrix& dest) const {
    Matrix m = *this;
    detail::TriangularQuiet(m);
    for (int i = std::min<int>(m.rows, m.cols); i >= 2; --i) {
        if (m.at(i, i).num == 0) continue;
        for (int t = i - 1; t >= 1; --t) detail::EliminateRowQuiet(m, i, t);
    }
    m.Refresh();
    dest = m;
}

}  // namespace velmora
