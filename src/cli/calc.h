// velmora-calc: the computing core from the command line.
#pragma once

#include <iostream>
#include <ostream>
#include <string>
#include <vector>

namespace velmora {

// Exit codes: 0 done, 1 mathematical refusal (sizes that do not fit, singular
// matrix, overflow), 2 unreadable input or unknown command.
enum CalcStatus : int { kCalcOk = 0, kCalcRefused = 1, kCalcBadInput = 2 };

// args excludes the program name. Results go to out, explanations to err;
// `in` is read by the commands that read standard input (comprobar).
// A result that could not be written (out failed) is exit status 1, with a
// message on err.
int RunCalc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            std::istream& in = std::cin);
// The same without that last check: for a command run inside another.
int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               std::istream& in = std::cin);

}  // namespace velmora
