// Square systems of linear equations of any order, solved exactly: the
// kernel for systems past the 10 x 10 of a Matrix (a matrix equation's 16
// unknowns), and the wide path of CramerSolve. Internal to the core.
#pragma once

#include <gmpxx.h>

#include <vector>

namespace velmora {

// The augmented matrix `rows` of n equations in n unknowns, row after row, n
// + 1 values a row (the last the right-hand side): the value of every
// unknown, in column order; empty when the coefficients are singular.
std::vector<mpq_class> SolveSquareSystem(int n, const std::vector<mpq_class>& rows);

namespace detail {

// The same by fraction-free elimination in machine words (word_rows.cpp):
// each row scaled to integers, every value on the way a minor of them. False
// when a value passes 60 bits, and the GMP path decides; a singular system
// gives true and no values.
bool SolveInWords(int n, const std::vector<mpq_class>& rows, std::vector<mpq_class>& x);

}  // namespace detail
}  // namespace velmora
