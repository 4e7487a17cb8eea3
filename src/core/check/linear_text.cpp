#include "core/check/linear_text.h"

#include <array>
#include <cctype>
#include <string>

namespace velmora {

namespace {

// Recursive descent over the text:
//   expression := [sign] term {sign term}
//   term       := [number ["·" | "*" | "×"]] (symbol | "(" expression ")") {"/" number}
//               | number {"/" number}
//   number     := digits ["/" digits] | "(" [sign] digits ["/" digits] ")"
class Reader {
  public:
    Reader(std::string_view text, const SymbolReader& symbol) : s_(text), symbol_(symbol) {}

    bool Whole(LinearExpression& e) {
        if (!Expression(e)) return false;
        Blanks();
        return at_ == s_.size();
    }

  private:
    void Blanks() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t')) ++at_;
    }
    bool Eat(std::string_view token) {
        Blanks();
        if (s_.substr(at_, token.size()) != token) return false;
        at_ += token.size();
        return true;
    }
    // +1 or -1 for a sign ("−", U+2212, too); 0 for none.
    int Sign() {
        if (Eat("+")) return 1;
        if (Eat("-") || Eat("−")) return -1;
        return 0;
    }
    bool Digits(mpz_class& n) {
        Blanks();
        const std::size_t from = at_;
        while (at_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[at_]))) ++at_;
        if (at_ == from) return false;
        n = mpz_class(std::string(s_.substr(from, at_ - from)));
        return true;
    }
    // digits ["/" digits]; a "/" not followed by digits is left alone ("F2 / (-5)").
    bool Plain(mpq_class& q, bool& zero) {
        mpz_class n, d = 1;
        if (!Digits(n)) return false;
        const std::size_t before = at_;
        if (Eat("/") && !Digits(d)) {
            at_ = before;
            d = 1;
        }
        zero = zero || d == 0;
        q = d == 0 ? mpq_class(0) : mpq_class(n, d);
        q.canonicalize();
        return true;
    }
    bool Number(mpq_class& q, bool& zero) {
        if (Plain(q, zero)) return true;
        const std::size_t before = at_;
        if (Eat("(")) {
            const int sign = Sign();
            if (Plain(q, zero) && Eat(")")) {
                if (sign < 0) q = -q;
                return true;
            }
        }
        at_ = before;
        return false;
    }
    bool Symbol(int& symbol) {
        Blanks();
        const std::size_t length = symbol_(s_.substr(at_), symbol);
        at_ += length;
        return length > 0;
    }
    bool Term(LinearExpression& e, int sign) {
        mpq_class k = sign;
        mpq_class factor;
        const bool number = Number(factor, e.dividesByZero);
        if (number) {
            k *= factor;
            if (!Eat("·") && !Eat("*")) Eat("×");
        }
        LinearExpression body;
        int symbol = 0;
        if (Symbol(symbol)) {
            body.terms[symbol] = 1;
        } else if (Eat("(")) {
            // Parentheses nest as deep as a student writes them, not as a
            // pasted text of thousands would take the stack.
            if (++depth_ > kMostDepth) return false;
            if (!Expression(body) || !Eat(")")) return false;
            --depth_;
            e.dividesByZero = e.dividesByZero || body.dividesByZero;
        } else if (number) {
            body.constant = 1;
        } else {
            return false;
        }
        while (Eat("/")) {
            mpq_class d;
            if (!Number(d, e.dividesByZero)) return false;
            if (sgn(d) == 0) {
                e.dividesByZero = true;
            } else {
                k /= d;
            }
        }
        e.constant += k * body.constant;
        for (const auto& [s, c] : body.terms) e.terms[s] += k * c;
        return true;
    }
    bool Expression(LinearExpression& e) {
        int sign = Sign();
        if (!Term(e, sign == 0 ? 1 : sign)) return false;
        while ((sign = Sign()) != 0)
            if (!Term(e, sign)) return false;
        return true;
    }

    static constexpr int kMostDepth = 32;

    std::string_view s_;
    const SymbolReader& symbol_;
    std::size_t at_ = 0;
    int depth_ = 0;
};

}  // namespace

mpq_class LinearExpression::Coefficient(int symbol) const {
    const auto it = terms.find(symbol);
    return it == terms.end() ? mpq_class(0) : it->second;
}

bool ReadLinearExpression(std::string_view text, const SymbolReader& symbol, LinearExpression& e) {
    LinearExpression read;
    if (!Reader(text, symbol).Whole(read)) return false;
    e = std::move(read);
    return true;
}

std::size_t ReadRowSymbol(std::string_view text, int& row) {
    if (text.empty() || (text[0] != 'F' && text[0] != 'f')) return 0;
    std::size_t at = 1;
    if (at < text.size() && text[at] == '_') ++at;
    const bool braced = at < text.size() && text[at] == '{';
    if (braced) ++at;
    const std::size_t from = at;
    while (at < text.size() && at - from < 3 && std::isdigit(static_cast<unsigned char>(text[at])))
        ++at;
    if (at == from || (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))))
        return 0;
    if (braced) {
        if (at >= text.size() || text[at] != '}') return 0;
        ++at;
    }
    row = std::stoi(std::string(text.substr(from, at - from - (braced ? 1 : 0))));
    return row >= 1 ? at : 0;
}

std::size_t ReadParameterSymbol(std::string_view text, int& parameter) {
    static constexpr std::array<std::pair<std::string_view, int>, 5> kLetters{
        {{"λ", 1}, {"μ", 2}, {"µ", 2}, {"ν", 3}, {"ξ", 4}}};
    for (const auto& [letter, k] : kLetters) {
        if (text.substr(0, letter.size()) == letter) {
            parameter = k;
            return letter.size();
        }
    }
    return 0;
}

}  // namespace velmora
