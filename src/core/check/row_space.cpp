#include "core/check/row_space.h"

#include <algorithm>

namespace velmora {

RationalRow RowSpace::Remainder(RationalRow v) const {
    for (std::size_t k = 0; k < basis.size(); ++k) {
        const mpq_class f = v[static_cast<std::size_t>(pivots[k])];
        if (sgn(f) == 0) continue;
        for (std::size_t j = 0; j < v.size(); ++j) v[j] -= f * basis[k][j];
    }
    return v;
}

bool RowSpace::Contains(const RationalRow& v) const {
    return IsZeroRow(Remainder(v));
}

bool RowSpace::Add(const RationalRow& v) {
    RationalRow r = Remainder(v);
    const auto lead =
        std::find_if(r.begin(), r.end(), [](const mpq_class& q) { return sgn(q) != 0; });
    if (lead == r.end()) return false;
    const std::size_t p = static_cast<std::size_t>(lead - r.begin());
    const mpq_class inverse = 1 / r[p];
    for (mpq_class& q : r) q *= inverse;
    // The new pivot's column is cleared in the rows already there.
    for (RationalRow& row : basis) {
        const mpq_class f = row[p];
        if (sgn(f) == 0) continue;
        for (std::size_t j = 0; j < row.size(); ++j) row[j] -= f * r[j];
    }
    const auto at = std::lower_bound(pivots.begin(), pivots.end(), static_cast<int>(p));
    basis.insert(basis.begin() + (at - pivots.begin()), std::move(r));
    pivots.insert(at, static_cast<int>(p));
    return true;
}

RowSpace SpaceOf(const RationalRows& rows) {
    RowSpace s;
    for (const RationalRow& row : rows) s.Add(row);
    return s;
}

bool IsZeroRow(const RationalRow& row) {
    return std::all_of(row.begin(), row.end(), [](const mpq_class& q) { return sgn(q) == 0; });
}

bool CombinationOf(const std::vector<RationalRow>& rows, const RationalRow& target,
                   std::vector<mpq_class>& c) {
    // One equation a column: sum over k of c[k]·rows[k][j] = target[j].
    const std::size_t unknowns = rows.size();
    RationalRows equations(target.size(), RationalRow(unknowns + 1));
    for (std::size_t j = 0; j < target.size(); ++j) {
        for (std::size_t k = 0; k < unknowns; ++k) equations[j][k] = rows[k][j];
        equations[j][unknowns] = target[j];
    }
    const RowSpace s = SpaceOf(equations);
    if (!s.pivots.empty() && s.pivots.back() == static_cast<int>(unknowns)) return false;
    c.assign(unknowns, mpq_class(0));
    for (std::size_t k = 0; k < s.basis.size(); ++k)
        c[static_cast<std::size_t>(s.pivots[k])] = s.basis[k][unknowns];
    return true;
}

}  // namespace velmora
