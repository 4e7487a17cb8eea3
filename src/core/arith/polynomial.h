// Polynomials in the parameter a with exact rational coefficients, their text
// and the reading of a typed cell such as "3a^2 - a + 1". The arithmetic of
// the discussion itself lives in arith/flint_poly.h, inside the core.
#pragma once

#include <gmpxx.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/arith/rational.h"

namespace velmora {

// The highest power of a a typed cell may hold.
constexpr int kMaxParameterDegree = 4;
// The most bits a numerator or denominator of a typed cell may take: far
// beyond what a person types, and small enough for every computation on it
// to end at once.
constexpr std::size_t kMaxCoefficientBits = 4096;
// The most parentheses a typed cell may nest, one inside another.
constexpr int kMaxNesting = 32;

// coefficients[k] multiplies a^k. There is never a trailing zero, so the zero
// polynomial has no coefficient and degree -1.
struct Polynomial {
    std::vector<mpq_class> coefficients;

    Polynomial() = default;
    Polynomial(const mpq_class& constant);  // NOLINT: numbers are polynomials
    Polynomial(long constant) : Polynomial(mpq_class(constant)) {}  // NOLINT
    // a itself.
    static Polynomial Parameter();

    int Degree() const { return static_cast<int>(coefficients.size()) - 1; }
    bool IsZero() const { return coefficients.empty(); }
    bool IsConstant() const { return coefficients.size() <= 1; }
    // The coefficient of a^k (0 past the degree).
    mpq_class Coefficient(int k) const;
    // Non-zero coefficients.
    int TermCount() const;
    mpq_class Evaluate(const mpq_class& a) const;
    // Drops trailing zeros, after the coefficients were set by hand.
    void Trim();

    friend bool operator==(const Polynomial& p, const Polynomial& q) = default;
};

// numerator / denominator in lowest terms with a monic denominator; a
// polynomial has denominator 1.
struct RationalFunction {
    Polynomial numerator;
    Polynomial denominator = Polynomial(1);

    RationalFunction() = default;
    RationalFunction(Polynomial p) : numerator(std::move(p)) {}  // NOLINT
    RationalFunction(Polynomial p, Polynomial q)
        : numerator(std::move(p)), denominator(std::move(q)) {}

    bool IsZero() const { return numerator.IsZero(); }
    bool IsConstant() const { return numerator.IsConstant() && denominator.IsConstant(); }

    friend bool operator==(const RationalFunction& f, const RationalFunction& g) = default;
};

// From the highest power down, the coefficient 1 left out and fractions in
// parentheses before a: "a^2 + 2a + 1", "-a - 1", "(1/2)a - 3/4", "0". The
// variable may be another name: "λ^2 - 3λ + 1".
std::string PolynomialText(const Polynomial& p, std::string_view variable = "a");
// p from the highest power down: each non-zero term as `term(|c|, k)` writes
// it, the terms joined by JoinTerms (toolkit/strings.h): " + " and " - ", a
// leading "-" for a negative first term, "0" for none.
std::string JoinTerms(const Polynomial& p,
                      const std::function<std::string(const mpq_class&, int)>& term);
// "p", "p/q", or "(p)/(q)" with parentheses around a side of more than one
// term: "1/(a + 2)", "(-a - 1)/(a + 2)", "a^2 + 1".
std::string RationalFunctionText(const RationalFunction& f);

// Why a typed cell was refused; the first three are ReadNumber's.
enum class PolynomialReading {
    Ok,
    NotANumber,              // "x", "2a3", "a+", "1.5a"
    OutOfRange,              // "99999999999a"
    ZeroDenominator,         // "a/0"
    ParameterInDenominator,  // "1/a", "2/(a+1)"
    DegreeTooHigh,           // "a^5", "(a^2+1)^3"
    TooLarge,                // "2^5000a": a number past kMaxCoefficientBits
    TooDeep,                 // "((((a))))" past kMaxNesting
};

// The reading of a cell of a system with a parameter. A text without a
// parameter, or one ReadNumber reads (the hexadecimal "$A"), is that number,
// exactly as ReadNumber reads it. Otherwise it is a polynomial in a (or A)
// written as people write one: "a", "-a", "2a", "a+1", "1-a", "a^2", "a^2-1",
// "(a+1)/2", "2/3a" (two thirds of a), "3a^2 - a + 1", "2(a+1)", "(a+1)^2",
// "(1/2)a"; blanks between the parts, "*" optional; "−" (U+2212) as "-". A
// text without a that ReadNumber refuses may still be a constant written the
// same way: "(1)", "2^2", "2*3". A number in it is a decimal 32-bit integer;
// "/" divides by a non-zero number only; the degree is at most
// kMaxParameterDegree and every number at most kMaxCoefficientBits bits at
// every step, each checked before the step is computed, so no text makes the
// reading slow; at most kMaxNesting parentheses nest. An empty text is
// NotANumber, as for ReadNumber. On Ok, p holds the value; otherwise p is
// untouched.
PolynomialReading ReadPolynomial(std::string_view text, Polynomial& p);
// The refusal in words, to follow the text read: "no es un número", "tiene a
// en un denominador", ... (empty for Ok).
const char* PolynomialReadingText(PolynomialReading reading);
// True when the text names the parameter: it holds "a" or "A" and is not a
// number ReadNumber reads. A grid with such a cell is discussed.
bool HoldsParameter(std::string_view text);

}  // namespace velmora
