// A grid of cell texts with a parameter, as the windows hand it: its reading,
// the discussion of an operation on it as a document the Pasos-style window
// draws, the short texts of the main window's boxes, and the grid of numbers
// for one value of the parameter. Every refusal is a reason text that names
// the cell.
#pragma once

#include <string>
#include <vector>

#include "core/matrix/matrix.h"
#include "core/matrix/parametric_matrix.h"
#include "core/matrix/steps.h"

namespace velmora {

using CellTexts = std::vector<std::vector<std::string>>;

// The reading of a grid: rows of equal length, an empty or blank cell 0, the
// others read by ReadPolynomial in the grid's one letter.
struct ParametricCells {
    bool ok = false;
    std::string reason;  // !ok: "La celda de la fila 2, columna 1 tiene ..." or two letters
    PolynomialMatrix matrix;
    bool HasParameter() const { return matrix.HasParameter(); }
    char letter() const { return matrix.parameter; }
};
ParametricCells ReadParametricCells(const CellTexts& cells);

enum class ParametricOperation {
    Determinant,
    Rank,
    Inverse,
    Transpose,
    Cofactors,
    Triangular,
    Diagonal,
    Scale,  // M·k: times `factor`
    Power,  // M^n: to the power `exponent` >= 0
};

struct ParametricAnswer {
    bool ok = false;
    std::string reason;           // !ok: why, naming the cell when a cell is the cause
    std::vector<Step> document;   // ok: lines, each optionally followed by a matrix of texts
};
// The discussion of `operation` on the grid: the document of
// DeterminantDocument, RankDocument, InverseDocument, ... (parametric_text.h)
// in the grid's letter; the quotients in the form a teacher writes them.
ParametricAnswer ParametricResult(const CellTexts& cells, ParametricOperation operation,
                                  const mpq_class& factor = 1, int exponent = 1);

// The same on a matrix already read (refused only for its size or shape).
ParametricAnswer ParametricResult(const PolynomialMatrix& m, ParametricOperation operation,
                                  const mpq_class& factor = 1, int exponent = 1);

// The main window's boxes for a grid with a parameter: rank "según k"; the
// determinant factored when it takes at most `width` characters, else
// "según k" (empty for a grid that is not square or is refused).
struct ParametricBoxes {
    std::string rank;
    std::string determinant;
};
ParametricBoxes ParametricBoxTexts(const CellTexts& cells, std::size_t width);

// The grid for one value of the parameter: every cell's value as a number of
// 32-bit numerator and denominator (a refusal names the first one that is not).
struct Substitution {
    bool ok = false;
    std::string reason;
    Matrix matrix;
};
Substitution SubstituteCells(const CellTexts& cells, const mpq_class& value);
// The same on a matrix of polynomials, every cell evaluated at `value`.
Substitution SubstituteMatrix(const PolynomialMatrix& m, const mpq_class& value);

}  // namespace velmora
