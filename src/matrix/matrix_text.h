// Matrices as text for other programs and from them: tab-separated blocks for
// spreadsheets, LaTeX for documents, velmora-calc's "[1 2; 3 -1/2]", and
// whatever the clipboard brings. One place, so the windows, the steps and
// velmora-calc write and read the same thing.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

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
// velmora-calc's result: one matrix row per line, entries separated by one blank.
std::string MatrixText(const Matrix& m);

// velmora-calc's matrix text, "[1 2; 3 -1/2]": brackets optional but both or
// none, rows separated by ";", entries by blanks, tabs, commas or line breaks,
// every entry a number as ReadNumber reads it. Reads 1..10 rows and 1..10
// columns into m (normal form, refreshed). On failure m is untouched and
// error says why, in Spanish ("la fila 2 está vacía").
bool ReadMatrixText(std::string_view text, Matrix& m, std::string& error);
// The same text split into rows of entry texts: each row, once its shape is
// checked (not empty, at most 10 entries, as long as row 1), goes to readRow
// with its 0-based index, which reads it or sets error and answers false.
// With `grouped`, a blank or comma inside parentheses stays in its entry
// ("[(a + 1) 2a; 1 a]"). rowCount is the number of rows read.
using MatrixTextRowReader =
    std::function<bool(std::size_t, const std::vector<std::string_view>&, std::string&)>;
bool SplitMatrixText(std::string_view text, bool grouped, const MatrixTextRowReader& readRow,
                     std::size_t& rowCount, std::string& error);
// " (fila 2, columna 1)": where a refused entry stands, 0-based i and j.
std::string CellPlace(std::size_t i, std::size_t j);
// "«3/0»": a refused text as a message names it, its first 40 characters
// and an ellipsis for a longer one.
std::string QuotedText(std::string_view text);
// Reads one number (ReadNumber); on failure f is untouched and error names
// the text and the reason: "«3/0» tiene denominador 0".
bool ReadFractionText(std::string_view text, Fraction& f, std::string& error);

// The sizes a pasted matrix may have: those of the grid it goes into.
struct BlockLimits {
    int minRows, maxRows;
    int minCols, maxCols;
};

// A matrix from the clipboard. A text with a bracket at either end is
// velmora-calc's form (ReadMatrixText). Any other text is a block, one row per
// line (LF, CR LF or CR; blank lines around it are ignored), its cells
// separated by tabs when it holds a tab (a spreadsheet's copy), else by ";"
// when it holds one, else by ",", else by runs of blanks ("1 / 2" stays one
// cell). Between tabs, semicolons or commas a cell may be empty: it reads 0,
// as an empty grid cell does. A matrix outside the limits or a cell that does
// not read as a number is refused: m is untouched and error says what is
// wrong, naming the cell ("«abc» no es un número (fila 2, columna 1)").
bool ReadPastedMatrix(std::string_view text, const BlockLimits& limits, Matrix& m,
                      std::string& error);
// The text is one value, not a block or a bracketed matrix: what pasting into
// a single cell takes (line breaks around it allowed).
bool IsSingleValue(std::string_view text);

}  // namespace velmora
