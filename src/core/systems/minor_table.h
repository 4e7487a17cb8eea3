// Every minor of a matrix of polynomials in the parameter a: the table the
// discussion of a system reads its ranks, critical values and solutions
// from. Internal to the core (it speaks FLINT's polynomials).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/arith/flint_poly.h"

namespace velmora {

// The determinant of every square block of A': at(R, C) for a set R of rows
// and a set C of columns of the same size, as bit masks (at(0, 0) = 1).
// Ranks, critical values and solutions all come from this table, so every
// case is computed the same way: a rank is the largest size of a minor that
// is not 0, and a solution is Cramer's rule on a regular block.
//
// A grid of integer polynomials whose coefficients fit 31 bits (the common
// case: rows made integer, numbers as people type them) is expanded in
// machine words, and each minor becomes a polynomial of FLINT's only when it
// is first asked for; any other grid, and one whose minors pass 62 bits, in
// FLINT's polynomials throughout.
class MinorTable {
  public:
    using Grid = std::vector<std::vector<flint::QPoly>>;

    // The minors of the first `cols` columns of m.
    MinorTable(const Grid& m, int cols);

    // The rows or columns in a mask (a look-up: without the popcount
    // instruction, the builtin is a call).
    static int Count(int mask) { return kCounts[static_cast<std::size_t>(mask)]; }

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    // Index of the pair (R, C) in tables of this size.
    std::size_t Index(int r, int c) const { return static_cast<std::size_t>(r << cols_ | c); }
    std::size_t Size() const { return table_.size(); }
    const flint::QPoly& at(int r, int c) const;
    // at(r, c) is the zero polynomial (without making it).
    bool IsZero(int r, int c) const;

    // The gcd of the k x k minors within the columns `columns`: its roots are
    // where the rank of those columns falls below k.
    flint::QPoly Gcd(int columns, int k) const;

  private:
    static constexpr auto kCounts = [] {
        std::array<uint8_t, 1 << 10> t{};
        for (std::size_t m = 1; m < t.size(); ++m) t[m] = static_cast<uint8_t>(t[m >> 1] + (m & 1));
        return t;
    }();

    bool FillInWords(const Grid& m);
    void Fill(const Grid& m);

    int rows_;
    int cols_;
    int stride_ = 0;             // coefficients a minor in words; 0: in polynomials
    std::vector<int8_t> degree_;  // in words, each minor's degree (-1 for 0)
    std::unique_ptr<int64_t[]> words_;
    mutable std::vector<std::optional<flint::QPoly>> table_;
};

}  // namespace velmora
