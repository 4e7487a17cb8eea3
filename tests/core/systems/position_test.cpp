// Where the lines and planes of a system stand: every position on a system
// worked by hand, and random systems with chosen parallel and coincident
// equations against pair relations and ranks computed here.
#include "core/systems/position.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "core/systems/discussion.h"
#include "core/systems/discussion_text.h"
#include "core/systems/linear_system.h"
#include "support/matrix_reference.h"

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
// A case of a discussion in its own arithmetic: at a = 0 the first equation
// is 0 = 0 and left out, or 0 = 1. And x = 0, y = 0, (a^2 - 2)x + y = 1 form
// a triangle for every a, but for a^2 = 2 two are parallel: the ranks stay,
// the position is said apart.
TEST(PositionTest, CasesOfADiscussion) {
    for (const bool null : {true, false}) {
        const Discussion d =
            DiscussCells({{"a", "a", null ? "a" : "1"}, {"0", "1", "1"}}).discussion;
        ASSERT_EQ(d.cases.size(), 2u);
        EXPECT_EQ(d.cases[0].position, P::TwoLinesCut);
        EXPECT_EQ(d.cases[1].position, null ? P::OneLine : P::NoLine);
    }
    const Discussion t =
        DiscussCells({{"1", "0", "0"}, {"0", "1", "0"}, {"a^2-2", "1", "1"}}).discussion;
    ASSERT_EQ(t.cases.size(), 1u);
    EXPECT_EQ(t.cases[0].position, P::Triangle);
    EXPECT_EQ(DiscussionLines(t).back(),
              "   Posición para a = ±√2: Dos rectas son paralelas y la tercera las "
              "corta");
}

// --- Random systems against relations found here ---

using test::QMat;

int Rank(QMat m, std::size_t cols) {
    for (auto& row : m) row.resize(cols);
    return test::QRank(m);
}

// The position of two, three or four lines or planes from how each two
// stand (the ranks of their own system) and whether all have a common point.
Position Expected(const QMat& m, std::size_t n) {
    const bool lines = n == 2;
    const int rank = Rank(m, n);
    const bool common = rank == Rank(m, n + 1);
    int cut = 0, parallel = 0, coincident = 0;
    for (std::size_t i = 0; i < m.size(); ++i)
        for (std::size_t j = i + 1; j < m.size(); ++j) {
            const bool cuts = Rank({m[i], m[j]}, n) == 2;
            cut += cuts;
            parallel += !cuts && Rank({m[i], m[j]}, n + 1) == 2;
            coincident += Rank({m[i], m[j]}, n + 1) == 1;
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
    std::set<Position> seen;
    for (int trial = 0; trial < 4000; ++trial) {
        const std::size_t n = static_cast<std::size_t>(draw(2, 3));
        const int rows = draw(2, 4);
        QMat m;
        for (int i = 0; i < rows; ++i) {
            std::vector<mpq_class> row(n + 1);
            const int how = i == 0 ? 0 : draw(0, i >= 2 ? 4 : 2);
            const auto& u = i ? m[static_cast<std::size_t>(draw(0, i - 1))] : row;
            const auto& v = i ? m[static_cast<std::size_t>(draw(0, i - 1))] : row;
            const mpq_class k(draw(1, 4) * (draw(0, 1) ? 1 : -1), draw(1, 3));
            for (std::size_t j = 0; j <= n; ++j) {
                row[j] = how == 0   ? mpq_class(draw(-3, 3))
                         : how <= 2 ? mpq_class(k * u[j])
                                    : mpq_class(u[j] + k * v[j]);
                row[j].canonicalize();
            }
            if (how == 2 || how == 4) row[n] += draw(1, 3);
            if (Rank({row}, n) == 0) row[0] = 1;  // every equation a line or a plane
            m.push_back(row);
        }
        if (!test::Fits(m)) continue;
        const Position expected = Expected(m, n);
        SCOPED_TRACE(trial);
        EXPECT_EQ(
            AnalyseSystem(
                test::Build(
                    rows, static_cast<int>(n) + 1,
                    [&](int i, int j) {
                        return test::Narrow(
                            m[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)]);
                    },
                    false))
                .position,
            expected);
        seen.insert(expected);
    }
    EXPECT_EQ(seen.size(), 28u) << "every position of two to four lines or planes";
}

}  // namespace
}  // namespace velmora
