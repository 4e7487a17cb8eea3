// The eigenvalues of a square matrix of numbers, exact: the characteristic
// polynomial |A - λI| and its factors over the rationals, each eigenvalue's
// multiplicities and, for a rational one, its eigenspace; whether A is
// diagonalisable and, when it is over the rationals, P and D with
// P^-1 A P = D. A record of numbers only: its wording is in eigen_text.h.
#pragma once

#include <gmpxx.h>

#include <vector>

#include "core/arith/polynomial.h"
#include "core/matrix/matrix.h"
#include "core/systems/general_solution.h"

namespace velmora {

// The roots of one irreducible factor of the characteristic polynomial.
struct EigenFactor {
    // Monic with rational coefficients; coefficients[k] multiplies λ^k.
    Polynomial factor;
    int algebraic = 0;  // the factor's power in the characteristic polynomial
    int realRoots = 0;  // distinct real roots of the factor
    // The dimension of the eigenspace of each root of the factor (conjugate
    // roots share it): dim ker f(A) / deg f.
    int geometric = 0;
    // Degree 1 only: the eigenvalue, the solution of (A - λI)x = 0 and a
    // basis of it with integer entries, one vector per parameter.
    mpq_class value;
    GeneralSolution eigenspace;
    std::vector<std::vector<mpz_class>> basis;

    bool Rational() const { return factor.Degree() == 1; }
};

struct EigenAnalysis {
    int order = 0;
    RationalRows a;
    // |A - λI| = (-1)^order · det(λI - A); coefficients[k] multiplies λ^k.
    Polynomial characteristic;
    // Rational eigenvalues from the least, then the other factors by degree.
    std::vector<EigenFactor> factors;
    // Every root is real and every geometric multiplicity equals the
    // algebraic one.
    bool diagonalisable = false;
    // Diagonalisable with rational eigenvalues only: then P (the bases'
    // vectors as columns, eigenvalue after eigenvalue) and D (diagonal).
    bool rationalBasis = false;
    RationalRows p;
    RationalRows d;
    // P^-1 A P computed exactly equals D.
    bool checked = false;
};

// A square, not empty. Throws std::invalid_argument otherwise.
EigenAnalysis AnalyseEigen(const Matrix& a);
EigenAnalysis AnalyseEigen(const RationalRows& a);

// The general solution of (A - value·I)x = 0, with the row operations of its
// reduction when a recorder is given.
GeneralSolution SolveEigenspace(const RationalRows& a, const mpq_class& value,
                                StepRecorder* steps = nullptr);

}  // namespace velmora
