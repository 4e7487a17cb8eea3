// velmora-calc ecuacion: a matrix equation linear in X.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velmora {

// How the answer is printed: as text, in LaTeX (--latex), or its steps first
// (--pasos).
enum class EquationOutput { Text, Latex, Steps };

// ecuacion EQUATION [J=MATRIX K=MATRIX ...] [X=RxC]: the answer as the result
// window shows it; 0 also when the equation has no solution (that is an
// answer), 1 for what cannot be done, 2 for what cannot be read.
int CalcEquation(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 EquationOutput output = EquationOutput::Text);

}  // namespace velmora
