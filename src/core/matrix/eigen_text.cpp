#include "core/matrix/eigen_text.h"

#include "core/arith/rational.h"
#include "core/systems/general_solution.h"
#include "core/systems/linear_system.h"
#include "core/systems/system_text.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

constexpr const char* kLambda = "λ";
constexpr const char* kLambdaLatex = "\\lambda";

// "(λ - 2)", "λ", "(λ^2 + 1)" and its power "^2" (LaTeX "^{2}").
std::string FactorPower(const EigenFactor& f, bool latex) {
    const Polynomial& p = f.factor;
    const std::string body = latex ? PolynomialLatex(p, kLambdaLatex) : PolynomialText(p, kLambda);
    std::string s = p.TermCount() > 1 ? "(" + body + ")" : body;
    if (f.algebraic > 1)
        s += latex ? "^{" + IntToText(f.algebraic) + "}" : "^" + IntToText(f.algebraic);
    return s;
}

std::string Factored(const EigenAnalysis& e, bool latex) {
    std::string s = e.order % 2 == 1 ? "-" : "";
    for (const EigenFactor& f : e.factors) s += FactorPower(f, latex);
    return s;
}

// The roots (-b ± k√s)/d of a monic quadratic, in integers: d > 0, s > 1
// free of squares.
struct Radical {
    mpz_class center;
    mpz_class k;
    mpz_class s;
    mpz_class d;
};

Radical Roots(const Polynomial& f) {
    mpz_class l;
    mpz_lcm(l.get_mpz_t(), f.coefficients[0].get_den_mpz_t(), f.coefficients[1].get_den_mpz_t());
    const mpz_class a = l;
    const mpz_class b = mpq_class(f.coefficients[1] * l).get_num();
    const mpz_class c = mpq_class(f.coefficients[0] * l).get_num();
    Radical r{-b, 1, b * b - 4 * a * c, 2 * a};
    // Square factors out of the root: by trial division, then a square left.
    for (mpz_class p = 2; p * p <= r.s && p < 100000; ++p) {
        while (r.s % (p * p) == 0) {
            r.s /= p * p;
            r.k *= p;
        }
    }
    if (mpz_perfect_square_p(r.s.get_mpz_t()) != 0) {
        mpz_class root;
        mpz_sqrt(root.get_mpz_t(), r.s.get_mpz_t());
        r.k *= root;
        r.s = 1;
    }
    mpz_class g;
    mpz_gcd(g.get_mpz_t(), r.center.get_mpz_t(), r.k.get_mpz_t());
    mpz_gcd(g.get_mpz_t(), g.get_mpz_t(), r.d.get_mpz_t());
    r.center /= g;
    r.k /= g;
    r.d /= g;
    return r;
}

std::string QuadraticRoots(const Polynomial& f, bool latex) {
    const Radical r = Roots(f);
    const std::string k = r.k == 1 ? "" : r.k.get_str();
    const std::string root = latex ? k + "\\sqrt{" + r.s.get_str() + "}" : k + "√" + r.s.get_str();
    const std::string pm = latex ? "\\pm" : "±";
    const std::string d = r.d.get_str();
    std::string value;
    if (r.center == 0) {
        value = r.d == 1 ? pm + root
                : latex  ? pm + "\\frac{" + root + "}{" + d + "}"
                         : pm + root + "/" + d;
    } else {
        const std::string sum = r.center.get_str() + " " + pm + " " + root;
        value = r.d == 1 ? sum : latex ? "\\frac{" + sum + "}{" + d + "}" : "(" + sum + ")/" + d;
    }
    return (latex ? kLambdaLatex : kLambda) + std::string(" = ") + value;
}

struct Both {
    std::string text;
    std::string latex;
};

Both Equation(const Polynomial& f) {
    return {PolynomialText(f, kLambda) + " = 0", PolynomialLatex(f, kLambdaLatex) + " = 0"};
}

Both Value(const EigenFactor& f) {
    return {std::string(kLambda) + " = " + RationalText(f.value),
            std::string(kLambdaLatex) + " = " + RationalLatex(f.value)};
}

Both Multiplicity(int m, bool each) {
    const std::string s = "multiplicidad algebraica " + IntToText(m) + (each ? " cada una" : "");
    return {s, "\\text{" + s + "}"};
}

// The line that names the roots of one factor.
Both RootsLine(const EigenFactor& f) {
    const Both m = Multiplicity(f.algebraic, f.factor.Degree() > 1 && f.realRoots > 1);
    if (f.Rational()) {
        const Both v = Value(f);
        return {v.text + ", de " + m.text, v.latex + ",\\ \\text{de } " + m.latex};
    }
    const Both eq = Equation(f.factor);
    if (f.realRoots == 0)
        return {eq.text + " no tiene raíces reales (" + m.text + ")",
                eq.latex + "\\ \\text{no tiene raíces reales (}" + m.latex + "\\text{)}"};
    if (f.factor.Degree() == 2)
        return {EigenRootsText(f.factor) + ", raíces de " + eq.text + ", de " + m.text,
                EigenRootsLatex(f.factor) + ",\\ \\text{raíces de } " + eq.latex +
                    ",\\ \\text{de } " + m.latex};
    const std::string count =
        IntToText(f.realRoots) + (f.realRoots == 1 ? " raíz real" : " raíces reales");
    return {std::string(kLambda) + " tal que " + eq.text + ": " + count + ", de " + m.text,
            std::string(kLambdaLatex) + "\\ \\text{tal que } " + eq.latex + ":\\ \\text{" + count +
                ", de }" + m.latex};
}

// "A - 2I", "A + I", "A - (1/2)I", "A".
Both Shifted(const mpq_class& value) {
    if (value == 0) return {"A", "A"};
    const SignedTerm t = CoefficientTerm(-value, "I");
    const mpq_class m = abs(value);
    const std::string k = m == 1 ? "" : RationalLatex(m);
    return {JoinTerms({{false, "A"}, t}), JoinTerms({{false, "A"}, {t.negative, k + "I"}})};
}

// Unknown i of n: x, y, z, t up to four; x1, x2 ... (x_{1}) past four.
Both Unknown(int i, int n) {
    if (n <= 4) return {std::string(1, UnknownName(i)), std::string(1, UnknownName(i))};
    return {"x" + IntToText(i), "x_{" + IntToText(i) + "}"};
}

// The eigenspace's values in the parameters μ, ν, ... (λ names the
// eigenvalue): "x = μ    y = 2μ    z = ν".
Both Values(const GeneralSolution& s) {
    Both line;
    const int n = static_cast<int>(s.values.size());
    for (int i = 0; i < n; ++i) {
        std::vector<SignedTerm> text;
        std::vector<SignedTerm> latex;
        const std::vector<mpq_class>& c = s.values[static_cast<std::size_t>(i)].coefficients;
        for (std::size_t k = 0; k < c.size(); ++k) {
            if (c[k] == 0) continue;
            const int parameter = static_cast<int>(k) + 2;
            text.push_back(ParameterTerm(c[k], parameter));
            const mpq_class m = abs(c[k]);
            latex.push_back(
                {sgn(c[k]) < 0, (m == 1 ? "" : RationalLatex(m)) + ParameterLatex(parameter)});
        }
        const Both name = Unknown(i + 1, n);
        line.text += name.text + " = " + JoinTerms(text) + "    ";
        line.latex += (i > 0 ? ",\\quad " : "") + name.latex + " = " + JoinTerms(latex);
    }
    return line;
}

std::string Vector(const std::vector<mpz_class>& v) {
    std::string s = "(";
    for (std::size_t i = 0; i < v.size(); ++i) s += (i > 0 ? ", " : "") + v[i].get_str();
    return s + ")";
}

StepMatrix Rows(const RationalRows& rows) {
    return StepMatrix::Of(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()),
                          [&](int i, int j) { return RationalText(rows[i - 1][j - 1]); });
}

// A - λI, its diagonal written as on the board: "2 - λ", "-λ".
StepMatrix CharacteristicMatrix(const EigenAnalysis& e) {
    StepMatrix m = Rows(e.a);
    for (int i = 1; i <= e.order; ++i)
        for (int j = 1; j <= e.order; ++j) {
            const mpq_class& x = e.a[i - 1][j - 1];
            if (i != j) {
                m.latex.push_back(RationalLatex(x));
            } else if (x == 0) {
                m.at(i, j) = "-λ";
                m.latex.push_back("-\\lambda");
            } else {
                m.at(i, j) = RationalText(x) + " - λ";
                m.latex.push_back(RationalLatex(x) + " - \\lambda");
            }
        }
    return m;
}

void Eigenspace(const EigenAnalysis& e, const EigenFactor& f, StepRecorder& out) {
    const Both shifted = Shifted(f.value);
    const Both v = Value(f);
    RationalRows m = e.a;
    for (int i = 0; i < e.order; ++i) m[i][i] -= f.value;
    const Both system = f.value == 0
                            ? Both{"Ax = 0", "Ax = 0"}
                            : Both{"(" + shifted.text + ")x = 0", "(" + shifted.latex + ")x = 0"};
    out.Line("Subespacio propio de " + v.text + ": " + system.text,
             "\\text{Subespacio propio de } " + v.latex + ":\\ " + system.latex);
    out.Line(shifted.text + " =", shifted.latex + " =", Rows(m));
    const Both values = Values(f.eigenspace);
    out.Line(values.text, values.latex);
    std::string basis;
    for (std::size_t k = 0; k < f.basis.size(); ++k)
        basis += (k > 0 ? ", " : "") + Vector(f.basis[k]);
    const std::string text =
        "base: " + basis + "; multiplicidad geométrica " + IntToText(f.geometric);
    out.Line(text, "\\text{" + text + "}");
}

// The verdict and its reasons: the factors with roots that are not real,
// the eigenvalues whose geometric multiplicity falls short.
Both Verdict(const EigenAnalysis& e) {
    if (e.diagonalisable) {
        const std::string s =
            "A es diagonalizable: sus valores propios son reales y la "
            "multiplicidad geométrica de cada uno es igual a la algebraica";
        return {s, "\\text{" + s + "}"};
    }
    Both v{"A no es diagonalizable: ", "\\text{A no es diagonalizable: }"};
    bool first = true;
    for (const EigenFactor& f : e.factors) {
        Both who;
        std::string what;
        if (f.realRoots < f.factor.Degree()) {
            who = Equation(f.factor);
            what = " tiene raíces que no son reales";
        } else if (f.geometric < f.algebraic) {
            who = f.Rational() ? Value(f) : Equation(f.factor);
            what = std::string(f.Rational() ? " tiene" : ": sus raíces tienen") +
                   " multiplicidad algebraica " + IntToText(f.algebraic) + " y geométrica " +
                   IntToText(f.geometric);
        } else {
            continue;
        }
        v.text += (first ? "" : "; ") + who.text + what;
        v.latex += (first ? "" : "\\text{; } ") + who.latex + "\\text{" + what + "}";
        first = false;
    }
    return v;
}

}  // namespace

std::string FactoredText(const EigenAnalysis& e) {
    return Factored(e, false);
}

std::string FactoredLatex(const EigenAnalysis& e) {
    return Factored(e, true);
}

std::string EigenRootsText(const Polynomial& f) {
    return std::string(kLambda) + " = " + QuadraticRootsText(f);
}

std::string EigenRootsLatex(const Polynomial& f) {
    return QuadraticRoots(f, true);
}

std::string VerdictText(const EigenAnalysis& e) {
    return Verdict(e).text;
}

std::vector<Step> EigenDocument(const EigenAnalysis& e) {
    StepRecorder out;
    out.Line("A =", "A =", Rows(e.a));
    const std::string expanded = PolynomialText(e.characteristic, kLambda);
    const std::string expandedLatex = PolynomialLatex(e.characteristic, kLambdaLatex);
    const std::string factored = FactoredText(e);
    const std::string factoredLatex = FactoredLatex(e);
    const bool same = factored == expanded || factored == "(" + expanded + ")";
    out.Determinant("|A - λI| = " + expanded + (same ? "" : " = " + factored),
                    "|A - \\lambda I| = " + expandedLatex + (same ? "" : " = " + factoredLatex),
                    CharacteristicMatrix(e));
    out.Line("Valores propios:", "\\text{Valores propios:}");
    for (const EigenFactor& f : e.factors) {
        const Both line = RootsLine(f);
        out.Line(line.text, line.latex);
    }
    for (const EigenFactor& f : e.factors)
        if (f.Rational()) Eigenspace(e, f, out);
    const Both verdict = Verdict(e);
    out.Line(verdict.text, verdict.latex);
    if (e.rationalBasis) {
        out.Line("P =", "P =", Rows(e.p));
        out.Line("D =", "D =", Rows(e.d));
        const std::string check = e.checked ? "calculado exactamente, P^-1 A P = D"
                                            : "calculado exactamente, P^-1 A P no es D";
        out.Line(check, "\\text{calculado exactamente, } P^{-1} A P " +
                            std::string(e.checked ? "= D" : "\\neq D"));
    } else if (e.diagonalisable) {
        const std::string note = "P y D tienen elementos irracionales: no se escriben aquí";
        out.Line(note, "\\text{" + note + "}");
    }
    return out.Take();
}

std::vector<Step> EigenspaceSteps(const EigenAnalysis& e) {
    StepRecorder out;
    for (const EigenFactor& f : e.factors) {
        if (!f.Rational()) continue;
        const Both v = Value(f);
        const Both shifted = Shifted(f.value);
        out.Line(
            "Subespacio propio de " + v.text + ": (" + shifted.text + " | 0)",
            "\\text{Subespacio propio de } " + v.latex + ":\\ (" + shifted.latex + " \\mid 0)");
        // The reduction, its values named as the answer names them (μ, ν...:
        // λ is the eigenvalue) in place of the solver's own last line.
        StepRecorder reduction;
        SolveEigenspace(e.a, f.value, &reduction);
        std::vector<Step> steps = reduction.Take();
        steps.pop_back();
        for (Step& step : steps) out.Append(std::move(step));
        const Both values = Values(f.eigenspace);
        out.Line(values.text, values.latex);
    }
    return out.Take();
}

}  // namespace velmora
