// Matrix equations linear in X over the stored matrices: J*X + K = L,
// X*J + 2X = K, J*X = X*J, J*X*K = L - X ...
//
// The entries of X are the unknowns; each entry of the two sides gives one
// linear equation in them, and that system is classified by its ranks and
// solved exactly (rationals of any size, up to 16 unknowns): one X, none, or
// X in parameters. Where X stands alone in a product, s·A X B = C, with A
// and B square and invertible, the isolation X = (1/s) A^-1 C B^-1 is found
// too, as a teacher writes it first.
#pragma once

#include <string_view>
#include <vector>

#include "core/matrix/rational_matrix.h"
#include "core/matrix/steps.h"
#include "core/store/evaluator.h"
#include "core/systems/general_solution.h"

namespace velmora {

inline constexpr int kMaxUnknowns = 16;

// c · L1 L2 ... Y R1 R2 ..., Y being X (leaf -1) or a part without X.
struct EquationTerm {
    mpq_class coefficient;
    std::vector<int> left;
    int leaf = -1;
    std::vector<int> right;
};

// A sum of products of nodes, c_k · P_k; an empty product is I.
struct EquationFactor {
    std::vector<std::pair<mpq_class, std::vector<int>>> terms;
    detail::QMatrix value;
    bool square = false;
    bool invertible = false;
    detail::QMatrix inverse;

    bool empty() const { return terms.empty(); }
};

// s · A X B = C: the equation with X alone in one product.
struct Isolation {
    bool found = false;
    mpq_class scalar = 1;
    EquationFactor left;            // A (empty: none)
    EquationFactor right;           // B (empty: none)
    std::vector<EquationTerm> rhs;  // C, in order: the right side's, then the left's moved over
    // s != 0 and A, B square and invertible: X = (1/s) A^-1 C B^-1.
    bool byInverse = false;
};

struct MatrixEquation {
    Expression expression;  // its root is the "=" node
    Shape x;                // the size of X
    // One equation a row for each entry of the sides, row after row; a
    // column for each entry of X, row after row, and the right-hand side.
    detail::QMatrix system;
    int rankCoefficients = 0;
    int rankAugmented = 0;
    // A compatible system: each entry of X in the parameters, which are the
    // entries freeEntries[k] (1-based, row after row of X).
    std::vector<ParametricValue> values;
    std::vector<int> freeEntries;
    Isolation isolation;

    int unknowns() const { return x.rows * x.cols; }
    bool compatible() const { return rankCoefficients == rankAugmented; }
    bool unique() const { return compatible() && rankCoefficients == unknowns(); }
};

// Reads, checks and solves `text` over the store; X has size `x` where the
// equation does not decide it (0s: not given). On a refusal, equation is
// untouched and problem says why: Unreadable, MissingLetter, NoUnknown,
// NotLinear, SizeMismatch, UnknownSize, TooManyUnknowns, or what an
// expression's parts may be refused for (Singular, NotAMatrix...).
EvalResult SolveMatrixEquation(std::string_view text, const MatrixStore& store, Shape x,
                               MatrixEquation& equation, EvalProblem* problem = nullptr);

// The single X as a matrix of 32-bit fractions; false when the equation has
// none or many, or an entry does not fit.
bool SolutionMatrix(const MatrixEquation& equation, Matrix& x);

// The steps behind the answer: the inverses of the isolation, or the
// reduction of the system.
std::vector<Step> EquationSteps(const MatrixEquation& equation);

}  // namespace velmora
