// The elimination of a matrix with a parameter, step by step over the
// polynomials, as a teacher works it on the board: fraction-free row
// operations ("F2 ← (a - 1)F2 - 2F1"); a pivot that depends on the parameter
// is used only under its condition ("si a ≠ 1:"), and the case where it
// vanishes is followed on its own ("si a = 1:"), substituting the value and
// going on. Each case ends with its conclusion (ranks and verdict, the
// inverse, the form reached). The steps are a flat document: a case's
// condition is a Line with `branch` set, its steps follow one depth deeper
// (steps.h).
#pragma once

#include <string>
#include <vector>

#include "core/matrix/steps.h"
#include "core/systems/discussion.h"

namespace velmora {

enum class BranchedGoal {
    Triangular,   // the triangular form, and the rank of each case
    GaussJordan,  // the diagonal (reduced) form, and the rank of each case
    Rank,         // the triangular form, each case concluding with its rank
    Inverse,      // [A | I] to [I | A^-1] where det ≠ 0; "no tiene inversa" where it vanishes
    System,       // an augmented matrix [A | b]: ranks of A and A', verdict, solution per case
};

struct BranchedSteps {
    bool ok = false;
    std::string reason;       // !ok: why (the size, the degree), for the user
    std::vector<Step> steps;  // ok: the document, starting with "matriz:" and the matrix
};

// The branched elimination of `m` (with or without the parameter) towards
// `goal`.
BranchedSteps BranchedElimination(const PolynomialMatrix& m, BranchedGoal goal);

}  // namespace velmora
