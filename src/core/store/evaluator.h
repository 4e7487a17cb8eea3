// Expressions over the stored matrices: J+K*L, (J-K)^2, -M*J, J^-1, 2J + I ...
// The grammar is in expression.h.
//
// A read expression is checked before anything is computed: a number stands
// only where a number may (2 + J is refused: a number alone is not a
// matrix), and the sizes fit, I taking the size its place needs. Then it is
// computed in the 32-bit engine, and where a step's value leaves 32 bits,
// again in exact rationals of any size, so a result that fits is found even
// when a step on the way to it does not.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/matrix/matrix.h"
#include "core/matrix/rational_matrix.h"
#include "core/store/expression.h"
#include "core/store/matrix_store.h"

namespace velmora {

enum class EvalResult {
    Ok,
    Unreadable,    // not an expression: syntax, a letter with no matrix, empty, too long
    SizeMismatch,  // an expression, but the sizes of its matrices do not fit its operations
    Overflow,      // the exact result does not fit 32 bits
    NotAMatrix,    // a number where a matrix goes: 2 + J, J/K, 2^T, 2
    IdentitySize,  // I (or a side 0) whose size nothing decides
    Singular,      // a power of the inverse of a matrix with determinant 0
    ZeroDivision,  // J/0, 0^-1
    // Matrix equations only:
    MissingLetter,    // a letter with no stored matrix
    NoUnknown,        // X stands nowhere
    NotLinear,        // X times X, X under a power
    UnknownSize,      // nothing decides the size of X
    TooManyUnknowns,  // X has more than 16 entries
};

// What was refused, for its wording (expression_text.h): the operation at
// fault, as the program writes it, and its operands.
struct EvalProblem {
    EvalProblem() = default;
    explicit EvalProblem(EvalResult r) : result(r) {}

    EvalResult result = EvalResult::Ok;
    NodeKind operation = NodeKind::Number;
    std::string where;   // "2 + J", "J L", "(J + K)^-1"
    std::string first;   // its operands as factors: "J", "(J + K)"
    std::string second;  // (none for one operand)
    Shape firstShape;    // their sizes, as far as they are known
    Shape secondShape;
    char letter = 0;     // MissingLetter
};

// Evaluates `text` over the occupied slots of `store` into `result`; only Ok
// writes `result`. A letter with no matrix is Unreadable. The store is only
// read. With `problem`, a refusal says there what and where.
EvalResult Evaluate(std::string_view text, const MatrixStore& store, Matrix& result,
                    EvalProblem* problem = nullptr);

// --- the pieces of an evaluation, for the matrix equations ---

// Numbers where matrices go, and the sizes: X has size `x` where that is
// known (0s otherwise). On Ok, shapes[i] is the size of node i ({0, 0} for a
// number); an X or an I whose size nothing decides is UnknownSize or
// IdentitySize, shapes filled as far as they go.
EvalResult CheckExpression(const Expression& e, const MatrixStore& store, Shape x,
                           std::vector<Shape>& shapes, EvalProblem* problem = nullptr);

// A refusal found while computing node `node`.
struct EvalFailure {
    EvalResult result;
    int node;
};

// The problem record of a refusal at `node`.
EvalProblem ProblemAt(const Expression& e, const std::vector<Shape>& shapes, EvalResult result,
                      int node);

// The exact value of every node of a checked expression, in rationals of any
// size; the nodes without X are computed once, the others again for each
// value of X. Throws EvalFailure (Singular, ZeroDivision) and
// ArithmeticOverflow for a value past some thousands of bits.
class ExactValues {
  public:
    ExactValues(const Expression& e, const std::vector<Shape>& shapes, const MatrixStore& store);
    // x: the value of X (nullptr: none in the expression).
    void Compute(const detail::QMatrix* x = nullptr);
    const detail::QMatrix& matrix(int node) const { return values_[Index(node)].m; }
    const mpq_class& scalar(int node) const { return values_[Index(node)].s; }

  private:
    struct Value {
        mpq_class s;
        detail::QMatrix m;
    };
    static std::size_t Index(int node) { return static_cast<std::size_t>(node); }
    void ComputeNode(int i, const detail::QMatrix* x);

    const Expression& e_;
    const std::vector<Shape>& shapes_;
    const MatrixStore& store_;
    std::vector<Value> values_;
    bool constantsDone_ = false;
};

}  // namespace velmora
