#include "core/matrix/branched_steps.h"

#include "core/matrix/parametric_text.h"

namespace velmora {

// The first step only, for now: the matrix the elimination starts from.
BranchedSteps BranchedElimination(const PolynomialMatrix& m, BranchedGoal /*goal*/) {
    BranchedSteps answer;
    answer.ok = true;
    answer.steps = MatrixDocument("matriz:", m);
    return answer;
}

}  // namespace velmora
