// velmora-calc --pasos COMMAND MATRIX: the steps of tri, gj, inv, det, rank
// or solve, one step a line with the matrix it leaves and a blank line, then
// the command's result and exit status as without --pasos. A matrix with a
// parameter (and discuss, or --latex) takes the branched elimination
// (matrix/branched_steps.h): each case indented under its condition, or in
// LaTeX each case a nested block, and each case's conclusion.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velmora {

// args: the words after --pasos.
int CalcWithSteps(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool latex = false);

}  // namespace velmora
