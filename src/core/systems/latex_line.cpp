#include "core/systems/latex_line.h"

#include <cctype>
#include <vector>

#include "core/systems/general_solution.h"

namespace velmora {

namespace {

enum class Kind {
    Blank,   // a run of blanks
    Word,    // two letters or more, dots within ("nº", "S.C.D.")
    Letter,  // a letter alone or a parameter: "x", "A", "λ"
    Number,  // digits
    Symbol,  // an operator, a bracket, a prime, punctuation
    Other,   // a character that only text mode takes ("%", "&", "~"...)
};

struct Token {
    Kind kind;
    std::string text;
    bool math = true;
};

struct Symbol {
    std::string_view text;
    const char* latex;
};
// Longest first where one begins another.
// clang-format off
constexpr Symbol kSymbols[] = {
    {"=>", "\\Rightarrow"}, {"<>", "\\neq"},   {"\u2260", "\\neq"}, {"\u00B1", "\\pm"},
    {"\u00B7", "\\cdot"},   {"*", "\\cdot"},   {"\u221A", "\\sqrt"}, {"+", "+"},
    {"-", "-"},             {"=", "="},        {"/", "/"},           {"^", "^"},
    {"(", "("},             {")", ")"},        {"'", "'"},           {"<", "<"},
    {">", ">"},             {",", ","},        {":", ":"},           {";", ";"},
};
// clang-format on

bool IsAsciiLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

std::size_t CharLength(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x80 ? 1 : u >= 0xF0 ? 4 : u >= 0xE0 ? 3 : 2;
}

// The parameter whose letter `s` starts with; 0 for none.
int ParameterAt(std::string_view s) {
    for (int k = 1; k <= kParameterCount; ++k)
        if (s.starts_with(ParameterName(k))) return k;
    return 0;
}

const Symbol* SymbolAt(std::string_view s) {
    for (const Symbol& y : kSymbols)
        if (s.starts_with(y.text)) return &y;
    return nullptr;
}

std::vector<Token> Tokens(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        const std::string_view rest = line.substr(i);
        std::size_t n = 0;
        Kind kind = Kind::Other;
        if (rest[0] == ' ') {
            while (n < rest.size() && rest[n] == ' ') ++n;
            kind = Kind::Blank;
        } else if (std::isdigit(static_cast<unsigned char>(rest[0]))) {
            while (n < rest.size() && std::isdigit(static_cast<unsigned char>(rest[n]))) ++n;
            kind = Kind::Number;
        } else if (const int k = ParameterAt(rest)) {
            n = ParameterName(k).size();
            kind = Kind::Letter;
        } else if (const Symbol* y = SymbolAt(rest)) {
            n = y->text.size();
            kind = Kind::Symbol;
        } else if (IsAsciiLetter(rest[0]) || CharLength(rest[0]) > 1) {
            // Letters, accented ones and "º" too, and the dots of "S.C.D.".
            std::size_t letters = 0;
            while (n < rest.size() && !ParameterAt(rest.substr(n)) &&
                   (IsAsciiLetter(rest[n]) || rest[n] == '.' ||
                    (CharLength(rest[n]) > 1 && !SymbolAt(rest.substr(n))))) {
                letters += rest[n] != '.';
                n += CharLength(rest[n]);
            }
            kind = letters == 1 && n == 1 ? Kind::Letter : Kind::Word;
        } else {
            n = 1;
        }
        n = std::min(n, rest.size());
        tokens.push_back({kind, std::string(rest.substr(0, n))});
        i += n;
    }
    // A "^" is a power only before what it raises.
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const bool raises = k + 1 < tokens.size() &&
                            (tokens[k + 1].kind == Kind::Number ||
                             tokens[k + 1].kind == Kind::Letter || tokens[k + 1].text == "(");
        if (tokens[k].text == "^" && !raises) tokens[k].kind = Kind::Other;
    }
    return tokens;
}

bool IsText(const std::vector<Token>& t, std::size_t k) {
    return k < t.size() && !t[k].math;
}

// Which tokens are text: see LineLatex.
void MarkText(std::vector<Token>& t) {
    const auto word = [&](std::size_t k) { return k < t.size() && t[k].kind == Kind::Word; };
    for (std::size_t k = 0; k < t.size(); ++k) {
        const std::string& s = t[k].text;
        if (t[k].kind == Kind::Word || t[k].kind == Kind::Other || s == "," || s == ":" ||
            s == ";") {
            t[k].math = false;
        } else if (t[k].kind == Kind::Number) {
            // "de 32 bits"
            const std::size_t before = k >= 2 && t[k - 1].kind == Kind::Blank ? k - 2 : k - 1;
            const std::size_t after =
                k + 1 < t.size() && t[k + 1].kind == Kind::Blank ? k + 2 : k + 1;
            t[k].math = !(k > 0 && word(before) && word(after));
        }
    }
    // A parenthesis that holds a word: "(S.C.D.)", "(no cabe en ...)".
    for (std::size_t k = 0; k < t.size(); ++k) {
        if (t[k].text != "(") continue;
        int depth = 0;
        bool words = false;
        std::size_t close = k;
        for (std::size_t j = k; j < t.size(); ++j) {
            depth += t[j].text == "(" ? 1 : t[j].text == ")" ? -1 : 0;
            words = words || t[j].kind == Kind::Word;
            if (depth == 0) {
                close = j;
                break;
            }
        }
        if (words && close > k)
            for (std::size_t j = k; j <= close; ++j) t[j].math = false;
    }
    // A single blank joins the text beside it, unless mathematics spaces
    // that side itself (an operator or a relation).
    for (std::size_t k = 0; k < t.size(); ++k) {
        if (t[k].kind != Kind::Blank || t[k].text.size() > 1) continue;
        const bool before = k > 0 && IsText(t, k - 1);
        const bool after = IsText(t, k + 1);
        const auto atom = [&](std::size_t j) {
            return j < t.size() && (t[j].kind == Kind::Letter || t[j].kind == Kind::Number);
        };
        t[k].math = !((before && (after || atom(k + 1))) || (after && k > 0 && atom(k - 1)));
    }
}

std::string EscapedText(std::string_view s) {
    std::string out;
    for (const char c : s) {
        switch (c) {
            case '#':
            case '$':
            case '%':
            case '&':
            case '_':
            case '{':
            case '}':
                out += '\\';
                out += c;
                break;
            case '~':
                out += "\\textasciitilde{}";
                break;
            case '^':
                out += "\\textasciicircum{}";
                break;
            case '\\':
                out += "\\textbackslash{}";
                break;
            case '<':
                out += "\\textless{}";
                break;
            case '>':
                out += "\\textgreater{}";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// Appends a piece of LaTeX, a blank after a command that a letter follows.
void Append(std::string& out, const std::string& piece) {
    if (piece.empty()) return;
    std::size_t k = out.size();
    while (k > 0 && IsAsciiLetter(out[k - 1])) --k;
    if (k > 0 && k < out.size() && out[k - 1] == '\\' && IsAsciiLetter(piece[0])) out += ' ';
    out += piece;
}

// The mathematics of tokens [i, end), fractions built from the operand on
// either side of a "/".
class MathWriter {
  public:
    MathWriter(const std::vector<Token>& t, std::size_t end) : t_(t), end_(end) {}

    // Up to `end` or the ")" that closes the group being read; `fraction`
    // tells whether it all was one fraction.
    std::string Items(std::size_t& i, bool& fraction) {
        std::string out;
        int items = 0;
        bool last = false;
        while (i < end_ && t_[i].text != ")") {
            if (t_[i].kind == Kind::Blank) {
                out += ' ';
                ++i;
                continue;
            }
            last = false;
            if (StartsOperand(i)) {
                const Piece a = Operand(i);
                if (i + 1 < end_ && t_[i].text == "/" && StartsOperand(i + 1)) {
                    ++i;
                    const Piece b = Operand(i);
                    Append(out, "\\frac{" + a.bare + "}{" + b.bare + "}");
                    last = true;
                } else {
                    Append(out, a.full);
                }
            } else {
                const Symbol* y = SymbolAt(t_[i].text);
                Append(out, y != nullptr ? y->latex : t_[i].text);
                ++i;
            }
            ++items;
        }
        fraction = last && items == 1;
        return out;
    }

  private:
    // An operand as it stands, and without the parentheses of a bracket
    // (which only keep a side of a fraction or an exponent together).
    struct Piece {
        std::string full;
        std::string bare;
    };

    bool StartsOperand(std::size_t i) const {
        if (i >= end_) return false;
        const Token& k = t_[i];
        return k.kind == Kind::Number || k.kind == Kind::Letter || k.text == "(" ||
               k.text == "\u221A";
    }

    // A number, a letter, a bracket or a root, and its power. A bracket
    // around one fraction loses its parentheses: "(1/2)λ" is \frac{1}{2}\lambda.
    Piece Operand(std::size_t& i) {
        const Token& k = t_[i++];
        Piece p;
        if (k.text == "(") {
            bool fraction = false;
            p.bare = Items(i, fraction);
            if (i < end_) ++i;  // its ")"
            p.full = fraction ? p.bare : "(" + p.bare + ")";
        } else if (k.text == "\u221A") {
            p.full = p.bare = StartsOperand(i) ? "\\sqrt{" + Operand(i).bare + "}" : "\\sqrt{}";
        } else if (k.kind == Kind::Letter) {
            const int parameter = ParameterAt(k.text);
            p.full = p.bare = parameter > 0 ? ParameterLatex(parameter) : k.text;
        } else {
            p.full = p.bare = k.text;
        }
        if (i + 1 < end_ && t_[i].text == "^" && StartsOperand(i + 1)) {
            ++i;
            p.full += "^{" + Operand(i).bare + "}";
            p.bare = p.full;
        }
        return p;
    }

    const std::vector<Token>& t_;
    std::size_t end_;
};

}  // namespace

std::string LineLatex(std::string_view line) {
    std::vector<Token> t = Tokens(line);
    while (!t.empty() && t.front().kind == Kind::Blank) t.erase(t.begin());
    while (!t.empty() && t.back().kind == Kind::Blank) t.pop_back();
    MarkText(t);
    std::string out;
    std::size_t i = 0;
    while (i < t.size()) {
        if (t[i].kind == Kind::Blank && t[i].text.size() > 1) {
            out += out.empty() ? "\\quad " : " \\quad ";
            ++i;
            continue;
        }
        std::size_t end = i;
        const bool text = !t[i].math;
        while (end < t.size() && t[end].math != text &&
               !(t[end].kind == Kind::Blank && t[end].text.size() > 1))
            ++end;
        if (!out.empty() && out.back() != ' ') out += ' ';
        if (text) {
            std::string s;
            for (std::size_t k = i; k < end; ++k) s += t[k].text;
            out += "\\text{" + EscapedText(s) + "}";
            i = end;
        } else {
            // Blanks at the edges of a piece of mathematics say nothing.
            std::size_t last = end;
            while (last > i && t[last - 1].kind == Kind::Blank) --last;
            while (i < last && t[i].kind == Kind::Blank) ++i;
            MathWriter writer(t, last);
            bool fraction = false;
            std::size_t k = i;
            std::string math;
            while (k < last) {
                math += writer.Items(k, fraction);
                if (k < last) math += ")";  // a ")" with no "(" before it
                if (k < last) ++k;
            }
            out += math;
            i = end;
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace velmora
