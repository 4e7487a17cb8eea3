// velmora-calc's commands on expressions and systems. Each takes the words
// after its command name and returns the exit status: 0 done, 1 what can be
// read but not done (sizes, null equation, overflow, a comment or file that
// cannot be written), 2 what cannot be read (a malformed matrix or
// expression, a file that cannot be opened or is not a list of systems).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/store/matrix_store.h"

namespace velmora {

// The matrices given as J=MATRIX K=MATRIX ..., into the store from J on, with
// no gap; false, with the reason on err, for anything else.
bool ReadLetterMatrices(const std::vector<std::string>& args, MatrixStore& store,
                        std::ostream& err);

// eval EXPRESSION [J=MATRIX K=MATRIX ...]
int CalcEval(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The same, the result printed as a LaTeX pmatrix (--latex eval).
int CalcEvalLatex(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// Systems the system window can show: 1..4 equations, 1..4 unknowns, no
// equation that is 0 = 0 (`nullRow`); false, with the reason on err.
bool CheckSystemSize(int rows, int cols, bool nullRow, std::ostream& err);
bool CheckSystemSize(const Matrix& m, std::ostream& err);
// solve AUGMENTED
int CalcSolve(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The same for a system a value of the parameter made: an equation may be
// 0 = 0 (kept) or 0 = c, analysed as it is.
int CalcSolveSubstituted(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err);
// discuss AUGMENTED: a system with the parameter a, case by case
int CalcDiscuss(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The same as the LaTeX "Copiar LaTeX" copies (--latex discuss).
int CalcDiscussLatex(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// sts show FILE | sts add FILE AUGMENTED [COMMENT]
int CalcSts(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velmora
