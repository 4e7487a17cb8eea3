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
    for (int round = 0; round < 240; ++round) {
        const int n = 2 + round % 3;
        const Polynomial& q = qs[round % 5];
        const PolynomialMatrix m = Random(g, n, q);
        SCOPED_TRACE(round);
        const ParametricDeterminant d = DeterminantOf(m);
        const ParametricRank r = RankOf(m);
        const ParametricInverse inv = InverseOf(m);
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
            }
        }
        // Where det = the value at a random integer, that integer is listed.
        const mpq_class at(static_cast<long>(round % 7) - 3);
        bool every = false;
        const RealRoots values = ValuesWithDeterminant(m, d.value.Evaluate(at), every);
        EXPECT_TRUE(every || IsRoot(values, at));
    }
    EXPECT_GT(factorCases, 20);
}

}  // namespace
}  // namespace velmora
