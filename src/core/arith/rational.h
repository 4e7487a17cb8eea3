// Exact rationals (GMP's mpq_class) beside the 32-bit Fraction: the way
// between them and their text, for the computations that run wider than 32
// bits (the exact paths, general solutions, the discussion).
#pragma once

#include <gmpxx.h>

#include <string>

#include "core/arith/fraction.h"

namespace velmora {

// f exactly, in lowest terms; throws DivisionByZero for a denominator 0.
mpq_class ToRational(Fraction f);
// False, `out` untouched, when q has no 32-bit numerator or denominator.
bool NarrowRational(const mpq_class& q, Fraction& out);
// "-3/4", "5", "0": a number as the program writes every fraction, of any size.
std::string RationalText(const mpq_class& q);

}  // namespace velmora
