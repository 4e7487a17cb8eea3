// Polynomials in the parameter with exact rational coefficients, their text
// and the reading of a typed cell such as "3k^2 - k + 1". The parameter is
// any lower-case Latin letter but the unknowns x, y, z, t (a capital reads as
// its lower case); a polynomial does not keep it: its texts are handed it. The arithmetic of
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

// The letter of a grid that names none, and of the texts that are not told.
constexpr char kDefaultParameter = 'a';
// True for a letter that may name the parameter: a..z and A..Z but x, y, z,
// t in either case.
bool IsParameterLetter(char c);

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

// A non-zero polynomial as content times powers of irreducible factors over
// the rationals, each with integer coefficients of gcd 1 and a positive
// leading coefficient: the factor a first (when it divides), the others by
// degree and then by their coefficients from the highest down.
struct FactoredPolynomial {
    mpq_class content;
    std::vector<std::pair<Polynomial, int>> factors;  // factor, power >= 1
};
FactoredPolynomial Factor(const Polynomial& p);
// As a teacher writes the factored form: "(k - 1)^2 (k + 1)", "-(k - 2)(k + 2)",
// "2k(k - 1)", "(k - 1)(k + 1)/2"; a blank after a power before the next
// factor; a constant as RationalText writes it.
std::string FactoredText(const FactoredPolynomial& f, char letter = kDefaultParameter);

// The two real roots of an irreducible quadratic with integer coefficients,
// as one text with radicals, the radicand square-free and no common factor
// left: "(1 ± √13)/2" for a^2 - a - 3, "±√2" for a^2 - 2, "1 ± 2√3",
// "±√2/2". Empty for any other polynomial.
std::string QuadraticRootsText(const Polynomial& f);

// From the highest power down, the coefficient 1 left out and fractions in
// parentheses before a: "a^2 + 2a + 1", "-a - 1", "(1/2)a - 3/4", "0". The
// variable may be another name: "λ^2 - 3λ + 1".
std::string PolynomialText(const Polynomial& p, std::string_view variable);
// The same in the letter of a parameter.
inline std::string PolynomialText(const Polynomial& p, char letter = kDefaultParameter) {
    return PolynomialText(p, std::string_view(&letter, 1));
}
// p from the highest power down: each non-zero term as `term(|c|, k)` writes
// it, the terms joined by JoinTerms (toolkit/strings.h): " + " and " - ", a
// leading "-" for a negative first term, "0" for none.
std::string JoinTerms(const Polynomial& p,
                      const std::function<std::string(const mpq_class&, int)>& term);
// A polynomial as PolynomialText writes it; a quotient as a teacher writes
// it: integer coefficients without a common factor, the denominator factored
// with a positive leading coefficient, a side of more than one term or
// factor in parentheses: "1/(a + 2)", "(-a - 1)/(a + 2)",
// "(a^2 + 2a - 5)/(2(a - 3))", "(2a^2 + 2a + 1)/(a + 1)^2", "1/(a(a - 1))",
// "3/(2a)", "3a/2" never a fraction inside it.
std::string RationalFunctionText(const RationalFunction& f, char letter = kDefaultParameter);

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
    TwoParameters,           // "k + m": two letters in one cell
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
// untouched. Any parameter letter stands for the parameter (above, a); with
// `letter`, a text that names one sets it to that letter in lower case (a
// text without one leaves it untouched).
PolynomialReading ReadPolynomial(std::string_view text, Polynomial& p, char* letter = nullptr);
// The refusal in words, to follow the text read: "no es un número", "tiene a
// en un denominador", ... (empty for Ok).
const char* PolynomialReadingText(PolynomialReading reading);
// True when the text names the parameter: it holds a parameter letter and is
// not a number ReadNumber reads. A grid with such a cell is discussed.
bool HoldsParameter(std::string_view text);
// The parameter letter a text names, in lower case: its first one (0 for
// none, or for a number ReadNumber reads).
char ParameterLetter(std::string_view text);

// The one parameter of a grid of cell texts (rows and columns from 1): the
// letter of its first cell that names one (0 when none does), and the first
// cell that names another letter, if any: a grid that may not be read.
struct GridParameter {
    char letter = 0;
    int row = 0;
    int column = 0;
    char other = 0;
    int otherRow = 0;
    int otherColumn = 0;
    bool TwoLetters() const { return other != 0; }
};
GridParameter ParameterOfGrid(const std::vector<std::vector<std::string>>& cells);
// "solo se admite un parámetro: k en la fila 1, columna 2 y m en la fila 3,
// columna 1".
std::string TwoParametersText(const GridParameter& g);

}  // namespace velmora
