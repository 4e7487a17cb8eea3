// The wording of a system and of its analysis: the rank texts and the
// conclusion box's lines as the window shows them, the equations, and the
// system with its ranks and conclusion for other programs and for
// velmora-calc, in words and in LaTeX.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/matrix/matrix.h"
#include "core/systems/discussion.h"
#include "core/systems/linear_system.h"

namespace velmora {

// "rango A' = 2", "rango A = 2".
std::string RankAugmentedText(int rank);
std::string RankCoefficientsText(int rank);

// The solution line of a system whose solution (determined or general) has no
// 32-bit form.
inline constexpr const char* kSolutionOutOfRange =
    " Solución:   fuera de rango (no cabe en fracciones de 32 bits)";

// The lines of the conclusion box, in order, none with a line break of its
// own (the window joins them with its CR LF). A compatible system's verdict
// takes two lines, an undetermined one's three with its degree of
// indetermination; then an empty line and the solution line: the values
// (" Solución:   x = 1    y = 1    "), an undetermined system's general
// solution followed by its parameters ("   para todo λ"), or
// kSolutionOutOfRange alone for a solution that does not fit.
std::vector<std::string> ConclusionLines(const SystemAnalysis& analysis);
// The box as the window shows it: ConclusionLines, then for two or three
// unknowns PositionLine.
std::vector<std::string> ConclusionBoxLines(const SystemAnalysis& analysis);

// Where the lines or planes stand, in words: "Los tres planos se cortan en
// una recta (haz de planos)"; empty for Position::None.
std::string PositionText(Position position);
// "   Posición: " and PositionText; empty for Position::None.
std::string PositionLine(Position position);

// A term of an equation in words: the magnitude of its coefficient as the
// program writes a number or a polynomial in a ("1", "2", "1/2", "a^2",
// "(a + 1)") and unknown j (1..4): "x", "2x", "(1/2)x", "a^2 y", "(a + 1)z".
// A fraction goes in parentheses and a power stands apart from the unknown,
// so the term reads back as written (never 1/(2x) nor a^(2y)).
std::string TermText(std::string_view magnitude, int j);
// A polynomial in a as the coefficient of an unknown, with its sign: one
// term as PolynomialText writes it ("2a", "-a", "1/2", "-1", "0"), more in
// parentheses with their leading sign in front ("(a + 1)", "-(a - 1)").
std::string CoefficientText(const Polynomial& p, char letter = kDefaultParameter);
// A number in LaTeX: "-\frac{3}{4}", "5".
std::string RationalLatex(const mpq_class& q);
// As PolynomialText, in LaTeX: "a^{2} - \frac{1}{2}a + 3"; another variable
// in LaTeX: "\lambda^{2} - 3\lambda + 1".
std::string PolynomialLatex(const Polynomial& p, std::string_view variable);
inline std::string PolynomialLatex(const Polynomial& p, char letter = kDefaultParameter) {
    return PolynomialLatex(p, std::string_view(&letter, 1));
}

// Equation `row` of an augmented matrix: "2x - y + (1/2)z = 3", the unknowns
// named by their column; "0 = 5" when every coefficient is 0.
std::string EquationText(const Matrix& augmented, int row);
// The same in LaTeX: "2x - y + \frac{1}{2}z = 3".
std::string EquationLatex(const Matrix& augmented, int row);

// The analysed system as equations, a blank line, the two
// rank texts and the conclusion box's lines; one line each, each ended by a
// line break.
std::string SystemText(const SystemAnalysis& analysis);
// The same in LaTeX, a displayed formula "\[ ... \]" as every fragment the
// program writes: the equations in an array aligned at their "=" behind a
// brace, beside an array of the rank and conclusion lines (LineLatex: the
// words as text, the rest as mathematics).
std::string SystemLatex(const SystemAnalysis& analysis);

// Equation `row` of an augmented matrix of polynomials in a: "ax + y + z = 1",
// "(a + 1)x - (1/2)ay = a^2 - 1", "a^2 y = 1", a coefficient of more than one term in
// parentheses with its leading sign in front. In LaTeX: "(a + 1)x -
// \frac{1}{2}ay = a^{2} - 1".
std::string EquationText(const PolynomialMatrix& augmented, int row);
std::string EquationLatex(const PolynomialMatrix& augmented, int row);

// A discussed system as equations, a blank line and the
// lines of the discussion; one line each, each ended by a line break.
std::string DiscussionText(const Discussion& discussion);
// The same in LaTeX, as SystemLatex writes a system.
std::string DiscussionLatex(const Discussion& discussion);

}  // namespace velmora
