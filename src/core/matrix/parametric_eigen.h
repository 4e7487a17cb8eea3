// The eigenvalues of a square matrix with a parameter a, exact: the
// characteristic polynomial |A - λI| in λ and a, its eigenvalues when each is
// a polynomial in a, with their multiplicities for a general value of a, the
// values of a where two eigenvalues meet or an eigenspace grows, and whether A
// is diagonalisable in the general case and at each of those values. A record
// of numbers only: its wording is in parametric_eigen_text.h.
#pragma once

#include <vector>

#include "core/matrix/parametric_matrix.h"

namespace velmora {

struct ParametricEigenvalue {
    Polynomial value;   // λ = value(a)
    int algebraic = 0;  // for a general value of a
    int geometric = 0;
};

// A value of a (or the roots of an irreducible factor) where the
// eigenvalues' multiplicities change.
struct EigenCase : ParameterCondition {
    // The eigenvalues that are equal here, each group named by its first.
    struct Group {
        std::size_t first = 0;  // index into ParametricEigenAnalysis::eigenvalues
        int algebraic = 0;
        int geometric = 0;
    };
    std::vector<Group> groups;
    bool diagonalisable = false;
};

struct ParametricEigenAnalysis {
    // False when some eigenvalue is not a polynomial in a (an irreducible
    // factor of degree 2 or more in λ, or of degree 1 with a leading
    // coefficient that holds a): nothing past `characteristic` is filled in.
    bool polynomialEigenvalues = false;
    PolynomialMatrix a;
    // |A - λI| = Σ characteristic[k] λ^k, each coefficient a polynomial in a.
    std::vector<Polynomial> characteristic;
    // Distinct as polynomials: constants first, increasing, then by degree.
    std::vector<ParametricEigenvalue> eigenvalues;
    bool diagonalisable = false;  // for a general value of a
    // The general case: every value but those of the cases where A is not
    // diagonalisable or, when it is not in general, where it is.
    ParameterCondition general;
    // Where two eigenvalues meet or an eigenspace grows: the rational values
    // increasing, then the factors.
    std::vector<EigenCase> cases;
};

// m square with the parameter (std::invalid_argument otherwise);
// ParametricTooLarge as RankOf throws it.
ParametricEigenAnalysis AnalyseParametricEigen(const PolynomialMatrix& m);

}  // namespace velmora
