// A^n in closed form for a square matrix of numbers, with the pattern that
// gives it: periodic (A^k = I), nilpotent, λI + N with N nilpotent, A² = cA,
// or diagonalisable over the rationals. Each form is proved by induction
// (A^(n+1) = A·A^n, exactly, as expressions in n) before it is given. A
// record of numbers only: its wording is in power_text.h.
#pragma once

#include <gmpxx.h>

#include <vector>

#include "core/arith/polynomial.h"
#include "core/matrix/matrix.h"
#include "core/systems/general_solution.h"

namespace velmora {

// coefficient(n) · base^(n - shift), base != 0; a base 1 is not written.
struct PowerTerm {
    Polynomial coefficient;  // a polynomial in n
    mpq_class base;
    int shift = 0;
};
// An entry of A^n: the sum of its terms (none: 0).
using PowerEntry = std::vector<PowerTerm>;

enum class PowerPattern {
    Periodic,             // A^period = I: A^n = A^(n mod period)
    Nilpotent,            // A^period = 0
    ScalarPlusNilpotent,  // A = scalar·I + N, N^period = 0: the binomial expansion
    Proportional,         // A² = scalar·A: A^n = scalar^(n-1) A for n >= 1
    Diagonalisable,       // A = P D P^-1 with rational P, D
    None,                 // no closed form found
};

struct PowerForm {
    PowerPattern pattern = PowerPattern::None;
    RationalRows a;
    // The least k with A^k = I (Periodic), A^k = 0 (Nilpotent), N^k = 0
    // (ScalarPlusNilpotent).
    int period = 0;
    // Periodic, Nilpotent: A^0 .. A^period; ScalarPlusNilpotent: N^0 .. N^period.
    std::vector<RationalRows> table;
    mpq_class scalar;
    // ScalarPlusNilpotent, Proportional, Diagonalisable: the entries of A^n,
    // row after row, for every n >= from.
    std::vector<PowerEntry> entries;
    int from = 0;
    RationalRows p, d, pInverse;  // Diagonalisable
    // The form was proved: the table closes (A·A^(k-1) = I or 0), or the
    // entries give A^from and satisfy A·F(n) = F(n+1) identically in n.
    bool checked = false;
};

// A square, not empty; throws std::invalid_argument otherwise.
PowerForm ClosedPower(const Matrix& a);
PowerForm ClosedPower(const RationalRows& a);

// False when A^n has no 32-bit form for sure: the n-th power of one of its
// eigenvalues is already past it. Cheap, so asked before PowerAt for a large n.
bool PowerMayFit(const PowerForm& form, unsigned n);

// A^n as the form gives it (n >= 0; from the table, or the entries at n,
// or the identity for n < from).
RationalRows PowerAt(const PowerForm& form, unsigned n);

// PowerAt where every entry has a 32-bit form (the program's fractions);
// ArithmeticOverflow otherwise, before any large power is made.
RationalRows PowerAtWithin32Bits(const PowerForm& form, unsigned n);

}  // namespace velmora
