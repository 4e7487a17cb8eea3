#include "core/systems/system_text.h"

#include <cctype>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "core/matrix/matrix_text.h"
#include "core/matrix/steps.h"
#include "core/systems/discussion_text.h"
#include "core/systems/general_solution.h"
#include "core/systems/latex_line.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

// The equation's left side from the coefficients of columns 1..cols - 1,
// each a signed term whose body is the text of its magnitude (none for a
// coefficient 0), followed by its unknown (in words as TermText writes it; in
// LaTeX a magnitude 1 is left out); "0" when every coefficient is 0.
template <typename TermOf>
std::string LeftSide(int cols, bool latex, TermOf termOf) {
    std::vector<SignedTerm> terms;
    for (int j = 1; j < cols; ++j) {
        std::optional<SignedTerm> t = termOf(j);
        if (!t) continue;
        if (!latex) {
            t->body = TermText(t->body, j);
        } else {
            if (t->body == "1") t->body.clear();
            t->body += UnknownName(j);
        }
        terms.push_back(std::move(*t));
    }
    return JoinTerms(terms);
}

// An unknown in no equation is left out of each, but the last ones would then
// be named by no equation at all, and the system read back from its text
// would lose them: the first equation writes them with coefficient 0
// ("x + y + 0z = 1").
template <typename IsZero>
bool KeptAsZero(int rows, int cols, int row, int j, IsZero zero) {
    if (row != 1) return false;
    for (int i = 1; i <= rows; ++i) {
        for (int k = j; k < cols; ++k) {
            if (!zero(i, k)) return false;
        }
    }
    return true;
}

// The left side of a row of fractions: the magnitude of each coefficient as
// the program writes a fraction, in 64 bits (-2147483648 has no 32-bit
// magnitude); in LaTeX as FractionTextLatex writes that.
std::string LeftSide(const Matrix& m, int row, bool latex) {
    const auto zero = [&](int i, int j) { return m.at(i, j).IsZero(); };
    return LeftSide(m.cols, latex, [&](int j) -> std::optional<SignedTerm> {
        const Fraction c = m.at(row, j);
        if (KeptAsZero(m.rows, m.cols, row, j, zero)) return SignedTerm{false, "0"};
        if (c.IsZero()) return std::nullopt;
        const long long den = std::llabs(static_cast<long long>(c.den));
        std::string magnitude = std::to_string(std::llabs(static_cast<long long>(c.num)));
        if (den != 1) magnitude += "/" + std::to_string(den);
        return SignedTerm{(c.num < 0) != (c.den < 0),
                          latex ? FractionTextLatex(magnitude) : magnitude};
    });
}

}  // namespace

std::string RationalLatex(const mpq_class& q) {
    return FractionTextLatex(RationalText(q));
}

std::string PolynomialLatex(const Polynomial& p, std::string_view variable) {
    return JoinTerms(p, [variable](const mpq_class& magnitude, int k) {
        std::string s = k == 0 || magnitude != 1 ? RationalLatex(magnitude) : "";
        if (k >= 1) s += variable;
        if (k >= 2) s += "^{" + std::to_string(k) + "}";
        return s;
    });
}

namespace {

// A non-zero polynomial as the coefficient of an unknown: its leading sign
// apart, its magnitude as `write` writes it, in parentheses when it has more
// than one term.
template <typename Write>
SignedTerm CoefficientTerm(Polynomial c, Write write) {
    const bool negative = sgn(c.coefficients.back()) < 0;
    if (negative) {
        for (mpq_class& k : c.coefficients) k = -k;
    }
    const std::string text = write(c);
    return {negative, c.TermCount() > 1 ? "(" + text + ")" : text};
}

// The left side of a row of polynomials, each coefficient as CoefficientText
// writes it (in LaTeX, its parts as PolynomialLatex writes them).
std::string LeftSide(const PolynomialMatrix& m, int row, bool latex) {
    const auto zero = [&](int i, int j) { return m.at(i, j).IsZero(); };
    return LeftSide(m.cols, latex, [&](int j) -> std::optional<SignedTerm> {
        const Polynomial& c = m.at(row, j);
        if (KeptAsZero(m.rows, m.cols, row, j, zero)) return SignedTerm{false, "0"};
        if (c.IsZero()) return std::nullopt;
        const char letter = m.parameter;
        return latex ? CoefficientTerm(c, [letter](const Polynomial& p) {
            return PolynomialLatex(p, letter);
        })
                     : CoefficientTerm(c, [letter](const Polynomial& p) {
                           return PolynomialText(p, letter);
                       });
    });
}

// The rank texts and the conclusion box's lines.
std::vector<std::string> BoxLines(const SystemAnalysis& a) {
    std::vector<std::string> lines{RankAugmentedText(a.rankAugmented),
                                   RankCoefficientsText(a.rankCoefficients)};
    for (const std::string& line : ConclusionBoxLines(a)) lines.push_back(TrimRight(line));
    return lines;
}

}  // namespace

std::string RankAugmentedText(int rank) {
    return "rango A' = " + IntToText(rank);
}

std::string RankCoefficientsText(int rank) {
    return "rango A = " + IntToText(rank);
}

std::string PositionText(Position position) {
    struct Words {
        Position position;
        const char* text;
    };
    // clang-format off
    static constexpr Words kWords[] = {
        {Position::NoLine,  "Una de las ecuaciones es imposible: no hay ningún punto común"},
        {Position::WholePlane, "Todas las ecuaciones son 0 = 0: se cumplen en todo el plano"},
        {Position::OneLine, "Una sola recta"},
        {Position::TwoLinesCut, "Las dos rectas se cortan en un punto"},
        {Position::TwoLinesParallel, "Las dos rectas son paralelas"},
        {Position::TwoLinesCoincident, "Las dos rectas son coincidentes"},
        {Position::ThreeLinesCut, "Las tres rectas se cortan en un punto"},
        {Position::TwoLinesCoincideThirdCuts,
         "Dos rectas son coincidentes y la tercera las corta en un punto"},
        {Position::Triangle, "Las tres rectas se cortan dos a dos formando un triángulo"},
        {Position::TwoLinesParallelThirdCuts, "Dos rectas son paralelas y la tercera las corta"},
        {Position::ThreeLinesParallel, "Las tres rectas son paralelas"},
        {Position::TwoLinesCoincideThirdParallel,
         "Dos rectas son coincidentes y la tercera es paralela a ellas"},
        {Position::ThreeLinesCoincident, "Las tres rectas son coincidentes"},
        {Position::FourLinesCut, "Las cuatro rectas pasan por un mismo punto"},
        {Position::FourLinesCoincident, "Las cuatro rectas son coincidentes"},
        {Position::FourLinesNoCommonPoint, "Las cuatro rectas no tienen ningún punto común"},
        {Position::NoPlane, "Una de las ecuaciones es imposible: no hay ningún punto común"},
        {Position::WholeSpace, "Todas las ecuaciones son 0 = 0: se cumplen en todo el espacio"},
        {Position::OnePlane, "Un solo plano"},
        {Position::TwoPlanesCut, "Los dos planos se cortan en una recta"},
        {Position::TwoPlanesParallel, "Los dos planos son paralelos"},
        {Position::TwoPlanesCoincident, "Los dos planos son coincidentes"},
        {Position::ThreePlanesPoint, "Los tres planos se cortan en un punto"},
        {Position::Sheaf, "Los tres planos se cortan en una recta (haz de planos)"},
        {Position::TwoPlanesCoincideThirdCuts,
         "Dos planos son coincidentes y el tercero los corta en una recta"},
        {Position::Prism, "Los planos se cortan dos a dos en tres rectas paralelas (prisma)"},
        {Position::TwoPlanesParallelThirdCuts,
         "Dos planos son paralelos y el tercero los corta en dos rectas paralelas"},
        {Position::ThreePlanesParallel, "Los tres planos son paralelos"},
        {Position::TwoPlanesCoincideThirdParallel,
         "Dos planos son coincidentes y el tercero es paralelo a ellos"},
        {Position::ThreePlanesCoincident, "Los tres planos son coincidentes"},
        {Position::FourPlanesPoint, "Los cuatro planos se cortan en un punto"},
        {Position::FourPlanesLine, "Los cuatro planos se cortan en una recta"},
        {Position::FourPlanesCoincident, "Los cuatro planos son coincidentes"},
        {Position::FourPlanesNoCommonPoint, "Los cuatro planos no tienen ningún punto común"},
    };
    // clang-format on
    for (const Words& w : kWords)
        if (w.position == position) return w.text;
    return {};
}

std::string PositionLine(Position position) {
    const std::string text = PositionText(position);
    return text.empty() ? text : "   Posición: " + text;
}

std::vector<std::string> ConclusionLines(const SystemAnalysis& analysis) {
    if (!analysis.compatible) return {"rango A <> rango A' => sistema INCOMPATIBLE"};

    std::vector<std::string> lines{" rango A = rango A' => sistema COMPATIBLE"};
    const int r = analysis.rankCoefficients;
    const int n = analysis.unknownCount;
    if (r == n) {
        lines.push_back(" rango = " + IntToText(r) + " = nº incógnitas => DETERMINADO  (S.C.D.)");
        lines.emplace_back();
        if (analysis.solutionOverflow) {
            lines.push_back(kSolutionOutOfRange);
            return lines;
        }
        std::string solution = " Solución:   ";
        for (std::size_t i = 0; i < analysis.solution.size(); ++i) {
            solution += UnknownName(static_cast<int>(i) + 1);
            solution += " = " + analysis.solution[i].ToText() + "    ";
        }
        lines.push_back(solution);
    } else {
        lines.push_back("rango = " + IntToText(r) + " < nº incógnitas => INDETERMINADO  (S.C.I.)");
        lines.push_back("   Grado de indeterminación = " + IntToText(n) + " - " + IntToText(r) +
                        " = " + IntToText(n - r));
        if (analysis.generalSolutionOverflow) {
            lines.emplace_back();
            lines.push_back(kSolutionOutOfRange);
        } else if (!analysis.generalSolution.empty()) {
            // Shaped as the determined solution: an empty line, then the values.
            std::vector<ParametricValue> values;
            for (const ParametricFraction& f : analysis.generalSolution) {
                ParametricValue& v = values.emplace_back();
                v.constant = ToRational(f.constant);
                for (const Fraction c : f.coefficients) v.coefficients.push_back(ToRational(c));
            }
            lines.emplace_back();
            lines.push_back(" Solución:   " + SolutionValuesText(values));
            lines.push_back("   " + ParametersText(static_cast<int>(analysis.freeUnknowns.size())));
        }
    }
    return lines;
}

std::vector<std::string> ConclusionBoxLines(const SystemAnalysis& analysis) {
    std::vector<std::string> lines = ConclusionLines(analysis);
    if (analysis.position != Position::None) lines.push_back(PositionLine(analysis.position));
    return lines;
}

std::string TermText(std::string_view magnitude, int j) {
    std::string s(magnitude == "1" ? "" : magnitude);
    const bool fraction =
        s.find('/') != std::string::npos && s.find_first_not_of("0123456789/") == std::string::npos;
    const bool power = s.find('^') != std::string::npos && !s.empty() &&
                       std::isdigit(static_cast<unsigned char>(s.back()));
    if (fraction) s = "(" + s + ")";
    if (power) s += ' ';
    if (j >= 1 && j <= 4) s += UnknownName(j);  // a fifth column has no unknown's letter
    return s;
}

std::string CoefficientText(const Polynomial& p, char letter) {
    if (p.IsZero()) return "0";
    const SignedTerm t =
        CoefficientTerm(p, [letter](const Polynomial& q) { return PolynomialText(q, letter); });
    return (t.negative ? "-" : "") + t.body;
}

std::string EquationText(const Matrix& m, int row) {
    return LeftSide(m, row, false) + " = " + m.at(row, m.cols).ToText();
}

std::string EquationLatex(const Matrix& m, int row) {
    return LeftSide(m, row, true) + " = " + FractionLatex(m.at(row, m.cols));
}

namespace {

// Equations, a blank line and the lines after them.
std::string TextOf(const std::vector<std::string>& equations,
                   const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& equation : equations) s += equation + "\n";
    s += "\n";
    for (const std::string& line : lines) s += TrimRight(line) + "\n";
    return s;
}

// A displayed formula: the equations (in LaTeX) in an array aligned at their
// "=" behind a brace, beside an array of the lines, as words and mathematics.
std::string LatexOf(const std::vector<std::string>& equations,
                    const std::vector<std::string>& lines) {
    std::string s = "\\[\n\\left\\{\\begin{array}{rcl}\n";
    for (std::size_t i = 0; i < equations.size(); ++i) {
        std::string equation = equations[i];
        equation.replace(equation.rfind(" = "), 3, " & = & ");
        s += equation + (i + 1 < equations.size() ? " \\\\\n" : "\n");
    }
    s += "\\end{array}\\right.\n\\qquad\n\\begin{array}{l}\n";
    std::vector<std::string> texts;
    for (const std::string& line : lines) {
        if (!TrimRight(line).empty()) texts.push_back(LineLatex(line));
    }
    for (std::size_t k = 0; k < texts.size(); ++k) {
        s += texts[k] + (k + 1 < texts.size() ? " \\\\\n" : "\n");
    }
    return s + "\\end{array}\n\\]";
}

template <typename System, typename Writer>
std::vector<std::string> Equations(const System& augmented, Writer writer) {
    std::vector<std::string> equations;
    for (int i = 1; i <= augmented.rows; ++i) equations.push_back(writer(augmented, i));
    return equations;
}

}  // namespace

std::string EquationText(const PolynomialMatrix& m, int row) {
    return LeftSide(m, row, false) + " = " + PolynomialText(m.at(row, m.cols), m.parameter);
}

std::string EquationLatex(const PolynomialMatrix& m, int row) {
    return LeftSide(m, row, true) + " = " + PolynomialLatex(m.at(row, m.cols), m.parameter);
}

std::string SystemText(const SystemAnalysis& a) {
    const auto text = [](const Matrix& m, int i) { return EquationText(m, i); };
    return TextOf(Equations(a.augmented, text), BoxLines(a));
}

std::string SystemLatex(const SystemAnalysis& a) {
    const auto latex = [](const Matrix& m, int i) { return EquationLatex(m, i); };
    return LatexOf(Equations(a.augmented, latex), BoxLines(a));
}

std::string DiscussionText(const Discussion& d) {
    const auto text = [](const PolynomialMatrix& m, int i) { return EquationText(m, i); };
    return TextOf(Equations(d.augmented, text), DiscussionLines(d));
}

std::string DiscussionLatex(const Discussion& d) {
    const auto latex = [](const PolynomialMatrix& m, int i) { return EquationLatex(m, i); };
    return LatexOf(Equations(d.augmented, latex), DiscussionLines(d));
}

}  // namespace velmora
