#include "core/arith/polynomial.h"

#include <algorithm>
#include <cstdint>

#include "core/arith/fraction.h"
#include "core/toolkit/strings.h"

namespace velmora {

Polynomial::Polynomial(const mpq_class& constant) {
    if (sgn(constant) != 0) coefficients.push_back(constant);
}

Polynomial Polynomial::Parameter() {
    Polynomial a;
    a.coefficients = {mpq_class(0), mpq_class(1)};
    return a;
}

mpq_class Polynomial::Coefficient(int k) const {
    return k >= 0 && k <= Degree() ? coefficients[static_cast<std::size_t>(k)] : mpq_class(0);
}

int Polynomial::TermCount() const {
    int n = 0;
    for (const mpq_class& c : coefficients) n += sgn(c) != 0;
    return n;
}

mpq_class Polynomial::Evaluate(const mpq_class& a) const {
    mpq_class v = 0;
    for (auto c = coefficients.rbegin(); c != coefficients.rend(); ++c) v = v * a + *c;
    return v;
}

void Polynomial::Trim() {
    while (!coefficients.empty() && sgn(coefficients.back()) == 0) coefficients.pop_back();
}

std::string JoinTerms(const Polynomial& p,
                      const std::function<std::string(const mpq_class&, int)>& term) {
    std::vector<SignedTerm> terms;
    for (int k = p.Degree(); k >= 0; --k) {
        const mpq_class& c = p.coefficients[static_cast<std::size_t>(k)];
        if (sgn(c) != 0) terms.push_back({sgn(c) < 0, term(abs(c), k)});
    }
    return JoinTerms(terms);
}

std::string PolynomialText(const Polynomial& p, std::string_view variable) {
    return JoinTerms(p, [variable](const mpq_class& magnitude, int k) {
        std::string s;
        if (k == 0) {
            s = RationalText(magnitude);
        } else if (magnitude.get_den() != 1) {
            s = "(" + RationalText(magnitude) + ")";
        } else if (magnitude != 1) {
            s = magnitude.get_num().get_str();
        }
        if (k >= 1) s += variable;
        if (k >= 2) s += "^" + std::to_string(k);
        return s;
    });
}

std::string RationalFunctionText(const RationalFunction& f) {
    auto side = [](const Polynomial& p) {
        const std::string text = PolynomialText(p);
        return p.TermCount() > 1 ? "(" + text + ")" : text;
    };
    if (f.denominator == Polynomial(1) || f.numerator.IsZero()) return PolynomialText(f.numerator);
    return side(f.numerator) + "/" + side(f.denominator);
}

namespace {

bool IsParameterLetter(char c) {
    return c == 'a' || c == 'A';
}

// Bits of the larger of a number's numerator and denominator.
std::size_t Bits(const mpq_class& q) {
    return std::max(mpz_sizeinbase(q.get_num_mpz_t(), 2), mpz_sizeinbase(q.get_den_mpz_t(), 2));
}

// A recursive descent over the cell, in the usual order of algebra: a sum of
// terms, a term a product of factors (juxtaposed or with "*") and of
// divisions by numbers, a factor a power of a number, of a or of a bracket.
// "/" binds to the one factor after it, so "2/3a" is two thirds of a. The
// nesting of brackets is bounded, so is the recursion; every value is bounded
// in degree and in bits, so is the work of each step.
class PolynomialParser {
  public:
    explicit PolynomialParser(std::string_view text) : s_(text) {}

    PolynomialReading Read(Polynomial& out) {
        Polynomial p;
        if (!Sum(p)) return failure_;
        SkipBlanks();
        if (i_ != s_.size()) return PolynomialReading::NotANumber;
        out = p;
        return PolynomialReading::Ok;
    }

  private:
    bool Fail(PolynomialReading why) {
        failure_ = why;
        return false;
    }

    void SkipBlanks() {
        while (i_ < s_.size() && IsBlank(s_[i_])) ++i_;
    }

    // Next character after blanks, or 0 at the end.
    char Peek() {
        SkipBlanks();
        return i_ < s_.size() ? s_[i_] : '\0';
    }

    bool Sum(Polynomial& result) {
        bool negative = false;
        if (Peek() == '+' || Peek() == '-') negative = s_[i_++] == '-';
        if (!Term(result, negative)) return false;
        while (Peek() == '+' || Peek() == '-') {
            const bool minus = s_[i_++] == '-';
            Polynomial t;
            if (!Term(t, minus) || !Bounded(result = Add(result, t))) return false;
        }
        return true;
    }

    // `negative`: the term stands after a minus sign, which it takes in, so
    // that "-2147483648a" reads as the integers that "-2147483648" does.
    bool Term(Polynomial& result, bool negative) {
        if (!Factor(result, negative)) return false;
        if (negative) result = Scale(result, -1);
        while (true) {
            const char c = Peek();
            if (c == '*') {
                ++i_;
            } else if (c == '/') {
                ++i_;
                Polynomial d;
                if (!Factor(d, false)) return false;
                if (!d.IsConstant()) return Fail(PolynomialReading::ParameterInDenominator);
                if (d.IsZero()) return Fail(PolynomialReading::ZeroDenominator);
                if (!Bounded(result = Scale(result, 1 / d.coefficients[0]))) return false;
                continue;
            } else if (!IsParameterLetter(c) && c != '(') {
                return true;  // a number right after a factor ("a2") is no product
            }
            Polynomial f;
            if (!Factor(f, false) || !Multiply(result, f)) return false;
        }
    }

    bool Factor(Polynomial& result, bool negative) {
        if (!Primary(result, negative)) return false;
        if (Peek() != '^') return true;
        ++i_;
        SkipBlanks();
        const std::size_t start = i_;
        // The exponent's value, as far as it matters: past the bits any
        // number may have, every power but those of 0 and ±1 is too large.
        uint64_t e = 0;
        for (; i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9'; ++i_)
            e = std::min<uint64_t>(e * 10 + static_cast<uint64_t>(s_[i_] - '0'),
                                   kMaxCoefficientBits + 1);
        if (i_ == start) return Fail(PolynomialReading::NotANumber);
        const bool odd = (s_[i_ - 1] - '0') % 2 != 0;
        if (e == 0) {
            result = Polynomial(1);
            return true;
        }
        if (!result.IsConstant()) {
            if (static_cast<uint64_t>(result.Degree()) * e > kMaxParameterDegree)
                return Fail(PolynomialReading::DegreeTooHigh);
            const Polynomial base = result;
            for (uint64_t k = 1; k < e; ++k)
                if (!Multiply(result, base)) return false;
            return true;
        }
        if (result.IsZero()) return true;
        const mpq_class c = result.coefficients[0];
        if (abs(c) == 1) {
            result = Polynomial(sgn(c) < 0 && odd ? -1 : 1);
            return true;
        }
        // |c| != 1, so c^e has at least (Bits(c) - 1)e + 1 bits: known too
        // large before it is computed.
        if ((Bits(c) - 1) * e + 1 > kMaxCoefficientBits) return Fail(PolynomialReading::TooLarge);
        mpq_class power;
        mpz_pow_ui(power.get_num_mpz_t(), c.get_num_mpz_t(), static_cast<unsigned long>(e));
        mpz_pow_ui(power.get_den_mpz_t(), c.get_den_mpz_t(), static_cast<unsigned long>(e));
        return Bounded(result = Polynomial(power));
    }

    bool Primary(Polynomial& result, bool negative) {
        const char c = Peek();
        if (IsParameterLetter(c)) {
            ++i_;
            result = Polynomial::Parameter();
            return true;
        }
        if (c == '(') {
            if (depth_ == kMaxNesting) return Fail(PolynomialReading::TooDeep);
            ++i_;
            ++depth_;
            if (!Sum(result)) return false;
            --depth_;
            if (Peek() != ')') return Fail(PolynomialReading::NotANumber);
            ++i_;
            return true;
        }
        if (c < '0' || c > '9') return Fail(PolynomialReading::NotANumber);
        // A decimal integer of 32 bits as written, its sign included.
        const uint64_t limit = negative ? 2147483648u : 2147483647u;
        uint64_t v = 0;
        bool tooLarge = false;
        for (; i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9'; ++i_) {
            if (!tooLarge) {
                v = v * 10 + static_cast<uint64_t>(s_[i_] - '0');
                tooLarge = v > limit;
            }
        }
        if (tooLarge) return Fail(PolynomialReading::OutOfRange);
        mpz_class z;
        mpz_set_ui(z.get_mpz_t(), static_cast<unsigned long>(v));
        result = Polynomial(mpq_class(z));
        return true;
    }

    // False, the reading refused, for a value with a number past the bound.
    bool Bounded(const Polynomial& p) {
        for (const mpq_class& c : p.coefficients)
            if (Bits(c) > kMaxCoefficientBits) return Fail(PolynomialReading::TooLarge);
        return true;
    }

    static Polynomial Add(const Polynomial& p, const Polynomial& q) {
        Polynomial r = p;
        if (q.coefficients.size() > r.coefficients.size())
            r.coefficients.resize(q.coefficients.size());
        for (std::size_t k = 0; k < q.coefficients.size(); ++k)
            r.coefficients[k] += q.coefficients[k];
        r.Trim();
        return r;
    }

    static Polynomial Scale(const Polynomial& p, const mpq_class& c) {
        Polynomial r = p;
        for (mpq_class& x : r.coefficients) x *= c;
        r.Trim();
        return r;
    }

    // result *= f, refused past the highest degree or the bits of a number.
    bool Multiply(Polynomial& result, const Polynomial& f) {
        if (result.IsZero() || f.IsZero()) {
            result = Polynomial();
            return true;
        }
        if (result.Degree() + f.Degree() > kMaxParameterDegree)
            return Fail(PolynomialReading::DegreeTooHigh);
        Polynomial r;
        r.coefficients.resize(result.coefficients.size() + f.coefficients.size() - 1);
        for (std::size_t i = 0; i < result.coefficients.size(); ++i)
            for (std::size_t j = 0; j < f.coefficients.size(); ++j)
                r.coefficients[i + j] += result.coefficients[i] * f.coefficients[j];
        r.Trim();
        result = r;
        return Bounded(result);
    }

    std::string_view s_;
    std::size_t i_ = 0;
    int depth_ = 0;
    PolynomialReading failure_ = PolynomialReading::NotANumber;
};

bool NamesParameter(std::string_view text) {
    for (char c : text)
        if (IsParameterLetter(c)) return true;
    return false;
}

}  // namespace

PolynomialReading ReadPolynomial(std::string_view text, Polynomial& p) {
    if (HasTypographicMinus(text)) return ReadPolynomial(WithAsciiMinus(text), p);
    Fraction f;
    const NumberReading number = ReadNumber(text, f);
    if (number == NumberReading::Ok) {
        p = Polynomial(mpq_class(f.num, static_cast<unsigned long>(f.den)));
        return PolynomialReading::Ok;
    }
    Polynomial read;
    const PolynomialReading reading = PolynomialParser(text).Read(read);
    if (reading == PolynomialReading::Ok) {
        p = read;
        return reading;
    }
    // A text with no a that is no expression either: why it is no number.
    if (reading == PolynomialReading::NotANumber && !NamesParameter(text)) {
        if (number == NumberReading::OutOfRange) return PolynomialReading::OutOfRange;
        if (number == NumberReading::ZeroDenominator) return PolynomialReading::ZeroDenominator;
    }
    return reading;
}

const char* PolynomialReadingText(PolynomialReading reading) {
    switch (reading) {
        case PolynomialReading::Ok:
            return "";
        case PolynomialReading::NotANumber:
            return "no es un número ni un polinomio en a";
        case PolynomialReading::OutOfRange:
            return NumberReadingText(NumberReading::OutOfRange);
        case PolynomialReading::ZeroDenominator:
            return NumberReadingText(NumberReading::ZeroDenominator);
        case PolynomialReading::ParameterInDenominator:
            return "tiene a en un denominador";
        case PolynomialReading::DegreeTooHigh:
            return "pasa del grado 4 en a";
        case PolynomialReading::TooLarge:
            return "tiene números demasiado grandes (de más de 4096 bits)";
        case PolynomialReading::TooDeep:
            return "tiene más de 32 paréntesis uno dentro de otro";
    }
    static_assert(kMaxCoefficientBits == 4096 && kMaxNesting == 32, "the texts above name them");
    return "";
}

bool HoldsParameter(std::string_view text) {
    Fraction f;
    return NamesParameter(text) && ReadNumber(text, f) != NumberReading::Ok;
}

}  // namespace velmora
