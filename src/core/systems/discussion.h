// The discussion of a system whose coefficients are polynomials in a
// parameter a: the cases of a with their ranks, verdicts and solutions,
// everything exact.
//
// The cases are the general one and the critical values, where a rank of A or
// of A' drops below its value for a general a: the roots of the gcd of the
// maximal non-zero minors. A rational root is a case "a = v"; an irreducible
// factor of degree 2 or more with a real root is one case for all its roots
// ("a tal que a^2 - 2 = 0"), computed in the field of that factor (arithmetic
// modulo it), whose solutions are polynomials in a reduced modulo the factor.
// The parameter is real: a factor with no real root (a^2 + 1) gives no case.
//
// A compatible undetermined general case also splits off the values where
// the unknowns its solution is written in stop being free: the values where
// a rank of the first j columns of A drops. There the ranks stay those of a
// general a, but the general solution would divide by zero.
//
// The unknowns are all those of the typed system, named by position. An
// unknown whose column vanishes, for every a or at some value of a, occurs in
// no equation there and is free, as in a system of numbers.
//
// The discussion's wording is made in discussion_text.h.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "core/arith/polynomial.h"
#include "core/systems/position.h"

namespace velmora {

// m x n polynomials, rows and columns from 1.
struct PolynomialMatrix {
    int rows = 0;
    int cols = 0;
    std::vector<Polynomial> cells;
    char parameter = kDefaultParameter;  // the letter the user named it with

    PolynomialMatrix() = default;
    PolynomialMatrix(int r, int c) : rows(r), cols(c), cells(static_cast<std::size_t>(r * c)) {}
    Polynomial& at(int i, int j) { return cells[static_cast<std::size_t>((i - 1) * cols + j - 1)]; }
    const Polynomial& at(int i, int j) const {
        return cells[static_cast<std::size_t>((i - 1) * cols + j - 1)];
    }
    // True when some cell holds a.
    bool HasParameter() const;
    // True when every cell of row i is the zero polynomial.
    bool RowIsZero(int i) const;
};

// One unknown of a general solution: constant + sum of coefficients[k] times
// parameter k (λ, μ, ν, ξ). In a case "a = v" every part is a number; in a
// case of an irreducible factor every part is a polynomial of lower degree.
struct ParametricFunction {
    RationalFunction constant;
    std::vector<RationalFunction> coefficients;
};

enum class CaseKind {
    General,  // every a but the critical values
    Value,    // a = value
    Factor,   // a a root of `factor`
};

// The values of the parameter a case is about.
struct ParameterCondition {
    CaseKind kind = CaseKind::General;
    mpq_class value;                          // Value
    Polynomial factor;                        // Factor: irreducible, integer, positive leading
    std::vector<mpq_class> excludedValues;    // General, increasing
    std::vector<Polynomial> excludedFactors;  // General, in the order of their cases
};

struct DiscussionCase : ParameterCondition {
    int rankCoefficients = 0;
    int rankAugmented = 0;
    bool compatible = false;
    bool determined = false;  // compatible with rank A = number of unknowns
    // A compatible case's values, one per unknown, with unknownCount -
    // rankCoefficients parameters.
    std::vector<ParametricFunction> solution;
    // Where the lines or planes stand in this case; None but for two or three
    // unknowns.
    Position position = Position::None;
    // The general case: the values of a, or the roots of a factor, where its
    // ranks and solution hold but two equations turn parallel or coincident
    // (or one loses its unknowns), so they stand otherwise: each is kind Value
    // or Factor with its value or factor and its position, nothing else.
    std::vector<DiscussionCase> positionsApart;
};

struct Discussion {
    PolynomialMatrix augmented;     // A' as typed
    PolynomialMatrix coefficients;  // A: `augmented` without its last column
    // Fraction-free triangular forms over the polynomials: each row combines
    // rows with polynomial factors and is then divided by the previous pivot
    // (exactly), so its entries are minors; every row is finally brought to
    // integer coefficients with gcd 1.
    PolynomialMatrix augmentedTriangular;
    PolynomialMatrix coefficientsTriangular;
    int unknownCount = 0;
    std::vector<DiscussionCase> cases;  // the general case first
};

// A system the discussion will not take on: too many equations or unknowns,
// a cell past degree 4 or with numbers so large the work would take long.
// what() is the message for the user.
class DiscussionTooLarge : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Discusses the system of augmented matrix `augmented` (1..4 equations, 1..4
// unknowns, the last column the right-hand side, cells of degree at most 4).
// Throws std::invalid_argument for an equation that is 0 = 0 for every a (as
// CheckRows) or a matrix without a column, DiscussionTooLarge as above.
Discussion DiscussSystem(const PolynomialMatrix& augmented);
// The fraction-free triangular form over the polynomials of any matrix of at
// most 5 x 5 cells, as the discussion makes those of A' and A.
PolynomialMatrix FractionFreeForm(const PolynomialMatrix& m);
// Why some cell of m is past what a typed cell may be (degree 4, numbers of
// kMaxCoefficientBits): "pasa del grado 4 en el parámetro", "tiene números
// demasiado grandes"; empty when every cell is within.
std::string CellPastBounds(const PolynomialMatrix& m);
// Each row times the positive number that leaves integer coefficients with
// gcd 1 throughout: the same equations, written without fractions.
void MakeRowsPrimitive(PolynomialMatrix& m);
// As CheckRows of a system of numbers: false when some equation is 0 = 0 for
// every a (every coefficient and the right-hand side the zero polynomial).
bool CheckRows(const PolynomialMatrix& augmented);

// The discussion of a grid of cell texts, as typed: rows of equal length, the
// last cell of each row the right-hand side. An empty or blank cell is 0; the
// others are read by ReadPolynomial, in the one letter of the grid.
struct CellDiscussion {
    enum class Status {
        Done,
        UnreadableCell,  // row, column, reading: the first cell refused
        NullEquation,    // row: an equation that is 0 = 0 for every a
        TooLarge,        // message
        TwoParameters,   // message: two letters, both cells named
    };
    Status status = Status::Done;
    int row = 0;     // 1-based
    int column = 0;  // 1-based; the right-hand side is the last column
    PolynomialReading reading = PolynomialReading::Ok;
    std::string message;  // TooLarge: what to tell the user
    Discussion discussion;
};
CellDiscussion DiscussCells(const std::vector<std::vector<std::string>>& cells);

}  // namespace velmora
