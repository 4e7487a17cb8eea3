// The wording of a discussion: one line per case with its ranks and verdict,
// each compatible case's solution on the lines after it.
#pragma once

#include <string>
#include <vector>

#include "core/systems/discussion.h"

namespace velmora {

// The text of one unknown's value, by the rules of ParametricValueText
// (general_solution.h) with parts that may hold a: the constant written as
// RationalFunctionText writes it; a coefficient that holds a, after its sign,
// is "a" or an integer times a in front ("aλ", "- 2aλ") and anything else in
// parentheses ("(a + 1)λ", "(1/(a + 2))μ").
std::string ParametricFunctionText(const ParametricFunction& v, char letter = kDefaultParameter);
// The roots of an irreducible factor: "k = (1 ± √13)/2", "k = ±√2" for a
// quadratic, "k tal que k^3 - 2 = 0" past degree 2.
std::string RootsText(const Polynomial& factor, char letter);
// The values of the parameter `letter` a case is about: "Para k = 2",
// "Para k = ±√2", "Para k tal que k^3 - 2 = 0", "Para k ≠ -2, k ≠ (1 ± √13)/2",
// "Para todo k".
std::string ConditionText(const ParameterCondition& c, char letter);
// The same without "Para" for a value or a factor: "k = 2", "k = ±√2".
std::string ValueConditionText(const ParameterCondition& c, char letter);
// The lines of one case of a discussion of `unknownCount` unknowns: the case
// with its ranks and verdict, then a determined case's values on one line or
// an undetermined case's general solution on two.
std::vector<std::string> CaseLines(const DiscussionCase& c, int unknownCount,
                                   char letter = kDefaultParameter);
// The lines of every case, in the order of the cases: "Para a ≠ -2, a ≠ 1:
// rango A = 3, rango A' = 3 => sistema COMPATIBLE DETERMINADO  (S.C.D.)",
// "   x = (-a - 1)/(a + 2)    y = ...    ", each case's lines followed, for
// two or three unknowns, by its PositionLine.
std::vector<std::string> DiscussionLines(const Discussion& d);

}  // namespace velmora
