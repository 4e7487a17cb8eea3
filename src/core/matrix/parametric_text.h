// The wording of a matrix with a parameter (parametric_matrix.h): each answer
// as a document of lines, a line optionally followed by a matrix of texts,
// the form the Pasos window draws and the command line prints.
#pragma once

#include <string>
#include <vector>

#include "core/matrix/parametric_matrix.h"
#include "core/matrix/steps.h"

namespace velmora {

// The roots as a list: "k = -1, k = 1, k tal que k^3 - 2 = 0".
std::string RootsText(const RealRoots& roots, char letter);
// "det = k^3 - k^2 - k + 1 = (k - 1)^2 (k + 1)", "det = 0 para k = -1, k = 1";
// a determinant with no real root: "det ≠ 0 para todo k"; the zero
// polynomial: "det = 0 para todo k".
std::vector<Step> DeterminantDocument(const ParametricDeterminant& d, char letter);
// The determinant as the main window's box shows it: factored, "0", or the
// number.
std::string DeterminantShortText(const Polynomial& det, char letter);
// "Para k ≠ -1, k ≠ 1: rango = 3", "Para k = -1: rango = 2", ...; values
// of the same rank on one line.
std::vector<Step> RankDocument(const ParametricRank& r, char letter);
// "Para k ≠ -2, k ≠ 2: det = -(k - 2)(k + 2) ≠ 0, tiene inversa:" with the
// inverse of quotients, then "Para k = -2, k = 2: det = 0, no tiene inversa".
std::vector<Step> InverseDocument(const ParametricInverse& inverse, int order, char letter);
// "det = 28 para k = -3, k = 5"; "ningún valor de k da det = 28"; "det = 28
// para todo k".
std::vector<Step> DeterminantValueDocument(const RealRoots& roots, bool every,
                                           const mpq_class& value, char letter);
// "title" with the matrix of polynomials under it.
std::vector<Step> MatrixDocument(const std::string& title, const PolynomialMatrix& m);
// The triangular or diagonal form without fractions, then the values where a
// pivot of it is 0.
std::vector<Step> FormDocument(const ParametricForm& f, bool diagonal);
// A line of a document, with its LaTeX (LineLatex) and its matrix.
Step DocumentLine(std::string text, StepMatrix matrix = {});
// The document as the command line prints it: each line, a matrix one row a
// line under it, indented three blanks, its columns aligned and four blanks
// apart.
std::string DocumentText(const std::vector<Step>& document);

}  // namespace velmora
