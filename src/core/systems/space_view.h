// The picture of a system of two or three unknowns: its lines in the plane
// or its planes in space, each cut to a box around the solution (or the
// origin) and projected on a view of a given size, with the common point or
// line. Plain geometry in doubles: the window only paints what this gives.
#pragma once

#include <optional>
#include <vector>

#include "core/systems/discussion.h"
#include "core/systems/linear_system.h"

namespace velmora {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

struct Point2 {
    double x = 0, y = 0;
};

// The box: a cube (a square for two unknowns, z = 0) of side 2 * half.
struct ViewBox {
    Vec3 centre;
    double half = 5;
};

// How the box is turned: about the vertical axis, then tilted towards the
// viewer. Radians.
struct Camera {
    double turn = 0.6;
    double tilt = 0.45;
};

// The part of the plane a·p = b inside the box, its corners in order round
// it; empty when it misses the box. For two unknowns (a.z = 0 and the box
// flat) a segment.
std::vector<Vec3> PlaneInBox(const Vec3& a, double b, const ViewBox& box, bool flat);
// The part of the line p + t d inside the box: its two ends, or nothing.
std::optional<std::pair<Vec3, Vec3>> LineInBox(const Vec3& p, const Vec3& d, const ViewBox& box);

// Where p lands on a view of width x height: the box turned by the camera
// (a flat box is seen from above, unturned), the whole box inside the view.
Point2 Project(const Vec3& p, const ViewBox& box, const Camera& camera, bool flat, double width,
               double height);

// What the window draws, in view coordinates.
struct Scene {
    bool flat = false;  // two unknowns
    // One per equation that is a line or a plane, in the order of the rows:
    // a polygon (planes) or a segment (lines); empty when it misses the box.
    std::vector<int> rows;  // 1-based row of each shape
    std::vector<std::vector<Point2>> shapes;
    // Planes: where each two that cut meet, the part of that line in the box.
    std::vector<std::pair<Point2, Point2>> meets;
    // Lines: the point where each two that cut meet, inside the box.
    std::vector<Point2> crossings;
    // The common point (one point) or line (two ends), when there is one.
    std::vector<Point2> common;
    // The box's twelve edges (four sides when flat), as pairs of ends.
    std::vector<std::pair<Point2, Point2>> edges;
};

// The box of a system: round its solution (at λ = μ = 0) or the origin,
// large enough that every line or plane crosses it.
ViewBox BoxOf(const SystemAnalysis& analysis);
// The scene of a system of two or three unknowns; an empty one otherwise.
Scene SceneOf(const SystemAnalysis& analysis, const Camera& camera, double width, double height);

// The system of numbers a discussion stands for at a = value; nothing when
// a number does not fit 32 bits.
std::optional<Matrix> SystemAt(const Discussion& d, const mpq_class& value);

}  // namespace velmora
