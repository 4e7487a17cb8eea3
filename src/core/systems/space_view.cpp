#include "core/systems/space_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/arith/rational.h"

namespace velmora {

namespace {

Vec3 Plus(const Vec3& p, const Vec3& q) {
    return {p.x + q.x, p.y + q.y, p.z + q.z};
}

Vec3 Times(double k, const Vec3& p) {
    return {k * p.x, k * p.y, k * p.z};
}

double Dot(const Vec3& p, const Vec3& q) {
    return p.x * q.x + p.y * q.y + p.z * q.z;
}

Vec3 Cross(const Vec3& p, const Vec3& q) {
    return {p.y * q.z - p.z * q.y, p.z * q.x - p.x * q.z, p.x * q.y - p.y * q.x};
}

double Length(const Vec3& p) {
    return std::sqrt(Dot(p, p));
}

// The corners of the box (of the square when flat) and its edges, as pairs
// of corners.
std::vector<std::pair<Vec3, Vec3>> Edges(const ViewBox& box, bool flat) {
    const auto corner = [&](int k) {
        const double h = box.half;
        return Vec3{box.centre.x + (k & 1 ? h : -h), box.centre.y + (k & 2 ? h : -h),
                    flat ? 0 : box.centre.z + (k & 4 ? h : -h)};
    };
    std::vector<std::pair<Vec3, Vec3>> edges;
    const int corners = flat ? 4 : 8;
    for (int k = 0; k < corners; ++k)
        for (int bit = 1; bit < corners; bit <<= 1)
            if ((k & bit) == 0) edges.emplace_back(corner(k), corner(k | bit));
    return edges;
}

double Real(const Fraction& f) {
    return static_cast<double>(f.ToReal());
}

}  // namespace

std::vector<Vec3> PlaneInBox(const Vec3& a, double b, const ViewBox& box, bool flat) {
    const double tolerance = 1e-9 * box.half * std::max(1.0, Length(a));
    std::vector<Vec3> points;
    const auto add = [&](const Vec3& p) {
        for (const Vec3& q : points)
            if (Length(Plus(p, Times(-1, q))) <= 1e-9 * box.half) return;
        points.push_back(p);
    };
    for (const auto& [p, q] : Edges(box, flat)) {
        const double fp = Dot(a, p) - b;
        const double fq = Dot(a, q) - b;
        if (std::abs(fp) <= tolerance) add(p);
        if (std::abs(fq) <= tolerance) add(q);
        if ((fp < -tolerance && fq > tolerance) || (fp > tolerance && fq < -tolerance))
            add(Plus(p, Times(fp / (fp - fq), Plus(q, Times(-1, p)))));
    }
    if (points.size() < (flat ? 2u : 3u)) return {};
    // Round the centre of the corners, by their angle in the plane.
    Vec3 mid;
    for (const Vec3& p : points)
        mid = Plus(mid, Times(1.0 / static_cast<double>(points.size()), p));
    const Vec3 u = Plus(points[0], Times(-1, mid));
    const Vec3 v = Cross(a, u);
    std::sort(points.begin(), points.end(), [&](const Vec3& p, const Vec3& q) {
        const Vec3 dp = Plus(p, Times(-1, mid)), dq = Plus(q, Times(-1, mid));
        return std::atan2(Dot(dp, v), Dot(dp, u)) < std::atan2(Dot(dq, v), Dot(dq, u));
    });
    return points;
}

std::optional<std::pair<Vec3, Vec3>> LineInBox(const Vec3& p, const Vec3& d, const ViewBox& box) {
    double from = -std::numeric_limits<double>::infinity();
    double to = std::numeric_limits<double>::infinity();
    const double start[] = {p.x, p.y, p.z};
    const double step[] = {d.x, d.y, d.z};
    const double centre[] = {box.centre.x, box.centre.y, box.centre.z};
    for (int k = 0; k < 3; ++k) {
        const double lo = centre[k] - box.half, hi = centre[k] + box.half;
        if (step[k] == 0) {
            if (start[k] < lo || start[k] > hi) return std::nullopt;
            continue;
        }
        const double t1 = (lo - start[k]) / step[k], t2 = (hi - start[k]) / step[k];
        from = std::max(from, std::min(t1, t2));
        to = std::min(to, std::max(t1, t2));
    }
    if (!(from < to) || std::isinf(from) || std::isinf(to)) return std::nullopt;
    return std::pair{Plus(p, Times(from, d)), Plus(p, Times(to, d))};
}

Point2 Project(const Vec3& p, const ViewBox& box, const Camera& camera, bool flat, double width,
               double height) {
    const Vec3 q = Plus(p, Times(-1, box.centre));
    double across = q.x, up = q.y, reach = box.half;
    if (!flat) {
        const double x = q.x * std::cos(camera.turn) - q.y * std::sin(camera.turn);
        const double depth = q.x * std::sin(camera.turn) + q.y * std::cos(camera.turn);
        across = x;
        up = q.z * std::cos(camera.tilt) - depth * std::sin(camera.tilt);
        reach = box.half * std::sqrt(3.0);  // no corner is farther from the centre
    }
    const double scale = 0.95 * std::min(width, height) / (2 * reach);
    return {width / 2 + scale * across, height / 2 - scale * up};
}

ViewBox BoxOf(const SystemAnalysis& a) {
    ViewBox box;
    const int n = a.unknownCount;
    double centre[3] = {0, 0, 0};
    if (a.compatible && !a.solution.empty()) {
        for (int j = 0; j < n && j < 3; ++j)
            centre[j] = Real(a.solution[static_cast<std::size_t>(j)]);
    } else if (a.compatible && !a.generalSolution.empty()) {
        for (int j = 0; j < n && j < 3; ++j)
            centre[j] = Real(a.generalSolution[static_cast<std::size_t>(j)].constant);
    }
    box.centre = {centre[0], centre[1], centre[2]};
    // Lines with no common point: round the points where each two cross, all
    // of them inside.
    std::vector<Vec3> crossings;
    for (int i = 1; n == 2 && !a.compatible && i <= a.augmented.rows; ++i)
        for (int k = i + 1; k <= a.augmented.rows; ++k) {
            const Matrix& m = a.augmented;
            const double det =
                Real(m.at(i, 1)) * Real(m.at(k, 2)) - Real(m.at(i, 2)) * Real(m.at(k, 1));
            if (det == 0) continue;
            crossings.push_back(
                {(Real(m.at(i, 3)) * Real(m.at(k, 2)) - Real(m.at(i, 2)) * Real(m.at(k, 3))) / det,
                 (Real(m.at(i, 1)) * Real(m.at(k, 3)) - Real(m.at(i, 3)) * Real(m.at(k, 1))) / det,
                 0});
        }
    if (!crossings.empty()) {
        box.centre = {};
        for (const Vec3& p : crossings)
            box.centre = Plus(box.centre, Times(1.0 / static_cast<double>(crossings.size()), p));
    }
    double farthest = 0;
    for (const Vec3& p : crossings)
        farthest = std::max({farthest, std::abs(p.x - box.centre.x), std::abs(p.y - box.centre.y)});
    for (int i = 1; i <= a.augmented.rows; ++i) {
        Vec3 normal;
        double* parts[] = {&normal.x, &normal.y, &normal.z};
        for (int j = 1; j <= n && j <= 3; ++j) *parts[j - 1] = Real(a.augmented.at(i, j));
        const double size = Length(normal);
        if (size == 0) continue;
        const double b = Real(a.augmented.at(i, a.augmented.cols));
        farthest = std::max(farthest, std::abs(Dot(normal, box.centre) - b) / size);
    }
    box.half = std::ceil(std::max(3.0, 1.3 * farthest));
    return box;
}

Scene SceneOf(const SystemAnalysis& a, const Camera& camera, double width, double height) {
    Scene s;
    const int n = a.unknownCount;
    if (n != 2 && n != 3) return s;
    s.flat = n == 2;
    const ViewBox box = BoxOf(a);
    const auto project = [&](const Vec3& p) {
        return Project(p, box, camera, s.flat, width, height);
    };
    std::vector<std::pair<Vec3, double>> planes;
    for (int i = 1; i <= a.augmented.rows; ++i) {
        const Vec3 normal{Real(a.augmented.at(i, 1)), Real(a.augmented.at(i, 2)),
                          n == 3 ? Real(a.augmented.at(i, 3)) : 0};
        if (Length(normal) == 0) continue;
        const double b = Real(a.augmented.at(i, n + 1));
        std::vector<Point2> shape;
        for (const Vec3& p : PlaneInBox(normal, b, box, s.flat)) shape.push_back(project(p));
        s.rows.push_back(i);
        s.shapes.push_back(std::move(shape));
        // The line where it meets each plane before it: along d = n1 x n2,
        // through (b1 (n2 x d) + b2 (d x n1)) / |d|^2.
        for (const auto& [other, c] : planes) {
            const Vec3 d = Cross(other, normal);
            const double size = Dot(d, d);
            if (size <= 1e-12 * Dot(other, other) * Dot(normal, normal)) continue;
            if (s.flat) {  // Cramer's rule; d.z is the determinant
                const Vec3 p{(c * normal.y - b * other.y) / d.z, (other.x * b - normal.x * c) / d.z,
                             0};
                if (std::abs(p.x - box.centre.x) <= box.half &&
                    std::abs(p.y - box.centre.y) <= box.half)
                    s.crossings.push_back(project(p));
                continue;
            }
            const Vec3 p =
                Times(1 / size, Plus(Times(c, Cross(normal, d)), Times(b, Cross(d, other))));
            if (const auto ends = LineInBox(p, d, box))
                s.meets.emplace_back(project(ends->first), project(ends->second));
        }
        planes.emplace_back(normal, b);
    }
    if (a.compatible && !a.solution.empty()) {
        s.common.push_back(
            project({Real(a.solution[0]), Real(a.solution[1]), n == 3 ? Real(a.solution[2]) : 0}));
    } else if (a.compatible && a.rankCoefficients == n - 1 && !a.generalSolution.empty()) {
        Vec3 p, d;
        double* at[] = {&p.x, &p.y, &p.z};
        double* along[] = {&d.x, &d.y, &d.z};
        for (int j = 0; j < n; ++j) {
            const ParametricFraction& v = a.generalSolution[static_cast<std::size_t>(j)];
            *at[j] = Real(v.constant);
            *along[j] = Real(v.coefficients.at(0));
        }
        if (const auto ends = LineInBox(p, d, box)) {
            s.common.push_back(project(ends->first));
            s.common.push_back(project(ends->second));
        }
    }
    for (const auto& [p, q] : Edges(box, s.flat)) s.edges.emplace_back(project(p), project(q));
    return s;
}

std::optional<Matrix> SystemAt(const Discussion& d, const mpq_class& value) {
    Matrix m = Matrix::Zero(d.augmented.rows, d.augmented.cols);
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j)
            if (!NarrowRational(d.augmented.at(i, j).Evaluate(value), m.at(i, j)))
                return std::nullopt;
    return m;
}

}  // namespace velmora
