#include "core/arith/rational.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "support/rationals.h"

namespace velmora {
namespace {

using test::Q;

TEST(NarrowRationalTest, ThirtyTwoBitsOnly) {
    Fraction f(7);
    EXPECT_TRUE(NarrowRational(Q("-2147483648/2147483647"), f));
    EXPECT_EQ(f, Fraction(INT32_MIN, 2147483647));
    EXPECT_FALSE(NarrowRational(Q("2147483648"), f));
    EXPECT_FALSE(NarrowRational(Q("1/2147483648"), f));
    EXPECT_EQ(f, Fraction(INT32_MIN, 2147483647)) << "untouched";
    EXPECT_EQ(ToRational(Fraction(INT32_MIN)), Q("-2147483648"));
    EXPECT_EQ(ToRational(Fraction(3, -6)), Q("-1/2"));
}

// A fraction and its rational are written alike, and the text reads back.
TEST(RationalTextTest, AsTheProgramWritesEveryFraction) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int32_t> small(-9, 9);
    for (int k = 0; k < 2000; ++k) {
        Fraction f(k % 2 ? small(random) : any(random), k % 3 ? small(random) : any(random));
        if (f.den == 0) continue;
        try {
            f.Normalize();
        } catch (const ArithmeticOverflow&) {
            continue;  // -2147483648/-1 has no normal form
        }
        const mpq_class q = ToRational(f);
        EXPECT_EQ(RationalText(q), f.ToText());
        EXPECT_EQ(Q(RationalText(q).c_str()), q);
        Fraction back;
        ASSERT_TRUE(NarrowRational(q, back));
        EXPECT_EQ(back, f);
    }
    EXPECT_EQ(RationalText(Q("-36893488147419103232/3")), "-36893488147419103232/3");
}

}  // namespace
}  // namespace velmora
