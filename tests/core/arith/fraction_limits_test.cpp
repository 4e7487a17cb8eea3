// Fraction arithmetic at the edges of 32 bits, checked against GMP rationals.
//
// The rule under test: an operation returns the exact result in normal form
// whenever that result has a 32-bit numerator and denominator, and throws
// ArithmeticOverflow (output untouched) exactly when it has not. Intermediate
// 32-bit steps wrapping is no excuse either way.
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/arith/fraction.h"

namespace velmora {
namespace {

constexpr int32_t kMax = 2147483647;          // 2^31 - 1, a prime
constexpr int32_t kMin = -2147483647 - 1;     // -2^31
constexpr int32_t k2p16 = 65536;

enum class Op { kAdd, kSub, kMul, kDiv, kMulInt };

const char* OpName(Op op) {
    switch (op) {
        case Op::kAdd: return "+";
        case Op::kSub: return "-";
        case Op::kMul: return "*";
        case Op::kDiv: return "/";
        case Op::kMulInt: return "MulInt";
    }
    return "?";
}

std::string Show(Fraction f) { return std::to_string(f.num) + "/" + std::to_string(f.den); }

mpq_class ToQ(Fraction f) {
    mpq_class q(mpz_class(f.num), mpz_class(f.den));
    q.canonicalize();
    return q;
}

// The exact result as a normal-form Fraction, or nothing when it does not fit.
std::optional<Fraction> Narrow(const mpq_class& q) {
    const mpz_class& n = q.get_num();
    const mpz_class& d = q.get_den();
    if (n < kMin || n > kMax || d > kMax) return std::nullopt;
    return Fraction(static_cast<int32_t>(n.get_si()), static_cast<int32_t>(d.get_si()));
}

mpq_class Exact(Op op, Fraction a, Fraction b) {
    switch (op) {
        case Op::kAdd: return ToQ(a) + ToQ(b);
        case Op::kSub: return ToQ(a) - ToQ(b);
        case Op::kMul: return ToQ(a) * ToQ(b);
        case Op::kDiv: return ToQ(a) / ToQ(b);
        case Op::kMulInt: return ToQ(a) * mpq_class(b.num);
    }
    return 0;
}

// Runs the core's operation; for MulInt, b.num is the integer factor.
void Run(Op op, Fraction a, Fraction b, Fraction& r) {
    switch (op) {
        case Op::kAdd: FracAdd(a, b, r); return;
        case Op::kSub: FracSub(a, b, r); return;
        case Op::kMul: FracMul(a, b, r); return;
        case Op::kDiv: FracDiv(a, b, r); return;
        case Op::kMulInt: r = a; r.MulInt(b.num); return;
    }
}

// What the core did: a value, or an overflow report.
struct Outcome {
    bool overflow = false;
    Fraction value;
};

Outcome RunCore(Op op, Fraction a, Fraction b) {
    const Fraction sentinel(-77, 13);
    Fraction r = sentinel;
    Fraction m = a;  // MulInt works in place: its own sentinel is a
    try {
        if (op == Op::kMulInt) {
            m.MulInt(b.num);
            return {false, m};
        }
        Run(op, a, b, r);
        return {false, r};
    } catch (const ArithmeticOverflow&) {
        if (op == Op::kMulInt) {
            EXPECT_EQ(m, a) << "MulInt changed the fraction before throwing";
        } else {
            EXPECT_EQ(r, sentinel) << "output written before throwing";
        }
        return {true, {}};
    }
}

// Compares the core with GMP for one input; returns true when they agree.
bool AgreesWithGmp(Op op, Fraction a, Fraction b) {
    const std::optional<Fraction> want = Narrow(Exact(op, a, b));
    const Outcome got = RunCore(op, a, b);
    const std::string what = Show(a) + " " + OpName(op) + " " + Show(b);
    if (!want) {
        EXPECT_TRUE(got.overflow) << what << ": exact result does not fit, core returned "
                                  << Show(got.value);
        return got.overflow;
    }
    EXPECT_FALSE(got.overflow) << what << ": core reported overflow, exact result is "
                               << Show(*want);
    if (got.overflow) return false;
    EXPECT_EQ(got.value, *want) << what << ": core " << Show(got.value) << ", exact "
                                << Show(*want);
    // Writing over an operand must not change the answer.
    if (op != Op::kMulInt) {
        Fraction alias = a;
        Run(op, alias, b, alias);
        EXPECT_EQ(alias, *want) << what << " with the result written over the first operand";
    }
    return got.value == *want;
}

// --- hand-picked cases, each with the result worked out by hand ---

struct LimitCase {
    Op op;
    Fraction a;
    Fraction b;  // for MulInt: b.num is the factor
    std::optional<Fraction> want;  // nothing: must throw ArithmeticOverflow
    const char* why;
};

constexpr std::nullopt_t kOverflow = std::nullopt;

const LimitCase kLimitCases[] = {
    // Sums
    {Op::kAdd, {1, kMax}, {1, kMax - 1}, kOverflow, "denominator M(M-1)"},
    {Op::kAdd, {kMax - 1, kMax}, {1, kMax}, Fraction(1), "shared prime denominator"},
    {Op::kAdd, {1, 2}, {kMax, 2}, Fraction(1073741824), "32-bit numerator sum wraps, 2^31/2 fits"},
    {Op::kAdd, {kMax, 1}, {1, 1}, kOverflow, "2^31"},
    {Op::kAdd, {-kMax, 1}, {-1, 1}, Fraction(kMin), "-2^31 is representable"},
    {Op::kAdd, {kMin, 1}, {-1, 1}, kOverflow, "-2^31 - 1"},
    {Op::kAdd, {kMax, 1}, {kMin, 1}, Fraction(-1), "extremes cancel"},
    {Op::kAdd, {1, k2p16}, {1, k2p16 + 1}, kOverflow, "denominator 2^16(2^16+1) > 2^31"},
    {Op::kAdd, {1, 46340}, {1, 46341}, Fraction(92681, 2147441940), "denominator just below 2^31"},
    {Op::kAdd, {1, 805306368}, {1, 1342177280}, Fraction(1, 503316480),
     "lcm 15*2^28 exceeds 32 bits, the sum reduces back"},
    {Op::kAdd, {1, 805306368}, {2, 1342177280}, kOverflow, "same lcm, 11/(15*2^28) stays"},
    {Op::kAdd, {1, k2p16}, {-1, k2p16}, Fraction(0), "zero is 0/1"},
    {Op::kAdd, {kMin, kMax}, {kMax, kMax}, Fraction(-1, kMax), "numerators -2^31 + 2^31-1"},
    // Differences
    {Op::kSub, {0, 1}, {kMin, 1}, kOverflow, "-(-2^31)"},
    {Op::kSub, {-1, 1}, {kMax, 1}, Fraction(kMin), "reaches -2^31 exactly"},
    {Op::kSub, {1, 805306368}, {1, 1342177280}, Fraction(1, 2013265920),
     "lcm exceeds 32 bits, reduces to a denominator near 2^31"},
    {Op::kSub, {kMax, kMax - 1}, {kMax, kMax - 1}, Fraction(0), "x - x"},
    {Op::kSub, {1, kMax}, {1, kMax - 1}, kOverflow, "-1/(M(M-1))"},
    {Op::kSub, {kMax, 2}, {-1, 2}, Fraction(1073741824), "numerator difference wraps"},
    // Products
    {Op::kMul, {k2p16, 1}, {32768, 1}, kOverflow, "2^31"},
    {Op::kMul, {-k2p16, 1}, {32768, 1}, Fraction(kMin), "-2^31"},
    {Op::kMul, {k2p16, k2p16 + 1}, {k2p16 + 1, k2p16}, Fraction(1), "cross cancellation"},
    {Op::kMul, {kMax, 2}, {2, kMax}, Fraction(1), "cross cancellation of the prime"},
    {Op::kMul, {kMax, 1}, {kMax, 1}, kOverflow, "M^2"},
    {Op::kMul, {1, kMax}, {1, kMax}, kOverflow, "1/M^2"},
    {Op::kMul, {46341, 1}, {46341, 1}, kOverflow, "46341^2 > 2^31 - 1"},
    {Op::kMul, {46340, 1}, {46340, 1}, Fraction(2147395600), "46340^2 fits"},
    {Op::kMul, {kMin, 1}, {-1, 1}, kOverflow, "-(-2^31)"},
    {Op::kMul, {kMin, 1}, {1, 2}, Fraction(-1073741824), "halving -2^31"},
    {Op::kMul, {kMin, 3}, {3, 2}, Fraction(-1073741824), "-2^31/3 * 3/2"},
    {Op::kMul, {kMin, 3}, {-1, 1}, kOverflow, "2^31/3"},
    {Op::kMul, {1, k2p16}, {1, 32768}, kOverflow, "denominator 2^31"},
    {Op::kMul, {1, k2p16}, {-1, 32768}, kOverflow, "-1/2^31: the sign does not help a denominator"},
    {Op::kMul, {1, k2p16}, {1, 32767}, Fraction(1, 2147418112), "denominator just fits"},
    {Op::kMul, {0, 1}, {kMin, kMax}, Fraction(0), "zero times anything is 0/1"},
    // Quotients
    {Op::kDiv, {1, 1}, {kMin, 1}, kOverflow, "-1/2^31"},
    {Op::kDiv, {kMin, 1}, {-1, 1}, kOverflow, "2^31"},
    {Op::kDiv, {kMin, 1}, {1, 1}, Fraction(kMin), "-2^31 / 1"},
    {Op::kDiv, {kMin, 1}, {2, 1}, Fraction(-1073741824), "-2^31 / 2"},
    {Op::kDiv, {kMin, 1}, {kMin, 1}, Fraction(1), "-2^31 / -2^31"},
    {Op::kDiv, {1, kMax}, {kMax, 1}, kOverflow, "1/M^2"},
    {Op::kDiv, {kMax, 1}, {kMax, 1}, Fraction(1), "M / M"},
    {Op::kDiv, {2, 3}, {-4, 9}, Fraction(-3, 2), "negative divisor"},
    {Op::kDiv, {kMax, 2}, {kMax, 4}, Fraction(2), "products 2M and 4M wrap, quotient 2"},
    {Op::kDiv, {k2p16, 1}, {1, 32768}, kOverflow, "2^31"},
    {Op::kDiv, {-k2p16, 1}, {1, 32768}, Fraction(kMin), "-2^31"},
    {Op::kDiv, {1, k2p16}, {-32768, 1}, kOverflow, "-1/2^31"},
    {Op::kDiv, {0, 1}, {kMin, 1}, Fraction(0), "zero divided by -2^31"},
    // Multiplication by an integer
    {Op::kMulInt, {1, 1}, {kMin, 1}, Fraction(kMin), "1 * -2^31"},
    {Op::kMulInt, {-1, 1}, {kMin, 1}, kOverflow, "-1 * -2^31"},
    {Op::kMulInt, {kMin, 1}, {-1, 1}, kOverflow, "-2^31 * -1"},
    {Op::kMulInt, {kMax, 2}, {2, 1}, Fraction(kMax), "cancels the denominator"},
    {Op::kMulInt, {kMax, 2}, {4, 1}, kOverflow, "2M"},
    {Op::kMulInt, {1, kMax}, {kMax, 1}, Fraction(1), "M/M"},
    {Op::kMulInt, {3, kMax}, {-kMax, 1}, Fraction(-3), "-3M/M"},
    {Op::kMulInt, {kMin, 3}, {3, 1}, Fraction(kMin), "back to -2^31"},
    {Op::kMulInt, {kMin, 3}, {-3, 1}, kOverflow, "2^31"},
    {Op::kMulInt, {k2p16, k2p16 + 1}, {32768, 1}, kOverflow, "2^31/(2^16+1)"},
    {Op::kMulInt, {-k2p16, k2p16 + 1}, {32768, 1}, Fraction(kMin, k2p16 + 1), "-2^31/(2^16+1)"},
    {Op::kMulInt, {kMax, kMax - 1}, {0, 1}, Fraction(0), "times zero is 0/1"},
    {Op::kMulInt, {1, k2p16}, {-k2p16, 1}, Fraction(-1), "-2^16/2^16"},
};

TEST(FractionLimitsTest, HandPickedCases) {
    for (const LimitCase& c : kLimitCases) {
        SCOPED_TRACE(std::string(c.why) + ": " + Show(c.a) + " " + OpName(c.op) + " " +
                     Show(c.b));
        // The table is checked against GMP first, so a slip in it shows up as such.
        ASSERT_EQ(Narrow(Exact(c.op, c.a, c.b)), c.want) << "table entry is wrong";
        const Outcome got = RunCore(c.op, c.a, c.b);
        if (!c.want) {
            EXPECT_TRUE(got.overflow) << "core returned " << Show(got.value);
        } else {
            EXPECT_FALSE(got.overflow);
            if (!got.overflow) {
                EXPECT_EQ(got.value, *c.want) << "core returned " << Show(got.value);
            }
        }
    }
}

TEST(FractionLimitsTest, DivisionByZeroIsRefusedNotOverflow) {
    for (Fraction a : {Fraction(0), Fraction(1), Fraction(kMin), Fraction(kMax, 2)}) {
        Fraction r(5, 7);
        EXPECT_THROW(FracDiv(a, Fraction(0), r), DivisionByZero) << Show(a);
        EXPECT_EQ(r, Fraction(5, 7));
    }
}

struct NormalizeCase {
    Fraction in;
    std::optional<Fraction> want;
};

TEST(FractionLimitsTest, NormalizeAtTheEdges) {
    const NormalizeCase cases[] = {
        {{kMin, -1}, kOverflow},          // 2^31
        {{kMin, 2}, Fraction(-1073741824)},
        {{kMin, kMin}, Fraction(1)},      // gcd 2^31, both become -1
        {{2, kMin}, Fraction(-1, 1073741824)},
        {{1, kMin}, kOverflow},           // -1/2^31
        {{-1, kMin}, kOverflow},          // 1/2^31
        {{kMax, -kMax}, Fraction(-1)},
        {{4, -8}, Fraction(-1, 2)},
        {{0, -5}, Fraction(0)},
        {{0, kMin}, Fraction(0)},
        {{7, 0}, Fraction(1, 0)},         // outside the arithmetic, but defined
        {{-7, 0}, Fraction(-1, 0)},
    };
    for (const NormalizeCase& c : cases) {
        SCOPED_TRACE(Show(c.in));
        Fraction f = c.in;
        if (!c.want) {
            EXPECT_THROW(f.Normalize(), ArithmeticOverflow);
            EXPECT_EQ(f, c.in) << "changed before throwing";
        } else {
            f.Normalize();
            EXPECT_EQ(f, *c.want) << "got " << Show(f);
        }
    }
}

struct GcdCase {
    int64_t a, b, gcd, lcm;
};

TEST(FractionLimitsTest, GcdAndLcmOfExtremes) {
    const GcdCase cases[] = {
        {kMin, 0, 2147483648LL, 0},
        {kMin, kMin, 2147483648LL, 2147483648LL},
        {kMin, 6, 2, 6442450944LL},
        {kMax, kMax - 1, 1, 4611686011984936962LL},
        {kMin, kMax, 1, 4611686016279904256LL},
        {-12, 18, 6, 36},
        {-4, 6, 2, 12},
    };
    for (const GcdCase& c : cases) {
        EXPECT_EQ(Gcd(c.a, c.b), c.gcd) << c.a << ", " << c.b;
        EXPECT_EQ(Gcd(c.b, c.a), c.gcd) << c.b << ", " << c.a;
        if (c.lcm != 0) {
            EXPECT_EQ(Lcm(c.a, c.b), c.lcm) << c.a << ", " << c.b;
        }
    }
}

// --- random inputs concentrated near the limits ---

class NearLimits {
public:
    explicit NearLimits(uint32_t seed) : gen_(seed) {}

    // A magnitude that often sits at or next to a limit, sometimes anywhere.
    int64_t Magnitude() {
        static const int64_t kPool[] = {1,          2,          3,          7,
                                        46340,      46341,      65535,      65536,
                                        65537,      32768,      1073741823, 1073741824,
                                        2147483646, 2147483647, 2147483648LL, 805306368,
                                        1342177280, 2013265920};
        switch (Below(4)) {
            case 0: return kPool[Below(std::size(kPool))];
            case 1: return kPool[Below(std::size(kPool))] - Below(3);  // near a pool value
            case 2: return 1 + Below(1000);
            default: return 1 + Below(2147483648u);
        }
    }

    int32_t Numerator() {
        const int64_t m = Magnitude();
        if (Below(2) == 0 && m <= kMax) return static_cast<int32_t>(m);
        return static_cast<int32_t>(-m);  // -2^31 only on this side
    }
    int32_t Denominator() {
        const int64_t m = Magnitude();
        return static_cast<int32_t>(std::clamp<int64_t>(m, 1, kMax));
    }
    // A fraction in normal form (reducing only shrinks, so it always fits).
    Fraction Any() {
        if (Below(10) == 0) return Fraction(0);
        return *Narrow(mpq_class(Numerator()) / mpq_class(Denominator()));
    }
    // b shares a large factor with a's denominator, so sums reduce a lot.
    Fraction Related(Fraction a) {
        const int32_t k = 1 + static_cast<int32_t>(Below(12));
        mpq_class q = mpq_class(Numerator()) / (mpz_class(a.den) * (Below(2) ? k : 1));
        if (Below(3) == 0) q = mpq_class(mpz_class(Numerator())) - ToQ(a);  // sum near an integer
        if (auto f = Narrow(q)) return *f;
        return Any();
    }
    uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(gen_); }

private:
    std::mt19937 gen_;
};

TEST(FractionLimitsTest, RandomOperandsAgreeWithGmp) {
    NearLimits draw(20261207);
    const Op ops[] = {Op::kAdd, Op::kSub, Op::kMul, Op::kDiv, Op::kMulInt};
    int fits = 0, overflows = 0, disagreements = 0;
    for (int i = 0; i < 200000 && disagreements < 20; ++i) {
        const Op op = ops[i % 5];
        const Fraction a = draw.Any();
        Fraction b = draw.Below(2) ? draw.Related(a) : draw.Any();
        if (op == Op::kMulInt) b = Fraction(draw.Numerator());
        if (op == Op::kDiv && b.IsZero()) b = Fraction(1);
        const bool fit = Narrow(Exact(op, a, b)).has_value();
        (fit ? fits : overflows)++;
        if (!AgreesWithGmp(op, a, b)) ++disagreements;
    }
    // Both outcomes must be well represented, or the draw is not testing the limits.
    EXPECT_GT(fits, 40000);
    EXPECT_GT(overflows, 20000);
}

}  // namespace
}  // namespace velmora
