// velmora-calc reads and prints matrices as the windows' clipboard does: its
// "[1 2; 3 -1/2]" (ReadMatrixText) and its rows (MatrixText) are in
// matrix/matrix_text.h, one place for each format. Here only what the
// windows do not read: a matrix whose cells are polynomials in a.
#pragma once

#include <string>
#include <string_view>

#include "core/matrix/matrix_text.h"
#include "core/systems/discussion.h"

namespace velmora {

// The shape of ReadMatrixText with cells that are polynomials in a
// (ReadPolynomial); a blank or comma inside parentheses stays in its cell:
// "[(a + 1) 2a 1; ...]". On failure m is untouched and error says why.
bool ReadPolynomialMatrixText(std::string_view text, PolynomialMatrix& m, std::string& error);

}  // namespace velmora
