// A system as text for other programs and for velmora-calc: its equations,
// and the system with its ranks and conclusion as the window shows them, in
// words and in LaTeX.
#pragma once

#include <string>

#include "matrix/matrix.h"
#include "systems/linear_system.h"

namespace velmora {

// Equation `row` of an augmented matrix: "2x - y + (1/2)z = 3", the unknowns
// named by their column; "0 = 5" when every coefficient is 0.
std::string EquationText(const Matrix& augmented, int row);
// The same in LaTeX: "2x - y + \frac{1}{2}z = 3".
std::string EquationLatex(const Matrix& augmented, int row);

// The analysed system (its reduced A') as equations, a blank line, the two
// rank texts and the conclusion box's lines; one line each, each ended by a
// line break.
std::string SystemText(const SystemAnalysis& analysis);
// The same in LaTeX: the equations in an array aligned at their "=" behind a
// brace, beside an array of the rank and conclusion lines as \text, with
// \Rightarrow for "=>" and \neq for "<>".
std::string SystemLatex(const SystemAnalysis& analysis);

}  // namespace velmora
