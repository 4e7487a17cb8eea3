#include "core/systems/discussion_text.h"

#include "core/systems/general_solution.h"
#include "core/systems/system_text.h"

namespace velmora {

namespace {

// A coefficient that holds a, before a parameter, without its sign: "a",
// "2a", "(a + 1)", "(1/(a + 2))".
std::string ParameterCoefficientText(const RationalFunction& magnitude, char letter) {
    const Polynomial& p = magnitude.numerator;
    const bool monomial = magnitude.denominator == Polynomial(1) && p.Degree() == 1 &&
                          p.TermCount() == 1 && p.coefficients[1].get_den() == 1;
    const std::string text = RationalFunctionText(magnitude, letter);
    return monomial ? text : "(" + text + ")";
}

// The sign in front of a term: a quotient is negative when its numerator's
// leading coefficient is (its denominator is monic).
bool IsNegative(const RationalFunction& f) {
    return !f.IsZero() && sgn(f.numerator.coefficients.back()) < 0;
}

RationalFunction Negated(RationalFunction f) {
    for (mpq_class& c : f.numerator.coefficients) c = -c;
    return f;
}

std::string Verdict(const DiscussionCase& c) {
    if (!c.compatible) return "INCOMPATIBLE";
    return c.determined ? "COMPATIBLE DETERMINADO  (S.C.D.)" : "COMPATIBLE INDETERMINADO  (S.C.I.)";
}

}  // namespace

std::string RootsText(const Polynomial& factor, char letter) {
    const std::string k(1, letter);
    const std::string radicals = QuadraticRootsText(factor);
    if (!radicals.empty()) return k + " = " + radicals;
    return k + " tal que " + PolynomialText(factor, letter) + " = 0";
}

std::string ValueConditionText(const ParameterCondition& c, char letter) {
    return c.kind == CaseKind::Value ? std::string(1, letter) + " = " + RationalText(c.value)
                                     : RootsText(c.factor, letter);
}

std::string ConditionText(const ParameterCondition& c, char letter) {
    const std::string k(1, letter);
    if (c.kind != CaseKind::General) return "Para " + ValueConditionText(c, letter);
    if (c.excludedValues.empty() && c.excludedFactors.empty()) return "Para todo " + k;
    std::string s = "Para ";
    for (const mpq_class& v : c.excludedValues) s += k + " ≠ " + RationalText(v) + ", ";
    for (const Polynomial& f : c.excludedFactors) {
        const std::string radicals = QuadraticRootsText(f);
        s += radicals.empty() ? PolynomialText(f, letter) + " ≠ 0, " : k + " ≠ " + radicals + ", ";
    }
    s.resize(s.size() - 2);
    return s;
}

std::string ParametricFunctionText(const ParametricFunction& v, char letter) {
    // The constant always comes first, so it keeps its own sign.
    std::vector<SignedTerm> terms;
    if (!v.constant.IsZero()) terms.push_back({false, RationalFunctionText(v.constant, letter)});
    for (std::size_t k = 0; k < v.coefficients.size(); ++k) {
        const RationalFunction& c = v.coefficients[k];
        const int parameter = static_cast<int>(k) + 1;
        if (c.IsZero()) continue;
        if (c.IsConstant()) {
            terms.push_back(ParameterTerm(c.numerator.coefficients[0], parameter));
        } else {
            const bool negative = IsNegative(c);
            terms.push_back({negative, ParameterCoefficientText(negative ? Negated(c) : c, letter) +
                                           ParameterName(parameter)});
        }
    }
    return JoinTerms(terms);
}

std::vector<std::string> CaseLines(const DiscussionCase& c, int unknownCount, char letter) {
    std::vector<std::string> lines{ConditionText(c, letter) + ": " + RankCoefficientsText(c.rankCoefficients) +
                                   ", " + RankAugmentedText(c.rankAugmented) + " => sistema " +
                                   Verdict(c)};
    if (!c.compatible || unknownCount == 0) return lines;
    std::vector<std::string> values;
    for (const ParametricFunction& v : c.solution)
        values.push_back(c.determined ? RationalFunctionText(v.constant, letter)
                                      : ParametricFunctionText(v, letter));
    if (c.determined) {
        lines.push_back("   " + NamedValuesText(values));
    } else {
        lines.push_back("   Solución:   " + NamedValuesText(values));
        lines.push_back("   " + ParametersText(unknownCount - c.rankCoefficients));
    }
    return lines;
}

std::vector<std::string> DiscussionLines(const Discussion& d) {
    std::vector<std::string> lines;
    for (const DiscussionCase& c : d.cases) {
        const std::vector<std::string> own = CaseLines(c, d.unknownCount, d.augmented.parameter);
        lines.insert(lines.end(), own.begin(), own.end());
        if (c.position != Position::None) lines.push_back(PositionLine(c.position));
        for (const DiscussionCase& apart : c.positionsApart)
            lines.push_back("   Posición para " + ValueConditionText(apart, d.augmented.parameter) + ": " +
                            PositionText(apart.position));
    }
    return lines;
}

}  // namespace velmora
