// Polynomials over the rationals on FLINT's fmpq_poly: the arithmetic of the
// discussion of a system with a parameter. Internal to the core: FLINT's
// headers define macros (ulong, slong) that other headers also use, so no
// public header includes this one.
#pragma once

#include <flint/fmpq_poly.h>
#include <gmpxx.h>

#include <vector>

#include "core/arith/polynomial.h"

namespace velmora::flint {

class QPoly {
  public:
    QPoly() { fmpq_poly_init(p_); }
    QPoly(long c) : QPoly() { fmpq_poly_set_si(p_, c); }  // NOLINT: numbers are polynomials
    explicit QPoly(const mpq_class& c);
    explicit QPoly(const Polynomial& p);
    QPoly(const QPoly& q) : QPoly() { fmpq_poly_set(p_, q.p_); }
    QPoly(QPoly&& q) noexcept : QPoly() { fmpq_poly_swap(p_, q.p_); }
    QPoly& operator=(const QPoly& q) {
        fmpq_poly_set(p_, q.p_);
        return *this;
    }
    QPoly& operator=(QPoly&& q) noexcept {
        fmpq_poly_swap(p_, q.p_);
        return *this;
    }
    ~QPoly() { fmpq_poly_clear(p_); }

    fmpq_poly_struct* get() { return p_; }
    const fmpq_poly_struct* get() const { return p_; }

    long Degree() const { return fmpq_poly_degree(p_); }
    bool IsZero() const { return fmpq_poly_is_zero(p_) != 0; }
    bool IsConstant() const { return fmpq_poly_degree(p_) <= 0; }
    bool IsOne() const { return fmpq_poly_is_one(p_) != 0; }
    int LeadingSign() const;
    mpq_class Coefficient(long k) const;
    mpq_class Evaluate(const mpq_class& a) const;
    // Bits of the largest integer of the polynomial's numerators and common
    // denominator: a measure of how large it is.
    std::size_t Bits() const;
    Polynomial ToPolynomial() const;

    friend QPoly operator+(const QPoly& x, const QPoly& y);
    friend QPoly operator-(const QPoly& x, const QPoly& y);
    friend QPoly operator*(const QPoly& x, const QPoly& y);
    friend QPoly operator-(const QPoly& x);
    friend bool operator==(const QPoly& x, const QPoly& y) {
        return fmpq_poly_equal(x.p_, y.p_) != 0;
    }

  private:
    fmpq_poly_t p_;
};

// x times the number c.
QPoly Scale(const QPoly& x, const mpq_class& c);
// x / y where y divides x exactly; throws std::logic_error otherwise.
QPoly ExactQuotient(const QPoly& x, const QPoly& y);
QPoly Remainder(const QPoly& x, const QPoly& modulus);
// The monic gcd (0 for two zeros).
QPoly Gcd(const QPoly& x, const QPoly& y);
// The inverse of x modulo an irreducible modulus (x not a multiple of it).
QPoly InverseModulo(const QPoly& x, const QPoly& modulus);
QPoly Monic(const QPoly& x);
// n / d (d non-zero) in lowest terms with a monic denominator.
RationalFunction LowestTerms(const QPoly& n, const QPoly& d);
// Integer coefficients with gcd 1 and a positive leading coefficient.
QPoly PrimitivePositive(const QPoly& x);
// x divided by the positive rational that leaves integer coefficients with
// gcd 1; the sign stays.
QPoly Primitive(const QPoly& x);

// The distinct irreducible factors over the rationals of a non-zero
// polynomial, each primitive with a positive leading coefficient
// (FLINT's factorisation over the integers of its primitive part).
std::vector<QPoly> IrreducibleFactors(const QPoly& x);
// The order of factors in a product as a teacher writes it: a itself first,
// then by degree, then by the coefficients from the highest down.
bool FactorBefore(const QPoly& f, const QPoly& g);
// The irreducible factors, without repeats, of the polynomials whose roots
// are critical: the linear ones as their roots, increasing; the others that
// have a real root, by FactorBefore.
void CriticalCases(const std::vector<QPoly>& critical, std::vector<mpq_class>& values,
                   std::vector<QPoly>& factors);
// The number of distinct real roots of a square-free polynomial.
long RealRootCount(const QPoly& squareFree);
// det(xI - A) of the n x n matrix A given row after row: monic, degree n.
QPoly CharacteristicPolynomial(const std::vector<mpq_class>& cells, int n);

}  // namespace velmora::flint
