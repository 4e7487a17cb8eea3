// Determinant, fraction-free Gauss elimination and its Gauss-Jordan extension.
#include <algorithm>
#include <cstdint>
#include <string>
#include <type_traits>

#include "core/arith/wide.h"
#include "core/matrix/echelon.h"
#include "core/matrix/word_rows.h"
#include "core/matrix/matrix.h"
#include "core/matrix/matrix_internal.h"
#include "core/matrix/steps.h"

namespace velmora {

namespace {

constexpr int kMaxMasks = 1 << Matrix::kMaxDim;
using Cells = int64_t[Matrix::kMaxDim][Matrix::kMaxDim];

// The rows scaled by the lcm of their denominators, if every lcm stays within
// 31 bits (so every cell within 62). The determinant of the scaled rows
// divided by the product of the scales is the determinant wanted. `size`
// receives the bits of every cell's size or-ed together.
bool ScaledIntegerRows(const Matrix& m, int n, const int* ri, const int* ci, Cells& cells,
                       wide::Int& scale, uint64_t& size) {
    scale = 1;
    size = 0;
    for (int i = 0; i < n; ++i) {
        uint64_t l = 1;
        for (int j = 0; j < n; ++j) {
            const int32_t d = m.at(ri[i], ci[j]).den;
            if (d <= 0) return false;  // not in normal form: the checked path decides
            if (d == 1) continue;
            const uint64_t g = wide::Gcd64(l, uint64_t(d));
            l = l / g * uint64_t(d);
            if (l > (uint64_t(1) << 31)) return false;
        }
        for (int j = 0; j < n; ++j) {
            const Fraction& f = m.at(ri[i], ci[j]);
            cells[i][j] = int64_t(f.num) * int64_t(l / uint64_t(f.den));
            size |= wide::Magnitude64(cells[i][j]);
        }
        if (__builtin_mul_overflow(scale, wide::Int(l), &scale)) return false;
    }
    return true;
}

// The determinant of an order 2..4 matrix whose cells are below 2^14 in
// size, in 64 bits that no product can leave: the 4 x 4 by the 2 x 2 minors
// of its first two rows times the complementary minors of the last two.
int64_t SmallDeterminant(const Cells& c, int n) {
    const auto minor = [&c](int r, int a, int b) { return c[r][a] * c[r + 1][b] - c[r][b] * c[r + 1][a]; };
    switch (n) {
        case 2: return minor(0, 0, 1);
        case 3: return c[0][0] * minor(1, 1, 2) - c[0][1] * minor(1, 0, 2) + c[0][2] * minor(1, 0, 1);
        default:
            return minor(0, 0, 1) * minor(2, 2, 3) - minor(0, 0, 2) * minor(2, 1, 3) +
                   minor(0, 0, 3) * minor(2, 1, 2) + minor(0, 1, 2) * minor(2, 0, 3) -
                   minor(0, 1, 3) * minor(2, 0, 2) + minor(0, 2, 3) * minor(2, 0, 1);
    }
}

// Laplace expansion over subsets of columns: minor[S] is the determinant of
// rows 1..|S| and the columns in S, built from the minors one row smaller.
// n * 2^n steps instead of the n! of the textbook recursion.
bool IntegerDeterminant(const Cells& cells, int n, wide::Int& result) {
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

// The determinant as value / scale, both integers in 128 bits; false when
// the scaled rows or their determinant do not fit them.
bool ScaledDeterminant(const Matrix& m, int n, const int* ri, const int* ci, wide::Int& value,
                       wide::Int& scale) {
    Cells cells;
    uint64_t size = 0;
    if (!ScaledIntegerRows(m, n, ri, ci, cells, scale, size)) return false;
    if (n >= 2 && n <= 4 && size < (uint64_t(1) << 14)) {
        value = SmallDeterminant(cells, n);
        return true;
    }
    return IntegerDeterminant(cells, n, value);
}

// The same expansion in fractions, each minor narrowed to 32 bits.
Fraction FractionDeterminant(const Matrix& m, int n, const int* ri, const int* ci) {
    static thread_local Fraction minor[kMaxMasks];
    minor[0] = Fraction(1);
    const int full = (1 << n) - 1;
    for (int mask = 1; mask <= full; ++mask) {
        const int row = __builtin_popcount(static_cast<unsigned>(mask)) - 1;
        wide::Rational sum;
        int position = 0;
        for (int j = 0; j < n; ++j) {
            if ((mask & (1 << j)) == 0) continue;
            const Fraction& a = m.at(ri[row], ci[j]);
            const Fraction& sub = minor[mask & ~(1 << j)];
            if (a.num != 0 && sub.num != 0) {
                wide::Int tn = wide::Int(int64_t(a.num) * sub.num);
                if ((row + position) % 2 != 0) tn = -tn;
                sum.Add(tn, wide::Int(int64_t(a.den) * sub.den));
            }
            ++position;
        }
        minor[mask] = sum.Narrow();
    }
    return minor[full];
}

bool UpperTriangular(const Matrix& m, int n, const int* ri, const int* ci) {
    for (int i = 1; i < n; ++i)
        for (int j = 0; j < i; ++j)
            if (m.at(ri[i], ci[j]).num != 0) return false;
    return true;
}

// Recording stays out of the steps' way: the functions below run only with a
// recorder, out of line.

// The matrix with row t as `cell` gives it: a combination before its gcd.
template <class Cell>
StepMatrix CombinedRow(const Matrix& m, int t, Cell cell) {
    StepMatrix s = StepMatrix::Of(m);
    for (int j = 1; j <= m.cols; ++j) s.at(t, j) = cell(j);
    return s;
}

// A combination once stored in m: the combined row, then its division by
// the gcd `g` of its numerators (none when g is empty).
void Record(StepRecorder& steps, const Matrix& m, int p, int t, int64_t qn, int64_t qd,
            StepMatrix combined, const std::string& g) {
    steps.Combine(std::move(combined), t, p, std::to_string(qd), std::to_string(qn));
    if (!g.empty()) steps.Divide(StepMatrix::Of(m), t, g);
}

// Integer rows: v holds row t divided by g, as stored.
[[gnu::cold]] void RecordIntegerStep(StepRecorder& steps, const Matrix& m, int p, int t, int64_t qn,
                                     int64_t qd, const int64_t* v, uint64_t g) {
    const int64_t f = g > 1 ? int64_t(g) : 1;
    Record(steps, m, p, t, qn, qd,
           CombinedRow(m, t, [&](int j) { return std::to_string(v[j - 1] * f); }),
           g > 1 ? std::to_string(g) : "");
}

// Rows of fractions: num/den is row t before its division by g.
[[gnu::cold]] void RecordWideStep(StepRecorder& steps, const Matrix& m, int p, int t, int64_t qn,
                                  int64_t qd, const wide::Int* num, const wide::Int* den,
                                  wide::UInt g) {
    Record(
        steps, m, p, t, qn, qd,
        CombinedRow(m, t, [&](int j) { return detail::WideRationalText(num[j - 1], den[j - 1]); }),
        g > 1 ? detail::IntText(wide::Int(g)) : "");
}

[[gnu::cold]] void RecordSwap(StepRecorder& steps, const Matrix& m, int i, int k) {
    steps.Swap(StepMatrix::Of(m), i, k);
}

// A combined row with no 32-bit form: the step is not done.
[[noreturn, gnu::cold]] void Overflowed(StepRecorder* steps, int p, int t, int64_t qn, int64_t qd) {
    if (steps) steps->Overflow(t, p, std::to_string(qd), std::to_string(qn));
    throw ArithmeticOverflow();
}

// The steps below are built twice: with `Steps` a StepRecorder* (which may
// still be null) and with std::nullptr_t, the ordinary path, which then has
// no trace of recording in it.
template <class Steps>
constexpr bool kMayRecord = !std::is_same_v<Steps, std::nullptr_t>;

template <class Steps>
[[noreturn]] void Overflowed(Steps steps, int p, int t, int64_t qn, int64_t qd) {
    if constexpr (kMayRecord<Steps>) Overflowed(static_cast<StepRecorder*>(steps), p, t, qn, qd);
    throw ArithmeticOverflow();
}

// The common case of two integer rows in 64 bits; false when a value would
// leave them (the exact path then takes over).
template <class Steps>
bool IntegerRowsStep(Matrix& m, int p, int t, int64_t qn, int64_t qd, Steps steps) {
    int64_t v[Matrix::kMaxDim];
    uint64_t g = 0;
    for (int j = 1; j <= m.cols; ++j) {
        const Fraction& x = m.at(t, j);
        const Fraction& y = m.at(p, j);
        int64_t a, b;
        if (x.den != 1 || y.den != 1 || __builtin_mul_overflow(qd, int64_t(x.num), &a) ||
            __builtin_mul_overflow(qn, int64_t(y.num), &b) ||
            __builtin_sub_overflow(a, b, &v[j - 1])) {
            return false;
        }
        const int64_t e = v[j - 1];
        if (g != 1) g = wide::Gcd64(g, e < 0 ? 0 - uint64_t(e) : uint64_t(e));
    }
    if (g > 1) {
        for (int j = 1; j <= m.cols; ++j) v[j - 1] /= int64_t(g);
    }
    for (int j = 1; j <= m.cols; ++j)
        if (!wide::FitsInt32(v[j - 1])) Overflowed(steps, p, t, qn, qd);
    for (int j = 1; j <= m.cols; ++j) m.at(t, j) = Fraction(static_cast<int32_t>(v[j - 1]), 1);
    if constexpr (kMayRecord<Steps>) {
        if (steps) RecordIntegerStep(*steps, m, p, t, qn, qd, v, g);
    }
    return true;
}

// Row t := d * row t - n * row p, where n/d = m[t, k] / m[p, k]; then row t
// is divided by the gcd of its numerators. Everything is exact until the row
// is stored, so a cell that passes through more than 32 bits on its way to a
// small value is still right.
template <class Steps>
void EliminateAt(Matrix& m, int p, int t, int k, Steps steps) {
    const Fraction& a = m.at(t, k);
    const Fraction& b = m.at(p, k);
    int64_t qn = int64_t(a.num) * b.den;
    int64_t qd = int64_t(a.den) * b.num;
    const int64_t qg = static_cast<int64_t>(wide::Gcd64(wide::Magnitude64(qn), wide::Magnitude64(qd)));
    qn /= qg;
    qd /= qg;
    if (qd < 0) {
        qn = -qn;
        qd = -qd;
    }
    if (IntegerRowsStep(m, p, t, qn, qd, steps)) return;
    wide::Int num[Matrix::kMaxDim];
    wide::Int den[Matrix::kMaxDim];
    wide::UInt g = 0;
    for (int j = 1; j <= m.cols; ++j) {
        const Fraction& x = m.at(t, j);
        const Fraction& y = m.at(p, j);
        wide::Int n;
        wide::Int d = 1;
        if (x.den == 1 && y.den == 1) {
            n = wide::Int(qd) * x.num - wide::Int(qn) * y.num;
        } else {
            n = wide::Int(qd) * x.num * y.den - wide::Int(qn) * y.num * x.den;
            d = wide::Int(int64_t(x.den) * y.den);
            if (n == 0) {
                d = 1;
            } else {
                wide::LowestTerms(n, d);
            }
        }
        num[j - 1] = n;
        den[j - 1] = d;
        if (g != 1) g = wide::Gcd(g, wide::Magnitude(n));
    }
    // A recorder shows the row before its division by g: it is kept.
    wide::Int kept[kMayRecord<Steps> ? Matrix::kMaxDim : 1];
    wide::Int* const reduced = kMayRecord<Steps> ? kept : num;
    for (int j = 1; j <= m.cols; ++j) {
        wide::Int n = num[j - 1];
        if (g > 1) n = wide::ExactQuotient(n, g);
        if (!wide::FitsInt32(n) || den[j - 1] > INT32_MAX) Overflowed(steps, p, t, qn, qd);
        reduced[j - 1] = n;
    }
    for (int j = 1; j <= m.cols; ++j) {
        m.at(t, j) =
            Fraction(static_cast<int32_t>(reduced[j - 1]), static_cast<int32_t>(den[j - 1]));
    }
    if constexpr (kMayRecord<Steps>) {
        if (steps) RecordWideStep(*steps, m, p, t, qn, qd, num, den, g);
    }
}

// The rows of a matrix of fractions for the steps of echelon.h.
template <class Steps>
struct FractionRows {
    Matrix& m;
    Steps steps;

    int Rows() const { return m.rows; }
    int Cols() const { return m.cols; }
    bool IsZero(int i, int k) const { return m.at(i, k).num == 0; }
    void Swap(int i, int k) {
        m.SwapRows(static_cast<uint8_t>(i), static_cast<uint8_t>(k));
        if constexpr (kMayRecord<Steps>) {
            if (steps) RecordSwap(*steps, m, i, k);
        }
    }
    void Eliminate(int p, int t, int k) { EliminateAt(m, p, t, k, steps); }
    void Completing() {
        if constexpr (kMayRecord<Steps>) {
            if (steps) {
                steps->Line("se completa la forma escalonada",
                            "\\text{se completa la forma escalonada}");
            }
        }
    }
};

}  // namespace

namespace detail {

Fraction Determinant(const Matrix& m, int n, const int* ri, const int* ci) {
    if (n == 0) return Fraction(1);
    if (n == 1) {
        Fraction f = m.at(ri[0], ci[0]);
        f.Normalize();
        return f;
    }
    if (UpperTriangular(m, n, ri, ci)) {
        // The product of the numerators over that of the denominators,
        // reduced once; past 127 bits, reduced at every factor.
        wide::Int pn = 1;
        wide::Int pd = 1;
        bool fits = true;
        for (int i = 0; i < n; ++i) {
            const Fraction& f = m.at(ri[i], ci[i]);
            if (f.num == 0) return Fraction(0);
            if (f.den == 0) throw DivisionByZero();
            fits = fits && !__builtin_mul_overflow(pn, wide::Int(f.num), &pn) &&
                   !__builtin_mul_overflow(pd, wide::Int(f.den), &pd);
        }
        if (fits) return wide::Reduce(pn, pd);
        wide::Rational p{1, 1};
        bool exact = true;
        try {
            for (int i = 0; i < n; ++i) {
                const Fraction& f = m.at(ri[i], ci[i]);
                if (f.num == 0) return Fraction(0);
                if (f.den == 0) throw DivisionByZero();
                p.Mul(f.num, f.den < 0 ? -wide::Int(f.den) : wide::Int(f.den));
                if (f.den < 0) p.n = -p.n;
            }
        } catch (const ArithmeticOverflow&) {
            exact = false;  // a partial product past 127 bits
        }
        return exact ? p.Narrow() : ExactDeterminant(m, n, ri, ci);
    }
    wide::Int value;
    wide::Int scale;
    if (ScaledDeterminant(m, n, ri, ci, value, scale)) return wide::Reduce(value, scale);
    try {
        return FractionDeterminant(m, n, ri, ci);
    } catch (const ArithmeticOverflow&) {
        return ExactDeterminant(m, n, ri, ci);  // a minor on the way did not fit
    }
}

Fraction Determinant(const Matrix& m, int n) {
    static constexpr int kIndex[Matrix::kMaxDim] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    return Determinant(m, n, kIndex, kIndex);
}

bool WideDeterminant(const Matrix& m, int n, wide::Rational& det) {
    static constexpr int kIndex[Matrix::kMaxDim] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    wide::Int value;
    wide::Int scale;
    if (n == 0 || !ScaledDeterminant(m, n, kIndex, kIndex, value, scale)) return false;
    det = wide::Rational{value, scale};
    det.Normalise();
    return true;
}

Fraction MinorDeterminant(const Matrix& m, int i, int j) {
    int ri[Matrix::kMaxDim];
    int ci[Matrix::kMaxDim];
    int nr = 0;
    int nc = 0;
    for (int k = 1; k <= m.rows; ++k)
        if (k != i) ri[nr++] = k;
    for (int k = 1; k <= m.cols; ++k)
        if (k != j) ci[nc++] = k;
    return Determinant(m, std::min(nr, nc), ri, ci);
}

void RowGcdReduceQuiet(Matrix& m, int i, int64_t& g) {
    g = 0;
    for (int j = 1; j <= m.cols; ++j) g = Gcd(g, m.at(i, j).num);
    if (g > 1) {
        for (int j = 1; j <= m.cols; ++j) m.at(i, j).num = static_cast<int32_t>(m.at(i, j).num / g);
    }
}

bool EliminateRowQuiet(Matrix& m, int p, int t, StepRecorder* steps) {
    if (steps) {
        FractionRows<StepRecorder*> rows{m, steps};
        return EliminateRowAt(rows, p, t);
    }
    FractionRows<std::nullptr_t> rows{m, nullptr};
    return EliminateRowAt(rows, p, t);
}

void TriangularQuiet(Matrix& m, StepRecorder* steps) {
    if (steps) {
        FractionRows<StepRecorder*> rows{m, steps};
        TriangularSteps(rows);
        return;
    }
    FractionRows<std::nullptr_t> rows{m, nullptr};
    TriangularSteps(rows);
}

}  // namespace detail

void Matrix::ComputeDeterminant() {
    try {
        det = detail::Determinant(*this, rows);
        detOverflow = false;
    } catch (const ArithmeticOverflow&) {
        det = Fraction(0);
        detOverflow = true;
    }
}

void Matrix::EliminateRow(uint8_t p, uint8_t t) {
    Matrix m = *this;
    if (!detail::EliminateRowQuiet(m, p, t)) return;  // unchanged and not refreshed
    m.Refresh();
    *this = m;
}

namespace {

// dest := a with its used cells those of `words`, an echelon form, and its
// determinant. Only the used cells are written.
template <class Words>
void StoreForm(const Matrix& a, Words& words, Matrix& dest) {
    dest.rows = a.rows;
    dest.cols = a.cols;
    dest.det = a.det;
    dest.detOverflow = a.detOverflow;
    words.Store(dest);
    dest.square = dest.rows == dest.cols;
    if (!dest.square) return;
    if constexpr (requires(Words w, int32_t d) { w.TriangularDeterminant(d); }) {
        int32_t det = 0;
        dest.detOverflow = !words.TriangularDeterminant(det);
        dest.det = Fraction(dest.detOverflow ? 0 : det);
    } else if (Fraction det; words.TriangularDeterminant(det)) {
        dest.det = det;
        dest.detOverflow = false;
    } else {
        dest.ComputeDeterminant();
    }
}

// The form in machine words: false when the matrix's rows are not Rows
// (then dest is untouched).
template <bool kDiagonal, template <int> class Rows>
bool FormInWords(const Matrix& a, Matrix& dest) {
    return detail::InWords<Rows>(a, [&](auto& words) {
        if (!words.Load(a)) return false;
        if constexpr (kDiagonal) {
            detail::GaussJordanSteps(words);
        } else {
            detail::TriangularSteps(words);
        }
        StoreForm(a, words, dest);
        return true;
    });
}

// Rows of fractions in words, out of the way of the integers' path; false
// when they do not fit them.
template <bool kDiagonal>
[[gnu::noinline]] bool FractionFormInWords(const Matrix& a, Matrix& dest) {
    try {
        return FormInWords<kDiagonal, detail::RationalRows>(a, dest);
    } catch (const detail::LeftWords&) {
        return false;  // a product past 64 bits: the fractions' own path
    }
}

template <bool kDiagonal>
void EchelonFormOf(const Matrix& a, Matrix& dest, StepRecorder* steps) {
    if (!steps && (FormInWords<kDiagonal, detail::IntegerRows>(a, dest) ||
                   FractionFormInWords<kDiagonal>(a, dest))) {
        return;
    }
    Matrix m = a;
    if (steps) {
        FractionRows<StepRecorder*> rows{m, steps};
        kDiagonal ? detail::GaussJordanSteps(rows) : detail::TriangularSteps(rows);
    } else {
        FractionRows<std::nullptr_t> rows{m, nullptr};
        kDiagonal ? detail::GaussJordanSteps(rows) : detail::TriangularSteps(rows);
    }
    m.Refresh();
    dest = m;
}

}  // namespace

void Matrix::Triangular(Matrix& dest) const {
    EchelonFormOf<false>(*this, dest, nullptr);
}

void Matrix::Triangular(Matrix& dest, StepRecorder& steps) const {
    EchelonFormOf<false>(*this, dest, &steps);
}

void Matrix::GaussJordan(Matrix& dest) const {
    EchelonFormOf<true>(*this, dest, nullptr);
}

void Matrix::GaussJordan(Matrix& dest, StepRecorder& steps) const {
    EchelonFormOf<true>(*this, dest, &steps);
}

}  // namespace velmora
