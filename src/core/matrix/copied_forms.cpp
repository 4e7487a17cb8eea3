// The program's copies that are neither a block of cells nor velmora-calc's
// "[1 2; 3 4]": a matrix in LaTeX, and a system as equations, in words or in
// LaTeX. Each is rewritten in the bracket form, so that one reader reads
// whatever the program copies.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "core/arith/polynomial.h"
#include "core/matrix/matrix_text.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

std::string TrimLine(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return std::string(s);
}

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// --- LaTeX as the program writes it, back to its text ---

class LatexReader {
  public:
    explicit LatexReader(std::string_view s) : s_(s) {}

    // False for braces that do not pair or nest past kMaxNesting.
    bool Read(std::string& text) { return Run(s_.size(), 0, text) && i_ == s_.size(); }

  private:
    // The text up to `end` (or to the "}" that closes the group at `depth`).
    bool Run(std::size_t end, int depth, std::string& out) {
        while (i_ < end) {
            const char c = s_[i_];
            if (c == '}') return depth > 0;
            if (c == '{') {
                ++i_;
                std::string inner;
                if (!Group(depth, inner)) return false;
                out += inner;
            } else if (c == '\\') {
                if (!Command(depth, out)) return false;
            } else if (c == '^') {
                ++i_;
                std::string power;
                if (i_ < s_.size() && s_[i_] == '{') {
                    ++i_;
                    if (!Group(depth, power)) return false;
                } else if (i_ < s_.size()) {
                    power = s_[i_++];
                }
                out += AllDigits(power) ? "^" + power : "^(" + power + ")";
            } else {
                out += c;
                ++i_;
            }
        }
        return true;
    }

    // After a "{": its contents up to the matching "}", which is passed.
    bool Group(int depth, std::string& out) {
        if (depth == kMaxNesting) return false;
        if (!Run(s_.size(), depth + 1, out) || i_ == s_.size()) return false;
        ++i_;
        return true;
    }

    bool Command(int depth, std::string& out) {
        std::size_t j = i_ + 1;
        while (j < s_.size() && std::isalpha(static_cast<unsigned char>(s_[j]))) ++j;
        if (j == i_ + 1 && j < s_.size()) ++j;  // "\," "\\" and alike
        const std::string_view name = s_.substr(i_ + 1, j - i_ - 1);
        i_ = j;
        if (name == "frac") return Fraction(depth, out);
        if (name == "left" || name == "right") {
            if (i_ < s_.size() && s_[i_] != '.') out += s_[i_];
            if (i_ < s_.size()) ++i_;
        } else if (name == "cdot") {
            out += '*';
        } else if (name == "," || name == ";" || name == "!" || name == " " || name == "quad") {
            out += ' ';
        } else {
            out += "\\" + std::string(name);  // nothing the program writes: left to be refused
        }
        return true;
    }

    // "\frac{p}{q}": "p/q" for numbers, "(p)/(q)" otherwise, the whole in
    // parentheses before a letter ("(1/2)x").
    bool Fraction(int depth, std::string& out) {
        std::string p, q;
        const auto group = [&](std::string& g) {
            while (i_ < s_.size() && s_[i_] == ' ') ++i_;
            if (i_ == s_.size() || s_[i_] != '{') return false;
            ++i_;
            return Group(depth, g);
        };
        if (!group(p) || !group(q)) return false;
        std::string f = AllDigits(p) && AllDigits(q) ? p + "/" + q : "(" + p + ")/(" + q + ")";
        const bool letterAfter = i_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[i_]));
        out += letterAfter ? "(" + f + ")" : f;
        return true;
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

bool LatexAsText(std::string_view latex, std::string& text) {
    text.clear();
    return LatexReader(latex).Read(text);
}

// The body of the first \begin{name} ... \end{name} of one of `names`.
bool Environment(std::string_view text, std::initializer_list<std::string_view> names,
                 std::string_view& body, std::string_view& after) {
    for (const std::string_view name : names) {
        const std::string begin = "\\begin{" + std::string(name) + "}";
        const std::string end = "\\end{" + std::string(name.substr(0, name.find('}'))) + "}";
        const std::size_t b = text.find(begin);
        if (b == std::string_view::npos) continue;
        const std::size_t e = text.find(end, b);
        if (e == std::string_view::npos) continue;
        body = text.substr(b + begin.size(), e - b - begin.size());
        after = text.substr(e + end.size());
        return true;
    }
    return false;
}

// A cell of the bracket form: one with a blank inside in parentheses.
std::string BracketCell(const std::string& cell) {
    return cell.find(' ') == std::string::npos ? cell : "(" + cell + ")";
}

std::string BracketForm(const std::vector<std::vector<std::string>>& rows) {
    std::string form = "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) form += "; ";
        for (std::size_t j = 0; j < rows[i].size(); ++j)
            form += (j > 0 ? " " : "") + BracketCell(rows[i][j]);
    }
    return form + "]";
}

// --- Equations ---

int UnknownIndex(char c) {
    static constexpr std::string_view kUnknowns = "xyzt";
    const std::size_t k = kUnknowns.find(c);
    return k == std::string_view::npos ? 0 : static_cast<int>(k) + 1;
}

// The highest unknown named as "x = ..." in the lines after the equations
// (a solution, a case of a discussion): an unknown in no equation still
// counts there.
int UnknownsNamed(std::string_view lines) {
    int n = 0;
    for (std::size_t at = 0; (at = lines.find(" = ", at)) != std::string_view::npos; ++at) {
        if (at == 0) continue;
        const bool alone = at == 1 || lines[at - 2] == ' ' || lines[at - 2] == '\n';
        if (alone) n = std::max(n, UnknownIndex(lines[at - 1]));
    }
    return n;
}

// One equation, "2x - (1/2)z = a^2 - 1": its coefficient texts by unknown
// (1-based) and its right-hand side.
struct Equation {
    std::vector<std::string> coefficients = std::vector<std::string>(5);
    int highest = 0;
    std::string rightHandSide;
};

std::string Numbered(const char* what, std::size_t k) {
    return std::string(what) + " " + std::to_string(k);
}

bool ReadTerm(std::string term, bool negative, Equation& e, const std::string& where,
              std::string& error) {
    term = TrimLine(term);
    const int unknown = term.empty() ? 0 : UnknownIndex(term.back());
    if (unknown == 0) {
        error = "en " + where + ", " + QuotedText(term) + " no es un término en x, y, z o t";
        return false;
    }
    if (!e.coefficients[unknown].empty()) {
        error = "en " + where + ", la incógnita " + term.back() + " aparece dos veces";
        return false;
    }
    std::string c = TrimLine(std::string_view(term).substr(0, term.size() - 1));
    // "(a + 1)" as a whole: its parentheses only mark the coefficient.
    if (c.size() > 1 && c.front() == '(' && c.back() == ')') {
        int depth = 0;
        std::size_t closes = 0;
        for (std::size_t k = 0; k < c.size(); ++k) {
            depth += c[k] == '(' ? 1 : c[k] == ')' ? -1 : 0;
            if (depth == 0) {
                closes = k;
                break;
            }
        }
        if (closes == c.size() - 1) c = c.substr(1, c.size() - 2);
    }
    if (c.empty()) c = "1";
    if (negative) c = c.find_first_of(" +-") == std::string::npos ? "-" + c : "-(" + c + ")";
    e.coefficients[unknown] = c;
    e.highest = std::max(e.highest, unknown);
    return true;
}

bool ReadEquation(std::string_view line, std::size_t k, Equation& e, std::string& error) {
    const std::string where = Numbered("la ecuación", k);
    const std::vector<std::string_view> sides = SplitAt(line, "=");
    if (sides.size() != 2 || TrimLine(sides[0]).empty() || TrimLine(sides[1]).empty()) {
        error = where + " no tiene dos lados separados por un signo =";
        return false;
    }
    e.rightHandSide = TrimLine(sides[1]);
    const std::string left = TrimLine(sides[0]);
    if (left == "0") return true;
    // Terms between the signs "+" and "-" outside parentheses, a sign that
    // follows another symbol ("^", "/", "(") belonging to its term.
    int depth = 0;
    std::size_t start = 0;
    bool negative = false;
    char before = 0;
    for (std::size_t i = 0; i <= left.size(); ++i) {
        const char c = i < left.size() ? left[i] : '+';
        if (c == '(') ++depth;
        if (c == ')') --depth;
        const bool sign =
            (c == '+' || c == '-') && depth == 0 &&
            (i == left.size() || std::string_view("^/(*").find(before) == std::string_view::npos);
        if (c != ' ') before = c;
        if (!sign) continue;
        const std::string term = TrimLine(std::string_view(left).substr(start, i - start));
        if (term.empty() && start == 0 && i < left.size()) {
            negative = c == '-';  // a sign in front of the first term
        } else if (!ReadTerm(term, negative, e, where, error)) {
            return false;
        } else {
            negative = c == '-';
        }
        start = i + 1;
        before = 0;
    }
    return true;
}

// Equations, one a line, from the first line up to a blank line; the
// unknowns those after them name count too.
bool EquationsAsBracketForm(std::string_view equations, std::string_view after, std::string& form,
                            std::string& error) {
    std::vector<Equation> read;
    int n = 0;
    for (const std::string_view line : SplitAt(equations, "\n")) {
        if (TrimLine(line).empty()) continue;
        Equation& e = read.emplace_back();
        if (!ReadEquation(line, read.size(), e, error)) return false;
        n = std::max(n, e.highest);
    }
    n = std::max(n, UnknownsNamed(after));
    std::vector<std::vector<std::string>> rows;
    for (Equation& e : read) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int j = 1; j <= n; ++j)
            row.push_back(e.coefficients[j].empty() ? "0" : e.coefficients[j]);
        row.push_back(e.rightHandSide);
    }
    form = BracketForm(rows);
    return true;
}

}  // namespace

bool CopiedAsBracketForm(std::string_view text, std::string& form, std::string& error) {
    const std::string plain = WithAsciiMinus(text);
    std::string_view body, after;
    if (Environment(plain, {"pmatrix", "bmatrix", "vmatrix"}, body, after)) {
        std::vector<std::vector<std::string>> rows;
        for (const std::string_view row : SplitAt(body, "\\\\")) {
            if (TrimLine(row).empty()) continue;
            std::vector<std::string>& cells = rows.emplace_back();
            for (const std::string_view cell : SplitAt(row, "&")) {
                std::string t;
                if (!LatexAsText(cell, t)) {
                    error = "el LaTeX de la matriz no se entiende";
                    return false;
                }
                cells.push_back(TrimLine(t));
            }
        }
        form = BracketForm(rows);
        return true;
    }
    if (Environment(plain, {"array}{rcl"}, body, after)) {
        std::string equations;
        for (const std::string_view row : SplitAt(body, "\\\\")) {
            std::string line;
            std::string joined(row);
            joined.erase(std::remove(joined.begin(), joined.end(), '&'), joined.end());
            if (!LatexAsText(joined, line)) {
                error = "el LaTeX del sistema no se entiende";
                return false;
            }
            equations += line + "\n";
        }
        return EquationsAsBracketForm(equations, after, form, error);
    }
    // Equations in words: the first line that is not blank holds "=".
    std::string_view rest = plain;
    while (!rest.empty() && (IsBlank(rest.front()) || rest.front() == '\n' || rest.front() == '\r'))
        rest.remove_prefix(1);
    const std::size_t firstEnd = rest.find('\n');
    if (rest.substr(0, firstEnd).find('=') != std::string_view::npos) {
        std::size_t end = 0;
        for (std::size_t start = 0;; start = end + 1) {
            end = rest.find('\n', start);
            if (end == std::string_view::npos ||
                TrimLine(rest.substr(start, end - start)).empty()) {
                end = end == std::string_view::npos ? rest.size() : end;
                break;
            }
        }
        return EquationsAsBracketForm(rest.substr(0, end), rest.substr(end), form, error);
    }
    form = plain;
    return true;
}

}  // namespace velmora
