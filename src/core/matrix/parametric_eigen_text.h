// The wording of the eigenvalues of a matrix with a parameter
// (parametric_eigen.h): the document velmora-calc eigen and the "Valores
// propios" window show, each line in words and in LaTeX.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/matrix/parametric_eigen.h"
#include "core/matrix/steps.h"

namespace velmora {

// "-λ^3 + (a + 2)λ^2 - 2aλ": |A - λI| by the powers of λ.
std::string CharacteristicText(const ParametricEigenAnalysis& e);
// "A es diagonalizable para a ≠ 1" or "A no es diagonalizable para a ≠ 0: λ
// = a tiene multiplicidad algebraica 2 y geométrica 1"; then one line for
// each case said apart: "Para a = 1 no lo es: ...", "Para a = 2 tampoco:
// ...", "Para a = 0 sí es diagonalizable".
std::vector<std::string> ParametricVerdictLines(const ParametricEigenAnalysis& e);
// A - λI, |A - λI| expanded and factored, the eigenvalues and their
// multiplicities, the values of the parameter where they change, the
// verdicts. Eigenvalues that are not polynomials in the parameter: why no
// more is said.
std::vector<Step> ParametricEigenDocument(const ParametricEigenAnalysis& e);
// The document of AnalyseParametricEigen(m), or no document and why, for a
// matrix the computation will not take.
std::pair<std::vector<Step>, std::string> ParametricEigenAnswer(const PolynomialMatrix& m);

}  // namespace velmora
