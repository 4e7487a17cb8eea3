#include "core/matrix/parametric_eigen.h"

#include <flint/fmpq_mpoly_factor.h>

#include <algorithm>
#include <stdexcept>

#include "core/arith/flint_poly.h"

namespace velmora {

using flint::QPoly;

namespace {

// Polynomials in λ (variable 0) and a (variable 1) on FLINT's fmpq_mpoly.
class Context {
  public:
    Context() { fmpq_mpoly_ctx_init(ctx_, 2, ORD_LEX); }
    ~Context() { fmpq_mpoly_ctx_clear(ctx_); }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    fmpq_mpoly_ctx_struct* get() { return ctx_; }

  private:
    fmpq_mpoly_ctx_t ctx_;
};

class Poly2 {
  public:
    explicit Poly2(Context& c) : c_(c) { fmpq_mpoly_init(p_, c_.get()); }
    Poly2(const Poly2& q) : Poly2(q.c_) { fmpq_mpoly_set(p_, q.p_, c_.get()); }
    Poly2& operator=(const Poly2& q) {
        fmpq_mpoly_set(p_, q.p_, c_.get());
        return *this;
    }
    ~Poly2() { fmpq_mpoly_clear(p_, c_.get()); }
    fmpq_mpoly_struct* get() { return p_; }
    const fmpq_mpoly_struct* get() const { return p_; }

    // c λ^i a^j added.
    void Add(const mpq_class& c, ulong i, ulong j) {
        Poly2 term(c_);
        fmpq_t q;
        fmpq_init(q);
        fmpq_set_mpq(q, c.get_mpq_t());
        ulong exps[2] = {i, j};
        fmpq_mpoly_set_coeff_fmpq_ui(term.p_, q, exps, c_.get());
        fmpq_clear(q);
        fmpq_mpoly_add(p_, p_, term.p_, c_.get());
    }
    Poly2 operator*(const Poly2& q) const {
        Poly2 r(c_);
        fmpq_mpoly_mul(r.p_, p_, q.p_, c_.get());
        return r;
    }
    Poly2 operator-(const Poly2& q) const {
        Poly2 r(c_);
        fmpq_mpoly_sub(r.p_, p_, q.p_, c_.get());
        return r;
    }
    Poly2 operator+(const Poly2& q) const {
        Poly2 r(c_);
        fmpq_mpoly_add(r.p_, p_, q.p_, c_.get());
        return r;
    }
    // The coefficient of λ^i, a polynomial in a.
    Polynomial Coefficient(ulong i) const {
        Polynomial r;
        fmpq_t q;
        fmpq_init(q);
        for (slong t = 0; t < fmpq_mpoly_length(p_, c_.get()); ++t) {
            ulong exps[2];
            fmpq_mpoly_get_term_exp_ui(exps, p_, t, c_.get());
            if (exps[0] != i) continue;
            fmpq_mpoly_get_term_coeff_fmpq(q, p_, t, c_.get());
            mpq_class c;
            fmpq_get_mpq(c.get_mpq_t(), q);
            if (r.coefficients.size() <= exps[1]) r.coefficients.resize(exps[1] + 1);
            r.coefficients[exps[1]] = c;
        }
        fmpq_clear(q);
        r.Trim();
        return r;
    }
    long DegreeIn(int var) const { return fmpq_mpoly_degree_si(p_, var, c_.get()); }

  private:
    Context& c_;
    fmpq_mpoly_t p_;
};

// det of the rows `rows` and the columns in `cols`, by the first row.
Poly2 Det(const std::vector<Poly2>& m, int n, int row, std::vector<int>& cols, Context& c) {
    if (cols.empty()) {
        Poly2 one(c);
        one.Add(1, 0, 0);
        return one;
    }
    Poly2 sum(c);
    for (std::size_t k = 0; k < cols.size(); ++k) {
        const int col = cols[k];
        cols.erase(cols.begin() + static_cast<long>(k));
        const Poly2 term = m[static_cast<std::size_t>(row * n + col)] * Det(m, n, row + 1, cols, c);
        cols.insert(cols.begin() + static_cast<long>(k), col);
        sum = k % 2 == 0 ? sum + term : sum - term;
    }
    return sum;
}

bool Before(const Polynomial& x, const Polynomial& y) {
    if (x.Degree() != y.Degree()) return x.Degree() < y.Degree();
    for (int k = x.Degree(); k >= 0; --k)
        if (x.Coefficient(k) != y.Coefficient(k)) return x.Coefficient(k) < y.Coefficient(k);
    return false;
}

// p is 0 in the case: at its value, or modulo its factor.
bool VanishesAt(const Polynomial& p, const ParameterCondition& c) {
    if (c.kind == CaseKind::Value) return p.Evaluate(c.value) == 0;
    return flint::Remainder(QPoly(p), QPoly(c.factor)).IsZero();
}

bool SameCase(const ParameterCondition& x, const ParameterCondition& y) {
    return x.kind == y.kind && (x.kind == CaseKind::Value ? x.value == y.value
                                                          : x.factor == y.factor);
}

PolynomialMatrix Shifted(const PolynomialMatrix& m, const Polynomial& value) {
    PolynomialMatrix r = m;
    const QPoly v(value);
    for (int i = 1; i <= m.rows; ++i) r.at(i, i) = (QPoly(m.at(i, i)) - v).ToPolynomial();
    return r;
}

}  // namespace

ParametricEigenAnalysis AnalyseParametricEigen(const PolynomialMatrix& m) {
    if (m.rows != m.cols || m.rows == 0) throw std::invalid_argument("la matriz no es cuadrada");
    CheckParametricSize(m);  // before the factoring, which large numbers would slow down
    ParametricEigenAnalysis e;
    e.a = m;
    const int n = m.rows;
    Context c;
    std::vector<Poly2> cells;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            Poly2 p(c);
            const Polynomial& x = m.at(i, j);
            for (int k = 0; k <= x.Degree(); ++k)
                if (x.Coefficient(k) != 0) p.Add(x.Coefficient(k), 0, static_cast<ulong>(k));
            if (i == j) p.Add(-1, 1, 0);
            cells.push_back(p);
        }
    std::vector<int> cols;
    for (int j = 0; j < n; ++j) cols.push_back(j);
    const Poly2 characteristic = Det(cells, n, 0, cols, c);
    for (int k = 0; k <= n; ++k) e.characteristic.push_back(characteristic.Coefficient(k));

    fmpq_mpoly_factor_t factors;
    fmpq_mpoly_factor_init(factors, c.get());
    const bool factored = fmpq_mpoly_factor(factors, characteristic.get(), c.get()) != 0;
    e.polynomialEigenvalues = factored;
    for (slong k = 0; factored && k < factors->num; ++k) {
        Poly2 f(c);
        fmpq_mpoly_set(f.get(), factors->poly + k, c.get());
        const Polynomial lead = f.Coefficient(1);
        if (f.DegreeIn(0) != 1 || !lead.IsConstant()) {
            e.polynomialEigenvalues = false;
            break;
        }
        ParametricEigenvalue v;
        const QPoly root = flint::Scale(QPoly(f.Coefficient(0)), -1 / lead.Coefficient(0));
        v.value = root.ToPolynomial();
        v.algebraic = static_cast<int>(fmpz_get_si(factors->exp + k));
        e.eigenvalues.push_back(v);
    }
    fmpq_mpoly_factor_clear(factors, c.get());
    if (!e.polynomialEigenvalues) {
        e.eigenvalues.clear();
        return e;
    }
    std::sort(e.eigenvalues.begin(), e.eigenvalues.end(),
              [](const auto& x, const auto& y) { return Before(x.value, y.value); });

    // Where two eigenvalues meet, and where an eigenspace's dimension changes.
    std::vector<ParametricRank> ranks;
    std::vector<QPoly> critical;
    for (std::size_t i = 0; i < e.eigenvalues.size(); ++i) {
        ranks.push_back(RankOf(Shifted(m, e.eigenvalues[i].value)));
        e.eigenvalues[i].geometric = n - ranks.back().cases.front().rank;
        for (const RankCase& r : ranks.back().cases) {
            if (r.kind == CaseKind::Value) critical.push_back(QPoly(Polynomial::Parameter()) -
                                                              QPoly(r.value));
            if (r.kind == CaseKind::Factor) critical.push_back(QPoly(r.factor));
        }
        for (std::size_t j = 0; j < i; ++j)
            critical.push_back(QPoly(e.eigenvalues[i].value) - QPoly(e.eigenvalues[j].value));
    }
    e.diagonalisable = std::all_of(e.eigenvalues.begin(), e.eigenvalues.end(), [](const auto& v) {
        return v.algebraic == v.geometric;
    });
    std::vector<mpq_class> values;
    std::vector<QPoly> roots;
    flint::CriticalCases(critical, values, roots);
    std::vector<EigenCase> cases;
    for (const mpq_class& v : values) {
        EigenCase k;
        k.kind = CaseKind::Value;
        k.value = v;
        cases.push_back(k);
    }
    for (const QPoly& f : roots) {
        EigenCase k;
        k.kind = CaseKind::Factor;
        k.factor = f.ToPolynomial();
        cases.push_back(k);
    }
    e.general.kind = CaseKind::General;
    for (EigenCase& k : cases) {
        std::vector<bool> grouped(e.eigenvalues.size(), false);
        for (std::size_t i = 0; i < e.eigenvalues.size(); ++i) {
            if (grouped[i]) continue;
            EigenCase::Group g;
            g.first = i;
            for (std::size_t j = i; j < e.eigenvalues.size(); ++j)
                if (!grouped[j] &&
                    VanishesAt((QPoly(e.eigenvalues[j].value) - QPoly(e.eigenvalues[i].value))
                                   .ToPolynomial(),
                               k)) {
                    grouped[j] = true;
                    g.algebraic += e.eigenvalues[j].algebraic;
                }
            int rank = ranks[i].cases.front().rank;
            for (const RankCase& r : ranks[i].cases)
                if (r.kind != CaseKind::General && SameCase(r, k)) rank = r.rank;
            g.geometric = n - rank;
            k.groups.push_back(g);
        }
        k.diagonalisable = std::all_of(k.groups.begin(), k.groups.end(),
                                       [](const auto& g) { return g.algebraic == g.geometric; });
        // Every case changes a multiplicity: it is said apart unless A is
        // diagonalisable there as in general.
        if (!k.diagonalisable || !e.diagonalisable) {
            if (k.kind == CaseKind::Value) e.general.excludedValues.push_back(k.value);
            if (k.kind == CaseKind::Factor) e.general.excludedFactors.push_back(k.factor);
        }
    }
    e.cases = std::move(cases);
    return e;
}

}  // namespace velmora
