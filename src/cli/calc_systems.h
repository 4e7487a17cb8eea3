// velmora-calc's commands on expressions and systems. Each takes the words
// after its command name and returns the exit status: 0 done, 1 a
// mathematical refusal (sizes, null equation, incorrect expression,
// overflow), 2 input that cannot be read (or a file that cannot be written).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velmora {

// eval EXPRESSION [J=MATRIX K=MATRIX ...]
int CalcEval(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// solve AUGMENTED
int CalcSolve(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// sts show FILE | sts add FILE AUGMENTED [COMMENT]
int CalcSts(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velmora
