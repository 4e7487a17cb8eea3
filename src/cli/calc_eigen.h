// velmora-calc eigen MATRIX and pow n MATRIX: the eigenvalues, eigenspaces
// and diagonalisation of a square matrix, and its n-th power in closed form,
// printed as documents of lines and matrices (in LaTeX with --latex).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velmora {

// args: the words after "eigen".
int CalcEigen(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool latex);
// args: the words after "pow", the first the letter n.
int CalcPowerN(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool latex);

}  // namespace velmora
