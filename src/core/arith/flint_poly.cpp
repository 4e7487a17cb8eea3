#include "core/arith/flint_poly.h"

#include <flint/fmpq.h>
#include <flint/fmpq_mat.h>
#include <flint/fmpz_poly.h>
#include <flint/fmpz_poly_factor.h>

#include <algorithm>
#include <stdexcept>

namespace velmora::flint {

namespace {

// A FLINT rational that frees itself.
class Q {
  public:
    Q() { fmpq_init(q_); }
    explicit Q(const mpq_class& v) : Q() { fmpq_set_mpq(q_, v.get_mpq_t()); }
    ~Q() { fmpq_clear(q_); }
    Q(const Q&) = delete;
    Q& operator=(const Q&) = delete;
    fmpq* get() { return q_; }
    mpq_class ToMpq() const {
        mpq_class v;
        fmpq_get_mpq(v.get_mpq_t(), q_);
        return v;
    }

  private:
    fmpq_t q_;
};

class ZPoly {
  public:
    ZPoly() { fmpz_poly_init(p_); }
    ~ZPoly() { fmpz_poly_clear(p_); }
    ZPoly(const ZPoly&) = delete;
    ZPoly& operator=(const ZPoly&) = delete;
    fmpz_poly_struct* get() { return p_; }

  private:
    fmpz_poly_t p_;
};

}  // namespace

QPoly::QPoly(const mpq_class& c) : QPoly() {
    Q q(c);
    fmpq_poly_set_fmpq(p_, q.get());
}

QPoly::QPoly(const Polynomial& p) : QPoly() {
    for (std::size_t k = 0; k < p.coefficients.size(); ++k) {
        Q q(p.coefficients[k]);
        fmpq_poly_set_coeff_fmpq(p_, static_cast<slong>(k), q.get());
    }
}

int QPoly::LeadingSign() const {
    if (IsZero()) return 0;
    return fmpz_sgn(fmpq_poly_numref(p_) + fmpq_poly_degree(p_));
}

mpq_class QPoly::Coefficient(long k) const {
    Q q;
    fmpq_poly_get_coeff_fmpq(q.get(), p_, k);
    return q.ToMpq();
}

mpq_class QPoly::Evaluate(const mpq_class& a) const {
    Q x(a);
    Q r;
    fmpq_poly_evaluate_fmpq(r.get(), p_, x.get());
    return r.ToMpq();
}

std::size_t QPoly::Bits() const {
    std::size_t bits = fmpz_bits(fmpq_poly_denref(p_));
    for (slong k = 0; k < fmpq_poly_length(p_); ++k)
        bits = std::max<std::size_t>(bits, fmpz_bits(fmpq_poly_numref(p_) + k));
    return bits;
}

Polynomial QPoly::ToPolynomial() const {
    Polynomial p;
    for (slong k = 0; k < fmpq_poly_length(p_); ++k) p.coefficients.push_back(Coefficient(k));
    p.Trim();
    return p;
}

QPoly operator+(const QPoly& x, const QPoly& y) {
    QPoly r;
    fmpq_poly_add(r.p_, x.p_, y.p_);
    return r;
}

QPoly operator-(const QPoly& x, const QPoly& y) {
    QPoly r;
    fmpq_poly_sub(r.p_, x.p_, y.p_);
    return r;
}

QPoly operator*(const QPoly& x, const QPoly& y) {
    QPoly r;
    fmpq_poly_mul(r.p_, x.p_, y.p_);
    return r;
}

QPoly operator-(const QPoly& x) {
    QPoly r;
    fmpq_poly_neg(r.p_, x.p_);
    return r;
}

QPoly Scale(const QPoly& x, const mpq_class& c) {
    QPoly r;
    Q q(c);
    fmpq_poly_scalar_mul_fmpq(r.get(), x.get(), q.get());
    return r;
}

QPoly ExactQuotient(const QPoly& x, const QPoly& y) {
    QPoly q;
    if (y.IsZero() || !fmpq_poly_divides(q.get(), x.get(), y.get()))
        throw std::logic_error("división de polinomios no exacta");
    return q;
}

QPoly Remainder(const QPoly& x, const QPoly& modulus) {
    QPoly r;
    fmpq_poly_rem(r.get(), x.get(), modulus.get());
    return r;
}

QPoly Gcd(const QPoly& x, const QPoly& y) {
    QPoly g;
    fmpq_poly_gcd(g.get(), x.get(), y.get());
    return g;
}

QPoly InverseModulo(const QPoly& x, const QPoly& modulus) {
    // g = s x + t m with g constant, as the modulus is irreducible.
    QPoly g, s, t;
    fmpq_poly_xgcd(g.get(), s.get(), t.get(), x.get(), modulus.get());
    if (g.IsZero() || !g.IsConstant()) throw std::logic_error("sin inverso módulo el factor");
    QPoly inverse;
    Q c(g.Coefficient(0));
    fmpq_poly_scalar_div_fmpq(inverse.get(), s.get(), c.get());
    return Remainder(inverse, modulus);
}

QPoly Monic(const QPoly& x) {
    QPoly r;
    if (!x.IsZero()) fmpq_poly_make_monic(r.get(), x.get());
    return r;
}

RationalFunction LowestTerms(const QPoly& n, const QPoly& d) {
    if (n.IsZero()) return {};
    const QPoly g = Gcd(n, d);
    const QPoly den = ExactQuotient(d, g);
    const mpq_class inverse = 1 / den.Coefficient(den.Degree());
    return {Scale(ExactQuotient(n, g), inverse).ToPolynomial(), Scale(den, inverse).ToPolynomial()};
}

QPoly PrimitivePositive(const QPoly& x) {
    QPoly r;
    if (!x.IsZero()) fmpq_poly_primitive_part(r.get(), x.get());
    return r;
}

QPoly Primitive(const QPoly& x) {
    QPoly r = PrimitivePositive(x);
    return x.LeadingSign() == r.LeadingSign() ? r : -r;
}

std::vector<QPoly> IrreducibleFactors(const QPoly& x) {
    std::vector<QPoly> factors;
    if (x.IsConstant()) return factors;
    ZPoly z;
    fmpq_poly_get_numerator(z.get(), x.get());
    fmpz_poly_factor_t fac;
    fmpz_poly_factor_init(fac);
    fmpz_poly_factor(fac, z.get());
    for (slong i = 0; i < fac->num; ++i) {
        QPoly f;
        fmpq_poly_set_fmpz_poly(f.get(), fac->p + i);
        factors.push_back(PrimitivePositive(f));
    }
    fmpz_poly_factor_clear(fac);
    return factors;
}

bool FactorBefore(const QPoly& f, const QPoly& g) {
    const bool fa = f.Degree() == 1 && sgn(f.Coefficient(0)) == 0;
    const bool ga = g.Degree() == 1 && sgn(g.Coefficient(0)) == 0;
    if (fa != ga) return fa;
    if (f.Degree() != g.Degree()) return f.Degree() < g.Degree();
    for (long k = f.Degree(); k >= 0; --k) {
        const int c = cmp(f.Coefficient(k), g.Coefficient(k));
        if (c != 0) return c < 0;
    }
    return false;
}

void CriticalCases(const std::vector<QPoly>& critical, std::vector<mpq_class>& values,
                   std::vector<QPoly>& factors) {
    std::vector<QPoly> all;
    for (const QPoly& p : critical)
        for (QPoly& f : IrreducibleFactors(p))
            if (std::find(all.begin(), all.end(), f) == all.end()) all.push_back(std::move(f));
    for (const QPoly& f : all) {
        if (f.Degree() == 1) {
            values.push_back(-f.Coefficient(0) / f.Coefficient(1));
        } else if (RealRootCount(f) > 0) {
            factors.push_back(f);
        }
    }
    std::sort(values.begin(), values.end());
    std::sort(factors.begin(), factors.end(), FactorBefore);
}

long RealRootCount(const QPoly& squareFree) {
    if (squareFree.IsConstant()) return 0;
    ZPoly z;
    fmpq_poly_get_numerator(z.get(), squareFree.get());
    return fmpz_poly_num_real_roots(z.get());
}

QPoly CharacteristicPolynomial(const std::vector<mpq_class>& cells, int n) {
    fmpq_mat_t a;
    fmpq_mat_init(a, n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            fmpq_set_mpq(fmpq_mat_entry(a, i, j),
                         cells[static_cast<std::size_t>(i * n + j)].get_mpq_t());
    QPoly p;
    fmpq_mat_charpoly(p.get(), a);
    fmpq_mat_clear(a);
    return p;
}

}  // namespace velmora::flint

namespace velmora {

FactoredPolynomial Factor(const Polynomial& p) {
    using flint::QPoly;
    const QPoly q(p);
    FactoredPolynomial r;
    flint::ZPoly z;
    fmpq_poly_get_numerator(z.get(), q.get());
    fmpz_poly_factor_t fac;
    fmpz_poly_factor_init(fac);
    fmpz_poly_factor(fac, z.get());
    mpz_class c;
    fmpz_get_mpz(c.get_mpz_t(), &fac->c);
    mpz_class den;
    fmpz_get_mpz(den.get_mpz_t(), fmpq_poly_denref(q.get()));
    r.content = mpq_class(c, den);
    r.content.canonicalize();
    std::vector<std::pair<QPoly, int>> factors;
    for (slong i = 0; i < fac->num; ++i) {
        QPoly f;
        fmpq_poly_set_fmpz_poly(f.get(), fac->p + i);
        const int e = static_cast<int>(fac->exp[i]);
        if (f.LeadingSign() < 0) {
            f = -f;
            if (e % 2 != 0) r.content = -r.content;
        }
        factors.emplace_back(std::move(f), e);
    }
    fmpz_poly_factor_clear(fac);
    std::sort(factors.begin(), factors.end(),
              [](const auto& x, const auto& y) { return flint::FactorBefore(x.first, y.first); });
    for (const auto& [f, e] : factors) r.factors.emplace_back(f.ToPolynomial(), e);
    return r;
}

}  // namespace velmora
