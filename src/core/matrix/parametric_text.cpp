#include "core/matrix/parametric_text.h"

#include <algorithm>

#include "core/systems/discussion_text.h"
#include "core/systems/latex_line.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

std::string Letter(char letter) {
    return std::string(1, letter);
}

// "Para k = -2, k = 2".
std::string ValuesCondition(const std::vector<mpq_class>& values, char letter) {
    return "Para " + RootsText(RealRoots{values, {}}, letter);
}

}  // namespace

std::string RootsText(const RealRoots& roots, char letter) {
    std::vector<std::string> parts;
    for (const mpq_class& v : roots.values) parts.push_back(Letter(letter) + " = " + RationalText(v));
    for (const Polynomial& f : roots.factors) parts.push_back(RootsText(f, letter));
    std::string s;
    for (const std::string& p : parts) s += (s.empty() ? "" : ", ") + p;
    return s;
}

Step DocumentLine(std::string text, StepMatrix matrix) {
    Step s;
    s.latex = LineLatex(text);
    s.text = std::move(text);
    for (const std::string& cell : matrix.cells) matrix.latex.push_back(LineLatex(cell));
    s.matrix = std::move(matrix);
    return s;
}

std::string DeterminantShortText(const Polynomial& det, char letter) {
    if (det.IsConstant()) return PolynomialText(det, letter);
    return FactoredText(Factor(det), letter);
}

std::vector<Step> DeterminantDocument(const ParametricDeterminant& d, char letter) {
    const std::string k = Letter(letter);
    if (d.value.IsZero()) return {DocumentLine("det = 0 para todo " + k)};
    std::string line = "det = " + PolynomialText(d.value, letter);
    const std::string factored = DeterminantShortText(d.value, letter);
    if (factored != PolynomialText(d.value, letter)) line += " = " + factored;
    std::vector<Step> doc{DocumentLine(line)};
    doc.push_back(DocumentLine(d.zeros.empty() ? "det ≠ 0 para todo " + k
                                               : "det = 0 para " + RootsText(d.zeros, letter)));
    return doc;
}

std::vector<Step> RankDocument(const ParametricRank& r, char letter) {
    std::vector<Step> doc;
    const auto rank = [](int n) { return ": rango = " + std::to_string(n); };
    std::vector<int> done;
    for (const RankCase& c : r.cases) {
        if (c.kind != CaseKind::Value) {
            doc.push_back(DocumentLine(ConditionText(c, letter) + rank(c.rank)));
            continue;
        }
        if (std::find(done.begin(), done.end(), c.rank) != done.end()) continue;
        done.push_back(c.rank);
        std::vector<mpq_class> same;
        for (const RankCase& o : r.cases)
            if (o.kind == CaseKind::Value && o.rank == c.rank) same.push_back(o.value);
        doc.push_back(DocumentLine(ValuesCondition(same, letter) + rank(c.rank)));
    }
    return doc;
}

std::vector<Step> InverseDocument(const ParametricInverse& inverse, int order, char letter) {
    const std::string k = Letter(letter);
    const ParametricDeterminant& d = inverse.determinant;
    if (d.value.IsZero()) return {DocumentLine("det = 0 para todo " + k + ": no tiene inversa")};
    ParameterCondition general;
    general.excludedValues = d.zeros.values;
    general.excludedFactors = d.zeros.factors;
    const StepMatrix m = StepMatrix::Of(order, order, [&](int i, int j) {
        return RationalFunctionText(
            inverse.entries[static_cast<std::size_t>((i - 1) * order + j - 1)], letter);
    });
    std::vector<Step> doc{DocumentLine(ConditionText(general, letter) + ": det = " +
                                           DeterminantShortText(d.value, letter) +
                                           " ≠ 0, tiene inversa:",
                                       m)};
    if (!d.zeros.values.empty())
        doc.push_back(DocumentLine(ValuesCondition(d.zeros.values, letter) +
                                   ": det = 0, no tiene inversa"));
    for (const Polynomial& f : d.zeros.factors)
        doc.push_back(DocumentLine("Para " + RootsText(RealRoots{{}, {f}}, letter) +
                                   ": det = 0, no tiene inversa"));
    return doc;
}

std::vector<Step> DeterminantValueDocument(const RealRoots& roots, bool every,
                                           const mpq_class& value, char letter) {
    const std::string k = Letter(letter);
    const std::string det = "det = " + RationalText(value);
    if (every) return {DocumentLine(det + " para todo " + k)};
    if (roots.empty()) return {DocumentLine("ningún valor de " + k + " da " + det)};
    return {DocumentLine(det + " para " + RootsText(roots, letter))};
}

std::vector<Step> MatrixDocument(const std::string& title, const PolynomialMatrix& m) {
    return {DocumentLine(title, StepMatrix::Of(m.rows, m.cols, [&m](int i, int j) {
                             return RationalFunctionText(m.at(i, j), m.parameter);
                         }))};
}

std::vector<Step> FormDocument(const ParametricForm& f, bool diagonal) {
    std::vector<Step> doc = MatrixDocument(
        diagonal ? "Forma diagonal (Gauss-Jordan), sin fracciones:"
                 : "Forma triangular (Gauss), sin fracciones:",
        f.form);
    if (!f.pivotZeros.empty())
        doc.push_back(DocumentLine("Para " + RootsText(f.pivotZeros, f.form.parameter) +
                                   " un pivote es 0: la forma es la de la matriz sustituida"));
    return doc;
}

std::string DocumentText(const std::vector<Step>& document) {
    std::string s;
    for (const Step& step : document) {
        s += step.text + "\n";
        const StepMatrix& m = step.matrix;
        std::vector<std::size_t> width(static_cast<std::size_t>(m.cols), 0);
        for (int i = 1; i <= m.rows; ++i)
            for (int j = 1; j <= m.cols; ++j)
                width[j - 1] = std::max(width[j - 1], Utf8Length(m.at(i, j)));
        for (int i = 1; i <= m.rows; ++i) {
            std::string row = "   ";
            for (int j = 1; j <= m.cols; ++j) {
                row += m.at(i, j);
                if (j < m.cols) row += std::string(width[j - 1] - Utf8Length(m.at(i, j)) + 4, ' ');
            }
            s += row + "\n";
        }
    }
    return s;
}

}  // namespace velmora
