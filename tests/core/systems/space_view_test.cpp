// The picture's geometry: every line or plane of random systems crosses the
// box, lands inside the view, and goes through the common point or line.
#include "core/systems/space_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/arith/rational.h"

namespace velmora {
namespace {

// p inside the convex polygon (or on the segment) `shape`, up to `slack` pixels.
bool Inside(const Point2& p, const std::vector<Point2>& shape, double slack) {
    if (shape.size() == 2) {
        const double dx = shape[1].x - shape[0].x, dy = shape[1].y - shape[0].y;
        const double t = ((p.x - shape[0].x) * dx + (p.y - shape[0].y) * dy) / (dx * dx + dy * dy);
        const double ex = shape[0].x + t * dx - p.x, ey = shape[0].y + t * dy - p.y;
        return t > -0.01 && t < 1.01 && std::hypot(ex, ey) <= slack;
    }
    int side = 0;
    for (std::size_t k = 0; k < shape.size(); ++k) {
        const Point2& u = shape[k];
        const Point2& v = shape[(k + 1) % shape.size()];
        const double cross = (v.x - u.x) * (p.y - u.y) - (v.y - u.y) * (p.x - u.x);
        const double edge = std::hypot(v.x - u.x, v.y - u.y);
        if (std::abs(cross) <= slack * edge) continue;
        const int s = cross > 0 ? 1 : -1;
        if (side != 0 && s != side) return false;
        side = s;
    }
    return true;
}

TEST(SpaceViewTest, EveryShapeCrossesTheBoxInsideTheViewThroughTheCommonPart) {
    std::mt19937 rng(27);
    const auto draw = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    const double w = 400, h = 300;
    int points = 0, lines = 0;
    std::size_t meets = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        const int n = draw(2, 3), rows = draw(2, 4);
        Matrix m = Matrix::Zero(rows, n + 1);
        for (int i = 1; i <= rows; ++i)
            for (int j = 1; j <= n + 1; ++j) m.at(i, j) = Fraction(draw(-6, 6));
        // Often a row the sum of the first two: a common line or point.
        if (rows >= 3 && draw(0, 1))
            for (int j = 1; j <= n + 1; ++j) m.at(3, j) = Fraction(m.at(1, j).num + m.at(2, j).num);
        if (!CheckRows(m)) continue;
        const SystemAnalysis a = AnalyseSystem(m);
        const Camera camera{draw(0, 628) / 100.0, draw(-150, 150) / 100.0};
        const Scene s = SceneOf(a, camera, w, h);
        SCOPED_TRACE(trial);
        int planes = 0;
        for (int i = 1; i <= rows; ++i) {
            bool any = false;
            for (int j = 1; j <= n; ++j) any = any || !m.at(i, j).IsZero();
            planes += any;
        }
        ASSERT_EQ(static_cast<int>(s.shapes.size()), planes);
        for (const auto& shape : s.shapes) {
            ASSERT_GE(shape.size(), n == 2 ? 2u : 3u) << "every one crosses the box";
            for (const Point2& p : shape) {
                EXPECT_GE(p.x, 0);
                EXPECT_LE(p.x, w);
                EXPECT_GE(p.y, 0);
                EXPECT_LE(p.y, h);
            }
            for (const Point2& p : s.common) EXPECT_TRUE(Inside(p, shape, 0.5));
        }
        for (const Point2& p : s.crossings) {
            int in = 0;
            for (const auto& shape : s.shapes) in += Inside(p, shape, 0.5);
            EXPECT_GE(in, 2);
        }
        meets += s.crossings.size();
        if (n == 2 && !a.compatible) {  // every crossing in the box
            std::size_t crossing = 0;
            for (int i = 1; i <= rows; ++i)
                for (int k = i + 1; k <= rows; ++k)
                    crossing += !(ToRational(m.at(i, 1)) * ToRational(m.at(k, 2)) ==
                                  ToRational(m.at(i, 2)) * ToRational(m.at(k, 1)));
            EXPECT_EQ(s.crossings.size(), crossing);
        }
        // Where two planes meet lies in both.
        meets += s.meets.size();
        for (const auto& [from, to] : s.meets) {
            int in = 0;
            for (const auto& shape : s.shapes)
                in += Inside(from, shape, 0.5) && Inside(to, shape, 0.5);
            EXPECT_GE(in, 2);
        }
        EXPECT_EQ(s.edges.size(), n == 2 ? 4u : 12u);
        const bool point = a.compatible && a.rankCoefficients == n;
        const bool line = a.compatible && a.rankCoefficients == n - 1;
        EXPECT_EQ(s.common.size(), point ? 1u : line ? 2u : 0u);
        points += point;
        lines += line;
    }
    EXPECT_GT(points, 100);
    EXPECT_GT(lines, 100);
    EXPECT_GT(meets, 1000u);
}

// x + y + z = 0 cuts the cube [-1, 1]^3 in a regular hexagon of side √2,
// its corners in order round it; the line x = y ends at two corners.
TEST(SpaceViewTest, APlaneInTheBoxByHand) {
    const ViewBox box{{0, 0, 0}, 1};
    const std::vector<Vec3> hexagon = PlaneInBox({1, 1, 1}, 0, box, false);
    ASSERT_EQ(hexagon.size(), 6u);
    for (std::size_t k = 0; k < 6; ++k) {
        const Vec3 &p = hexagon[k], &q = hexagon[(k + 1) % 6];
        EXPECT_NEAR(p.x + p.y + p.z, 0, 1e-12);
        EXPECT_NEAR(std::hypot(p.x - q.x, p.y - q.y, p.z - q.z), std::sqrt(2.0), 1e-12);
    }
    EXPECT_EQ(PlaneInBox({1, -1, 0}, 0, box, true).size(), 2u);
}

}  // namespace
}  // namespace velmora
