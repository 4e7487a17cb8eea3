#include "core/matrix/steps.h"

#include <algorithm>

#include "core/matrix/matrix_internal.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

// "F2", "F_2", "F_{10}".
std::string RowName(int i) {
    return "F" + std::to_string(i);
}
std::string RowLatex(int i) {
    return i < 10 ? "F_" + std::to_string(i) : "F_{" + std::to_string(i) + "}";
}

// "3F2": a coefficient 1 is left out, a fraction stands in parentheses
// ("(1/2)F2"; the reduction to a general solution has them), and so does a
// polynomial of several terms ("(a - 1)F2", "(a^2 + 1)F2").
std::string Scaled(const std::string& k, const std::string& row, bool latex) {
    if (k == "1") return row;
    // A polynomial of several terms: "(a - 1)F2".
    if (k.find(' ') != std::string::npos && k[0] != '(') return "(" + k + ")" + row;
    if (k.find('/') == std::string::npos || k[0] == '(') return k + row;
    return (latex ? FractionTextLatex(k) : "(" + k + ")") + row;
}

// "3F2 - 2F1", "3F2 + F1" for n = -1: the sign of n joins the operation.
std::string Combination(const Step& step, const std::string& row, const std::string& other,
                        bool latex) {
    const std::string& n = step.factor;
    const bool negative = !n.empty() && n[0] == '-';
    return JoinTerms({{false, Scaled(step.scale, row, latex)},
                      {!negative, Scaled(negative ? n.substr(1) : n, other, latex)}});
}

// A divisor: the gcd of a row's numerators, or a pivot (of any sign, or a
// fraction) on the way to a general solution.
std::string Divisor(const std::string& g, bool latex) {
    if (g.find_first_of("-/ ") == std::string::npos) return g;
    return latex ? "\\left(" + FractionTextLatex(g) + "\\right)" : "(" + g + ")";
}

// Entries one blank apart, or aligned (StepMatrix::aligned).
std::string MatrixLines(const StepMatrix& m, const std::string& indent = {}) {
    const bool spaced = m.aligned;
    std::vector<std::size_t> width(static_cast<std::size_t>(m.cols), 0);
    for (int i = 1; spaced && i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j)
            width[j - 1] = std::max(width[j - 1], Utf8Length(m.at(i, j)));
    std::string s;
    for (int i = 1; i <= m.rows; ++i) {
        s += indent;
        for (int j = 1; j <= m.cols; ++j) {
            if (j > 1)
                s += spaced ? std::string(width[j - 2] - Utf8Length(m.at(i, j - 1)) + 3, ' ') : " ";
            s += m.at(i, j);
        }
        s += '\n';
    }
    return s;
}

// A value as a factor of a product: in parentheses when it has a sign or a bar.
std::string Factor(const std::string& fraction) {
    const bool plain = fraction.find_first_of("-/") == std::string::npos;
    return plain ? fraction : "(" + fraction + ")";
}
std::string FactorLatex(const std::string& fraction) {
    const bool plain = fraction.find_first_of("-/") == std::string::npos;
    return plain ? FractionTextLatex(fraction)
                 : "\\left(" + FractionTextLatex(fraction) + "\\right)";
}

// The value of a determinant as text, exact whatever its size.
std::string DeterminantValue(const Matrix& m, int n, const int* ri, const int* ci) {
    try {
        return detail::Determinant(m, n, ri, ci).ToText();
    } catch (const ArithmeticOverflow&) {
        return detail::ExactDeterminantText(m, n, ri, ci);
    }
}

}  // namespace

StepMatrix StepMatrix::Of(const Matrix& m) {
    return Of(m.rows, m.cols, [&](int i, int j) { return m.at(i, j).ToText(); });
}

void StepRecorder::Swap(StepMatrix after, int i, int k) {
    Step s;
    s.kind = Step::Kind::Swap;
    s.row = i;
    s.other = k;
    s.matrix = std::move(after);
    steps_.push_back(std::move(s));
}

void StepRecorder::Combine(StepMatrix after, int t, int p, std::string d, std::string n) {
    Step s;
    s.kind = Step::Kind::Combine;
    s.row = t;
    s.other = p;
    s.scale = std::move(d);
    s.factor = std::move(n);
    s.matrix = std::move(after);
    steps_.push_back(std::move(s));
}

void StepRecorder::Divide(StepMatrix after, int t, std::string g) {
    Step s;
    s.kind = Step::Kind::Divide;
    s.row = t;
    s.scale = std::move(g);
    s.matrix = std::move(after);
    steps_.push_back(std::move(s));
}

void StepRecorder::Line(std::string text, std::string latex, StepMatrix matrix) {
    Step s;
    s.text = std::move(text);
    s.latex = std::move(latex);
    s.matrix = std::move(matrix);
    steps_.push_back(std::move(s));
}

void StepRecorder::Overflow(int t, int p, const std::string& d, const std::string& n) {
    Step op;
    op.kind = Step::Kind::Combine;
    op.row = t;
    op.other = p;
    op.scale = d;
    op.factor = n;
    Line(
        "desbordamiento: " + StepText(op) + " no cabe en fracciones de 32 bits",
        "\\text{desbordamiento: } " + StepLatex(op) + " \\text{ no cabe en fracciones de 32 bits}");
}

void StepRecorder::Determinant(std::string text, std::string latex, StepMatrix matrix) {
    Line(std::move(text), std::move(latex), std::move(matrix));
    steps_.back().determinant = true;
}

const StepMatrix* StepRecorder::LastMatrix() const {
    for (auto it = steps_.rbegin(); it != steps_.rend(); ++it)
        if (!it->matrix.empty()) return &it->matrix;
    return nullptr;
}

std::string StepText(const Step& step) {
    const std::string row = RowName(step.row);
    switch (step.kind) {
        case Step::Kind::Swap:
            return row + " ↔ " + RowName(step.other);
        case Step::Kind::Combine:
            return row + " ← " + Combination(step, row, RowName(step.other), false);
        case Step::Kind::Divide:
            return row + " ← " + row + " / " + Divisor(step.scale, false);
        case Step::Kind::Line:
            break;
    }
    return step.text;
}

std::string StepLatex(const Step& step) {
    const std::string row = RowLatex(step.row);
    switch (step.kind) {
        case Step::Kind::Swap:
            return row + " \\leftrightarrow " + RowLatex(step.other);
        case Step::Kind::Combine:
            return row + " \\leftarrow " + Combination(step, row, RowLatex(step.other), true);
        case Step::Kind::Divide:
            return row + " \\leftarrow " + row + " / " + Divisor(step.scale, true);
        case Step::Kind::Line:
            break;
    }
    return step.latex;
}

std::string StepsText(const std::vector<Step>& steps) {
    std::string s;
    for (const Step& step : steps) {
        const std::string indent(static_cast<std::size_t>(3 * step.depth), ' ');
        s += indent + StepText(step);
        s += '\n';
        s += MatrixLines(step.matrix, indent);
        s += '\n';
    }
    return s;
}

std::string StepsLatex(const std::vector<Step>& steps) {
    // A case is an item of a list one level in, its steps within the item;
    // LaTeX nests six lists at most, so deeper cases stay at the fifth.
    constexpr int kMaxLists = 5;
    std::string s;
    int open = 0;
    for (const Step& step : steps) {
        const int need = std::min(step.depth + (step.branch ? 1 : 0), kMaxLists);
        for (; open > need; --open) s += "\\end{list}\n";
        for (; open < need; ++open) s += "\\begin{list}{}{\\setlength{\\leftmargin}{1.5em}}\n";
        if (step.branch) {
            s += "\\item $" + step.latex + "$\n";
            continue;
        }
        s += "\\[ ";
        const std::size_t equals = step.latex.find(" = ");
        if (step.determinant && !step.matrix.empty() && equals != std::string::npos) {
            s += step.latex.substr(0, equals) + " = " + StepMatrixLatex(step.matrix, "vmatrix") +
                 step.latex.substr(equals) + " \\]\n";
            continue;
        }
        if (step.kind == Step::Kind::Line) {
            s += step.latex;
            if (!step.matrix.empty()) s += " \\quad ";
        } else {
            s += "\\xrightarrow{" + StepLatex(step) + "} ";
        }
        if (!step.matrix.empty()) s += StepMatrixLatex(step.matrix);
        s += " \\]\n";
    }
    for (; open > 0; --open) s += "\\end{list}\n";
    return s;
}

std::string FractionTextLatex(const std::string& fraction) {
    const std::size_t bar = fraction.find('/');
    if (bar == std::string::npos) return fraction;
    const bool negative = fraction[0] == '-';
    const std::string num = fraction.substr(negative ? 1 : 0, bar - (negative ? 1 : 0));
    return std::string(negative ? "-" : "") + "\\frac{" + num + "}{" + fraction.substr(bar + 1) +
           "}";
}

std::string StepMatrixLatex(const StepMatrix& m, std::string_view environment) {
    const std::string name(environment);
    std::string s = "\\begin{" + name + "} ";
    for (int i = 1; i <= m.rows; ++i) {
        if (i > 1) s += " \\\\ ";
        for (int j = 1; j <= m.cols; ++j) {
            if (j > 1) s += " & ";
            const std::size_t k = static_cast<std::size_t>((i - 1) * m.cols + (j - 1));
            s += m.latex.empty() ? FractionTextLatex(m.at(i, j)) : m.latex[k];
        }
    }
    return s + " \\end{" + name + "}";
}

void StartSteps(StepRecorder& steps, const Matrix& m) {
    steps.Line("matriz:", "\\text{matriz:}", StepMatrix::Of(m));
}

void DeterminantSteps(const Matrix& m, StepRecorder& steps) {
    const int n = m.rows;
    if (n == 0 || n != m.cols) return;
    const StepMatrix whole = StepMatrix::Of(m);
    if (n == 1) {
        const std::string v = m.at(1, 1).ToText();
        steps.Determinant("det = " + v, "\\det = " + FractionTextLatex(v), whole);
        return;
    }
    // The expansion, its minors (shown up to order 3) and its terms.
    std::vector<SignedTerm> expansion;
    std::vector<SignedTerm> expansionLatex;
    std::vector<SignedTerm> terms;
    std::vector<SignedTerm> termsLatex;
    std::vector<Step> minors;
    int rows[Matrix::kMaxDim];
    for (int k = 0; k < n - 1; ++k) rows[k] = k + 2;
    for (int j = 1; j <= n; ++j) {
        int cols[Matrix::kMaxDim];
        for (int k = 1, c = 0; k <= n; ++k)
            if (k != j) cols[c++] = k;
        const std::string name = "M1" + std::to_string(j);
        const std::string nameLatex = "M_{1" + std::to_string(j) + "}";
        const std::string a = m.at(1, j).ToText();
        const std::string minor = DeterminantValue(m, n - 1, rows, cols);
        const bool negative = j % 2 == 0;
        expansion.push_back({negative, Factor(a) + "·" + name});
        expansionLatex.push_back({negative, FactorLatex(a) + " \\cdot " + nameLatex});
        terms.push_back({negative, Factor(a) + "·" + Factor(minor)});
        termsLatex.push_back({negative, FactorLatex(a) + " \\cdot " + FactorLatex(minor)});
        if (n <= 3) {
            Matrix sub;
            m.Minor(1, static_cast<uint8_t>(j), sub);
            Step s;
            s.text = name + " = " + minor;
            s.latex = nameLatex + " = " + FractionTextLatex(minor);
            s.matrix = StepMatrix::Of(sub);
            minors.push_back(std::move(s));
        }
    }
    static constexpr int kIndex[Matrix::kMaxDim] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const std::string det = DeterminantValue(m, n, kIndex, kIndex);
    steps.Determinant("det = " + JoinTerms(expansion), "\\det = " + JoinTerms(expansionLatex),
                      whole);
    for (Step& s : minors)
        steps.Determinant(std::move(s.text), std::move(s.latex), std::move(s.matrix));
    steps.Line("det = " + JoinTerms(terms) + " = " + det,
               "\\det = " + JoinTerms(termsLatex) + " = " + FractionTextLatex(det));
}

namespace detail {

std::string IntText(wide::Int v) {
    if (v == 0) return "0";
    const bool negative = v < 0;
    wide::UInt u = wide::Magnitude(v);
    std::string digits;
    while (u != 0) {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(u % 10)));
        u /= 10;
    }
    return negative ? "-" + digits : digits;
}

std::string WideRationalText(wide::Int n, wide::Int d) {
    if (n == 0 || d == 1) return IntText(n);
    return IntText(n) + "/" + IntText(d);
}

void RecordInverse(StepRecorder& steps, const Matrix& m, const std::string& det,
                   const StepMatrix& cofactors) {
    steps.Determinant("det = " + det, "\\det = " + FractionTextLatex(det), StepMatrix::Of(m));
    if (det == "0") return;
    StepMatrix adjugate = cofactors;
    for (int i = 1; i <= cofactors.rows; ++i)
        for (int j = 1; j <= cofactors.cols; ++j) adjugate.at(i, j) = cofactors.at(j, i);
    steps.Line("adjuntos:", "\\text{adjuntos:}", cofactors);
    steps.Line("adjunta (traspuesta):", "\\text{adjunta (traspuesta):}", std::move(adjugate));
}

void RecordInverseResult(StepRecorder& steps, const Matrix& inverse) {
    steps.Line("inversa = adjunta / det:", "\\text{inversa} = \\text{adjunta} / \\det:",
               StepMatrix::Of(inverse));
}

}  // namespace detail

}  // namespace velmora
