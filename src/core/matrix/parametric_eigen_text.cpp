#include "core/matrix/parametric_eigen_text.h"

#include <algorithm>
#include <cctype>

#include "core/arith/rational.h"
#include "core/matrix/parametric_text.h"
#include "core/systems/discussion_text.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

// "λ^2", "λ", "" for the power k of λ.
std::string LambdaPower(int k) {
    return k == 0 ? "" : k == 1 ? "λ" : "λ^" + IntToText(k);
}

// "λ - a - 1", "λ + 2", "λ".
std::string Shift(const Polynomial& value, char letter) {
    if (value.IsZero()) return "λ";
    Polynomial minus = value;
    for (mpq_class& c : minus.coefficients) c = -c;
    const std::string s = PolynomialText(minus, letter);
    return s[0] == '-' ? "λ - " + s.substr(1) : "λ + " + s;
}

std::string Factored(const ParametricEigenAnalysis& e) {
    std::string s = e.a.rows % 2 == 1 ? "-" : "";
    for (const ParametricEigenvalue& v : e.eigenvalues) {
        const std::string f = Shift(v.value, e.a.parameter);
        s += f == "λ" ? f : "(" + f + ")";
        if (v.algebraic > 1) s += "^" + IntToText(v.algebraic);
    }
    return s;
}

std::string Multiplicities(int algebraic, int geometric) {
    return "multiplicidad algebraica " + IntToText(algebraic) + " y geométrica " +
           IntToText(geometric);
}

// The eigenvalue in a case: a number at a value, the polynomial at a factor.
std::string ValueIn(const Polynomial& value, const ParameterCondition& c, char letter) {
    if (c.kind == CaseKind::Value) return "λ = " + RationalText(value.Evaluate(c.value));
    return "λ = " + PolynomialText(value, letter);
}

// A document line; in its LaTeX the bars of |A - λI| are mathematics and the
// "y" between multiplicities is a word, not the unknown y.
Step Line(std::string text, StepMatrix matrix = {}) {
    Step s = DocumentLine(std::move(text), std::move(matrix));
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"\\text{|}", "|"},
                                   {" y \\text{ ", " \\text{ y "}}) {
        for (std::size_t at = s.latex.find(from); at != std::string::npos;
             at = s.latex.find(from, at + to.size()))
            s.latex.replace(at, from.size(), to);
    }
    return s;
}

std::string Lower(std::string s) {
    if (!s.empty() && s[0] == 'P') s[0] = 'p';
    return s;
}

}  // namespace

std::string CharacteristicText(const ParametricEigenAnalysis& e) {
    const char letter = e.a.parameter;
    std::vector<SignedTerm> terms;
    for (int k = static_cast<int>(e.characteristic.size()) - 1; k >= 1; --k) {
        Polynomial c = e.characteristic[static_cast<std::size_t>(k)];
        if (c.IsZero()) continue;
        const bool negative = c.coefficients.back() < 0;
        if (negative)
            for (mpq_class& x : c.coefficients) x = -x;
        std::string body;
        if (c.TermCount() > 1)
            body = "(" + PolynomialText(c, letter) + ")";
        else if (c != Polynomial(1))
            body = PolynomialText(c, letter);
        terms.push_back({negative, body + LambdaPower(k)});
    }
    std::string s = JoinTerms(terms);
    const Polynomial& constant = e.characteristic.front();
    if (constant.IsZero()) return s;
    const std::string c = PolynomialText(constant, letter);
    return s + (c[0] == '-' ? " - " + c.substr(1) : " + " + c);
}

std::vector<std::string> ParametricVerdictLines(const ParametricEigenAnalysis& e) {
    const char letter = e.a.parameter;
    std::string general = std::string(e.diagonalisable ? "A es" : "A no es") +
                          " diagonalizable " + Lower(ConditionText(e.general, letter));
    std::string reasons;
    for (const ParametricEigenvalue& v : e.eigenvalues)
        if (v.algebraic != v.geometric)
            reasons += (reasons.empty() ? "" : "; ") + ("λ = " + PolynomialText(v.value, letter)) +
                       " tiene " + Multiplicities(v.algebraic, v.geometric);
    std::vector<std::string> lines{general + (reasons.empty() ? "" : ": " + reasons)};
    for (const EigenCase& c : e.cases) {
        if (c.diagonalisable && e.diagonalisable) continue;
        if (c.diagonalisable) {
            lines.push_back(ConditionText(c, letter) + " sí es diagonalizable");
            continue;
        }
        std::string why;
        for (const EigenCase::Group& g : c.groups)
            if (g.algebraic != g.geometric)
                why += (why.empty() ? "" : "; ") +
                       ValueIn(e.eigenvalues[g.first].value, c, letter) + " tiene " +
                       Multiplicities(g.algebraic, g.geometric);
        lines.push_back(ConditionText(c, letter) + (e.diagonalisable ? " no lo es: " : " tampoco: ") +
                        why);
    }
    return lines;
}

std::vector<Step> ParametricEigenDocument(const ParametricEigenAnalysis& e) {
    const char letter = e.a.parameter;
    const int n = e.a.rows;
    std::vector<Step> doc;
    StepMatrix shifted = StepMatrix::Of(n, n, [&](int i, int j) {
        const Polynomial& x = e.a.at(i, j);
        if (i != j) return PolynomialText(x, letter);
        return x.IsZero() ? std::string("-λ") : PolynomialText(x, letter) + " - λ";
    });
    doc.push_back(Line("A - λI =", std::move(shifted)));
    const std::string expanded = CharacteristicText(e);
    std::string line = "|A - λI| = " + expanded;
    if (!e.polynomialEigenvalues) {
        doc.push_back(Line(line));
        doc.push_back(Line(
            std::string("Los valores propios no son todos polinomios en ") + letter +
            ": no se discuten aquí; dé un valor al parámetro para ver los de esa matriz"));
        return doc;
    }
    const std::string factored = Factored(e);
    if (factored != expanded && "(" + expanded + ")" != factored) line += " = " + factored;
    doc.push_back(Line(line));
    // The eigenvalues as polynomials hold but where two of them meet or an
    // eigenspace grows: "Valores propios para a ≠ 2:".
    ParameterCondition apart;
    for (const EigenCase& c : e.cases) {
        if (c.kind == CaseKind::Value) apart.excludedValues.push_back(c.value);
        if (c.kind == CaseKind::Factor) apart.excludedFactors.push_back(c.factor);
    }
    std::sort(apart.excludedValues.begin(), apart.excludedValues.end());
    doc.push_back(Line("Valores propios " + Lower(ConditionText(apart, letter)) + ":"));
    for (const ParametricEigenvalue& v : e.eigenvalues)
        doc.push_back(Line("λ = " + PolynomialText(v.value, letter) + ", de " +
                                   Multiplicities(v.algebraic, v.geometric)));
    for (const EigenCase& c : e.cases) {
        std::string groups;
        for (const EigenCase::Group& g : c.groups)
            groups += (groups.empty() ? "" : "; ") +
                      ValueIn(e.eigenvalues[g.first].value, c, letter) + ", de " +
                      Multiplicities(g.algebraic, g.geometric);
        doc.push_back(Line(ConditionText(c, letter) + ": " + groups));
    }
    for (std::string& v : ParametricVerdictLines(e)) doc.push_back(Line(std::move(v)));
    return doc;
}

std::pair<std::vector<Step>, std::string> ParametricEigenAnswer(const PolynomialMatrix& m) {
    try {
        return {ParametricEigenDocument(AnalyseParametricEigen(m)), {}};
    } catch (const ParametricTooLarge& e) {
        std::string why = e.what();
        if (!why.empty()) why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
        return {{}, why + "."};
    }
}

}  // namespace velmora
