// The wording of an eigenvalue analysis (eigen.h): the document the
// velmora-calc eigen command prints, line after line, each line in words and
// in LaTeX, with the matrices it shows.
#pragma once

#include <string>
#include <vector>

#include "core/matrix/eigen.h"
#include "core/matrix/steps.h"

namespace velmora {

// "-(λ - 1)(λ - 2)^2 (λ^2 + 1)": |A - λI| as the product of its factors.
std::string FactoredText(const EigenAnalysis& e);
std::string FactoredLatex(const EigenAnalysis& e);
// The roots of a monic irreducible quadratic with real roots, by the
// formula: "λ = (3 ± √5)/2", "λ = 1 ± √2", "λ = ±√2"; in LaTeX
// "\lambda = \frac{3 \pm \sqrt{5}}{2}".
std::string EigenRootsText(const Polynomial& f);
std::string EigenRootsLatex(const Polynomial& f);
// "A es diagonalizable" or "A no es diagonalizable", with its reason.
std::string VerdictText(const EigenAnalysis& e);

// The whole answer: the characteristic polynomial, the eigenvalues, each
// rational one's eigenspace, the verdict, P and D with their check.
std::vector<Step> EigenDocument(const EigenAnalysis& e);
// The steps behind the eigenspaces: for each rational eigenvalue, the
// reduction of (A - λI | 0) that gives its general solution.
std::vector<Step> EigenspaceSteps(const EigenAnalysis& e);

}  // namespace velmora
