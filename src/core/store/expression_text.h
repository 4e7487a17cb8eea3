// The wording of what the evaluator and the matrix equations refuse, and the
// answer to a matrix equation as a teacher writes it on the board.
#pragma once

#include <string>
#include <vector>

#include "core/matrix/steps.h"
#include "core/store/evaluator.h"
#include "core/store/matrix_equation.h"

namespace velmora {

// "J no tiene inversa (det J = 0)", "el producto J L no se puede hacer: J es
// 2 × 2 y L es 3 × 3", "la ecuación no es lineal en X: X X" ... One line, no
// capital and no full stop, to stand after "velmora-calc: " or alone in a box.
std::string EvalProblemText(const EvalProblem& problem);

// The answer, line after line, each with its matrix when it has one: the
// equation; where X can be isolated, the isolation ("X (J + 2I) = K  =>  X =
// K (J + 2I)^-1") and each inverse; otherwise X with its entries as unknowns,
// the system they satisfy, its ranks and verdict; then X ("X =" and the
// matrix, in the parameters "para todo λ, μ" when there are many), or "la
// ecuación no tiene solución".
// A number that does not fit 32 bits (of X, an inverse, the system) is not
// shown: "X = fuera de rango (no cabe en fracciones de 32 bits)".
std::vector<Step> EquationDocument(const MatrixEquation& equation);
// False when the answer leaves out such a number.
bool EquationAnswerFits(const MatrixEquation& equation);

// The steps behind it: each inverse of the isolation as the inverse of a
// matrix is worked out, or the reduction of the system.
std::vector<Step> EquationSteps(const MatrixEquation& equation);

}  // namespace velmora
