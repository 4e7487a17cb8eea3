// A matrix whose cells are polynomials in a parameter: its determinant, its
// rank and its inverse by the values of the parameter, everything exact. The
// values where something changes are the real roots of a polynomial: a
// rational root is a case "k = v", an irreducible factor of degree 2 or more
// with a real root one case for all its roots (computed modulo it, as the
// discussion of a system does). Their wording is in parametric_text.h.
#pragma once

#include <stdexcept>
#include <vector>

#include "core/systems/discussion.h"

namespace velmora {

// The most rows and columns of a matrix with a parameter.
constexpr int kMaxParametricOrder = 5;

// A matrix the computation will not take on (too many rows or columns, a cell
// past degree 4 or with numbers too large); what() is the message.
class ParametricTooLarge : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Throws ParametricTooLarge for a matrix past kMaxParametricOrder rows or
// columns, or with a cell past what a typed cell may be.
void CheckParametricSize(const PolynomialMatrix& m);

// The real roots of a non-zero polynomial, as cases: the rational ones
// increasing, then each irreducible factor of degree 2 or more that has a
// real root (integer, positive leading, in the order FactoredPolynomial
// keeps).
struct RealRoots {
    std::vector<mpq_class> values;
    std::vector<Polynomial> factors;
    bool empty() const { return values.empty() && factors.empty(); }
};
RealRoots RootsOf(const Polynomial& p);

struct ParametricDeterminant {
    Polynomial value;
    RealRoots zeros;  // where it is 0 (none when it is the zero polynomial)
};

struct RankCase : ParameterCondition {
    int rank = 0;
};

// The general case first, then the critical values, then the factors.
struct ParametricRank {
    std::vector<RankCase> cases;
};

struct ParametricInverse {
    ParametricDeterminant determinant;
    // For every value where the determinant is not 0 (empty when it is the
    // zero polynomial): n x n quotients in lowest terms, row after row.
    std::vector<RationalFunction> entries;
};

// m square (else std::invalid_argument); ParametricTooLarge as above.
ParametricDeterminant DeterminantOf(const PolynomialMatrix& m);
ParametricRank RankOf(const PolynomialMatrix& m);
ParametricInverse InverseOf(const PolynomialMatrix& m);
// The forms over the polynomials: the transpose, the matrix of cofactors
// (square), m times a number, m to a power n >= 0 (square; refused with
// ParametricTooLarge past degree kMaxPowerDegree).
constexpr int kMaxPowerDegree = 40;
PolynomialMatrix TransposeOf(const PolynomialMatrix& m);
PolynomialMatrix CofactorsOf(const PolynomialMatrix& m);
PolynomialMatrix ScaledBy(const PolynomialMatrix& m, const mpq_class& factor);
PolynomialMatrix PowerOf(const PolynomialMatrix& m, int n);

// The fraction-free triangular form over the polynomials (rows combined with
// polynomial factors, each divided exactly by the previous pivot, brought to
// integer coefficients of gcd 1) or, `diagonal`, that form with every entry
// above a pivot made 0 the same way (each row then divided by the gcd of its
// entries); and the values where a pivot of it is 0, where the form of the
// matrix is another.
struct ParametricForm {
    PolynomialMatrix form;
    RealRoots pivotZeros;
};
ParametricForm FormOf(const PolynomialMatrix& m, bool diagonal);

// The values of the parameter where det m = value (none when it is a
// non-zero constant polynomial; `every` when det m - value is 0 for every
// value).
RealRoots ValuesWithDeterminant(const PolynomialMatrix& m, const mpq_class& value, bool& every);

}  // namespace velmora
