#include "core/systems/minor_table.h"

namespace velmora {

using flint::QPoly;

MinorTable::MinorTable(const Grid& m, int cols)
    : rows_(static_cast<int>(m.size())), cols_(cols), table_(std::size_t(1) << (rows_ + cols_)) {
    table_[Index(0, 0)] = QPoly(1);
    for (int r = 1; r < (1 << rows_); ++r) {
        const int k = Count(r);
        const int last = 31 - __builtin_clz(static_cast<unsigned>(r));
        const std::vector<QPoly>& row = m[static_cast<std::size_t>(last)];
        for (int c = 1; c < (1 << cols_); ++c) {
            if (Count(c) != k) continue;
            // Expanded along its last row, row k of the block.
            QPoly sum;
            int position = 0;
            for (int j = 0; j < cols_; ++j) {
                if ((c & (1 << j)) == 0) continue;
                const QPoly& rest = at(r & ~(1 << last), c & ~(1 << j));
                if (!row[j].IsZero() && !rest.IsZero()) {
                    const QPoly term = row[j] * rest;
                    sum = (k - 1 + position) % 2 == 0 ? sum + term : sum - term;
                }
                ++position;
            }
            table_[Index(r, c)] = std::move(sum);
        }
    }
}

QPoly MinorTable::Gcd(int columns, int k) const {
    if (k == 0) return QPoly(1);
    QPoly g;
    for (int c = 1; c < (1 << cols_); ++c) {
        if ((c & ~columns) != 0 || Count(c) != k) continue;
        for (int r = 1; r < (1 << rows_) && !g.IsOne(); ++r)
            if (Count(r) == k) g = flint::Gcd(g, at(r, c));
    }
    return g;
}

}  // namespace velmora
