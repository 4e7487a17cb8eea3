#include "core/matrix/branched_text.h"

#include "core/systems/discussion_text.h"

namespace velmora {

namespace {

// "Para a ≠ 1" without its "Para ".
std::string Values(const ParameterCondition& c, char letter) {
    return ConditionText(c, letter).substr(5);
}

// "Para a ≠ 1: " where the matrix has the parameter.
std::string Prefix(const ParameterCondition& c, char letter, bool parameter) {
    return parameter ? ConditionText(c, letter) + ": " : "";
}

}  // namespace

std::string BranchConditionText(const ParameterCondition& c, char letter) {
    return "si " + Values(c, letter) + ":";
}

std::string SubstitutionText(const ParameterCondition& c, char letter) {
    if (c.kind == CaseKind::Value) return "sustituyendo " + ValueConditionText(c, letter) + ":";
    return "operando con " + PolynomialText(c.factor, letter) + " = 0:";
}

std::string RankConclusionText(const ParameterCondition& c, int rank, char letter, bool parameter) {
    return Prefix(c, letter, parameter) + "rango = " + std::to_string(rank);
}

std::string InverseConclusionText(const ParameterCondition& c, bool invertible, char letter,
                                  bool parameter) {
    return Prefix(c, letter, parameter) +
           (invertible ? "det ≠ 0, tiene inversa:" : "det = 0, no tiene inversa");
}

std::vector<std::string> SystemConclusionLines(const DiscussionCase& c, int unknowns, char letter,
                                               bool parameter) {
    std::vector<std::string> lines = CaseLines(c, unknowns, letter);
    if (!parameter) lines[0] = lines[0].substr(ConditionText(c, letter).size() + 2);
    return lines;
}

}  // namespace velmora
