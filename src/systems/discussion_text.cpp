// The text of a discussion: one line per case, then its solution.
#include "systems/discussion.h"
#include "systems/linear_system.h"
#include "toolkit/strings.h"

namespace velmora {

namespace {

// "λ", "μ", "ν", "ξ" for 1..4.
const char* ParameterName(int k) {
    static const char* const kNames[] = {"λ", "μ", "ν", "ξ"};
    return k >= 1 && k <= 4 ? kNames[k - 1] : "?";
}

// A coefficient before a parameter, without its sign: "" for 1, "2",
// "(1/2)", "a", "2a", "(a + 1)", "(1/(a + 2))".
std::string CoefficientText(const RationalFunction& magnitude) {
    const Polynomial& p = magnitude.numerator;
    if (magnitude.IsConstant()) {
        const mpq_class& c = p.coefficients[0];
        if (c == 1) return "";
        return c.get_den() == 1 ? RationalText(c) : "(" + RationalText(c) + ")";
    }
    const bool monomial = magnitude.denominator == Polynomial(1) && p.Degree() == 1 &&
                          p.TermCount() == 1 && p.coefficients[1].get_den() == 1;
    const std::string text = RationalFunctionText(magnitude);
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

std::string Condition(const DiscussionCase& c) {
    switch (c.kind) {
        case CaseKind::Value:
            return "Para a = " + RationalText(c.value);
        case CaseKind::Factor:
            return "Para a tal que " + PolynomialText(c.factor) + " = 0";
        case CaseKind::General:
            break;
    }
    if (c.excludedValues.empty() && c.excludedFactors.empty()) return "Para todo a";
    std::string s = "Para ";
    for (const mpq_class& v : c.excludedValues) s += "a ≠ " + RationalText(v) + ", ";
    for (const Polynomial& f : c.excludedFactors) s += PolynomialText(f) + " ≠ 0, ";
    s.resize(s.size() - 2);
    return s;
}

}  // namespace

std::string ParametricFunctionText(const ParametricFunction& v) {
    std::string s;
    if (!v.constant.IsZero()) s = RationalFunctionText(v.constant);
    for (std::size_t k = 0; k < v.coefficients.size(); ++k) {
        const RationalFunction& c = v.coefficients[k];
        if (c.IsZero()) continue;
        const bool negative = IsNegative(c);
        if (s.empty()) {
            s += negative ? "-" : "";
        } else {
            s += negative ? " - " : " + ";
        }
        s += CoefficientText(negative ? Negated(c) : c);
        s += ParameterName(static_cast<int>(k) + 1);
    }
    return s.empty() ? "0" : s;
}

std::vector<std::string> CaseLines(const DiscussionCase& c, int unknownCount) {
    std::vector<std::string> lines{Condition(c) + ": rango A = " + IntToText(c.rankCoefficients) +
                                   ", rango A' = " + IntToText(c.rankAugmented) + " => sistema " +
                                   Verdict(c)};
    if (!c.compatible || unknownCount == 0) return lines;
    std::string values = c.determined ? "   " : "   Solución:   ";
    for (int i = 1; i <= unknownCount; ++i) {
        const ParametricFunction& v = c.solution[static_cast<std::size_t>(i - 1)];
        values += UnknownName(i);
        values += " = ";
        values += c.determined ? RationalFunctionText(v.constant) : ParametricFunctionText(v);
        values += "    ";
    }
    lines.push_back(values);
    if (!c.determined) {
        std::string all = "   para todo ";
        for (int k = 1; k <= unknownCount - c.rankCoefficients; ++k)
            all += std::string(k > 1 ? ", " : "") + ParameterName(k);
        lines.push_back(all);
    }
    return lines;
}

}  // namespace velmora
