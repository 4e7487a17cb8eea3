// Expressions over the stored matrices: J+K*L, (J-K)^2, -M*J ...
//
// The grammar is ordinary algebra over the letters of the store:
//
//   expression := term { ("+" | "-") term }      groups to the left: J-K-L = (J-K)-L
//   term       := factor { "*" factor }           groups to the left
//   factor     := [ "-" ] power                   the sign negates this factor only
//   power      := primary [ "^" exponent ]        -J^2 = -(J^2); J^2^2 is refused
//   primary    := letter | "(" expression ")"
//
// The text is upper-cased first, so j and J are the same letter, and "−"
// (U+2212) is "-". A letter names one of the occupied slots 1..count or
// nothing. The only number is the exponent:
// a non-negative integer (decimal, "$" hexadecimal or "%" binary) up to
// 2147483647. Blanks, "+" as a sign, "--J" and anything else are refused.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/matrix/matrix.h"
#include "core/store/matrix_store.h"

namespace velmora {

enum class EvalResult {
    Ok,
    Unreadable,    // not an expression: syntax, a letter with no matrix, empty, too long
    SizeMismatch,  // an expression, but the sizes of its matrices do not fit its operations
    Overflow,      // the exact result does not fit 32 bits
};

// Longest text the evaluator takes (the length of the expression box). A
// longer text is refused whole, never cut.
inline constexpr std::size_t kMaxExpressionLength = 254;

// Evaluates `text` over the occupied slots of `store` into `result`; only Ok
// writes `result`. The store is only read: groups need no slots. Steps whose
// value leaves 32 bits are redone in wider exact arithmetic, so a result that
// fits is found even when a step on the way to it does not.
EvalResult Evaluate(std::string_view text, const MatrixStore& store, Matrix& result);

}  // namespace velmora
