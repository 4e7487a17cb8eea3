#include "core/systems/general_solution.h"

#include <stdexcept>
#include <utility>

#include "core/matrix/steps.h"
#include "core/systems/latex_line.h"
#include "core/systems/linear_system.h"

namespace velmora {

namespace {

StepMatrix Texts(const RationalRows& a) {
    return StepMatrix::Of(static_cast<int>(a.size()), a.empty() ? 0 : static_cast<int>(a[0].size()),
                          [&](int i, int j) { return RationalText(a[i - 1][j - 1]); });
}

// "x = 1 - 2λ, y = λ; para todo λ", and in LaTeX.
void RecordValues(StepRecorder& steps, const GeneralSolution& s) {
    std::string text;
    for (std::size_t i = 0; i < s.values.size(); ++i) {
        if (i > 0) text += ", ";
        text += std::string(1, UnknownName(static_cast<int>(i) + 1)) + " = " +
                ParametricValueText(s.values[i]);
    }
    if (!s.freeColumns.empty())
        text += "; " + ParametersText(static_cast<int>(s.freeColumns.size()));
    steps.Line("solución general: " + text, LineLatex("solución general: " + text));
}

}  // namespace

GeneralSolution SolveGeneral(const RationalRows& augmented, StepRecorder* steps) {
    if (augmented.empty() || augmented[0].empty())
        throw std::invalid_argument("sistema sin ecuaciones");
    const int m = static_cast<int>(augmented.size());
    const int cols = static_cast<int>(augmented[0].size());
    for (const auto& row : augmented)
        if (static_cast<int>(row.size()) != cols)
            throw std::invalid_argument("filas de distinta longitud");
    const int n = cols - 1;

    // Gauss–Jordan, pivots searched from the left: every pivot becomes 1 and
    // the only non-zero entry of its column.
    GeneralSolution s;
    RationalRows a = augmented;
    if (steps) {
        steps->Line("hacia la solución general: pivotes 1, solos en su columna",
                    "\\text{hacia la solución general: pivotes 1, solos en su columna}", Texts(a));
    }
    int rank = 0;
    for (int j = 0; j < n && rank < m; ++j) {
        int p = rank;
        while (p < m && sgn(a[p][j]) == 0) ++p;
        if (p == m) {
            s.freeColumns.push_back(j + 1);
            continue;
        }
        std::swap(a[p], a[rank]);
        if (steps && p != rank) steps->Swap(Texts(a), rank + 1, p + 1);
        const mpq_class pivot = a[rank][j];
        const mpq_class inverse = 1 / pivot;
        for (int k = j; k < cols; ++k) a[rank][k] *= inverse;
        if (steps && pivot != 1) steps->Divide(Texts(a), rank + 1, RationalText(pivot));
        for (int t = 0; t < m; ++t) {
            if (t == rank || sgn(a[t][j]) == 0) continue;
            const mpq_class factor = a[t][j];
            for (int k = j; k < cols; ++k) a[t][k] -= factor * a[rank][k];
            if (steps) steps->Combine(Texts(a), t + 1, rank + 1, "1", RationalText(factor));
        }
        s.pivotColumns.push_back(j + 1);
        ++rank;
    }
    // Once every row holds a pivot, the columns left hold none.
    for (int j = static_cast<int>(s.pivotColumns.size() + s.freeColumns.size()); j < n; ++j)
        s.freeColumns.push_back(j + 1);
    // The rows below the pivots have no coefficient left: 0 = 0, or 0 = c.
    for (int t = rank; t < m; ++t)
        if (sgn(a[t][n]) != 0) throw std::invalid_argument("sistema incompatible");
    a.resize(static_cast<std::size_t>(rank));

    const std::size_t parameters = s.freeColumns.size();
    s.values.resize(static_cast<std::size_t>(n));
    for (ParametricValue& v : s.values) v.coefficients.assign(parameters, mpq_class(0));
    for (std::size_t k = 0; k < parameters; ++k)
        s.values[static_cast<std::size_t>(s.freeColumns[k] - 1)].coefficients[k] = 1;
    for (std::size_t i = 0; i < s.pivotColumns.size(); ++i) {
        // x_p + sum of a[i][f]·x_f = a[i][n], so x_p = a[i][n] - sum of a[i][f]·x_f.
        ParametricValue& v = s.values[static_cast<std::size_t>(s.pivotColumns[i] - 1)];
        v.constant = a[i][static_cast<std::size_t>(n)];
        for (std::size_t k = 0; k < parameters; ++k)
            v.coefficients[k] = -a[i][static_cast<std::size_t>(s.freeColumns[k] - 1)];
    }
    s.echelon = std::move(a);
    if (steps) RecordValues(*steps, s);
    return s;
}

RationalRows ToRationalRows(const Matrix& m) {
    RationalRows rows(static_cast<std::size_t>(m.rows));
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j)
            rows[static_cast<std::size_t>(i - 1)].push_back(ToRational(m.at(i, j)));
    return rows;
}

namespace {

// The parameters' letters, in words and in LaTeX: the one table of them.
struct ParameterLetter {
    const char* text;
    const char* latex;
};
// After λ, μ, ν, ξ the Greek letters that look like no Latin one and stand
// for no constant (not ο, π, υ), then the first ones of the alphabet.
constexpr ParameterLetter kParameters[kParameterCount] = {
    {"λ", "\\lambda"}, {"μ", "\\mu"},    {"ν", "\\nu"},    {"ξ", "\\xi"},
    {"ρ", "\\rho"},    {"σ", "\\sigma"}, {"τ", "\\tau"},   {"φ", "\\varphi"},
    {"χ", "\\chi"},    {"ψ", "\\psi"},   {"ω", "\\omega"}, {"α", "\\alpha"},
    {"β", "\\beta"},   {"γ", "\\gamma"}, {"δ", "\\delta"}, {"ε", "\\varepsilon"}};

}  // namespace

std::string ParameterName(int k) {
    return k >= 1 && k <= kParameterCount ? kParameters[k - 1].text : "?";
}

std::string ParameterLatex(int k) {
    return k >= 1 && k <= kParameterCount ? kParameters[k - 1].latex : "?";
}

SignedTerm CoefficientTerm(const mpq_class& c, std::string_view what) {
    const mpq_class magnitude = abs(c);
    std::string body;
    if (magnitude.get_den() != 1) {
        body = "(" + RationalText(magnitude) + ")";
    } else if (magnitude != 1 || what.empty()) {
        body = RationalText(magnitude);
    }
    return {sgn(c) < 0, body + std::string(what)};
}

SignedTerm ParameterTerm(const mpq_class& c, int k) {
    return CoefficientTerm(c, ParameterName(k));
}

std::string ParametricValueText(const ParametricValue& value) {
    std::vector<SignedTerm> terms;
    if (sgn(value.constant) != 0)
        terms.push_back({sgn(value.constant) < 0, RationalText(abs(value.constant))});
    for (std::size_t k = 0; k < value.coefficients.size(); ++k)
        if (sgn(value.coefficients[k]) != 0)
            terms.push_back(ParameterTerm(value.coefficients[k], static_cast<int>(k) + 1));
    return JoinTerms(terms);
}

std::string SolutionValuesText(const std::vector<ParametricValue>& values) {
    std::vector<std::string> texts;
    for (const ParametricValue& v : values) texts.push_back(ParametricValueText(v));
    return NamedValuesText(texts);
}

std::string NamedValuesText(const std::vector<std::string>& valueTexts) {
    std::string text;
    for (std::size_t i = 0; i < valueTexts.size(); ++i) {
        text += UnknownName(static_cast<int>(i) + 1);
        text += " = " + valueTexts[i] + "    ";
    }
    return text;
}

std::string ParametersText(int count) {
    std::string text = "para todo ";
    for (int k = 1; k <= count; ++k) {
        if (k > 1) text += ", ";
        text += ParameterName(k);
    }
    return text;
}

}  // namespace velmora
