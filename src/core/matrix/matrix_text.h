// Matrices as text for other programs and from them: tab-separated blocks for
// spreadsheets, LaTeX for documents, velmora-calc's "[1 2; 3 -1/2]", and
// whatever the clipboard brings. One place, so the windows, the steps and
// velmora-calc write and read the same thing.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/arith/fraction.h"
#include "core/matrix/matrix.h"

namespace velmora {

// "3", "-\frac{1}{2}": a fraction in LaTeX, the sign in front of \frac.
std::string FractionLatex(const Fraction& f);
// "\[ \begin{pmatrix} 1 & -\frac{1}{2} \\ 3 & 4 \end{pmatrix} \]": a displayed
// formula, as every LaTeX fragment the program writes.
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

// The program's other copies of a matrix or a system, rewritten in
// velmora-calc's bracket form ("[1 -1/2; 3 4]", a cell with blanks in
// parentheses): a LaTeX matrix ("\begin{pmatrix} 1 & -\frac{1}{2} \\ ...
// \end{pmatrix}"); a system as equations, one a line from the first line
// (which holds "=") to a blank line, as Copiar writes it ("2x - y + (1/2)z =
// 3", "(a + 1)x - a^2 y = 1", "0 = 5"), its unknowns also those named as
// "x = ..." in the lines after it (so an unknown in no equation still
// counts); or in LaTeX (the {rcl} array of Copiar LaTeX). Any other text is
// left as it is. False, error set, for such a copy that cannot be read.
bool CopiedAsBracketForm(std::string_view text, std::string& form, std::string& error);

// The entries of a matrix as texts, row after row: the fractions of a Matrix,
// or anything else written as a number is (the polynomials of a system with a
// parameter: "a^2 + 1", and as coefficients of equations "(a + 1)", "-2a");
// the cells of a grid.
struct TextMatrix {
    int rows = 0;
    int cols = 0;
    std::vector<std::string> texts;

    const std::string& at(int i, int j) const {
        return texts[static_cast<std::size_t>((i - 1) * cols + (j - 1))];
    }
};

// A matrix from the clipboard, as the texts of the cells it fills. A copy of
// the program's (CopiedAsBracketForm) is read in the bracket form. A text with
// a bracket at either end is velmora-calc's form (SplitMatrixText, a line
// break a row break, a cell in parentheses may hold blanks). Any other text is
// a block, one row per line (LF, CR LF or CR; blank lines around it are
// ignored), its cells separated by tabs when it holds a tab (a spreadsheet's
// copy), else by ";" when it holds one, else by ",", else by runs of blanks
// ("1 / 2" stays one cell). Between tabs, semicolons or commas a cell may be
// empty: it reads 0, as an empty grid cell does; a block with no number at
// all is refused. Each cell is a number (ReadNumber), written in the
// program's fraction text; with `parameter`, when a cell names a
// (HoldsParameter) every cell is a polynomial in a (ReadPolynomial), in its
// text. A matrix outside the limits or a cell that cannot be read is refused:
// cells is untouched and error says what is wrong, naming the cell ("«abc»
// no es un número (fila 2, columna 1)").
bool ReadPastedCells(std::string_view text, const BlockLimits& limits, bool parameter,
                     TextMatrix& cells, std::string& error);
// The same for a grid of numbers, as a matrix (normal form, refreshed).
bool ReadPastedMatrix(std::string_view text, const BlockLimits& limits, Matrix& m,
                      std::string& error);
// The text is one value, not a block or a bracketed matrix: what pasting into
// a single cell takes (line breaks around it allowed). A line that names a
// and reads as one polynomial ("a^2 - 1") is one value too.
bool IsSingleValue(std::string_view text);

}  // namespace velmora
