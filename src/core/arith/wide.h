// 128-bit helpers behind the exact arithmetic. Internal to the engine.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "core/arith/fraction.h"

namespace velmora::wide {

__extension__ typedef __int128 Int;
__extension__ typedef unsigned __int128 UInt;

// The gcds of the numbers below kSmallGcd, the most common case (entries
// and denominators as people type them, and a number reduced modulo one of
// them): one look-up, no loop to mispredict. gcd(a, b) is at
// a * kSmallGcd + b. Worked out when the program is compiled (wide.cpp).
inline constexpr int kSmallGcd = 256;
extern const std::array<uint8_t, kSmallGcd * kSmallGcd> kSmallGcds;

// The binary method. The loop has no branch that depends on the values: the
// smaller of the two stays, the other becomes their difference (its trailing
// zeros, those of the difference, shifted out next), all by conditional
// moves; a gcd of small numbers is a handful of cycles.
inline uint64_t Gcd64(uint64_t a, uint64_t b) {
    if ((a | b) < kSmallGcd) return kSmallGcds[a * kSmallGcd + b];
    if (a == 0) return b;
    if (b == 0) return a;
    // One small: Euclid's step, one division, brings the other below it.
    if (a < kSmallGcd) return kSmallGcds[a * kSmallGcd + b % a];
    if (b < kSmallGcd) return kSmallGcds[b * kSmallGcd + a % b];
    int az = __builtin_ctzll(a);
    const int bz = __builtin_ctzll(b);
    const int shift = az < bz ? az : bz;
    b >>= bz;
    while (a != 0) {
        a >>= az;
        const uint64_t diff = b - a;  // ctz(b - a) = ctz(a - b); the top bit keeps 0 out
        az = __builtin_ctzll(diff | uint64_t(1) << 63);
        const uint64_t low = a < b ? a : b;
        a = a < b ? diff : a - b;
        b = low;
    }
    return b << shift;
}

inline uint64_t Magnitude64(int64_t v) { return v < 0 ? 0 - uint64_t(v) : uint64_t(v); }

// The inverse of an odd number modulo 2^64: (3 * odd) ^ 2 is right in its
// low 5 bits, and each of Newton's steps doubles them.
constexpr uint64_t OddInverse(uint64_t odd) {
    uint64_t x = (3 * odd) ^ 2;
    for (int i = 0; i < 4; ++i) x *= 2 - odd * x;
    return x;
}

// The inverses of the odd numbers below kSmallGcd, (2k + 1)'s at k (wide.cpp).
extern const std::array<uint64_t, kSmallGcd / 2> kOddInverses;

// v / d for every v that d divides, by one multiplication: the odd part of d
// has an inverse modulo 2^64, and an exact quotient is the product of v
// (shifted by the trailing zeros of d) with that inverse. A division is
// slow (tens of cycles); a small divisor's inverse is looked up, a larger
// one's worked out. d != 0; a quotient must fit in 64 bits.
class ExactDivisor {
  public:
    explicit ExactDivisor(int64_t d) : ExactDivisor(Magnitude64(d), d < 0) {}
    ExactDivisor(uint64_t magnitude, bool negative) {
        shift_ = __builtin_ctzll(magnitude);
        const uint64_t odd = magnitude >> shift_;
        const uint64_t x = odd < kSmallGcd ? kOddInverses[odd / 2] : OddInverse(odd);
        inverse_ = negative ? 0 - x : x;
    }
    int64_t operator()(int64_t v) const {
        return static_cast<int64_t>(static_cast<uint64_t>(v >> shift_) * inverse_);
    }
    uint64_t operator()(uint64_t v) const { return (v >> shift_) * inverse_; }

  private:
    int shift_;
    uint64_t inverse_;
};

// v / d where d > 0 divides v.
inline int64_t DivideExact(int64_t v, uint64_t d) {
    return ExactDivisor(d, false)(v);
}

inline UInt Gcd(UInt a, UInt b) {
    // Euclid until both fit in 64 bits, then the binary method.
    while ((a >> 64) != 0 || (b >> 64) != 0) {
        if (b == 0) return a;
        const UInt r = a % b;
        a = b;
        b = r;
    }
    return Gcd64(static_cast<uint64_t>(a), static_cast<uint64_t>(b));
}

inline UInt Magnitude(Int v) { return v < 0 ? UInt(0) - UInt(v) : UInt(v); }

// n / d where d divides n; 64-bit division where both fit.
inline Int ExactQuotient(Int n, UInt d) {
    if (n == int64_t(n) && d <= UInt(INT64_MAX)) return int64_t(n) / int64_t(d);
    return n / Int(d);
}

// n/d (d > 0, n != 0) in lowest terms, in 64-bit words where both fit.
inline void LowestTerms(Int& n, Int& d) {
    if (n == int64_t(n) && d == int64_t(d)) {
        const uint64_t g = Gcd64(Magnitude64(int64_t(n)), uint64_t(d));
        if (g > 1) {
            n = int64_t(n) / int64_t(g);
            d = int64_t(d) / int64_t(g);
        }
        return;
    }
    const UInt g = Gcd(Magnitude(n), UInt(d));
    if (g > 1) {
        n /= Int(g);
        d /= Int(g);
    }
}

inline bool FitsInt32(Int v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

// n/d in normal form; d != 0 and |n|, |d| < 2^127. Throws ArithmeticOverflow
// when the reduced value has no 32-bit form.
inline Fraction Reduce64(int64_t n, int64_t d);

inline Fraction Reduce(Int n, Int d) {
    if (n == int64_t(n) && d == int64_t(d)) return Reduce64(int64_t(n), int64_t(d));
    if (d == 0) throw DivisionByZero();
    if (n == 0) return Fraction(0, 1);
    if (d < 0) {
        n = -n;
        d = -d;
    }
    const UInt g = Gcd(Magnitude(n), UInt(d));
    if (g > 1) {
        n /= Int(g);
        d /= Int(g);
    }
    if (!FitsInt32(n) || d > std::numeric_limits<int32_t>::max()) throw ArithmeticOverflow();
    return Fraction(static_cast<int32_t>(n), static_cast<int32_t>(d));
}

// The same for values that fit in 64 bits (products of two 32-bit values).
inline Fraction Reduce64(int64_t n, int64_t d) {
    if (d == 0) throw DivisionByZero();
    if (n == 0) return Fraction(0, 1);
    uint64_t an = Magnitude64(n);
    uint64_t ad = Magnitude64(d);
    if (ad != 1) {
        const uint64_t g = Gcd64(an, ad);
        if (g > 1) {
            const ExactDivisor divide(g, false);
            an = divide(an);
            ad = divide(ad);
        }
    }
    const bool negative = (n < 0) != (d < 0);
    const uint64_t limit = negative ? 2147483648u : 2147483647u;
    if (an > limit || ad > 2147483647u) throw ArithmeticOverflow();
    const int64_t sn = negative ? -int64_t(an) : int64_t(an);
    return Fraction(static_cast<int32_t>(sn), static_cast<int32_t>(ad));
}

// An exact rational with 128-bit parts, kept reduced: the accumulator of sums
// whose partial values may leave 32 bits although the total does not.
struct Rational {
    Int n = 0;
    Int d = 1;

    static Rational Of(Fraction f) { return Rational{f.num, f.den}; }

    // this += pn / pd (pd > 0). Throws ArithmeticOverflow past 127 bits.
    void Add(Int pn, Int pd) {
        if (pd == 0) throw DivisionByZero();
        if (pd < 0) {
            pn = -pn;
            pd = -pd;
        }
        if (pd == d) {
            if (__builtin_add_overflow(n, pn, &n)) throw ArithmeticOverflow();
        } else {
            Int a, b, c;
            if (__builtin_mul_overflow(n, pd, &a) || __builtin_mul_overflow(pn, d, &b) ||
                __builtin_add_overflow(a, b, &c) || __builtin_mul_overflow(d, pd, &d)) {
                throw ArithmeticOverflow();
            }
            n = c;
        }
        Normalise();
    }
    void Normalise() {
        if (n == 0) {
            d = 1;
            return;
        }
        if (d == 1) return;
        const UInt g = Gcd(Magnitude(n), UInt(d));
        if (g > 1) {
            n /= Int(g);
            d /= Int(g);
        }
    }
    // this *= pn / pd (pd > 0). Throws ArithmeticOverflow past 127 bits.
    void Mul(Int pn, Int pd) {
        if (__builtin_mul_overflow(n, pn, &n) || __builtin_mul_overflow(d, pd, &d)) {
            throw ArithmeticOverflow();
        }
        Normalise();
    }
    Fraction Narrow() const { return Reduce(n, d); }
};

}  // namespace velmora::wide
