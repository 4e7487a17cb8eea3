// Random systems against an independent reference in GMP rationals.
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "systems/linear_system.h"

namespace velmora {
namespace {

using RationalRows = std::vector<std::vector<mpq_class>>;

int ReferenceRank(RationalRows m, std::size_t cols) {
    int rank = 0;
    const std::size_t rows = m.size();
    for (std::size_t c = 0; c < cols && rank < static_cast<int>(rows); ++c) {
        std::size_t pivot = rank;
        while (pivot < rows && m[pivot][c] == 0) ++pivot;
        if (pivot == rows) continue;
        std::swap(m[pivot], m[rank]);
        for (std::size_t r = 0; r < rows; ++r) {
            if (r == static_cast<std::size_t>(rank) || m[r][c] == 0) continue;
            const mpq_class factor = m[r][c] / m[rank][c];
            for (std::size_t k = c; k < cols; ++k) m[r][k] -= factor * m[rank][k];
        }
        ++rank;
    }
    return rank;
}

mpq_class Q(const Fraction& f) {
    mpq_class q(f.num, f.den);
    q.canonicalize();
    return q;
}

TEST(SystemProperty, VerdictAgreesWithReferenceRanksAndSolutionsSatisfyEveryEquation) {
    std::mt19937 gen(20240607);
    auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    int determined = 0, undetermined = 0, incompatible = 0;

    for (int iteration = 0; iteration < 2000; ++iteration) {
        const int m = draw(2, 4);
        const int n = draw(2, 4);
        Matrix a = Matrix::Zero(m, n + 1);
        for (int i = 1; i <= m; ++i)
            for (int j = 1; j <= n + 1; ++j) {
                a.at(i, j) = Fraction(draw(-3, 3), draw(1, 2));
                a.at(i, j).Normalize();
            }
        if (draw(0, 2) == 0) {  // a dependent row: a combination of two others
            const int target = draw(1, m), p = draw(1, m), q = draw(1, m);
            const int s = draw(-2, 2), t = draw(-2, 2);
            for (int j = 1; j <= n + 1; ++j) {
                Fraction x, y;
                FracMul(a.at(p, j), Fraction(s), x);
                FracMul(a.at(q, j), Fraction(t), y);
                FracAdd(x, y, a.at(target, j));
            }
        }
        if (draw(0, 3) == 0) {  // an unknown that occurs in no equation
            const int j = draw(1, n);
            for (int i = 1; i <= m; ++i) a.at(i, j) = Fraction(0);
        }
        if (draw(0, 4) == 0) {  // a right-hand side that breaks a dependency
            a.at(draw(1, m), n + 1) = Fraction(draw(-3, 3));
        }
        a.Refresh();
        SCOPED_TRACE(iteration);

        // The reference: ranks on the columns that are not entirely zero.
        std::vector<int> kept;
        for (int j = 1; j <= n; ++j) {
            bool zero = true;
            for (int i = 1; i <= m; ++i) zero = zero && a.at(i, j).IsZero();
            if (!zero) kept.push_back(j);
        }
        RationalRows aug(m), coef(m);
        for (int i = 1; i <= m; ++i) {
            for (int j : kept) coef[i - 1].push_back(Q(a.at(i, j)));
            aug[i - 1] = coef[i - 1];
            aug[i - 1].push_back(Q(a.at(i, n + 1)));
        }
        const int unknowns = static_cast<int>(kept.size());
        const int rankA = ReferenceRank(coef, kept.size());
        const int rankAug = ReferenceRank(aug, kept.size() + 1);

        Matrix reduced = a;
        const SystemAnalysis r = AnalyseSystem(reduced);
        ASSERT_EQ(r.unknownCount, unknowns);
        ASSERT_EQ(r.rankCoefficients, rankA);
        ASSERT_EQ(r.rankAugmented, rankAug);
        ASSERT_EQ(r.compatible, rankA == rankAug);
        if (!r.compatible) {
            ++incompatible;
            EXPECT_TRUE(r.solution.empty());
            continue;
        }
        if (rankA < unknowns) {
            ++undetermined;
            EXPECT_TRUE(r.solution.empty());
            continue;
        }
        ++determined;
        ASSERT_EQ(r.solution.size(), kept.size());
        for (int i = 1; i <= m; ++i) {
            mpq_class lhs = 0;
            for (std::size_t k = 0; k < kept.size(); ++k) lhs += Q(a.at(i, kept[k])) * Q(r.solution[k]);
            EXPECT_EQ(lhs, Q(a.at(i, n + 1))) << "equation " << i;
        }
    }
    // The generator must reach every verdict often enough to mean something.
    EXPECT_GT(determined, 200);
    EXPECT_GT(undetermined, 50);
    EXPECT_GT(incompatible, 200);
}

}  // namespace
}  // namespace velmora
