// The elimination of a matrix of integers in machine words: the common case
// of the forms and the rank, without a fraction on the way and, mostly,
// without a gcd. Internal to the engine.
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

template <int kCols, class Work>
bool RunInWords(const Matrix& m, bool scaled, Work& work) {
    IntegerRows<kCols> rows;
    if (!(scaled ? rows.LoadScaled(m) : rows.Load(m))) return false;
    work(rows);
    return true;
}

// work(rows) on the rows of m when its used cells are all integers (scaled
// to integers, with `scaled`); false, work not done, when they are not.
template <class Work>
bool WithIntegerRows(const Matrix& m, bool scaled, Work work) {
    switch (m.cols) {
        case 2:
            return RunInWords<2>(m, scaled, work);
        case 3:
            return RunInWords<3>(m, scaled, work);
        case 4:
            return RunInWords<4>(m, scaled, work);
        case 5:
            return RunInWords<5>(m, scaled, work);
        default:
            return RunInWords<0>(m, scaled, work);
    }
}

// The rank of m by elimination in machine words (its rows scaled to
// integers); false when that does not fit, and the general path decides.
bool RankInWords(const Matrix& m, int& rank);

}  // namespace velmora::detail
