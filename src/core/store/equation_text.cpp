// The answer to a matrix equation and its steps (expression_text.h).
#include <algorithm>
#include <stdexcept>

#include "core/store/expression_text.h"
#include "core/systems/latex_line.h"
#include "core/systems/linear_system.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

using detail::QMatrix;

// A line in words and in LaTeX.
struct Both {
    std::string text;
    std::string latex;
};

// Entry u (0-based, row after row) of X: x, y, z, t for four entries or
// fewer, as a system's unknowns; x11, x12 ... (x_{11}) for more.
Both EntryName(const MatrixEquation& q, int u) {
    if (q.unknowns() <= 4)
        return {std::string(1, UnknownName(u + 1)), std::string(1, UnknownName(u + 1))};
    const int i = u / q.x.cols + 1;
    const int j = u % q.x.cols + 1;
    const std::string ij = q.x.rows < 10 && q.x.cols < 10 ? IntToText(i) + IntToText(j)
                                                          : IntToText(i) + "," + IntToText(j);
    return {"x" + ij, "x_{" + ij + "}"};
}

std::string RationalLatex(const mpq_class& q) {
    return FractionTextLatex(q.get_str());
}

// A number past 32 bits is never shown: the answer says so in its place, as
// a system's solution line does.
constexpr const char* kOutOfRange = "fuera de rango (no cabe en fracciones de 32 bits)";

bool Fits(const std::vector<mpq_class>& numbers) {
    Fraction f;
    return std::all_of(numbers.begin(), numbers.end(),
                       [&](const mpq_class& q) { return NarrowRational(q, f); });
}

// c times `body` as a term of a sum, in words ("(1/2)J") and in LaTeX
// ("\frac{1}{2}J"); the number alone for an empty body.
std::pair<SignedTerm, SignedTerm> Scaled(const mpq_class& c, const Both& body) {
    const mpq_class m = abs(c);
    std::string k;
    if (m != 1 || body.text.empty()) k = RationalLatex(m);
    return {CoefficientTerm(c, body.text), {sgn(c) < 0, k + body.latex}};
}

struct Sum {
    std::vector<SignedTerm> text;
    std::vector<SignedTerm> latex;

    void Add(const mpq_class& c, const Both& body) {
        const auto [t, l] = Scaled(c, body);
        text.push_back(t);
        latex.push_back(l);
    }
    std::size_t size() const { return text.size(); }
    Both Joined() const { return {JoinTerms(text), JoinTerms(latex)}; }
};

Both Node(const Expression& e, int node, Place place) {
    return {NodeText(e, node, place), NodeLatex(e, node, place)};
}

// Factors side by side: "J K", "(J + K) L".
Both Product(const Expression& e, const std::vector<int>& nodes) {
    Both p;
    for (int node : nodes) {
        const Both f = Node(e, node, Place::Factor);
        p.text += (p.text.empty() ? "" : " ") + f.text;
        p.latex += (p.latex.empty() ? "" : " ") + f.latex;
    }
    return p;
}

// A factor beside X: a product, or a sum in parentheses ("(J + 2I)").
Both FactorOf(const Expression& e, const EquationFactor& f) {
    if (f.terms.size() == 1) return Product(e, f.terms[0].second);
    Sum s;
    for (const auto& [c, product] : f.terms) {
        const Both p = Product(e, product);
        s.Add(c, p.text.empty() ? Both{"I", "I"} : p);
    }
    const Both j = s.Joined();
    return {"(" + j.text + ")", "(" + j.latex + ")"};
}

// A term of the right-hand side without its number: "K", "J K", "(K + L)";
// its part without X written at `place`.
Both TermBody(const Expression& e, const EquationTerm& t, Place place) {
    Both body = Product(e, t.left);
    const Both leaf = Node(e, t.leaf, t.left.empty() && t.right.empty() ? place : Place::Factor);
    const Both after = Product(e, t.right);
    for (const Both* part : {&leaf, &after}) {
        if (part->text.empty()) continue;
        body.text += (body.text.empty() ? "" : " ") + part->text;
        body.latex += (body.latex.empty() ? "" : " ") + part->latex;
    }
    return body;
}

// The right-hand side C, "0" when nothing is left there.
Both RightSide(const Expression& e, const Isolation& s) {
    Sum sum;
    for (const EquationTerm& t : s.rhs)
        sum.Add(
            t.coefficient,
            TermBody(e, t, s.rhs.size() == 1 && t.coefficient == 1 ? Place::Alone : Place::Term));
    return sum.size() == 0 ? Both{"0", "0"} : sum.Joined();
}

// "2", "-", "(1/2)" before what it multiplies; nothing for 1.
Both Coefficient(const mpq_class& c) {
    if (c == 1) return {};
    if (c == -1) return {"-", "-"};
    const SignedTerm t = CoefficientTerm(c, "");
    return {(t.negative ? "-" : "") + t.body, RationalLatex(c)};
}

// A factor that may take an exponent or follow "det": a letter, or
// anything in parentheses.
Both Bracketed(const Both& f) {
    int depth = 0;
    bool enclosed = f.text.size() > 1 && f.text.front() == '(';
    for (std::size_t k = 0; enclosed && k < f.text.size(); ++k) {
        depth += f.text[k] == '(' ? 1 : f.text[k] == ')' ? -1 : 0;
        enclosed = depth > 0 || k + 1 == f.text.size();
    }
    if (enclosed || f.text.size() == 1) return f;
    return {"(" + f.text + ")", "(" + f.latex + ")"};
}

Both Inverse(const Both& factor) {
    const Both b = Bracketed(factor);
    return {b.text + "^-1", b.latex + "^{-1}"};
}

struct Isolated {
    Both factored;  // "X (J + 2I) = K"
    Both solved;    // "X = K (J + 2I)^-1"
    Both left, right;
};

Isolated IsolationLines(const Expression& e, const Isolation& s) {
    Isolated r;
    r.left = s.left.empty() ? Both{} : FactorOf(e, s.left);
    r.right = s.right.empty() ? Both{} : FactorOf(e, s.right);
    const Both rhs = RightSide(e, s);
    // s A X B = C
    const Both k = Coefficient(s.scalar);
    const auto around = [](const Both& f, bool before) {
        if (f.text.empty()) return Both{};
        return before ? Both{f.text + " ", f.latex + " "} : Both{" " + f.text, " " + f.latex};
    };
    const Both a = around(r.left, true);
    const Both b = around(r.right, false);
    r.factored = {k.text + a.text + "X" + b.text + " = " + rhs.text,
                  k.latex + a.latex + "X" + b.latex + " = " + rhs.latex};
    // X = (1/s) A^-1 C B^-1; a number of a C of one term goes in front
    // (X = -J^-1 K), a C of more in parentheses.
    const bool inverses = !s.left.empty() || !s.right.empty();
    mpq_class number = 1 / s.scalar;
    Both middle = rhs;
    if (s.rhs.size() == 1) {
        number *= s.rhs[0].coefficient;
        middle = TermBody(e, s.rhs[0], inverses || number != 1 ? Place::Term : Place::Alone);
    } else if (s.rhs.size() > 1 && (inverses || number != 1)) {
        middle = {"(" + rhs.text + ")", "(" + rhs.latex + ")"};
    }
    const Both before = s.left.empty() ? Both{} : around(Inverse(r.left), true);
    const Both after = s.right.empty() ? Both{} : around(Inverse(r.right), false);
    const Both k1 = s.rhs.empty() ? Both{} : Coefficient(number);
    r.solved = s.rhs.empty() ? Both{"X = 0", "X = 0"}
                             : Both{"X = " + k1.text + before.text + middle.text + after.text,
                                    "X = " + k1.latex + before.latex + middle.latex + after.latex};
    return r;
}

StepMatrix NamesOf(const MatrixEquation& q) {
    StepMatrix m;
    m.rows = q.x.rows;
    m.cols = q.x.cols;
    for (int u = 0; u < q.unknowns(); ++u) {
        const Both n = EntryName(q, u);
        m.cells.push_back(n.text);
        m.latex.push_back(n.latex);
    }
    return m;
}

// X with its entries in the parameters: "1 - 2λ", in LaTeX "1 - 2\lambda".
StepMatrix ValuesOf(const MatrixEquation& q) {
    StepMatrix m;
    m.rows = q.x.rows;
    m.cols = q.x.cols;
    for (const ParametricValue& v : q.values) {
        m.cells.push_back(ParametricValueText(v));
        m.latex.push_back(LineLatex(m.cells.back()));
    }
    return m;
}

// Equation k of the system, its first term positive: "3y - 2z = 0"; empty
// for 0 = 0.
Both SystemEquation(const MatrixEquation& q, int k) {
    int sign = 0;
    for (int u = 0; u < q.unknowns() && sign == 0; ++u) sign = sgn(q.system(k, u));
    if (sign == 0) sign = 1;
    Sum s;
    for (int u = 0; u < q.unknowns(); ++u)
        if (sgn(q.system(k, u)) != 0) s.Add(sign * q.system(k, u), EntryName(q, u));
    const mpq_class b = sign * q.system(k, q.unknowns());
    if (s.size() == 0 && sgn(b) == 0) return {};
    const Both left = s.Joined();
    return {left.text + " = " + b.get_str(), left.latex + " = " + RationalLatex(b)};
}

std::string VerdictText(const MatrixEquation& q) {
    const std::string a = IntToText(q.rankCoefficients);
    const std::string n = IntToText(q.unknowns());
    if (!q.compatible())
        return "rango A = " + a + " <> rango A' = " + IntToText(q.rankAugmented) +
               " => la ecuación no tiene solución";
    if (q.unique()) return "rango A = rango A' = " + a + " = nº de incógnitas => una sola solución";
    // Two lines: one would be wider than the window.
    return "rango A = rango A' = " + a + " < " + n +
           " = nº de incógnitas\n=> infinitas soluciones (grado de indeterminación " +
           IntToText(q.unknowns() - q.rankCoefficients) + ")";
}

void Line(StepRecorder& r, const Both& b, StepMatrix m = {}) {
    r.Line(b.text, b.latex, std::move(m));
}

// "name =" and its matrix, or "name = fuera de rango (...)".
void Shown(StepRecorder& r, const Both& name, StepMatrix m, bool fits) {
    if (fits) return Line(r, {name.text + " =", name.latex + " ="}, std::move(m));
    Line(r, {name.text + " = " + kOutOfRange, name.latex + " = \\text{" + kOutOfRange + "}"});
}

bool ValuesFit(const MatrixEquation& q) {
    std::vector<mpq_class> numbers;
    for (const ParametricValue& v : q.values) {
        numbers.push_back(v.constant);
        numbers.insert(numbers.end(), v.coefficients.begin(), v.coefficients.end());
    }
    return Fits(numbers);
}
// A line of words and mathematics; a "\n" in it starts another line.
void Words(StepRecorder& r, const std::string& text, StepMatrix m = {}) {
    const std::size_t end = text.find('\n');
    if (end == std::string::npos) return r.Line(text, LineLatex(text), std::move(m));
    Words(r, text.substr(0, end));
    Words(r, text.substr(end + 1), std::move(m));
}

}  // namespace

bool EquationAnswerFits(const MatrixEquation& q) {
    const Isolation& s = q.isolation;
    const bool inverses =
        !s.byInverse || (Fits(s.left.inverse.cells()) && Fits(s.right.inverse.cells()));
    return ValuesFit(q) && inverses && (s.byInverse || Fits(q.system.cells()));
}

std::vector<Step> EquationDocument(const MatrixEquation& q) {
    StepRecorder r;
    const Expression& e = q.expression;
    const std::string rows = IntToText(q.x.rows);
    const std::string cols = IntToText(q.x.cols);
    Line(r,
         {NodeText(e, e.root()) + "    (X es " + rows + " × " + cols + ")",
          NodeLatex(e, e.root()) + " \\quad (X \\text{ es } " + rows + " \\times " + cols + ")"});
    const Isolation& s = q.isolation;
    if (s.found) {
        const Isolated lines = IsolationLines(e, s);
        // Each form once: the equation is the first line already, and "X +
        // K = L" is solved as soon as its X stands alone.
        const bool asTyped = lines.factored.text == NodeText(e, e.root());
        if (s.byInverse) {
            Both chain = lines.solved;
            if (!asTyped && lines.factored.text != lines.solved.text) {
                chain = {lines.factored.text + "  =>  " + lines.solved.text,
                         lines.factored.latex + " \\quad\\Rightarrow\\quad " + lines.solved.latex};
            }
            Line(r, chain);
            for (const auto& [f, text] :
                 {std::pair{&s.left, lines.left}, {&s.right, lines.right}}) {
                if (f->empty()) continue;
                Shown(r, Inverse(text), detail::Texts(f->inverse), Fits(f->inverse.cells()));
            }
            Shown(r, {"X", "X"}, ValuesOf(q), ValuesFit(q));
            return r.Take();
        }
        if (!asTyped) Line(r, lines.factored);
        const EquationFactor& bad = s.left.empty() || s.left.invertible ? s.right : s.left;
        const Both& name = &bad == &s.left ? lines.left : lines.right;
        const std::string factor = Bracketed(name).text;
        const std::string det = factor.size() == 1 ? "det " + factor : "det" + factor;
        Words(r, (bad.square ? det + " = 0" : name.text + " no es cuadrada") +
                     ": X no se despeja con la inversa");
    }
    Line(r, {"X =", "X ="}, NamesOf(q));
    if (!Fits(q.system.cells())) {
        Words(r, std::string("igualando elemento a elemento: ") + kOutOfRange);
    } else {
        Words(r, "igualando elemento a elemento:");
    }
    // Each equation once, 0 = 0 left out.
    std::vector<std::string> shown;
    for (int k = 0; k < q.system.rows && Fits(q.system.cells()); ++k) {
        const Both equation = SystemEquation(q, k);
        if (equation.text.empty() ||
            std::find(shown.begin(), shown.end(), equation.text) != shown.end())
            continue;
        shown.push_back(equation.text);
        Line(r, equation);
    }
    Words(r, VerdictText(q));
    if (q.compatible()) {
        Shown(r, {"X", "X"}, ValuesOf(q), ValuesFit(q));
        if (!q.freeEntries.empty())
            Words(r, ParametersText(static_cast<int>(q.freeEntries.size())));
    }
    return r.Take();
}

std::vector<Step> EquationSteps(const MatrixEquation& q) {
    StepRecorder r;
    const Isolation& s = q.isolation;
    if (s.found && s.byInverse && !(s.left.empty() && s.right.empty())) {
        const Isolated lines = IsolationLines(q.expression, s);
        for (const auto& [f, text] : {std::pair{&s.left, lines.left}, {&s.right, lines.right}}) {
            if (f->empty()) continue;
            Matrix m;
            try {
                m = detail::Narrow(f->value);
            } catch (const ArithmeticOverflow&) {
                continue;  // no 32-bit form: no steps to show
            }
            m.Refresh();
            const Both inv = Inverse(text);
            Line(r, {inv.text + ":", inv.latex + ":"});
            Matrix inverse;
            try {
                m.Inverse(inverse, r);
            } catch (const ArithmeticOverflow&) {
                // The steps up to the inverse, which does not fit, stay.
            }
        }
        return r.Take();
    }
    Words(r, "sistema (matriz ampliada):", detail::Texts(q.system));
    RationalRows rows(static_cast<std::size_t>(q.system.rows));
    for (int i = 0; i < q.system.rows; ++i)
        for (int j = 0; j < q.system.cols; ++j)
            rows[static_cast<std::size_t>(i)].push_back(q.system(i, j));
    try {
        SolveGeneral(rows, &r);
    } catch (const std::invalid_argument&) {
        // No solution: the reduction shows the row 0 = c.
    }
    std::vector<Step> steps = r.Take();
    // The values as the answer names the entries of X.
    if (q.compatible() && !steps.empty()) steps.pop_back();
    StepRecorder tail;
    Words(tail, VerdictText(q));
    if (q.compatible()) Shown(tail, {"X", "X"}, ValuesOf(q), ValuesFit(q));
    for (Step& step : tail.Take()) steps.push_back(std::move(step));
    return steps;
}

}  // namespace velmora
