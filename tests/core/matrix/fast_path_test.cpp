// The engine's paths in machine words against its path in fractions, step by
// step: a form or an inverse computed with a recorder takes the fractions'
// path, row operation by row operation, and without one the words' path.
// Both must give the same record, or both report overflow, on matrices drawn
// near the edges where 32 and 64 bits run out.
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/arith/wide.h"
#include "core/matrix/exact_system.h"
#include "core/matrix/matrix.h"
#include "core/matrix/steps.h"

namespace velmora {
namespace {

class EdgeDraw {
  public:
    explicit EdgeDraw(uint32_t seed) : gen_(seed) {}
    int In(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen_); }

    // Small entries, zero columns and repeated rows (the echelon form's
    // corners), entries about 2^14 (the determinant's 64-bit bound), 2^16
    // (where a step's products pass 32 bits) and 2^31, small fractions and
    // fractions whose rows pass 64 bits over a common denominator.
    Matrix Random() {
        const int kind = In(0, 6);
        Matrix m = Matrix::Zero(In(1, 6), In(1, 6));
        for (int i = 1; i <= m.rows; ++i) {
            for (int j = 1; j <= m.cols; ++j) {
                const int32_t v = kind == 1   ? (In(0, 2) == 0 ? 0 : In(-3, 3))
                                  : kind == 2 ? (In(0, 1) ? 1 : -1) * (16383 - In(0, 2))
                                  : kind == 3 ? In(-70000, 70000)
                                  : kind == 4 ? (In(0, 1) ? INT32_MAX - In(0, 2) : INT32_MIN + In(0, 2))
                                              : In(-9, 9);
                Fraction f(kind == 6 ? In(-70000, 70000) : v,
                           kind == 6 ? In(1, 3000) : kind == 5 && In(0, 1) ? In(2, 7) : 1);
                f.Normalize();
                m.at(i, j) = f;
            }
        }
        if (kind == 1 && m.rows > 1) {  // a repeated row and a zero column
            for (int j = 1; j <= m.cols; ++j) m.at(m.rows, j) = m.at(1, j);
            for (int i = 1; i <= m.rows; ++i) m.at(i, In(1, m.cols)) = Fraction(0);
        }
        try {
            m.Refresh();
        } catch (const ArithmeticOverflow&) {
        }
        return m;
    }

  private:
    std::mt19937 gen_;
};

std::string Record(const Matrix& m) {
    std::string s;
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j) s += m.at(i, j).ToText() + (j < m.cols ? " " : "; ");
    if (m.square) s += m.detOverflow ? "det overflows" : "det " + m.det.ToText();
    return s;
}

// The outcome of an operation: its record, or "overflow", or "refused".
std::string Outcome(const std::function<bool(Matrix&)>& op) {
    Matrix dest;
    try {
        return op(dest) ? Record(dest) : "refused";
    } catch (const ArithmeticOverflow&) {
        return "overflow";
    }
}

TEST(FastPathTest, WordsAndFractionsGiveTheSameForms) {
    EdgeDraw draw(29);
    int overflows = 0;
    for (int n = 0; n < 6000; ++n) {
        const Matrix a = draw.Random();
        StepRecorder steps;
        const auto triangular = [&](bool record) {
            return Outcome([&](Matrix& t) { return record ? (a.Triangular(t, steps), true) : (a.Triangular(t), true); });
        };
        const auto diagonal = [&](bool record) {
            return Outcome([&](Matrix& t) { return record ? (a.GaussJordan(t, steps), true) : (a.GaussJordan(t), true); });
        };
        const auto inverse = [&](bool record) {
            return Outcome([&](Matrix& t) { return record ? a.Inverse(t, steps) : a.Inverse(t); });
        };
        const std::string form = triangular(false);
        overflows += form == "overflow";
        ASSERT_EQ(form, triangular(true)) << a;
        ASSERT_EQ(diagonal(false), diagonal(true)) << a;
        ASSERT_EQ(inverse(false), inverse(true)) << a;
        ASSERT_EQ(MatrixRank(a), MatrixRank(a, steps)) << a;
    }
    EXPECT_GT(overflows, 500);  // the edges were reached
}

// The gcd by look-up (both below 256), by one division and a look-up (one
// below), by the binary method (neither), and exact division by one
// multiplication, against the library's.
TEST(FastPathTest, GcdsAndExactQuotients) {
    std::mt19937_64 gen(33);
    const auto any = [&gen](int bits) { return bits == 0 ? 0 : gen() >> (64 - bits); };
    for (int n = 0; n < 100000; ++n) {
        const int ab = static_cast<int>(gen() % 64), bb = static_cast<int>(gen() % 64);
        const uint64_t a = any(n % 3 == 0 ? ab % 9 : ab), b = any(n % 3 == 1 ? bb % 9 : bb);
        const uint64_t g = std::gcd(a, b);
        ASSERT_EQ(wide::Gcd64(a, b), g) << a << ", " << b;
        if (g == 0) continue;
        const int64_t v = static_cast<int64_t>(a / g * (n % 2 ? 1 : -1)) * static_cast<int64_t>(g);
        if (a < (uint64_t(1) << 62)) {
            ASSERT_EQ(wide::ExactDivisor(g, n % 5 == 0)(v), (n % 5 == 0 ? -v : v) / static_cast<int64_t>(g));
        }
    }
}

// The determinant by Gaussian elimination in GMP rationals.
mpq_class ReferenceDeterminant(const Matrix& a) {
    std::vector<std::vector<mpq_class>> q(a.rows, std::vector<mpq_class>(a.cols));
    for (int i = 0; i < a.rows; ++i)
        for (int j = 0; j < a.cols; ++j) q[i][j] = a.at(i + 1, j + 1).num;
    mpq_class det = 1;
    for (int k = 0; k < a.rows; ++k) {
        int p = k;
        while (p < a.rows && q[p][k] == 0) ++p;
        if (p == a.rows) return 0;
        if (p != k) std::swap(q[p], q[k]), det = -det;
        det *= q[k][k];
        for (int t = k + 1; t < a.rows; ++t) {
            const mpq_class f = q[t][k] / q[k][k];
            for (int j = k; j < a.cols; ++j) q[t][j] -= f * q[k][j];
        }
    }
    return det;
}

// Entries about 2^14, where the determinant's 64-bit formula ends, mixed with
// small ones; and matrices of determinant 1 or -1 whose entries pass 2^14
// (row additions of the identity), where the formula's products would pass
// 64 bits: against GMP.
TEST(FastPathTest, DeterminantsAtTheWordBound) {
    EdgeDraw draw(30);
    int fitting = 0;
    for (int k = 0; k < 4000; ++k) {
        const int n = draw.In(2, 4);
        Matrix a = Matrix::Identity(n);
        if (k % 2 == 0) {
            for (int i = 1; i <= n; ++i)
                for (int j = 1; j <= n; ++j)
                    a.at(i, j) = Fraction(draw.In(0, 1) ? draw.In(-2, 2) : (draw.In(0, 1) ? 1 : -1) * draw.In(16370, 16400));
        } else {
            // Row i += f * row j, while every entry stays within 2^20.
            for (int step = 0; step < 12; ++step) {
                const int i = draw.In(1, n), j = draw.In(1, n), f = draw.In(-60, 60);
                if (i == j) continue;
                int64_t row[Matrix::kMaxDim];
                bool small = true;
                for (int c = 1; c <= n; ++c) {
                    row[c - 1] = a.at(i, c).num + int64_t{f} * a.at(j, c).num;
                    small = small && row[c - 1] <= (1 << 20) && row[c - 1] >= -(1 << 20);
                }
                if (!small) break;
                for (int c = 1; c <= n; ++c) a.at(i, c) = Fraction(static_cast<int32_t>(row[c - 1]));
            }
        }
        const mpq_class want = ReferenceDeterminant(a);
        a.ComputeDeterminant();
        const bool fits = want >= INT32_MIN && want <= INT32_MAX;
        fitting += fits;
        ASSERT_EQ(a.detOverflow, !fits) << a;
        if (fits) {
            ASSERT_EQ(a.det.num, want.get_num().get_si()) << a;
        }
    }
    EXPECT_GT(fitting, 2000);
}

// The solution of the n x (n + 1) augmented rows by Gauss-Jordan in GMP;
// empty when singular.
std::vector<mpq_class> ReferenceSolve(int n, std::vector<mpq_class> a) {
    const auto at = [&a, n](int i, int j) -> mpq_class& { return a[i * (n + 1) + j]; };
    for (int k = 0; k < n; ++k) {
        int p = k;
        while (p < n && at(p, k) == 0) ++p;
        if (p == n) return {};
        for (int j = 0; j <= n; ++j) std::swap(at(p, j), at(k, j));
        for (int i = 0; i < n; ++i) {
            if (i == k || at(i, k) == 0) continue;
            const mpq_class f = at(i, k) / at(k, k);
            for (int j = 0; j <= n; ++j) at(i, j) -= f * at(k, j);
        }
    }
    std::vector<mpq_class> x;
    for (int i = 0; i < n; ++i) x.push_back(at(i, n) / at(i, i));
    return x;
}

// Square systems of 1 to 20 unknowns, sparse or dense, singular now and
// then, with entries from small integers and fractions to 2^40: the words'
// solution is GMP's, or the words give way.
TEST(FastPathTest, SquareSystemsInWords) {
    EdgeDraw draw(31);
    int inWords = 0;
    int gaveWay = 0;
    for (int k = 0; k < 600; ++k) {
        const int n = draw.In(1, 20);
        const int kind = draw.In(0, 3);
        std::vector<mpq_class> rows(n * (n + 1));
        for (mpq_class& v : rows) {
            if (kind == 0 && draw.In(0, 2) > 0) continue;  // sparse
            v = kind == 3 ? mpq_class(mpz_class(draw.In(-9, 9)) << draw.In(0, 40)) : draw.In(-9, 9);
            if (kind == 2) v /= draw.In(1, 12);
        }
        if (n > 1 && draw.In(0, 5) == 0)  // a repeated equation
            for (int j = 0; j < n; ++j) rows[(n - 1) * (n + 1) + j] = rows[j];
        const std::vector<mpq_class> want = ReferenceSolve(n, rows);
        std::vector<mpq_class> x;
        if (detail::SolveInWords(n, rows, x)) {
            ++inWords;
            ASSERT_EQ(x, want) << n << " unknowns, draw " << k;
        } else {
            ++gaveWay;  // then GMP's
        }
        ASSERT_EQ(SolveSquareSystem(n, rows), want) << n << " unknowns, draw " << k;
    }
    EXPECT_GT(inWords, 300);
    EXPECT_GT(gaveWay, 20);
}

}  // namespace
}  // namespace velmora
