// The elimination in machine words, when nothing records it: the common case
// of the forms and the rank. Rows of integers go without a fraction on the
// way and, mostly, without a gcd; rows of fractions as integers over one
// denominator. Internal to the engine.
#pragma once

#include <cstdint>
#include <utility>

#include "core/arith/wide.h"
#include "core/matrix/matrix.h"

namespace velmora::detail {

// True when v leaves 32 bits.
inline bool Outside32(int64_t v) {
    return ((static_cast<uint64_t>(v) + 0x80000000u) >> 32) != 0;
}

// The used cells of an integer matrix as 64-bit words, for the steps of
// echelon.h when nothing records them. kCols is the number of columns, or 0
// for any number (the common orders get loops the compiler lays out flat).
//
// A step leaves row t := (d * row t - n * row p) / g, where n/d is the
// quotient of the entries under the pivot in lowest terms and g the gcd of
// the combined row. Taking any positive multiple of a row instead changes
// neither which entries are zero nor, after the gcd, any later row: the
// combination of multiples is a positive multiple of the combination. So a
// row here is combined with the entries themselves as n and d, and it is
// divided by its gcd only when it would leave 32 bits, or once at the end.
// The rows the steps leave are then those of the fractions, exactly. A row
// whose reduced form leaves 32 bits is where the steps in fractions report
// overflow, and so does Eliminate. Every row kept fits in 32 bits, so a
// combination (each product within 2^62) cannot leave 64 bits.
template <int kCols>
class IntegerRows {
  public:
    // False when a used cell of m is not an integer.
    bool Load(const Matrix& m) {
        rows_ = m.rows;
        cols_ = m.cols;
        int32_t notOne = 0;
        for (int i = 0; i < rows_; ++i) {
            const Fraction* row = &m.cells[static_cast<std::size_t>(i * Matrix::kMaxDim)];
            for (int j = 0; j < Cols(); ++j) {
                notOne |= row[j].den ^ 1;
                cell_[i][j] = row[j].num;
            }
            combined_[i] = false;
        }
        return notOne == 0;
    }
    // Each row times the lcm of its denominators: false when a lcm passes
    // 2^31 or a scaled cell 32 bits. For the rank, which scaling keeps.
    bool LoadScaled(const Matrix& m) {
        rows_ = m.rows;
        cols_ = m.cols;
        for (int i = 0; i < rows_; ++i) {
            const Fraction* row = &m.cells[static_cast<std::size_t>(i * Matrix::kMaxDim)];
            uint64_t l = 1;
            for (int j = 0; j < Cols(); ++j) {
                const int32_t d = row[j].den;
                if (d <= 0) return false;  // not in normal form: the general path decides
                if (d == 1) continue;
                l = l / wide::Gcd64(l, uint64_t(d)) * uint64_t(d);
                if (l > (uint64_t(1) << 31)) return false;
            }
            bool outside = false;
            for (int j = 0; j < Cols(); ++j) {
                cell_[i][j] = int64_t(row[j].num) * int64_t(l / uint64_t(row[j].den));
                outside |= Outside32(cell_[i][j]);
            }
            if (outside) return false;
            combined_[i] = false;
        }
        return true;
    }
    // The used cells of m become the rows, each combined row divided by its
    // gcd; the rest of m is untouched.
    void Store(Matrix& m) {
        for (int i = 0; i < rows_; ++i) {
            if (combined_[i]) {
                Reduce(cell_[i]);  // within 32 bits already: it cannot throw
                combined_[i] = false;
            }
            Fraction* row = &m.cells[static_cast<std::size_t>(i * Matrix::kMaxDim)];
            for (int j = 0; j < Cols(); ++j) row[j] = Fraction(static_cast<int32_t>(cell_[i][j]), 1);
        }
    }

    int Rows() const { return rows_; }
    int Cols() const { return kCols > 0 ? kCols : cols_; }
    bool IsZero(int i, int k) const { return cell_[i - 1][k - 1] == 0; }
    void Swap(int i, int k) {
        for (int j = 0; j < Cols(); ++j) std::swap(cell_[i - 1][j], cell_[k - 1][j]);
        std::swap(combined_[i - 1], combined_[k - 1]);
    }
    // Row t := cell (p, k) * row t - cell (t, k) * row p (the pivot made
    // positive). Throws ArithmeticOverflow when its reduced form has no
    // 32-bit form; the rows are then of no further use.
    void Eliminate(int p, int t, int k) {
        int64_t* const target = cell_[t - 1];
        const int64_t* const pivot = cell_[p - 1];
        int64_t n = target[k - 1];
        int64_t d = pivot[k - 1];
        if (d < 0) {
            n = -n;
            d = -d;
        }
        bool outside = false;
        for (int j = 0; j < Cols(); ++j) {
            target[j] = d * target[j] - n * pivot[j];
            outside |= Outside32(target[j]);
        }
        if (outside) Reduce(target);  // throws when even the reduced row does not fit
        combined_[t - 1] = !outside;
    }
    void Completing() {}

    // The determinant of the stored rows, square and in echelon form (so
    // upper triangular): false when it has no 32-bit form.
    bool TriangularDeterminant(int32_t& det) const {
        int64_t product = 1;
        bool outside = false;  // once past 32 bits, a product of integers only grows
        for (int i = 0; i < rows_; ++i) {
            if (cell_[i][i] == 0) {
                det = 0;
                return true;
            }
            if (!outside) {
                product *= cell_[i][i];
                outside = Outside32(product);
            }
        }
        det = static_cast<int32_t>(product);
        return !outside;
    }

  private:
    // v divided by the gcd of its entries; throws ArithmeticOverflow when an
    // entry of the result leaves 32 bits.
    void Reduce(int64_t* v) const {
        uint64_t g = 0;
        for (int j = 0; j < Cols() && g != 1; ++j) g = wide::Gcd64(g, wide::Magnitude64(v[j]));
        bool outside = false;
        if (g > 1) {
            const wide::ExactDivisor divide(g, false);
            for (int j = 0; j < Cols(); ++j) v[j] = divide(v[j]);
        }
        for (int j = 0; j < Cols(); ++j) outside |= Outside32(v[j]);
        if (outside) throw ArithmeticOverflow();
    }

    int rows_ = 0;
    int cols_ = 0;
    bool combined_[Matrix::kMaxDim]{};  // a combination whose gcd is still in it
    int64_t cell_[Matrix::kMaxDim][Matrix::kMaxDim];
};

// Thrown when a step of RationalRows would leave 64 bits: the caller starts
// again on the general path.
struct LeftWords {};

inline int64_t Times(int64_t a, int64_t b) {
    int64_t r;
    if (__builtin_mul_overflow(a, b, &r)) throw LeftWords{};
    return r;
}

// The used cells of a matrix of fractions as rows of 64-bit integers, each
// over its own denominator, for the steps of echelon.h when nothing records
// them; kCols as for IntegerRows.
//
// A row is u / D with the integers u and D > 0 sharing no factor. A step of
// fractions leaves row t := v / G, v = d * row t - n * row p (n/d the quotient
// of the entries under the pivot in lowest terms) and G the gcd of the
// numerators of v's entries in lowest terms. Over the common denominator L
// of the two rows, v = W / L, and v / G = (W / c) / (L / gcd(c, L)) where c
// is the gcd of W: the same entries, with one gcd for the row where the
// fractions take one an entry, and the lowest terms of each entry left to
// the end. Where a row's entries pass 32 bits in lowest terms, Eliminate
// throws ArithmeticOverflow as the fractions' step does; where a product
// would pass 64 bits, LeftWords.
template <int kCols>
class RationalRows {
  public:
    // False when the lcm of a row's denominators passes 2^31.
    bool Load(const Matrix& m) {
        rows_ = m.rows;
        cols_ = m.cols;
        for (int i = 0; i < rows_; ++i) {
            const Fraction* row = &m.cells[static_cast<std::size_t>(i * Matrix::kMaxDim)];
            uint64_t l = 1;
            for (int j = 0; j < Cols(); ++j) {
                const int32_t d = row[j].den;
                if (d <= 0) return false;  // not in normal form: the general path decides
                if (d == 1) continue;
                l = l / wide::Gcd64(l, uint64_t(d)) * uint64_t(d);
                if (l > (uint64_t(1) << 31)) return false;
            }
            den_[i] = static_cast<int64_t>(l);
            for (int j = 0; j < Cols(); ++j) {
                const int64_t scale = wide::DivideExact(int64_t(l), uint64_t(row[j].den));
                cell_[i][j] = int64_t(row[j].num) * scale;
            }
        }
        return true;
    }
    // The used cells of m become the rows' entries in lowest terms.
    void Store(Matrix& m) const {
        for (int i = 0; i < rows_; ++i) {
            Fraction* row = &m.cells[static_cast<std::size_t>(i * Matrix::kMaxDim)];
            for (int j = 0; j < Cols(); ++j) {
                int64_t n = cell_[i][j];
                int64_t d = n == 0 ? 1 : den_[i];
                LowestTerms(n, d);
                row[j] = Fraction(static_cast<int32_t>(n), static_cast<int32_t>(d));
            }
        }
    }

    int Rows() const { return rows_; }
    int Cols() const { return kCols > 0 ? kCols : cols_; }
    bool IsZero(int i, int k) const { return cell_[i - 1][k - 1] == 0; }
    void Swap(int i, int k) {
        for (int j = 0; j < Cols(); ++j) std::swap(cell_[i - 1][j], cell_[k - 1][j]);
        std::swap(den_[i - 1], den_[k - 1]);
    }
    void Eliminate(int p, int t, int k) {
        int64_t* const target = cell_[t - 1];
        const int64_t* const pivot = cell_[p - 1];
        const int64_t dt = den_[t - 1];
        const int64_t dp = den_[p - 1];
        // The quotient of the entries under the pivot, n/d in lowest terms, d > 0.
        int64_t n = Times(target[k - 1], dp);
        int64_t d = Times(dt, pivot[k - 1]);
        if (d < 0) {
            n = -n;
            d = -d;
        }
        Reduce(n, d);
        // Over the rows' common denominator l: row t times d * l / dt, row p
        // times n * l / dp.
        int64_t lt = dt;
        int64_t lp = dp;
        Reduce(lt, lp);
        const int64_t l = Times(lt, dp);
        const int64_t ft = Times(d, lp);
        const int64_t fp = Times(n, lt);
        uint64_t c = 0;
        for (int j = 0; j < Cols(); ++j) {
            if (__builtin_sub_overflow(Times(ft, target[j]), Times(fp, pivot[j]), &target[j]))
                throw LeftWords{};
            if (c != 1) c = wide::Gcd64(c, wide::Magnitude64(target[j]));
        }
        int64_t h = 1;
        bool outside = false;
        if (c > 1) {
            const wide::ExactDivisor divide(c, false);
            for (int j = 0; j < Cols(); ++j) target[j] = divide(target[j]);
            h = static_cast<int64_t>(wide::Gcd64(c, uint64_t(l)));
        }
        den_[t - 1] = h > 1 ? wide::DivideExact(l, uint64_t(h)) : l;
        for (int j = 0; j < Cols(); ++j) outside |= Outside32(target[j]);
        if (outside || den_[t - 1] > INT32_MAX) CheckLowestTerms(target, den_[t - 1]);
    }
    void Completing() {}

    // As IntegerRows's: the product of the diagonal entries over that of
    // the rows' denominators, reduced once.
    bool TriangularDeterminant(Fraction& det) const {
        wide::Int pn = 1;
        wide::Int pd = 1;
        for (int i = 0; i < rows_; ++i) {
            if (cell_[i][i] == 0) {
                det = Fraction(0);
                return true;
            }
        }
        for (int i = 0; i < rows_; ++i) {
            if (__builtin_mul_overflow(pn, wide::Int(cell_[i][i]), &pn) ||
                __builtin_mul_overflow(pd, wide::Int(den_[i]), &pd)) {
                return false;  // past 127 bits: the general path decides
            }
        }
        try {
            det = wide::Reduce(pn, pd);
        } catch (const ArithmeticOverflow&) {
            return false;
        }
        return true;
    }

  private:
    // a and b divided by their gcd (b > 0).
    static void Reduce(int64_t& a, int64_t& b) {
        const uint64_t g = wide::Gcd64(wide::Magnitude64(a), uint64_t(b));
        if (g > 1) {
            const wide::ExactDivisor divide(g, false);
            a = divide(a);
            b = divide(b);
        }
    }
    static void LowestTerms(int64_t& n, int64_t& d) {
        if (d != 1) Reduce(n, d);
    }
    // Throws ArithmeticOverflow when an entry u_j / den in lowest terms leaves 32 bits.
    void CheckLowestTerms(const int64_t* u, int64_t den) const {
        for (int j = 0; j < Cols(); ++j) {
            int64_t n = u[j];
            int64_t d = n == 0 ? 1 : den;
            LowestTerms(n, d);
            if (Outside32(n) || d > INT32_MAX) throw ArithmeticOverflow();
        }
    }

    int rows_ = 0;
    int cols_ = 0;
    int64_t den_[Matrix::kMaxDim];
    int64_t cell_[Matrix::kMaxDim][Matrix::kMaxDim];
};

template <template <int> class Rows, int kCols, class Work>
bool RunInWords(Work& work) {
    Rows<kCols> rows;
    return work(rows);
}

// work(rows) with rows a Rows<kCols> for m's number of columns: the common
// orders get their own code. Returns what work returns.
template <template <int> class Rows, class Work>
bool InWords(const Matrix& m, Work work) {
    switch (m.cols) {
        case 2:
            return RunInWords<Rows, 2>(work);
        case 3:
            return RunInWords<Rows, 3>(work);
        case 4:
            return RunInWords<Rows, 4>(work);
        case 5:
            return RunInWords<Rows, 5>(work);
        default:
            return RunInWords<Rows, 0>(work);
    }
}

// The rank of m by elimination in machine words (its rows scaled to
// integers); false when that does not fit, and the general path decides.
bool RankInWords(const Matrix& m, int& rank);

}  // namespace velmora::detail
