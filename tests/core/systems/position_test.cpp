// Where the lines and planes of a system stand: every position on a system
// worked by hand, and random systems with chosen parallel and coincident
// equations against pair relations and ranks computed here.
#include "core/systems/position.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/systems/discussion.h"
#include "core/systems/discussion_text.h"
#include "core/systems/linear_system.h"

namespace velmora {
namespace {

using Rows = std::vector<std::vector<int>>;
using P = Position;

Matrix MatrixOf(const Rows& rows) {
    Matrix m = Matrix::Zero(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = 0; j < rows[i].size(); ++j)
            m.at(static_cast<int>(i) + 1, static_cast<int>(j) + 1) = Fraction(rows[i][j]);
    return m;
}

TEST(PositionTest, EveryPositionOnASystemWorkedByHand) {
    const struct {
        Rows rows;
        Position position;
    } cases[] = {
        // Lines: x + y = 2 and x - y = 0 meet at (1, 1).
        {{{1, 1, 2}, {1, -1, 0}}, P::TwoLinesCut},
        {{{1, 1, 2}, {2, 2, 5}}, P::TwoLinesParallel},
        {{{1, 1, 2}, {-2, -2, -4}}, P::TwoLinesCoincident},
        {{{1, 1, 2}, {1, -1, 0}, {1, 0, 1}}, P::ThreeLinesCut},
        {{{1, 1, 2}, {3, 3, 6}, {1, 0, 1}}, P::TwoLinesCoincideThirdCuts},
        {{{1, 0, 0}, {0, 1, 0}, {1, 1, 1}}, P::Triangle},
        {{{1, 0, 0}, {2, 0, 1}, {1, 1, 1}}, P::TwoLinesParallelThirdCuts},
        {{{1, 2, 0}, {1, 2, 1}, {-1, -2, 5}}, P::ThreeLinesParallel},
        {{{1, 2, 0}, {2, 4, 0}, {1, 2, 1}}, P::TwoLinesCoincideThirdParallel},
        {{{1, 2, 3}, {2, 4, 6}, {-1, -2, -3}}, P::ThreeLinesCoincident},
        {{{1, 0, 1}, {0, 1, 1}, {1, 1, 2}, {1, -1, 0}}, P::FourLinesCut},
        {{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}, P::FourLinesCoincident},
        {{{1, 0, 1}, {0, 1, 1}, {1, 1, 2}, {1, -1, 1}}, P::FourLinesNoCommonPoint},
        {{{0, 0, 3}, {1, 1, 1}}, P::NoLine},
        {{{1, 1, 1}}, P::OneLine},
        // Planes.
        {{{1, 1, 1, 1}}, P::OnePlane},
        {{{1, 0, 0, 1}, {0, 1, 0, 1}}, P::TwoPlanesCut},
        {{{1, 1, 1, 1}, {2, 2, 2, 1}}, P::TwoPlanesParallel},
        {{{1, 1, 1, 1}, {2, 2, 2, 2}}, P::TwoPlanesCoincident},
        {{{1, 0, 0, 1}, {0, 1, 0, 2}, {0, 0, 1, 3}}, P::ThreePlanesPoint},
        // The third is the sum of the first two: a sheaf through x = 1, y = 2.
        {{{1, 0, 0, 1}, {0, 1, 0, 2}, {1, 1, 0, 3}}, P::Sheaf},
        {{{1, 0, 0, 1}, {2, 0, 0, 2}, {0, 1, 0, 2}}, P::TwoPlanesCoincideThirdCuts},
        // As the sheaf, but the third is moved: three parallel lines along z.
        {{{1, 0, 0, 1}, {0, 1, 0, 2}, {1, 1, 0, 4}}, P::Prism},
        {{{1, 0, 0, 1}, {1, 0, 0, 2}, {0, 1, 0, 2}}, P::TwoPlanesParallelThirdCuts},
        {{{0, 0, 1, 1}, {0, 0, 1, 2}, {0, 0, 2, 3}}, P::ThreePlanesParallel},
        {{{0, 0, 1, 1}, {0, 0, 2, 2}, {0, 0, 1, 3}}, P::TwoPlanesCoincideThirdParallel},
        {{{1, 2, 3, 4}, {2, 4, 6, 8}, {-1, -2, -3, -4}}, P::ThreePlanesCoincident},
        {{{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 1, 3}}, P::FourPlanesPoint},
        {{{1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 0, 2}, {1, -1, 0, 0}}, P::FourPlanesLine},
        {{{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}, {-1, -1, -1, -1}}, P::FourPlanesCoincident},
        {{{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 1, 0}}, P::FourPlanesNoCommonPoint},
        {{{1, 1, 1, 1}, {0, 0, 0, 2}}, P::NoPlane},
        // One or four unknowns: no position.
        {{{1, 2}}, P::None},
        {{{1, 1, 1, 1, 1}}, P::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.rows));
        EXPECT_EQ(AnalyseSystem(MatrixOf(c.rows)).position, c.position);
    }
}

// A discussion names each case in its own arithmetic: x + ay = 1,
// ax + 2y = a are one line for a^2 = 2 (the second is a times the first
// there), parallel for a = 0 and cut elsewhere; the same for the planes
// with a z column of zeros.
TEST(PositionTest, EveryCaseOfADiscussionInItsArithmetic) {
    for (const bool planes : {false, true}) {
        std::vector<std::vector<std::string>> cells{{"1", "a", "1"}, {"a", "2", "a"}};
        if (planes)
            for (auto& row : cells) row.insert(row.end() - 1, "0");
        const Discussion d = DiscussCells(cells).discussion;
        ASSERT_EQ(d.cases.size(), 2u);
        EXPECT_EQ(d.cases[0].kind, CaseKind::General);
        EXPECT_EQ(d.cases[0].position, planes ? P::TwoPlanesCut : P::TwoLinesCut);
        EXPECT_EQ(d.cases[1].kind, CaseKind::Factor);
        EXPECT_EQ(d.cases[1].position, planes ? P::TwoPlanesCoincident : P::TwoLinesCoincident);
    }
    // At a = 0 the first equation is 0 = 0 and is left out, or it is 0 = 1.
    for (const bool null : {true, false}) {
        const Discussion d =
            DiscussCells({{"a", "a", null ? "a" : "1"}, {"0", "1", "1"}}).discussion;
        ASSERT_EQ(d.cases.size(), 2u);
        EXPECT_EQ(d.cases[0].position, P::TwoLinesCut);
        EXPECT_EQ(d.cases[1].value, 0);
        EXPECT_EQ(d.cases[1].position, null ? P::OneLine : P::NoLine);
    }
    // x = 0, y = 0 and (a^2 - 2)x + y = 1 form a triangle for every a, but
    // for a^2 = 2 the third is parallel to the second: the ranks stay, the
    // position is said apart.
    const Discussion t =
        DiscussCells({{"1", "0", "0"}, {"0", "1", "0"}, {"a^2-2", "1", "1"}}).discussion;
    ASSERT_EQ(t.cases.size(), 1u);
    EXPECT_EQ(t.cases[0].position, P::Triangle);
    EXPECT_EQ(DiscussionLines(t).back(),
              "   Posición para a tal que a^2 - 2 = 0: Dos rectas son paralelas y la tercera las "
              "corta");
}

// --- Random systems against relations found here ---

using Q = mpq_class;
using QRows = std::vector<std::vector<Q>>;

int Rank(QRows m, std::size_t cols) {
    int rank = 0;
    for (std::size_t c = 0; c < cols; ++c) {
        std::size_t p = static_cast<std::size_t>(rank);
        while (p < m.size() && m[p][c] == 0) ++p;
        if (p == m.size()) continue;
        std::swap(m[p], m[static_cast<std::size_t>(rank)]);
        for (std::size_t r = static_cast<std::size_t>(rank) + 1; r < m.size(); ++r) {
            const Q f = m[r][c] / m[static_cast<std::size_t>(rank)][c];
            for (std::size_t k = c; k < cols; ++k)
                m[r][k] -= f * m[static_cast<std::size_t>(rank)][k];
        }
        ++rank;
    }
    return rank;
}

enum class Pair { Cut, Parallel, Coincident };

// Two equations by the ranks of their own 2-row system.
Pair PairOf(const std::vector<Q>& u, const std::vector<Q>& v, std::size_t n) {
    if (Rank({u, v}, n) == 2) return Pair::Cut;
    return Rank({u, v}, n + 1) == 2 ? Pair::Parallel : Pair::Coincident;
}

// The position of two, three or four lines or planes from how each pair
// stands and whether the whole system has a common point.
Position Expected(const QRows& m, std::size_t n) {
    const bool lines = n == 2;
    const int rank = Rank(m, n);
    const bool common = rank == Rank(m, n + 1);
    int cut = 0, parallel = 0, coincident = 0;
    for (std::size_t i = 0; i < m.size(); ++i)
        for (std::size_t j = i + 1; j < m.size(); ++j) {
            const Pair p = PairOf(m[i], m[j], n);
            cut += p == Pair::Cut;
            parallel += p == Pair::Parallel;
            coincident += p == Pair::Coincident;
        }
    if (m.size() == 2) {
        if (cut) return lines ? P::TwoLinesCut : P::TwoPlanesCut;
        if (parallel) return lines ? P::TwoLinesParallel : P::TwoPlanesParallel;
        return lines ? P::TwoLinesCoincident : P::TwoPlanesCoincident;
    }
    if (m.size() == 4) {
        if (!common) return lines ? P::FourLinesNoCommonPoint : P::FourPlanesNoCommonPoint;
        if (rank == 1) return lines ? P::FourLinesCoincident : P::FourPlanesCoincident;
        if (rank == 2 && !lines) return P::FourPlanesLine;
        return lines ? P::FourLinesCut : P::FourPlanesPoint;
    }
    if (coincident == 3) return lines ? P::ThreeLinesCoincident : P::ThreePlanesCoincident;
    if (coincident == 1 && parallel == 2)
        return lines ? P::TwoLinesCoincideThirdParallel : P::TwoPlanesCoincideThirdParallel;
    if (coincident == 1)
        return lines ? P::TwoLinesCoincideThirdCuts : P::TwoPlanesCoincideThirdCuts;
    if (parallel == 3) return lines ? P::ThreeLinesParallel : P::ThreePlanesParallel;
    if (parallel == 1) return lines ? P::TwoLinesParallelThirdCuts : P::TwoPlanesParallelThirdCuts;
    if (rank == 3) return P::ThreePlanesPoint;
    if (common) return lines ? P::ThreeLinesCut : P::Sheaf;
    return lines ? P::Triangle : P::Prism;
}

// Rows built to stand as chosen: each equation is a fresh one, a multiple of
// an earlier one (coincident), that multiple with another right-hand side
// (parallel), or a combination of two earlier ones, its right-hand side
// kept (through their common points) or moved.
TEST(PositionTest, RandomSystemsAgreeWithTheirPairsAndRanks) {
    std::mt19937 rng(27);
    const auto draw = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    int seen[64] = {};
    for (int trial = 0; trial < 4000; ++trial) {
        const std::size_t n = static_cast<std::size_t>(draw(2, 3));
        const std::size_t rows = static_cast<std::size_t>(draw(2, 4));
        QRows m;
        for (std::size_t i = 0; i < rows; ++i) {
            std::vector<Q> row(n + 1);
            const int how = i == 0 ? 0 : draw(0, i >= 2 ? 4 : 2);
            const int last = static_cast<int>(i) - 1;
            const std::vector<Q> u = i ? m[static_cast<std::size_t>(draw(0, last))] : row;
            const std::vector<Q> v = i ? m[static_cast<std::size_t>(draw(0, last))] : row;
            const Q k(draw(1, 4) * (draw(0, 1) ? 1 : -1), draw(1, 3));
            for (std::size_t j = 0; j <= n; ++j) {
                if (how == 0) row[j] = draw(-3, 3);
                if (how == 1 || how == 2) row[j] = k * u[j];
                if (how >= 3) row[j] = u[j] + k * v[j];
            }
            if (how == 2 || how == 4) row[n] += draw(1, 3);
            bool zero = true;
            for (std::size_t j = 0; j < n; ++j) zero = zero && row[j] == 0;
            if (zero) row[0] = 1;  // every equation a line or a plane
            m.push_back(row);
        }
        Matrix a = Matrix::Zero(static_cast<int>(rows), static_cast<int>(n) + 1);
        bool fits = true;
        for (std::size_t i = 0; i < rows; ++i)
            for (std::size_t j = 0; j <= n; ++j) {
                Q& q = m[i][j];
                q.canonicalize();
                fits = fits && abs(q.get_num()) < 1000000 && q.get_den() < 1000000;
                if (fits)
                    a.at(static_cast<int>(i) + 1, static_cast<int>(j) + 1) =
                        Fraction(static_cast<int>(q.get_num().get_si()),
                                 static_cast<int>(q.get_den().get_si()));
            }
        if (!fits) continue;
        const Position expected = Expected(m, n);
        SCOPED_TRACE(trial);
        EXPECT_EQ(AnalyseSystem(a).position, expected);
        ++seen[static_cast<int>(expected)];
    }
    // Every position of two to four lines or planes came up.
    for (const Position p : {P::TwoLinesCut,
                             P::TwoLinesParallel,
                             P::TwoLinesCoincident,
                             P::ThreeLinesCut,
                             P::TwoLinesCoincideThirdCuts,
                             P::Triangle,
                             P::TwoLinesParallelThirdCuts,
                             P::ThreeLinesParallel,
                             P::TwoLinesCoincideThirdParallel,
                             P::ThreeLinesCoincident,
                             P::FourLinesCut,
                             P::FourLinesCoincident,
                             P::FourLinesNoCommonPoint,
                             P::TwoPlanesCut,
                             P::TwoPlanesParallel,
                             P::TwoPlanesCoincident,
                             P::ThreePlanesPoint,
                             P::Sheaf,
                             P::TwoPlanesCoincideThirdCuts,
                             P::Prism,
                             P::TwoPlanesParallelThirdCuts,
                             P::ThreePlanesParallel,
                             P::TwoPlanesCoincideThirdParallel,
                             P::ThreePlanesCoincident,
                             P::FourPlanesPoint,
                             P::FourPlanesLine,
                             P::FourPlanesCoincident,
                             P::FourPlanesNoCommonPoint})
        EXPECT_GT(seen[static_cast<int>(p)], 0) << static_cast<int>(p);
}

}  // namespace
}  // namespace velmora
