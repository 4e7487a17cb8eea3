// Exact rational numbers: a 32-bit numerator over a 32-bit denominator.
//
// Every arithmetic operation computes its intermediate values exactly in 64 or
// 128 bits, reduces by the gcd and only then narrows to 32 bits. A result that
// does not fit is never returned: the operation throws ArithmeticOverflow and
// leaves its output untouched. Results are always in normal form (den > 0,
// gcd(|num|, den) = 1, zero is 0/1).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velmora {

// Thrown when an exact result has no 32-bit numerator or denominator.
class ArithmeticOverflow : public std::overflow_error {
public:
    ArithmeticOverflow() : std::overflow_error("resultado fuera del rango de 32 bits") {}
};

// Thrown when an operation would divide by a zero fraction. The engine guards
// every division, so this signals a caller's mistake, never user input.
class DivisionByZero : public std::domain_error {
public:
    DivisionByZero() : std::domain_error("división por cero") {}
};

struct Fraction {
    int32_t num = 0;
    int32_t den = 1;

    constexpr Fraction() = default;
    constexpr Fraction(int32_t n, int32_t d = 1) : num(n), den(d) {}  // NOLINT: integers are fractions

    // Brings the fraction to normal form. x/0 with x != 0 becomes 1/0 or -1/0;
    // 0/x becomes 0/1. Throws ArithmeticOverflow for -2147483648/-1 and alike.
    void Normalize();
    // The fraction becomes k times itself.
    void MulInt(int32_t k);
    // num / den in extended precision.
    long double ToReal() const;

    bool IsZero() const { return num == 0; }
    // A fraction with denominator 0 (as Parse may read '1/0') is outside the
    // domain of the arithmetic; callers refuse such values with this test.
    bool HasZeroDenominator() const { return den == 0; }
    // The invariant of every arithmetic result.
    bool IsNormal() const;

    // "-3/4", "5", "0": the numerator alone for integers and every zero.
    std::string ToText() const;
    // Reads an integer, or two integers separated by "/", without normalising.
    // True when both parts were read. See ParseInteger for the integer reading.
    bool Parse(std::string_view s);

    friend bool operator==(const Fraction& a, const Fraction& b) = default;
};

std::ostream& operator<<(std::ostream& out, const Fraction& f);

// r = a + b, a - b, a * b, a / b. r may be the same object as a or b.
void FracAdd(Fraction a, Fraction b, Fraction& r);
void FracSub(Fraction a, Fraction b, Fraction& r);
void FracMul(Fraction a, Fraction b, Fraction& r);
void FracDiv(Fraction a, Fraction b, Fraction& r);  // throws DivisionByZero when b is 0

// Greatest common divisor of |a| and |b| (Gcd(0, 0) = 0). 64-bit because
// Gcd(-2147483648, 0) = 2147483648.
int64_t Gcd(int64_t a, int64_t b);
// Least common multiple of |a| and |b|.
int64_t Lcm(int64_t a, int64_t b);
// +1 when i + j is even, -1 when odd.
int CofactorSign(unsigned i, unsigned j);

// The integer reading used for every number the user types: leading blanks and
// tabs skipped, an optional sign ("+", "-" or "−", U+2212, the minus sign of
// typeset text), an optional "$" (hexadecimal) or "%" (binary)
// prefix, at least one digit and nothing after it. Decimal values lie in
// -2147483648..2147483647; "$" and "%" values may use all 32 bits and are read
// as two's complement ("$FFFFFFFF" is -1). A sign in front of "$" or "%"
// negates the digits' value, which must then lie in 0..$7FFFFFFF: a pattern
// with its top bit set is already negative, and "-$80000000" or "-$FFFFFFFF"
// would wrap. On failure value is set to 0.
bool ParseInteger(std::string_view s, int32_t& value);

// Why a typed number was refused.
enum class NumberReading {
    Ok,
    NotANumber,       // "abc", "1.5", "3/x", "1/2/3", "", "- 3"
    OutOfRange,       // "99999999999", "2147483648/2", "-$80000000", "-2147483648/-1"
    ZeroDenominator,  // "3/0"
};

// "−" (U+2212), the minus sign of typeset text (PDFs, other programs), in
// `text`; the text with each of them written "-". Every reading of what the
// user types takes both signs: ParseInteger as a sign, the readers of
// expressions through these.
bool HasTypographicMinus(std::string_view text);
std::string WithAsciiMinus(std::string_view text);

// The reading of a number as the user types it, in a cell, a factor box or a
// command-line argument: an integer, or two integers separated by "/", each
// read by ParseInteger, with blanks and tabs allowed around each of them
// (" 3 ", "-2/3 ", "3 / 4"). Each part must be a 32-bit integer as written
// ("2147483648/2" is out of range although its value is not). On Ok, f is the
// value in normal form ("4/8" reads 1/2, "3/-4" reads -3/4); otherwise f is
// untouched. A text that has no number's shape is NotANumber, whatever its
// parts hold; then a part or a normal form beyond 32 bits is OutOfRange; then
// a zero denominator. An empty or blank text is NotANumber: callers for which
// an empty cell means 0 test for that first. "−3/4" reads as "-3/4".
NumberReading ReadNumber(std::string_view text, Fraction& f);
// The same for a lone integer (blanks around it allowed).
NumberReading ReadInteger(std::string_view text, int32_t& value);
// A grid cell's reading: an empty or blank cell is 0, any other text is read
// by ReadNumber.
NumberReading ReadCell(std::string_view text, Fraction& f);
// The refusal in words, to follow the name of what was read: "no es un
// número", "está fuera de rango", "tiene denominador 0" (empty for Ok).
const char* NumberReadingText(NumberReading reading);

}  // namespace velmora
