// Exact linear algebra on rows of rationals for checking a student's working:
// the reduced row echelon form, whether a row lies in the space of others,
// and the combination of rows that gives a row. GMP rationals, so nothing on
// the way can overflow.
#pragma once

#include <gmpxx.h>

#include <vector>

#include "core/systems/general_solution.h"  // RationalRows

namespace velmora {

using RationalRow = std::vector<mpq_class>;

// The space spanned by some rows, as the non-zero rows of their reduced row
// echelon form: each pivot 1 and the only non-zero entry of its column.
struct RowSpace {
    RationalRows basis;
    std::vector<int> pivots;  // 0-based column of the pivot of basis[k], increasing

    int Dimension() const { return static_cast<int>(basis.size()); }
    // The part of v left once the basis has cleared its pivot columns: zero
    // exactly when v lies in the space.
    RationalRow Remainder(RationalRow v) const;
    bool Contains(const RationalRow& v) const;
    // Adds v to the rows spanning the space; false when it was in it already.
    bool Add(const RationalRow& v);
    friend bool operator==(const RowSpace&, const RowSpace&) = default;
};

// The space of these rows (all of the same length).
RowSpace SpaceOf(const RationalRows& rows);

bool IsZeroRow(const RationalRow& row);

// Coefficients c with c[0]·rows[0] + c[1]·rows[1] + ... = target, those that
// are free set to 0; false, c untouched, when there are none.
bool CombinationOf(const std::vector<RationalRow>& rows, const RationalRow& target,
                   std::vector<mpq_class>& c);

}  // namespace velmora
