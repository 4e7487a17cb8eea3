// The relative position of the lines (two unknowns) or planes (three
// unknowns) of a system, from the ranks of A and A' and from which equations
// are parallel (proportional coefficients) or coincident (proportional whole
// rows). Its wording is in system_text.h (PositionText).
//
// Four lines in the plane are named by their ranks alone, as four planes:
// a common point, one line for all, or no common point.
#pragma once

#include <array>

namespace velmora {

enum class Position {
    None,  // not two or three unknowns: no position is given
    // Two unknowns: lines in the plane.
    NoLine,       // an equation 0 = k, k ≠ 0
    WholePlane,   // every equation 0 = 0
    OneLine,      // a single equation that is a line
    TwoLinesCut,  // in a point
    TwoLinesParallel,
    TwoLinesCoincident,
    ThreeLinesCut,              // all through one point
    TwoLinesCoincideThirdCuts,  // in a point
    Triangle,                   // three points, two by two
    TwoLinesParallelThirdCuts,
    ThreeLinesParallel,
    TwoLinesCoincideThirdParallel,
    ThreeLinesCoincident,
    FourLinesCut,  // a common point
    FourLinesCoincident,
    FourLinesNoCommonPoint,
    // Three unknowns: planes in space.
    NoPlane,     // an equation 0 = k, k ≠ 0
    WholeSpace,  // every equation 0 = 0
    OnePlane,
    TwoPlanesCut,  // in a line
    TwoPlanesParallel,
    TwoPlanesCoincident,
    ThreePlanesPoint,
    Sheaf,                       // all distinct, through one line
    TwoPlanesCoincideThirdCuts,  // in a line
    Prism,                       // two by two in three parallel lines
    TwoPlanesParallelThirdCuts,
    ThreePlanesParallel,
    TwoPlanesCoincideThirdParallel,
    ThreePlanesCoincident,
    FourPlanesPoint,
    FourPlanesLine,
    FourPlanesCoincident,
    FourPlanesNoCommonPoint,
};

// How the equations (at most four) stand to one another, each test made
// exactly by the caller in its own arithmetic.
struct RowRelations {
    int rows = 0;
    std::array<bool, 4> noCoefficients{};  // every coefficient 0
    std::array<bool, 4> null{};            // 0 = 0
    // For i < j: coefficient rows proportional; whole rows proportional.
    std::array<std::array<bool, 4>, 4> parallel{};
    std::array<std::array<bool, 4>, 4> coincident{};
};

// The relations of the rows of an augmented matrix with `unknowns` columns of
// coefficients and the right-hand side after them (column `unknowns`, from
// 0). zero(rows, columns) says whether the minor on those sets (bit masks,
// one or two of each) vanishes.
template <class ZeroMinor>
RowRelations RelationsOf(int rows, int unknowns, ZeroMinor zero) {
    RowRelations r;
    r.rows = rows;
    const auto allZero = [&](int rowMask, int columns, int size) {
        for (int c = 1; c < (1 << columns); ++c)
            if (__builtin_popcount(static_cast<unsigned>(c)) == size && !zero(rowMask, c))
                return false;
        return true;
    };
    for (int i = 0; i < rows; ++i) {
        r.noCoefficients[i] = allZero(1 << i, unknowns, 1);
        r.null[i] = r.noCoefficients[i] && zero(1 << i, 1 << unknowns);
        for (int j = i + 1; j < rows; ++j) {
            r.parallel[i][j] = allZero(1 << i | 1 << j, unknowns, 2);
            r.coincident[i][j] = r.parallel[i][j] && allZero(1 << i | 1 << j, unknowns + 1, 2);
        }
    }
    return r;
}

// The position of the system's lines or planes: Position::None unless there
// are two or three unknowns. The ranks are those of the whole system; an
// equation 0 = 0 is no line or plane and is left out.
Position PositionOf(int unknowns, int rankCoefficients, int rankAugmented,
                    const RowRelations& relations);

}  // namespace velmora
