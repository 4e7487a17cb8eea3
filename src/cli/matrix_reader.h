// The matrix text of velmora-calc: "[1 2; 3 -1/2]". Brackets are optional,
// rows are separated by ";", entries by blanks or commas, and every entry is
// an integer or a fraction as the editor accepts them.
#pragma once

#include <string>
#include <string_view>

#include "matrix/matrix.h"
#include "systems/discussion.h"

namespace velmora {

// Reads a matrix of 1..10 rows and 1..10 columns into m (normal form, refreshed).
// On failure m is untouched and error says why, in Spanish.
bool ReadMatrixText(std::string_view text, Matrix& m, std::string& error);
// The same shape with cells that are polynomials in a (ReadPolynomial); a
// blank or comma inside parentheses stays in its cell: "[(a + 1) 2a 1; ...]".
bool ReadPolynomialMatrixText(std::string_view text, PolynomialMatrix& m, std::string& error);
// Reads one number (ReadNumber: blanks around it allowed, normal form); on
// failure f is untouched and error names the text and the reason.
bool ReadFractionText(std::string_view text, Fraction& f, std::string& error);
// One matrix row per line, entries separated by one blank.
std::string MatrixText(const Matrix& m);

}  // namespace velmora
