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

namespace {

// The factors of a product, without its constant: "k", "(k - 1)^2 (k + 1)".
std::string ProductText(const std::vector<std::pair<Polynomial, int>>& factors, char letter) {
    std::string s;
    bool afterPower = false;
    for (const auto& [f, e] : factors) {
        const std::string text = PolynomialText(f, letter);
        if (afterPower) s += ' ';
        s += f.TermCount() > 1 ? "(" + text + ")" : text;
        if (e > 1) s += "^" + std::to_string(e);
        afterPower = e > 1;
    }
    return s;
}

}  // namespace

std::string QuadraticRootsText(const Polynomial& f) {
    if (f.Degree() != 2) return "";
    for (const mpq_class& c : f.coefficients)
        if (c.get_den() != 1) return "";
    mpz_class a = f.coefficients[2].get_num();
    mpz_class b = f.coefficients[1].get_num();
    const mpz_class c = f.coefficients[0].get_num();
    if (sgn(a) < 0) {
        a = -a;
        b = -b;
    }
    const mpz_class discriminant = b * b - 4 * a * (sgn(f.coefficients[2]) < 0 ? -c : c);
    if (sgn(discriminant) <= 0 || mpz_perfect_square_p(discriminant.get_mpz_t())) return "";
    // discriminant = s^2 d with d free of the squares of numbers below 4096
    // (square-free whenever it is below 2^24): a bound on the work whatever
    // the size of the numbers.
    mpz_class s = 1;
    mpz_class d = discriminant;
    for (unsigned long p = 2; p < 4096 && p * p <= d; ++p) {
        while (mpz_divisible_ui_p(d.get_mpz_t(), p * p) != 0) {
            d /= p * p;
            s *= p;
        }
    }
    mpz_class minus = -b;
    mpz_class twice = 2 * a;
    const mpz_class g = gcd(gcd(minus, s), twice);
    minus /= g;
    s /= g;
    twice /= g;
    const std::string radical = (s == 1 ? "" : s.get_str()) + "√" + d.get_str();
    const std::string over = twice == 1 ? "" : "/" + twice.get_str();
    if (minus == 0) return "±" + radical + over;
    const std::string pair = minus.get_str() + " ± " + radical;
    return twice == 1 ? pair : "(" + pair + ")" + over;
}

std::string FactoredText(const FactoredPolynomial& f, char letter) {
    if (f.factors.empty()) return RationalText(f.content);
    if (f.content == 1 && f.factors.size() == 1 && f.factors[0].second == 1)
        return PolynomialText(f.factors[0].first, letter);
    const mpz_class& n = f.content.get_num();
    std::string s = sgn(n) < 0 ? "-" : "";
    if (abs(n) != 1) s += mpz_class(abs(n)).get_str();
    s += ProductText(f.factors, letter);
    if (f.content.get_den() != 1) s += "/" + f.content.get_den().get_str();
    return s;
}

std::string RationalFunctionText(const RationalFunction& f, char letter) {
    if (f.numerator.IsZero() || f.denominator.IsZero()) return "0";
    if (f.denominator.IsConstant()) {
        // A polynomial with fractions over their common denominator:
        // "(a - 3)/2", "a/2"; a number as RationalText writes it.
        Polynomial p = f.numerator;
        mpz_class l = 1;
        for (mpq_class& c : p.coefficients) {
            c /= f.denominator.coefficients[0];
            l = lcm(l, c.get_den());
        }
        if (l == 1 || p.IsConstant()) return PolynomialText(p, letter);
        for (mpq_class& c : p.coefficients) c *= l;
        const std::string top = PolynomialText(p, letter);
        return (p.TermCount() > 1 ? "(" + top + ")" : top) + "/" + l.get_str();
    }
    // n/d = (u N)/(v P) with N of integer coefficients of gcd 1, P the
    // product of the denominator's factors, u/v in lowest terms, v > 0.
    const FactoredPolynomial d = Factor(f.denominator);
    mpz_class g = 0;
    mpz_class l = 1;
    for (const mpq_class& c : f.numerator.coefficients) {
        g = gcd(g, c.get_num());
        l = lcm(l, c.get_den());
    }
    const mpq_class content = mpq_class(g, l) / d.content;
    Polynomial numerator = f.numerator;
    for (mpq_class& c : numerator.coefficients) c = c / mpq_class(g, l) * content.get_num();
    const std::string top = PolynomialText(numerator, letter);
    std::string bottom = ProductText(d.factors, letter);
    const mpz_class v = abs(content.get_den());
    if (v != 1) bottom = v.get_str() + bottom;
    const bool single = v == 1 && d.factors.size() == 1;
    return (numerator.TermCount() > 1 ? "(" + top + ")" : top) + "/" +
           (single ? bottom : "(" + bottom + ")");
}

bool IsParameterLetter(char c) {
    const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return lower >= 'a' && lower <= 'z' && lower != 'x' && lower != 'y' && lower != 'z' &&
           lower != 't';
}

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
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

    // The letter read, in lower case; 0 before any.
    char letter() const { return letter_; }

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
            if (letter_ != 0 && Lower(c) != letter_) return Fail(PolynomialReading::TwoParameters);
            letter_ = Lower(c);
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
    char letter_ = 0;
    PolynomialReading failure_ = PolynomialReading::NotANumber;
};

bool NamesParameter(std::string_view text) {
    for (char c : text)
        if (IsParameterLetter(c)) return true;
    return false;
}

// "k en la fila 1, columna 2".
std::string LetterPlace(char letter, int row, int column) {
    return std::string(1, letter) + " en la fila " + std::to_string(row) + ", columna " +
           std::to_string(column);
}

}  // namespace

PolynomialReading ReadPolynomial(std::string_view text, Polynomial& p, char* letter) {
    if (HasTypographicMinus(text)) return ReadPolynomial(WithAsciiMinus(text), p, letter);
    Fraction f;
    const NumberReading number = ReadNumber(text, f);
    if (number == NumberReading::Ok) {
        p = Polynomial(mpq_class(f.num, static_cast<unsigned long>(f.den)));
        return PolynomialReading::Ok;
    }
    Polynomial read;
    PolynomialParser parser(text);
    const PolynomialReading reading = parser.Read(read);
    if (reading == PolynomialReading::Ok) {
        p = read;
        if (letter != nullptr && parser.letter() != 0) *letter = parser.letter();
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
            return "no es un número ni un polinomio en el parámetro";
        case PolynomialReading::OutOfRange:
            return NumberReadingText(NumberReading::OutOfRange);
        case PolynomialReading::ZeroDenominator:
            return NumberReadingText(NumberReading::ZeroDenominator);
        case PolynomialReading::ParameterInDenominator:
            return "tiene el parámetro en un denominador";
        case PolynomialReading::DegreeTooHigh:
            return "pasa del grado 4 en el parámetro";
        case PolynomialReading::TooLarge:
            return "tiene números demasiado grandes (de más de 4096 bits)";
        case PolynomialReading::TooDeep:
            return "tiene más de 32 paréntesis uno dentro de otro";
        case PolynomialReading::TwoParameters:
            return "tiene dos letras: solo se admite un parámetro";
    }
    static_assert(kMaxCoefficientBits == 4096 && kMaxNesting == 32, "the texts above name them");
    return "";
}

bool HoldsParameter(std::string_view text) {
    Fraction f;
    return NamesParameter(text) && ReadNumber(text, f) != NumberReading::Ok;
}

char ParameterLetter(std::string_view text) {
    if (!HoldsParameter(text)) return 0;
    for (char c : text)
        if (IsParameterLetter(c)) return Lower(c);
    return 0;
}

GridParameter ParameterOfGrid(const std::vector<std::vector<std::string>>& cells) {
    GridParameter g;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        for (std::size_t j = 0; j < cells[i].size(); ++j) {
            // A second letter in the same cell is that cell's reading's to refuse.
            const char c = ParameterLetter(cells[i][j]);
            if (c == 0) continue;
            const int row = static_cast<int>(i + 1);
            const int column = static_cast<int>(j + 1);
            if (g.letter == 0) {
                g.letter = c;
                g.row = row;
                g.column = column;
            } else if (c != g.letter) {
                g.other = c;
                g.otherRow = row;
                g.otherColumn = column;
                return g;
            }
        }
    }
    return g;
}

std::string TwoParametersText(const GridParameter& g) {
    return "solo se admite un parámetro: " + LetterPlace(g.letter, g.row, g.column) + " y " +
           LetterPlace(g.other, g.otherRow, g.otherColumn);
}

}  // namespace velmora
