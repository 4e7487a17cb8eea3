#include "core/matrix/power_text.h"

#include "core/arith/rational.h"
#include "core/systems/system_text.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

// b^(n - s): "2^n", "(-1)^n", "(1/2)^(n-1)"; empty for b = 1.
std::string PowerOf(const mpq_class& b, int shift, bool latex) {
    if (b == 1) return "";
    std::string base = latex ? RationalLatex(b) : RationalText(b);
    if (b < 0 || b.get_den() != 1) base = latex ? "\\left(" + base + "\\right)" : "(" + base + ")";
    const std::string e = shift == 0 ? "n" : "n-" + IntToText(shift);
    if (latex) return base + "^{" + e + "}";
    return base + "^" + (shift == 0 ? e : "(" + e + ")");
}

SignedTerm Term(const PowerTerm& t, bool latex) {
    const std::string power = PowerOf(t.base, t.shift, latex);
    const std::string dot = power.empty() ? "" : latex ? " \\cdot " : "·";
    Polynomial p = t.coefficient;
    const bool negative = sgn(p.coefficients.back()) < 0;
    if (negative)
        for (mpq_class& c : p.coefficients) c = -c;
    std::string body;
    if (p.IsConstant()) {
        const mpq_class& c = p.coefficients[0];
        if (c == 1 && !power.empty()) return {negative, power};
        body = latex                               ? RationalLatex(c)
               : c.get_den() == 1 || power.empty() ? RationalText(c)
                                                   : "(" + RationalText(c) + ")";
    } else {
        // The content apart: (n^2 - n)/2, 3(n + 1), n/2.
        mpz_class l = 1;
        for (const mpq_class& c : p.coefficients)
            mpz_lcm(l.get_mpz_t(), l.get_mpz_t(), c.get_den_mpz_t());
        mpz_class g = 0;
        for (mpq_class& c : p.coefficients) {
            c *= l;
            mpz_gcd(g.get_mpz_t(), g.get_mpz_t(), c.get_num_mpz_t());
        }
        for (mpq_class& c : p.coefficients) c /= g;
        const mpq_class content(g, l);
        const std::string q = latex ? PolynomialLatex(p, "n") : PolynomialText(p, "n");
        const std::string num = content.get_num() == 1 ? "" : content.get_num().get_str();
        const bool group = p.TermCount() > 1;
        if (latex) {
            const std::string top = num + (group && !num.empty() ? "(" + q + ")" : q);
            body = content.get_den() == 1
                       ? top
                       : "\\frac{" + top + "}{" + content.get_den().get_str() + "}";
        } else {
            body = num + (group && (!num.empty() || content.get_den() != 1 || !power.empty())
                              ? "(" + q + ")"
                              : q);
            if (content.get_den() != 1) body += "/" + content.get_den().get_str();
        }
    }
    return {negative, body + dot + power};
}

std::string Entry(const PowerEntry& entry, bool latex) {
    // Numbers times powers over a common denominator, as on the board:
    // (3^n + 1)/2 rather than (1/2)·3^n + 1/2.
    mpz_class d = 1;
    bool numbers = entry.size() > 1;
    for (const PowerTerm& t : entry) {
        numbers = numbers && t.coefficient.IsConstant();
        for (const mpq_class& c : t.coefficient.coefficients)
            mpz_lcm(d.get_mpz_t(), d.get_mpz_t(), c.get_den_mpz_t());
    }
    const bool over = numbers && d != 1;
    std::vector<SignedTerm> terms;
    for (PowerTerm t : entry) {
        if (over) t.coefficient.coefficients[0] *= d;
        terms.push_back(Term(t, latex));
    }
    if (!over) return JoinTerms(terms);
    return latex ? "\\frac{" + JoinTerms(terms) + "}{" + d.get_str() + "}"
                 : "(" + JoinTerms(terms) + ")/" + d.get_str();
}

StepMatrix Rows(const RationalRows& rows) {
    return StepMatrix::Of(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()),
                          [&](int i, int j) { return RationalText(rows[i - 1][j - 1]); });
}

StepMatrix Closed(const PowerForm& f) {
    const int n = static_cast<int>(f.a.size());
    StepMatrix m = StepMatrix::Of(n, n, [&](int i, int j) {
        return PowerEntryText(f.entries[static_cast<std::size_t>((i - 1) * n + j - 1)]);
    });
    for (const PowerEntry& e : f.entries) m.latex.push_back(PowerEntryLatex(e));
    m.aligned = true;  // "-2^n + 2   2^n - 1": entries with blanks of their own
    return m;
}

void Line(StepRecorder& out, const std::string& text, const std::string& latex, StepMatrix m = {}) {
    out.Line(text, latex, std::move(m));
}

// "A^2 =", ... up to the power that closes the table.
void TableLines(StepRecorder& out, const PowerForm& f, const char* letter) {
    for (int k = 2; k <= f.period; ++k) {
        const std::string l = std::string(letter) + "^" + IntToText(k);
        const std::string latex = std::string(letter) + "^{" + IntToText(k) + "}";
        Line(out, l + " =", latex + " =", Rows(f.table[static_cast<std::size_t>(k)]));
    }
}

const char* kProof = "comprobado por inducción: A^(n+1) = A·A^n";
const char* kProofLatex = "\\text{comprobado por inducción: } A^{n+1} = A \\cdot A^{n}";

}  // namespace

std::string PowerEntryText(const PowerEntry& entry) {
    return Entry(entry, false);
}

std::string PowerEntryLatex(const PowerEntry& entry) {
    return Entry(entry, true);
}

std::vector<Step> PowerDocument(const PowerForm& f) {
    StepRecorder out;
    Line(out, "A =", "A =", Rows(f.a));
    const std::string k = IntToText(f.period);
    switch (f.pattern) {
        case PowerPattern::Periodic:
            TableLines(out, f, "A");
            Line(out,
                 "A^" + k + " = I, luego A^n = A^r, donde r es el resto de dividir n entre " + k,
                 "A^{" + k +
                     "} = I,\\ \\text{luego } A^{n} = A^{r},\\ \\text{donde } r \\text{ es el "
                     "resto de "
                     "dividir } n \\text{ entre } " +
                     k);
            break;
        case PowerPattern::Nilpotent:
            TableLines(out, f, "A");
            Line(out, "A^" + k + " = 0, luego A^n = 0 para n ≥ " + k,
                 "A^{" + k + "} = 0,\\ \\text{luego } A^{n} = 0 \\text{ para } n \\geq " + k);
            break;
        case PowerPattern::ScalarPlusNilpotent: {
            const bool one = f.scalar == 1;
            const std::string l = one ? ""
                                  : f.scalar.get_den() == 1 && f.scalar > 0
                                      ? RationalText(f.scalar)
                                      : "(" + RationalText(f.scalar) + ")";
            const std::string ll = one                  ? ""
                                   : f.scalar.get_den() == 1 && f.scalar > 0
                                       ? RationalLatex(f.scalar)
                                       : "\\left(" + RationalLatex(f.scalar) + "\\right)";
            const std::string last = IntToText(f.period - 1);
            Line(out, "A = " + l + "I + N, N =",
                 "A = " + (one ? "" : RationalLatex(f.scalar)) + "I + N,\\ N =", Rows(f.table[1]));
            TableLines(out, f, "N");
            Line(out,
                 "N^" + k + " = 0 y N conmuta con I: A^n = Σ C(n,k)" +
                     (one ? "" : "·" + l + "^(n-k)") + "·N^k, k = 0.." + last,
                 "N^{" + k + "} = 0:\\ A^{n} = \\sum_{k=0}^{" + last + "} \\binom{n}{k} " +
                     (one ? "" : ll + "^{n-k} ") + "N^{k}");
            Line(out, "A^n =", "A^{n} =", Closed(f));
            Line(out, kProof, kProofLatex);
            break;
        }
        case PowerPattern::Proportional: {
            const std::string c = RationalText(f.scalar);
            const std::string cl = RationalLatex(f.scalar);
            Line(out, "A^2 = " + c + "A, luego A^n = " + c + "^(n-1)·A para n ≥ 1",
                 "A^{2} = " + cl + "A,\\ A^{n} = " + cl + "^{n-1} A \\ (n \\geq 1)");
            Line(out, "A^n =", "A^{n} =", Closed(f));
            Line(out, kProof, kProofLatex);
            break;
        }
        case PowerPattern::Diagonalisable:
            Line(out, "A es diagonalizable: A = P D P^-1, luego A^n = P D^n P^-1",
                 "\\text{A es diagonalizable: } A = P D P^{-1},\\ \\text{luego } A^{n} = P D^{n} "
                 "P^{-1}");
            Line(out, "P =", "P =", Rows(f.p));
            Line(out, "D =", "D =", Rows(f.d));
            Line(out, "P^-1 =", "P^{-1} =", Rows(f.pInverse));
            Line(out, f.from == 1 ? "A^n (n ≥ 1) =" : "A^n =",
                 f.from == 1 ? "A^{n}\\ (n \\geq 1) =" : "A^{n} =", Closed(f));
            Line(out, kProof, kProofLatex);
            break;
        case PowerPattern::None:
            Line(out,
                 "A^n no tiene forma cerrada aquí: A no es periódica, ni λI + N con N nilpotente, "
                 "ni "
                 "A^2 = cA, ni diagonalizable con valores propios racionales",
                 "A^{n}\\ \\text{no tiene forma cerrada aquí: A no es periódica, ni } \\lambda I + "
                 "N "
                 "\\text{ con N nilpotente, ni } A^{2} = cA\\text{, ni diagonalizable con valores "
                 "propios "
                 "racionales}");
            break;
    }
    return out.Take();
}

std::vector<Step> PowerValueDocument(const PowerForm& f, unsigned n, const RationalRows& value) {
    std::vector<Step> document = PowerDocument(f);
    StepRecorder out;
    const std::string e = IntToText(n);
    const std::string k = IntToText(f.period);
    const std::string power = "A^" + e, powerLatex = "A^{" + e + "}";
    switch (f.pattern) {
        case PowerPattern::Periodic: {
            const std::string q = IntToText(n / static_cast<unsigned>(f.period));
            const std::string r = IntToText(n % static_cast<unsigned>(f.period));
            Line(out, e + " = " + k + "·" + q + " + " + r + ", luego " + power + " = A^" + r + " =",
                 e + " = " + k + " \\cdot " + q + " + " + r + ",\\ \\text{luego } " + powerLatex +
                     " = A^{" + r + "} =",
                 Rows(value));
            break;
        }
        case PowerPattern::Nilpotent:
            Line(out, e + " ≥ " + k + ", luego " + power + " =",
                 e + " \\geq " + k + ",\\ \\text{luego } " + powerLatex + " =", Rows(value));
            break;
        default:
            Line(out, "n = " + e + ": " + power + " =", "n = " + e + ":\\ " + powerLatex + " =",
                 Rows(value));
            break;
    }
    for (Step& s : out.Take()) document.push_back(std::move(s));
    return document;
}

}  // namespace velmora
