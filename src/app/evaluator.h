// Expressions over the stored matrices: J+K*L, (J-K)^2, -M*J ...
//
// Grammar, as the user meets it: the text is upper-cased; parenthesised groups
// are evaluated first, left to right, each into a temporary slot of the store
// whose letter then stands for it; then the text is split at the first
// occurrence of the first operator found in the order "+", "-", "*", "^"
// (a "-" at the very front is a sign, not an operator), so operators of one
// kind group to the right: J-K-L is J-(K-L). Operands are single letters of
// occupied slots, optionally preceded by "-"; the only number allowed is the
// whole right operand of "^" (a non-negative integer). Blanks are refused.
#pragma once

#include <string>

#include "app/matrix_store.h"
#include "matrix/matrix.h"

namespace velmora {

enum class EvalResult {
    Ok,
    Invalid,   // syntax error, unknown letter, sizes that do not fit, too many groups
    Overflow,  // an exact result does not fit 32 bits
};

// Longest text the evaluator takes (the length of the expression box).
inline constexpr std::size_t kMaxExpressionLength = 254;

// Evaluates `text` over `store` into `result`. Only Ok writes `result`. The
// store's count is back at its value on entry whatever the outcome; slots
// above it may have been used for groups.
EvalResult Evaluate(std::string text, MatrixStore& store, Matrix& result);

}  // namespace velmora
