// velmora-calc on a matrix with a parameter: det, rank, inv, trans, adj, tri,
// gj, mul and pow print its discussion; "det MATRIX = VALUE" the values with
// that determinant; and LETTER=VALUE after the matrix of any command
// substitutes the value first.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velmora {

// The position of the matrix among a command's words (mul F M, pow N M: 2;
// eval, ecuacion and sts: 0, none).
std::size_t MatrixArgument(const std::string& command);
// True when the command's matrix is one of polynomials with the parameter in
// some cell.
bool HoldsParametricMatrix(const std::vector<std::string>& args);
// The command's discussion, as text or (latex) as LaTeX; the exit status.
int CalcParametric(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool latex);
// When the last word is LETTER=VALUE after the matrix: the words with that
// matrix replaced by the matrix of numbers for that value (true), or false
// with `status` set and the reason on err when it cannot be done. `found`
// tells whether there was such a word.
bool SubstituteArgument(std::vector<std::string>& args, bool& found, int& status,
                        std::ostream& err);

}  // namespace velmora
