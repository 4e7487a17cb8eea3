#include "core/arith/fraction.h"

#include <cstdlib>
#include <ostream>

#include "core/arith/wide.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

void RequireDenominator(const Fraction& f) {
    if (f.den == 0) throw DivisionByZero();
}

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

// "−" (U+2212), read as "-".
constexpr std::string_view kTypographicMinus = "\u2212";

// The integer reading of ParseInteger, telling a text that is no integer from
// one whose value leaves 32 bits. `value` is written only on Ok.
NumberReading ReadIntegerPart(std::string_view s, int32_t& value) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    bool hasSign = false;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        hasSign = true;
        negative = s[i] == '-';
        ++i;
    } else if (s.substr(i).starts_with(kTypographicMinus)) {
        hasSign = negative = true;
        i += kTypographicMinus.size();
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i < s.size() && s[i] == '%') {
        base = 2;
        ++i;
    }
    if (i == s.size()) return NumberReading::NotANumber;
    // Decimal values must lie in the signed range. "$" and "%" may use all 32
    // bits as a two's complement pattern, unless a sign stands in front: the
    // sign then negates a value that must itself be a non-negative integer.
    uint64_t limit = 0;
    if (base == 10) {
        limit = negative ? 2147483648u : 2147483647u;
    } else {
        limit = hasSign ? 0x7FFFFFFFu : 0xFFFFFFFFu;
    }
    uint64_t magnitude = 0;
    bool tooLarge = false;
    for (; i < s.size(); ++i) {
        const int d = DigitValue(s[i], base);
        if (d < 0) return NumberReading::NotANumber;
        if (!tooLarge) {
            magnitude = magnitude * base + d;
            tooLarge = magnitude > limit;
        }
    }
    if (tooLarge) return NumberReading::OutOfRange;
    uint32_t bits = static_cast<uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    value = static_cast<int32_t>(bits);  // two's complement
    return NumberReading::Ok;
}

}  // namespace

void Fraction::Normalize() {
    if (num == 0) {
        den = 1;
        return;
    }
    if (den == 0) {
        // Gcd(x, 0) = |x|, so x/0 keeps only its sign.
        num = num > 0 ? 1 : -1;
        return;
    }
    *this = wide::Reduce64(num, den);
}

void Fraction::MulInt(int32_t k) {
    RequireDenominator(*this);
    *this = wide::Reduce64(int64_t(num) * k, den);
}

long double Fraction::ToReal() const {
    return static_cast<long double>(num) / static_cast<long double>(den);
}

bool Fraction::IsNormal() const {
    if (den <= 0) return false;
    if (num == 0) return den == 1;
    return Gcd(num, den) == 1;
}

std::string Fraction::ToText() const {
    std::string s = std::to_string(num);
    if (num != 0 && den != 1) {
        s += '/';
        s += std::to_string(den);
    }
    return s;
}

bool Fraction::Parse(std::string_view s) {
    const std::size_t slash = s.find('/');
    int32_t value = 0;
    if (slash == std::string_view::npos) {
        const bool ok = ParseInteger(s, value);
        num = value;
        den = 1;
        return ok;
    }
    const bool numOk = ParseInteger(s.substr(0, slash), value);
    num = value;
    if (!numOk) return false;  // the denominator keeps its previous value
    const bool denOk = ParseInteger(s.substr(slash + 1), value);
    den = value;
    return denOk;
}

bool ParseInteger(std::string_view s, int32_t& value) {
    value = 0;
    int32_t read = 0;
    if (ReadIntegerPart(s, read) != NumberReading::Ok) return false;
    value = read;
    return true;
}

bool HasTypographicMinus(std::string_view text) {
    return text.find(kTypographicMinus) != std::string_view::npos;
}

std::string WithAsciiMinus(std::string_view text) {
    std::string s;
    for (std::size_t at; (at = text.find(kTypographicMinus)) != std::string_view::npos;) {
        s.append(text.substr(0, at)).push_back('-');
        text.remove_prefix(at + kTypographicMinus.size());
    }
    return s.append(text);
}

NumberReading ReadNumber(std::string_view text, Fraction& f) {
    text = TrimBlanks(text);
    const std::size_t slash = text.find('/');
    int32_t num = 0;
    int32_t den = 1;
    if (slash == std::string_view::npos) {
        const NumberReading r = ReadIntegerPart(text, num);
        if (r == NumberReading::Ok) f = Fraction(num, 1);
        return r;
    }
    const NumberReading rn = ReadIntegerPart(TrimBlanks(text.substr(0, slash)), num);
    const NumberReading rd = ReadIntegerPart(TrimBlanks(text.substr(slash + 1)), den);
    if (rn == NumberReading::NotANumber || rd == NumberReading::NotANumber)
        return NumberReading::NotANumber;
    if (rn == NumberReading::OutOfRange || rd == NumberReading::OutOfRange)
        return NumberReading::OutOfRange;
    if (den == 0) return NumberReading::ZeroDenominator;
    Fraction v(num, den);
    try {
        v.Normalize();
    } catch (const ArithmeticOverflow&) {  // -2147483648/-1, 1/-2147483648
        return NumberReading::OutOfRange;
    }
    f = v;
    return NumberReading::Ok;
}

NumberReading ReadInteger(std::string_view text, int32_t& value) {
    int32_t read = 0;
    const NumberReading r = ReadIntegerPart(TrimBlanks(text), read);
    if (r == NumberReading::Ok) value = read;
    return r;
}

NumberReading ReadCell(std::string_view text, Fraction& f) {
    if (!TrimBlanks(text).empty()) return ReadNumber(text, f);
    f = Fraction(0);
    return NumberReading::Ok;
}

const char* NumberReadingText(NumberReading reading) {
    switch (reading) {
        case NumberReading::Ok:
            return "";
        case NumberReading::NotANumber:
            return "no es un número";
        case NumberReading::OutOfRange:
            return "está fuera de rango";
        case NumberReading::ZeroDenominator:
            return "tiene denominador 0";
    }
    return "";
}

void FracAdd(Fraction a, Fraction b, Fraction& r) {
    RequireDenominator(a);
    RequireDenominator(b);
    if (a.den == 1 && b.den == 1) {
        const int64_t s = int64_t(a.num) + b.num;
        if (!wide::FitsInt32(s)) throw ArithmeticOverflow();
        r = Fraction(static_cast<int32_t>(s), 1);
        return;
    }
    const wide::Int n = wide::Int(a.num) * b.den + wide::Int(b.num) * a.den;
    r = wide::Reduce(n, wide::Int(a.den) * b.den);
}

void FracSub(Fraction a, Fraction b, Fraction& r) {
    RequireDenominator(a);
    RequireDenominator(b);
    if (a.den == 1 && b.den == 1) {
        const int64_t s = int64_t(a.num) - b.num;
        if (!wide::FitsInt32(s)) throw ArithmeticOverflow();
        r = Fraction(static_cast<int32_t>(s), 1);
        return;
    }
    const wide::Int n = wide::Int(a.num) * b.den - wide::Int(b.num) * a.den;
    r = wide::Reduce(n, wide::Int(a.den) * b.den);
}

void FracMul(Fraction a, Fraction b, Fraction& r) {
    RequireDenominator(a);
    RequireDenominator(b);
    if (a.den == 1 && b.den == 1) {
        const int64_t p = int64_t(a.num) * b.num;
        if (!wide::FitsInt32(p)) throw ArithmeticOverflow();
        r = Fraction(static_cast<int32_t>(p), 1);
        return;
    }
    r = wide::Reduce64(int64_t(a.num) * b.num, int64_t(a.den) * b.den);
}

void FracDiv(Fraction a, Fraction b, Fraction& r) {
    RequireDenominator(a);
    RequireDenominator(b);
    if (b.num == 0) throw DivisionByZero();
    r = wide::Reduce64(int64_t(a.num) * b.den, int64_t(a.den) * b.num);
}

std::ostream& operator<<(std::ostream& out, const Fraction& f) {
    return out << f.num << '/' << f.den;
}

int64_t Gcd(int64_t a, int64_t b) {
    const uint64_t ua = a < 0 ? 0 - uint64_t(a) : uint64_t(a);
    const uint64_t ub = b < 0 ? 0 - uint64_t(b) : uint64_t(b);
    return static_cast<int64_t>(wide::Gcd64(ua, ub));
}

int64_t Lcm(int64_t a, int64_t b) {
    const int64_t g = Gcd(a, b);
    if (g == 0) return 0;
    return std::llabs(a) / g * std::llabs(b);
}

int CofactorSign(unsigned i, unsigned j) { return (i + j) % 2 == 0 ? 1 : -1; }

}  // namespace velmora
