// Random matrices with a parameter against an independent exact computation:
// every stated determinant, rank and inverse, put to the test by putting
// values into the matrix and eliminating in GMP rationals.
#include "core/matrix/parametric_matrix.h"

#include <gtest/gtest.h>

#include <random>

#include "support/matrix_reference.h"

namespace velmora {
namespace {

using test::QDet;
using test::QMat;
using test::QRank;

QMat At(const PolynomialMatrix& m, const mpq_class& v) {
    QMat a = test::QZero(static_cast<std::size_t>(m.rows), static_cast<std::size_t>(m.cols));
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j) a[i - 1][j - 1] = m.at(i, j).Evaluate(v);
    return a;
}

Polynomial Poly(std::initializer_list<long> coefficients) {
    Polynomial p;
    for (long c : coefficients) p.coefficients.push_back(mpq_class(c));
    p.Trim();
    return p;
}

Polynomial Times(const Polynomial& p, const Polynomial& q) {
    Polynomial r;
    if (p.IsZero() || q.IsZero()) return r;
    r.coefficients.assign(p.coefficients.size() + q.coefficients.size() - 1, 0);
    for (std::size_t i = 0; i < p.coefficients.size(); ++i)
        for (std::size_t j = 0; j < q.coefficients.size(); ++j)
            r.coefficients[i + j] += p.coefficients[i] * q.coefficients[j];
    r.Trim();
    return r;
}

Polynomial Plus(const Polynomial& p, const Polynomial& q) {
    Polynomial r = p;
    r.coefficients.resize(std::max(p.coefficients.size(), q.coefficients.size()));
    for (std::size_t i = 0; i < q.coefficients.size(); ++i) r.coefficients[i] += q.coefficients[i];
    r.Trim();
    return r;
}

// An n x n matrix of degree <= 2 whose last row is q times a row of numbers
// plus a combination of the others: det is a multiple of q, so the roots of q
// are critical (rational for q = k - c, irrational for q = k^2 - 2).
PolynomialMatrix Random(std::mt19937& g, int n, const Polynomial& q) {
    std::uniform_int_distribution<long> c(-3, 3);
    PolynomialMatrix m(n, n);
    const bool linear = q.Degree() <= 1;
    for (int i = 1; i < n; ++i)
        for (int j = 1; j <= n; ++j) m.at(i, j) = linear ? Poly({c(g), c(g) / 2}) : Poly({c(g)});
    std::vector<long> mix;
    for (int i = 1; i < n; ++i) mix.push_back(c(g));
    for (int j = 1; j <= n; ++j) {
        Polynomial last = Times(q, Poly({c(g)}));
        for (int i = 1; i < n; ++i) last = Plus(last, Times(m.at(i, j), Poly({mix[i - 1]})));
        m.at(n, j) = last;
    }
    return m;
}

// Numbers x + y√D for one D > 0 that is no square: the field of the roots
// of an irreducible quadratic, to put such a root into the matrix exactly.
struct Surd {
    mpq_class x, y;
};

Surd Mul(const Surd& a, const Surd& b, const mpq_class& d) {
    return {a.x * b.x + a.y * b.y * d, a.x * b.y + a.y * b.x};
}

// The rank of m at the root (-q + √D)/(2p) of p k^2 + q k + r.
int RankAtQuadraticRoot(const PolynomialMatrix& m, const Polynomial& f) {
    const mpq_class p = f.coefficients[2], q = f.coefficients[1], r = f.coefficients[0];
    const mpq_class d = q * q - 4 * p * r;
    const Surd root{-q / (2 * p), 1 / (2 * p)};
    std::vector<std::vector<Surd>> a(static_cast<std::size_t>(m.rows));
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            Surd v{0, 0};
            const std::vector<mpq_class>& c = m.at(i, j).coefficients;
            for (auto k = c.rbegin(); k != c.rend(); ++k) {
                v = Mul(v, root, d);
                v.x += *k;
            }
            a[i - 1].push_back(v);
        }
    }
    const auto zero = [](const Surd& v) { return v.x == 0 && v.y == 0; };
    int rank = 0;
    for (int j = 0; j < m.cols && rank < m.rows; ++j) {
        int p0 = rank;
        while (p0 < m.rows && zero(a[p0][j])) ++p0;
        if (p0 == m.rows) continue;
        std::swap(a[p0], a[rank]);
        const Surd& pivot = a[rank][j];
        const mpq_class norm = pivot.x * pivot.x - pivot.y * pivot.y * d;
        const Surd inverse{pivot.x / norm, -pivot.y / norm};
        for (int t = rank + 1; t < m.rows; ++t) {
            const Surd factor = Mul(a[t][j], inverse, d);
            for (int k = j; k < m.cols; ++k) {
                const Surd minus = Mul(factor, a[rank][k], d);
                a[t][k].x -= minus.x;
                a[t][k].y -= minus.y;
            }
        }
        ++rank;
    }
    return rank;
}

bool IsRoot(const RealRoots& r, const mpq_class& v) {
    for (const mpq_class& x : r.values)
        if (x == v) return true;
    for (const Polynomial& f : r.factors)
        if (f.Evaluate(v) == 0) return true;
    return false;
}

TEST(ParametricMatrixTest, DeterminantRankAndInverseHoldAtEveryValue) {
    std::mt19937 g(23);
    const Polynomial qs[] = {Poly({-2, 1}), Poly({1, 2}), Poly({-2, 0, 1}), Poly({3, 0, -1}),
                             Poly({1})};
    int factorCases = 0;
    int quadratic = 0;
    for (int round = 0; round < 240; ++round) {
        const int n = 2 + round % 3;
        const Polynomial& q = qs[round % 5];
        const PolynomialMatrix m = Random(g, n, q);
        SCOPED_TRACE(round);
        const ParametricDeterminant d = DeterminantOf(m);
        const ParametricRank r = RankOf(m);
        const ParametricInverse inv = InverseOf(m);
        for (const mpq_class& v : d.zeros.values) EXPECT_EQ(QDet(At(m, v)), 0);
        if (!d.value.IsZero() && q.Degree() >= 1) {
            for (const mpq_class& v : RootsOf(q).values) EXPECT_TRUE(IsRoot(d.zeros, v));
        }
        const RankCase& general = r.cases[0];
        const RealRoots critical{general.excludedValues, general.excludedFactors};
        // Integers and fractions around the roots: the determinant always, the
        // rank and the inverse wherever no case is stated.
        for (int t = -8; t <= 8; ++t) {
            mpq_class v(t, 1 + (t + 8) % 3);
            v.canonicalize();
            const QMat a = At(m, v);
            EXPECT_EQ(d.value.Evaluate(v), QDet(a));
            if (IsRoot(critical, v)) continue;
            EXPECT_EQ(QRank(a), general.rank) << v;
            if (QDet(a) == 0) continue;
            ASSERT_FALSE(inv.entries.empty());
            QMat b = test::QZero(static_cast<std::size_t>(n), static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    const RationalFunction& e = inv.entries[static_cast<std::size_t>(i * n + j)];
                    b[i][j] = e.numerator.Evaluate(v) / e.denominator.Evaluate(v);
                }
            EXPECT_EQ(test::QProduct(a, b), test::QIdentity(static_cast<std::size_t>(n))) << v;
        }
        for (const RankCase& c : r.cases) {
            if (c.kind == CaseKind::Value) {
                EXPECT_EQ(QRank(At(m, c.value)), c.rank) << c.value;
                EXPECT_LT(c.rank, general.rank);
            } else if (c.kind == CaseKind::Factor) {
                ++factorCases;
                EXPECT_LT(c.rank, general.rank);
                if (c.factor.Degree() == 2) {
                    EXPECT_EQ(RankAtQuadraticRoot(m, c.factor), c.rank);
                    ++quadratic;
                }
            }
        }
        // Where det = the value at a random integer, that integer is listed.
        const mpq_class at(static_cast<long>(round % 7) - 3);
        bool every = false;
        const RealRoots values = ValuesWithDeterminant(m, d.value.Evaluate(at), every);
        EXPECT_TRUE(every || IsRoot(values, at));
    }
    EXPECT_GT(factorCases, 20);
    EXPECT_GT(quadratic, 20);
}

}  // namespace
}  // namespace velmora
