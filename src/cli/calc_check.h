// velmora-calc comprobar MATRIX < WORKING: a student's working, read from
// standard input, checked step by step from MATRIX. Prints the working with
// the marks of its steps and conclusions, as "Comprobar mis pasos" copies
// it, up to the first wrong step (exit status 1) or to the end with the form
// of the last matrix (0). A working that cannot be read is status 2.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace velmora {

// args: the words after "comprobar".
int CalcCheck(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
              std::ostream& err);

}  // namespace velmora
