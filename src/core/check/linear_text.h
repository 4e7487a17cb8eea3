// Linear combinations as a student writes them: of rows ("F2 - 3F1",
// "(3F2 - 2F1) / 5", "(1/2)F1") or of parameters ("1 - 2λ", "(1/2)μ + 3").
// Coefficients are integers or fractions, in front of what they multiply
// (with or without "·" or "*") or dividing it after a "/"; parentheses group.
// Exact: the numbers may have any number of digits.
#pragma once

#include <gmpxx.h>

#include <cstddef>
#include <functional>
#include <map>
#include <string_view>

namespace velmora {

struct LinearExpression {
    mpq_class constant;
    std::map<int, mpq_class> terms;  // symbol -> coefficient (0 when they cancel)
    // Something was divided by 0 ("F2 / 0", "1/0"): the value means nothing.
    bool dividesByZero = false;

    mpq_class Coefficient(int symbol) const;
};

// The length of the symbol `text` starts with (0 when it starts with none)
// and its number in `symbol`.
using SymbolReader = std::function<std::size_t(std::string_view text, int& symbol)>;

// The whole text as one expression (blanks anywhere between its parts);
// false, e untouched, when it is not one.
bool ReadLinearExpression(std::string_view text, const SymbolReader& symbol, LinearExpression& e);

// "F2", "f2", "F_2", "F_{10}": row 2, row 10.
std::size_t ReadRowSymbol(std::string_view text, int& row);
// "λ", "μ" (also "µ"), "ν", "ξ": parameters 1..4.
std::size_t ReadParameterSymbol(std::string_view text, int& parameter);

}  // namespace velmora
