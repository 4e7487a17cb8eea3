// The wording of a branched elimination (branched_steps.h): the condition
// that opens each case, the line that puts a value into the matrix, and each
// case's conclusion. One line per string, no line break inside.
#pragma once

#include <string>
#include <vector>

#include "core/systems/discussion.h"

namespace velmora {

// "si a ≠ 1:", "si a ≠ -2, a ≠ 1:", "si a ≠ ±√2:" for a General condition;
// "si a = 1:", "si a = ±√2:", "si a tal que a^3 - 2 = 0:" for a value or a
// factor.
std::string BranchConditionText(const ParameterCondition& c, char letter);
// The matrix of a case "a = v" or "a a root of f": "sustituyendo a = 1:",
// "operando con a^2 - 2 = 0:".
std::string SubstitutionText(const ParameterCondition& c, char letter);
// "Para a ≠ 1: rango = 2"; without the condition for a matrix of numbers.
std::string RankConclusionText(const ParameterCondition& c, int rank, char letter, bool parameter);
// "Para a ≠ 1: det ≠ 0, tiene inversa:", "Para a = 1: det = 0, no tiene
// inversa".
std::string InverseConclusionText(const ParameterCondition& c, bool invertible, char letter,
                                  bool parameter);
// The discussion's lines of the case (CaseLines), its condition left out for
// a system of numbers.
std::vector<std::string> SystemConclusionLines(const DiscussionCase& c, int unknowns, char letter,
                                               bool parameter);

}  // namespace velmora
