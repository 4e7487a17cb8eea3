#include "core/systems/position.h"

namespace velmora {

namespace {

// The words of one dimension: lines in the plane or planes in space.
struct Shapes {
    Position none, whole, one;
    Position twoCut, twoParallel, twoCoincident;
    Position threeCut, coincideThirdCuts, threeAround, parallelThirdCuts;
    Position threeParallel, coincideThirdParallel, threeCoincident;
    Position fourPoint, fourLine, fourCoincident, fourNone;
};

constexpr Shapes kLines{Position::NoLine,
                        Position::WholePlane,
                        Position::OneLine,
                        Position::TwoLinesCut,
                        Position::TwoLinesParallel,
                        Position::TwoLinesCoincident,
                        Position::ThreeLinesCut,
                        Position::TwoLinesCoincideThirdCuts,
                        Position::Triangle,
                        Position::TwoLinesParallelThirdCuts,
                        Position::ThreeLinesParallel,
                        Position::TwoLinesCoincideThirdParallel,
                        Position::ThreeLinesCoincident,
                        Position::FourLinesCut,
                        Position::None,  // a common line of four lines is all of them: rank 1
                        Position::FourLinesCoincident,
                        Position::FourLinesNoCommonPoint};

constexpr Shapes kPlanes{Position::NoPlane,
                         Position::WholeSpace,
                         Position::OnePlane,
                         Position::TwoPlanesCut,
                         Position::TwoPlanesParallel,
                         Position::TwoPlanesCoincident,
                         Position::Sheaf,
                         Position::TwoPlanesCoincideThirdCuts,
                         Position::Prism,
                         Position::TwoPlanesParallelThirdCuts,
                         Position::ThreePlanesParallel,
                         Position::TwoPlanesCoincideThirdParallel,
                         Position::ThreePlanesCoincident,
                         Position::FourPlanesPoint,
                         Position::FourPlanesLine,
                         Position::FourPlanesCoincident,
                         Position::FourPlanesNoCommonPoint};

}  // namespace

Position PositionOf(int unknowns, int rankCoefficients, int rankAugmented, const RowRelations& r) {
    if (unknowns != 2 && unknowns != 3) return Position::None;
    const Shapes& s = unknowns == 2 ? kLines : kPlanes;
    int count = 0;  // equations that are lines or planes
    for (int i = 0; i < r.rows; ++i) {
        if (r.noCoefficients[i] && !r.null[i]) return s.none;
        count += !r.null[i];
    }
    int coincidentPairs = 0;
    int parallelPairs = 0;  // parallel and distinct
    for (int i = 0; i < r.rows; ++i) {
        for (int j = i + 1; j < r.rows; ++j) {
            if (r.null[i] || r.null[j]) continue;
            coincidentPairs += r.coincident[i][j];
            parallelPairs += r.parallel[i][j] && !r.coincident[i][j];
        }
    }
    const bool compatible = rankCoefficients == rankAugmented;
    // Ranks from here on: 1 <= rankCoefficients <= min(count, unknowns).
    switch (count) {
        case 0:
            return s.whole;
        case 1:
            return s.one;
        case 2:
            if (rankCoefficients == 2) return s.twoCut;
            return compatible ? s.twoCoincident : s.twoParallel;
        case 3:
            if (rankCoefficients == 3) return Position::ThreePlanesPoint;
            if (rankCoefficients == 2 && compatible)
                return coincidentPairs > 0 ? s.coincideThirdCuts : s.threeCut;
            if (rankCoefficients == 2)
                return parallelPairs > 0 ? s.parallelThirdCuts : s.threeAround;
            if (compatible) return s.threeCoincident;
            return coincidentPairs > 0 ? s.coincideThirdParallel : s.threeParallel;
        default:
            if (!compatible) return s.fourNone;
            if (rankCoefficients == unknowns) return s.fourPoint;
            return rankCoefficients == 2 ? s.fourLine : s.fourCoincident;
    }
}

}  // namespace velmora
