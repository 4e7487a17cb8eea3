#include "core/matrix/word_rows.h"

#include <vector>

#include "core/matrix/echelon.h"
#include "core/matrix/exact_system.h"

namespace velmora::detail {

bool RankInWords(const Matrix& m, int& rank) {
    try {
        return InWords<IntegerRows>(m, [&](auto& rows) {
            if (!rows.LoadScaled(m)) return false;
            rank = EchelonForm(rows);
            return true;
        });
    } catch (const ArithmeticOverflow&) {
        return false;
    }
}

namespace {

// Values kept below 2^60 in size: a product of two stays below 2^120, a sum
// of up to 128 of those within 128 bits.
constexpr int64_t kWordLimit = int64_t(1) << 60;

bool InWordRange(wide::Int v) {
    return v > -kWordLimit && v < kWordLimit;
}

// q = v / d, exact, when |q| < 2^60: the low 64 bits of v, shifted by d's
// trailing zeros, times the inverse of d's odd part. False otherwise.
bool Quotient(wide::Int v, int64_t d, int64_t& q) {
    const wide::Int bound = wide::Int(wide::Magnitude64(d)) * kWordLimit;
    if (v <= -bound || v >= bound) return false;
    const int shift = __builtin_ctzll(wide::Magnitude64(d));
    q = wide::ExactDivisor(d >> shift)(static_cast<int64_t>(v >> shift));
    return true;
}

}  // namespace

bool SolveInWords(int n, const std::vector<mpq_class>& rows, std::vector<mpq_class>& x) {
    const int w = n + 1;
    std::vector<int64_t> a(static_cast<std::size_t>(n * w));
    const auto at = [&a, w](int i, int j) -> int64_t& { return a[static_cast<std::size_t>(i * w + j)]; };
    if (n >= 64) return false;  // the back substitution's sums must stay within 128 bits
    // Each row times the lcm of its denominators.
    for (int i = 0; i < n; ++i) {
        const mpq_class* row = &rows[static_cast<std::size_t>(i * w)];
        uint64_t l = 1;
        for (int j = 0; j < w; ++j) {
            if (!row[j].get_den().fits_slong_p() || !row[j].get_num().fits_slong_p()) return false;
            const uint64_t d = row[j].get_den().get_ui();
            if (d == 1) continue;
            l = l / wide::Gcd64(l, d) * d;
            if (l >= uint64_t(kWordLimit)) return false;
        }
        for (int j = 0; j < w; ++j) {
            const int64_t scale = wide::DivideExact(int64_t(l), row[j].get_den().get_ui());
            if (__builtin_mul_overflow(row[j].get_num().get_si(), scale, &at(i, j)) ||
                !InWordRange(at(i, j))) {
                return false;
            }
        }
    }
    // Forward: after step k, cell (i, j) below row k is the minor of rows
    // 0..k, i and columns 0..k, j, so the division by the previous pivot is exact.
    int64_t previous = 1;
    for (int k = 0; k < n; ++k) {
        int p = k;
        while (p < n && at(p, k) == 0) ++p;
        if (p == n) {
            x.clear();  // singular
            return true;
        }
        if (p != k)
            for (int j = k; j < w; ++j) std::swap(at(p, j), at(k, j));
        for (int i = k + 1; i < n; ++i) {
            for (int j = k + 1; j < w; ++j) {
                const wide::Int v = wide::Int(at(k, k)) * at(i, j) - wide::Int(at(i, k)) * at(k, j);
                if (!Quotient(v, previous, at(i, j))) return false;
            }
            at(i, k) = 0;
        }
        previous = at(k, k);
    }
    // Back: y = det * x, integers (Cramer's numerators), det the last pivot.
    const int64_t det = previous;
    std::vector<int64_t> y(static_cast<std::size_t>(n));
    for (int i = n - 1; i >= 0; --i) {
        wide::Int s = wide::Int(det) * at(i, n);
        for (int j = i + 1; j < n; ++j) s -= wide::Int(at(i, j)) * y[j];
        if (!Quotient(s, at(i, i), y[i])) return false;
    }
    x.clear();
    for (int i = 0; i < n; ++i) {
        mpq_class v(y[i], det);
        v.canonicalize();
        x.push_back(v);
    }
    return true;
}

}  // namespace velmora::detail
