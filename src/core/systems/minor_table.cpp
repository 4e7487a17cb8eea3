#include "core/systems/minor_table.h"

#include <algorithm>
#include <array>

#include "core/arith/wide.h"

namespace velmora {

using flint::QPoly;

namespace {

// Entries of degree at most 4 and minors of order at most 4 in words.
constexpr int kMaxEntryDegree = 4;
constexpr int kMaxOrder = 4;
constexpr int kMaxDegree = kMaxEntryDegree * kMaxOrder;

}  // namespace

MinorTable::MinorTable(const Grid& m, int cols)
    : rows_(static_cast<int>(m.size())), cols_(cols), table_(std::size_t(1) << (rows_ + cols_)) {
    if (!FillInWords(m)) Fill(m);
}

const QPoly& MinorTable::at(int r, int c) const {
    std::optional<QPoly>& p = table_[Index(r, c)];
    if (!p && stride_ > 0) {
        // In words: the denominator 1 and integer coefficients are already
        // FLINT's canonical form.
        p.emplace();
        const std::size_t i = Index(r, c);
        const int degree = degree_[i];
        if (degree >= 0) {
            fmpq_poly_fit_length(p->get(), degree + 1);
            for (int k = 0; k <= degree; ++k)
                fmpz_set_si(fmpq_poly_numref(p->get()) + k, words_[i * stride_ + k]);
            _fmpq_poly_set_length(p->get(), degree + 1);
        }
    }
    return *p;
}

bool MinorTable::IsZero(int r, int c) const {
    return stride_ > 0 ? degree_[Index(r, c)] < 0 : at(r, c).IsZero();
}

void MinorTable::Fill(const Grid& m) {
    stride_ = 0;
    table_[0].emplace(1);
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
            table_[Index(r, c)].emplace(std::move(sum));
        }
    }
}

// The same expansion in words. With entries' coefficients within 31 bits
// and minors' kept within 62, a product of coefficients stays within 93
// bits and a coefficient of a minor, a sum of at most 5 * 4 of them, within
// 128; where the sizes so far allow, the sums are kept in 64 bits. False,
// the table left for Fill, when that does not hold.
bool MinorTable::FillInWords(const Grid& m) {
    if (rows_ > kMaxOrder) return false;
    // The entries' coefficients, entry (i, j)'s at (i * cols + j) * kSpan.
    constexpr int kSpan = kMaxEntryDegree + 1;
    std::array<int64_t, kMaxOrder * kMaxOrder * 2 * kSpan> entries;
    std::array<int8_t, kMaxOrder * kMaxOrder * 2> entryDegree;
    if (rows_ * cols_ > static_cast<int>(entryDegree.size())) return false;
    int maxDegree = 0;
    uint64_t entrySize = 0;  // every coefficient's size or-ed
    for (int i = 0; i < rows_; ++i) {
        for (int j = 0; j < cols_; ++j) {
            const fmpq_poly_struct* q = m[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)].get();
            const long degree = fmpq_poly_degree(q);
            if (degree > kMaxEntryDegree || !fmpz_is_one(fmpq_poly_denref(q))) return false;
            for (long k = 0; k <= degree; ++k) {
                if (fmpz_bits(fmpq_poly_numref(q) + k) > 31) return false;
                entries[(i * cols_ + j) * kSpan + k] = fmpz_get_si(fmpq_poly_numref(q) + k);
                entrySize |= wide::Magnitude64(entries[(i * cols_ + j) * kSpan + k]);
            }
            entryDegree[i * cols_ + j] = static_cast<int8_t>(degree);
            maxDegree = std::max(maxDegree, static_cast<int>(degree));
        }
    }
    stride_ = maxDegree * std::min(rows_, cols_) + 1;
    degree_.assign(table_.size(), -1);
    words_.reset(new int64_t[table_.size() * static_cast<std::size_t>(stride_)]);
    degree_[0] = 0;
    words_[0] = 1;
    const int entryBits = 64 - __builtin_clzll(entrySize | 1);
    std::array<uint64_t, kMaxOrder + 1> levelSize{1};  // each order's coefficients' sizes or-ed
    // One minor (r, c) of order k, its sums in Sum's words.
    const auto expand = [&](int r, int c, int k, auto sum) {
        const int last = 31 - __builtin_clz(static_cast<unsigned>(r));
        int degree = -1;
        int position = 0;
        for (int j = 0; j < cols_; ++j) {
            if ((c & (1 << j)) == 0) continue;
            const int e = last * cols_ + j;
            const std::size_t rest = Index(r & ~(1 << last), c & ~(1 << j));
            const bool minus = (k - 1 + position) % 2 != 0;
            ++position;
            if (entryDegree[e] < 0 || degree_[rest] < 0) continue;
            for (int x = 0; x <= entryDegree[e]; ++x) {
                const auto ex = static_cast<typename decltype(sum)::value_type>(entries[e * kSpan + x]);
                for (int y = 0; y <= degree_[rest]; ++y) {
                    const auto term = ex * words_[rest * stride_ + y];
                    sum[x + y] += minus ? -term : term;
                }
            }
            degree = std::max(degree, entryDegree[e] + degree_[rest]);
        }
        const std::size_t i = Index(r, c);
        while (degree >= 0 && sum[degree] == 0) --degree;
        degree_[i] = static_cast<int8_t>(degree);
        for (int x = 0; x <= degree; ++x) {
            if (sum[x] >= (int64_t(1) << 62) || sum[x] <= -(int64_t(1) << 62)) return false;
            words_[i * stride_ + x] = static_cast<int64_t>(sum[x]);
            levelSize[k] |= wide::Magnitude64(words_[i * stride_ + x]);
        }
        return true;
    };
    for (int r = 1; r < (1 << rows_); ++r) {
        const int k = Count(r);
        // At most 5 * 4 products a coefficient, each within the sizes' bits.
        const bool small = entryBits + 64 - __builtin_clzll(levelSize[k - 1] | 1) + 5 < 63;
        for (int c = 1; c < (1 << cols_); ++c) {
            if (Count(c) != k) continue;
            const bool fits = small ? expand(r, c, k, std::array<int64_t, kMaxDegree + 1>{})
                                    : expand(r, c, k, std::array<wide::Int, kMaxDegree + 1>{});
            if (!fits) {
                stride_ = 0;
                return false;
            }
        }
    }
    return true;
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
