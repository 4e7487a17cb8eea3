#include "systems/system_text.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string_view>
#include <vector>

#include "matrix/matrix_text.h"

namespace velmora {

namespace {

// The equation's left side, sign and magnitude of each term written by
// `magnitude` (which gets |num| and |den| in 64 bits: -2147483648 has no
// 32-bit magnitude), and " = ".
template <typename Magnitude>
std::string LeftSide(const Matrix& m, int row, Magnitude magnitude) {
    std::string text;
    for (int j = 1; j < m.cols; ++j) {
        const Fraction c = m.at(row, j);
        if (c.IsZero()) continue;
        const bool negative = (c.num < 0) != (c.den < 0);
        if (text.empty()) {
            text += negative ? "-" : "";
        } else {
            text += negative ? " - " : " + ";
        }
        text += magnitude(std::llabs(static_cast<long long>(c.num)),
                          std::llabs(static_cast<long long>(c.den)));
        text += UnknownName(j);
    }
    if (text.empty()) text.push_back('0');
    return text;
}

// The conclusion box's lines, each piece between its own CR LF a line.
std::vector<std::string> BoxLines(const SystemAnalysis& a) {
    std::vector<std::string> lines{a.rankAugmentedText, a.rankCoefficientsText};
    for (const std::string& text : a.conclusion) {
        std::size_t start = 0;
        while (true) {
            const std::size_t end = text.find("\r\n", start);
            std::string line = text.substr(start, end == std::string::npos ? end : end - start);
            while (!line.empty() && line.back() == ' ') line.pop_back();
            lines.push_back(line);
            if (end == std::string::npos) break;
            start = end + 2;
        }
    }
    return lines;
}

// Characters that text mode has no key for (or, in the old font encoding,
// draws as something else).
const char* SpecialName(char c) {
    switch (c) {
        case '~':
            return "\\textasciitilde{}";
        case '^':
            return "\\textasciicircum{}";
        case '\\':
            return "\\textbackslash{}";
        case '<':
            return "\\textless{}";
        case '>':
            return "\\textgreater{}";
        default:
            return nullptr;
    }
}

// Texts that become mathematical symbols: the arrows and signs of the
// conclusion, and the parameters of a general solution (which the usual
// LaTeX of Spanish text could not set inside \text).
struct Symbol {
    std::string_view text;
    const char* latex;
};
constexpr Symbol kSymbols[] = {
    {"=>", "\\Rightarrow"}, {"<>", "\\neq"},    {"\u03BB", "\\lambda"},
    {"\u03BC", "\\mu"},     {"\u03BD", "\\nu"},
};

// A text line inside \text{}, LaTeX's special characters escaped, the
// symbols above outside it and runs of blanks as \quad.
std::string TextLatex(std::string_view line) {
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    std::string s = "\\text{";
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const std::string_view rest = line.substr(i);
        const auto symbol = std::find_if(std::begin(kSymbols), std::end(kSymbols),
                                         [&](const Symbol& y) { return rest.starts_with(y.text); });
        if (symbol != std::end(kSymbols)) {
            s += std::string("} ") + symbol->latex + " \\text{";
            i += symbol->text.size() - 1;
        } else if (rest.starts_with("  ")) {
            while (i + 1 < line.size() && line[i + 1] == ' ') ++i;
            s += "} \\quad \\text{";
        } else if (std::string_view("#$%&_{}").find(c) != std::string_view::npos) {
            s += '\\';
            s += c;
        } else if (const char* name = SpecialName(c)) {
            s += name;
        } else {
            s += c;
        }
    }
    s += "}";
    // Pieces left empty around a symbol say nothing.
    for (const std::string_view empty : {" \\text{}", " \\text{ }", "\\text{}", "\\text{ }"}) {
        for (std::size_t at; (at = s.find(empty)) != std::string::npos;) s.erase(at, empty.size());
    }
    return s;
}

}  // namespace

std::string EquationText(const Matrix& m, int row) {
    return LeftSide(m, row,
                    [](long long num, long long den) {
                        if (den != 1)
                            return "(" + std::to_string(num) + "/" + std::to_string(den) + ")";
                        return num != 1 ? std::to_string(num) : std::string();
                    }) +
           " = " + m.at(row, m.cols).ToText();
}

std::string EquationLatex(const Matrix& m, int row) {
    return LeftSide(m, row,
                    [](long long num, long long den) {
                        if (den != 1)
                            return "\\frac{" + std::to_string(num) + "}{" + std::to_string(den) +
                                   "}";
                        return num != 1 ? std::to_string(num) : std::string();
                    }) +
           " = " + FractionLatex(m.at(row, m.cols));
}

std::string SystemText(const SystemAnalysis& a) {
    std::string s;
    for (int i = 1; i <= a.augmented.rows; ++i) s += EquationText(a.augmented, i) + "\n";
    s += "\n";
    for (const std::string& line : BoxLines(a)) s += line + "\n";
    return s;
}

std::string SystemLatex(const SystemAnalysis& a) {
    std::string s = "\\left\\{\\begin{array}{rcl}\n";
    for (int i = 1; i <= a.augmented.rows; ++i) {
        std::string equation = EquationLatex(a.augmented, i);
        equation.replace(equation.rfind(" = "), 3, " & = & ");
        s += equation + (i < a.augmented.rows ? " \\\\\n" : "\n");
    }
    s += "\\end{array}\\right.\n\\qquad\n\\begin{array}{l}\n";
    std::vector<std::string> lines;
    for (const std::string& line : BoxLines(a)) {
        if (!line.empty()) lines.push_back(TextLatex(line));
    }
    for (std::size_t k = 0; k < lines.size(); ++k) {
        s += lines[k] + (k + 1 < lines.size() ? " \\\\\n" : "\n");
    }
    return s + "\\end{array}";
}

}  // namespace velmora
