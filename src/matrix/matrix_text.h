// Matrices as text for other programs: tab-separated blocks for spreadsheets
// and LaTeX for documents. One place, so the clipboard, the steps and
// velmora-calc write the same thing.
#pragma once

#include <string>

#include "arith/fraction.h"
#include "matrix/matrix.h"

namespace velmora {

// "3", "-\frac{1}{2}": a fraction in LaTeX, the sign in front of \frac.
std::string FractionLatex(const Fraction& f);
// "\begin{pmatrix} 1 & -\frac{1}{2} \\ 3 & 4 \end{pmatrix}"
std::string MatrixLatex(const Matrix& m);
// Cells separated by a tab, rows ended by a line break: what a spreadsheet
// pastes into a block of cells.
std::string MatrixTabText(const Matrix& m);

}  // namespace velmora
