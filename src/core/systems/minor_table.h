// Every minor of a matrix of polynomials in the parameter: the table the
// discussion of a system and the cases of a matrix with a parameter read
// their ranks, critical values and solutions from. Internal to the core (it
// speaks FLINT's polynomials).
#pragma once

#include <cstddef>
#include <vector>

#include "core/arith/flint_poly.h"

namespace velmora {

// The determinant of every square block of A': at(R, C) for a set R of rows
// and a set C of columns of the same size, as bit masks (at(0, 0) = 1).
// Ranks, critical values and solutions all come from this table, so every
// case is computed the same way: a rank is the largest size of a minor that
// is not 0, and a solution is Cramer's rule on a regular block.
class MinorTable {
  public:
    using Grid = std::vector<std::vector<flint::QPoly>>;

    // The minors of the first `cols` columns of m.
    MinorTable(const Grid& m, int cols);

    static int Count(int mask) { return __builtin_popcount(static_cast<unsigned>(mask)); }

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    // Index of the pair (R, C) in tables of this size.
    std::size_t Index(int r, int c) const { return static_cast<std::size_t>(r << cols_ | c); }
    std::size_t Size() const { return table_.size(); }
    const flint::QPoly& at(int r, int c) const { return table_[Index(r, c)]; }
    bool IsZero(int r, int c) const { return at(r, c).IsZero(); }

    // The gcd of the k x k minors within the columns `columns`: its roots are
    // where the rank of those columns falls below k.
    flint::QPoly Gcd(int columns, int k) const;

  private:
    int rows_;
    int cols_;
    std::vector<flint::QPoly> table_;
};

}  // namespace velmora
