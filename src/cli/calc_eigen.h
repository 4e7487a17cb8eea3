// velmora-calc eigen MATRIX and pow n MATRIX: the eigenvalues, eigenspaces
// and diagonalisation of a square matrix, and its n-th power in closed form,
// printed as documents of lines and matrices (in LaTeX with --latex).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "core/matrix/matrix.h"

namespace velmora {

// args: the words after "eigen".
int CalcEigen(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool latex);
// args: the words after "pow", the first the letter n.
int CalcPowerN(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool latex);

// pow N MATRIX where A^n has a closed form and N is past what is read off
// directly (A^0, A^1, A^2, a power inside a period): prints the form and its
// value at N, and returns true with the status. False, nothing printed: the
// plain power is the answer. ArithmeticOverflow when A^N has no 32-bit form.
bool CalcPowerThroughForm(const Matrix& m, uint32_t n, std::ostream& out, bool latex,
                          int& status);

}  // namespace velmora
