#include <gtest/gtest.h>

#include <climits>

#include "core/arith/fraction.h"

namespace velmora {
namespace {

TEST(FractionTest, NormalizeTable) {
    struct Case {
        Fraction in, out;
    } cases[] = {
        {{2, 4}, {1, 2}}, {{3, -6}, {-1, 2}}, {{0, 7}, {0, 1}}, {{-4, -8}, {1, 2}},
        {{5, 0}, {1, 0}}, {{-5, 0}, {-1, 0}}, {{0, 0}, {0, 1}}, {{INT_MIN, 2}, {INT_MIN / 2, 1}},
        {{INT_MIN, 1}, {INT_MIN, 1}},
    };
    for (const Case& c : cases) {
        Fraction f = c.in;
        f.Normalize();
        EXPECT_EQ(f, c.out) << c.in.num << "/" << c.in.den;
    }
}

TEST(FractionTest, NormalizeCatchesTheNegationOfTheSmallestInteger) {
    // -2147483648 has no positive partner: moving the sign must not wrap.
    Fraction f(INT_MIN, -1);
    EXPECT_THROW(f.Normalize(), ArithmeticOverflow);
    EXPECT_EQ(f, Fraction(INT_MIN, -1));
    Fraction g(1, INT_MIN);
    EXPECT_THROW(g.Normalize(), ArithmeticOverflow);
}

enum class Op { Add, Sub, Mul, Div };

TEST(FractionTest, ArithmeticTable) {
    struct Case {
        Op op;
        Fraction a, b, r;
    } cases[] = {
        {Op::Add, {1, 2}, {1, 3}, {5, 6}},
        {Op::Add, {1, 6}, {1, 10}, {4, 15}},
        {Op::Add, {1, 2}, {-1, 2}, {0, 1}},
        {Op::Sub, {1, 2}, {1, 2}, {0, 1}},
        {Op::Mul, {2, 3}, {9, 4}, {3, 2}},
        {Op::Mul, {0, 1}, {5, 7}, {0, 1}},
        {Op::Div, {1, 2}, {-3, 4}, {-2, 3}},
        // Inputs not in normal form (as the reader leaves them) still give normal results.
        {Op::Add, {2, 4}, {3, -6}, {0, 1}},
        {Op::Mul, {3, -4}, {-8, 6}, {1, 1}},
        // Exact intermediates: these wrap in 32 bits but the results fit.
        {Op::Add, {INT_MAX, 2}, {INT_MAX, 2}, {INT_MAX, 1}},
        {Op::Sub, {INT_MIN, 3}, {INT_MIN, 3}, {0, 1}},
        {Op::Mul, {65536, 65537}, {65537, 65536}, {1, 1}},
        {Op::Add, {1, 2147483646}, {1, 2147483646}, {1, 1073741823}},
        {Op::Div, {INT_MIN, 1}, {INT_MIN, 1}, {1, 1}},
        {Op::Div, {INT_MIN, 1}, {2, 1}, {-1073741824, 1}},
    };
    for (const Case& c : cases) {
        Fraction r(99, 98);
        switch (c.op) {
            case Op::Add: FracAdd(c.a, c.b, r); break;
            case Op::Sub: FracSub(c.a, c.b, r); break;
            case Op::Mul: FracMul(c.a, c.b, r); break;
            case Op::Div: FracDiv(c.a, c.b, r); break;
        }
        EXPECT_EQ(r, c.r) << int(c.op) << ": " << c.a.ToText() << " , " << c.b.ToText();
        EXPECT_TRUE(r.IsNormal());
    }
}

TEST(FractionTest, OverflowIsSignalledAndLeavesTheOutput) {
    struct Case {
        Op op;
        Fraction a, b;
    } cases[] = {
        {Op::Add, {INT_MAX, 1}, {1, 1}},
        {Op::Sub, {INT_MIN, 1}, {1, 1}},
        {Op::Mul, {65536, 1}, {32768, 1}},
        {Op::Add, {1, 2147483647}, {1, 2147483646}},
        {Op::Div, {INT_MIN, 1}, {-1, 1}},
        {Op::Mul, {1, 65536}, {1, 32768}},
    };
    for (const Case& c : cases) {
        Fraction r(7, 3);
        switch (c.op) {
            case Op::Add: EXPECT_THROW(FracAdd(c.a, c.b, r), ArithmeticOverflow); break;
            case Op::Sub: EXPECT_THROW(FracSub(c.a, c.b, r), ArithmeticOverflow); break;
            case Op::Mul: EXPECT_THROW(FracMul(c.a, c.b, r), ArithmeticOverflow); break;
            case Op::Div: EXPECT_THROW(FracDiv(c.a, c.b, r), ArithmeticOverflow); break;
        }
        EXPECT_EQ(r, Fraction(7, 3));
    }
}

TEST(FractionTest, ResultMayBeAnOperand) {
    Fraction a(1, 2);
    FracAdd(a, Fraction(1, 3), a);
    EXPECT_EQ(a, Fraction(5, 6));
    FracMul(a, a, a);
    EXPECT_EQ(a, Fraction(25, 36));
}

TEST(FractionTest, ZeroDenominatorsNeverEnterArithmetic) {
    Fraction r;
    EXPECT_THROW(FracAdd(Fraction(1, 0), Fraction(1), r), DivisionByZero);
    EXPECT_THROW(FracDiv(Fraction(1), Fraction(0), r), DivisionByZero);
    EXPECT_TRUE(Fraction(1, 0).HasZeroDenominator());
}

TEST(FractionTest, MulInt) {
    Fraction f(3, 4);
    f.MulInt(2);
    EXPECT_EQ(f, Fraction(3, 2));
    f.MulInt(0);
    EXPECT_EQ(f, Fraction(0, 1));
    Fraction big(INT_MAX, 2);
    EXPECT_THROW(big.MulInt(4), ArithmeticOverflow);
    big.MulInt(2);
    EXPECT_EQ(big, Fraction(INT_MAX, 1));
}

TEST(FractionTest, IntegerFunctions) {
    EXPECT_EQ(Gcd(0, 0), 0);
    EXPECT_EQ(Gcd(-12, 18), 6);
    EXPECT_EQ(Gcd(7, 0), 7);
    EXPECT_EQ(Gcd(INT_MIN, 0), 2147483648LL);
    EXPECT_EQ(Lcm(4, 6), 12);
    EXPECT_EQ(Lcm(-4, 6), 12);
    EXPECT_EQ(Lcm(INT_MAX, INT_MAX - 1), int64_t(INT_MAX) * (INT_MAX - 1));
    EXPECT_EQ(CofactorSign(1, 1), 1);
    EXPECT_EQ(CofactorSign(1, 2), -1);
    EXPECT_EQ(CofactorSign(2, 3), -1);
    EXPECT_DOUBLE_EQ(static_cast<double>(Fraction(-3, 4).ToReal()), -0.75);
}

TEST(FractionTest, ToText) {
    struct Case {
        Fraction f;
        const char* text;
    } cases[] = {{{5, 1}, "5"}, {{-3, 4}, "-3/4"}, {{0, 1}, "0"}, {{0, 6}, "0"},
                 {{7, 2}, "7/2"}, {{INT_MIN, INT_MAX}, "-2147483648/2147483647"}};
    for (const Case& c : cases) EXPECT_EQ(c.f.ToText(), c.text);
}

TEST(FractionTest, ParseTable) {
    struct Case {
        const char* text;
        bool ok;
        Fraction f;
    } cases[] = {
        {"3", true, {3, 1}},          {" -12", true, {-12, 1}},   {"+4/6", true, {4, 6}},
        {"3/-4", true, {3, -4}},      {"3/ 4", true, {3, 4}},     {"\t7", true, {7, 1}},
        {"1/0", true, {1, 0}},        {"-2147483648", true, {INT_MIN, 1}},
        {"$10", true, {16, 1}},       {"%101", true, {5, 1}},     {"$FFFFFFFF", true, {-1, 1}},
        {"$ff/%11", true, {255, 3}},  {"-$10", true, {-16, 1}},   {"007", true, {7, 1}},
        {"3 ", false, {0, 1}},        {"a", false, {0, 1}},       {"1.5", false, {0, 1}},
        {"", false, {0, 1}},          {"2147483648", false, {0, 1}},
        {"$100000000", false, {0, 1}}, {"%2", false, {0, 1}},     {"+", false, {0, 1}},
        {"$", false, {0, 1}},         {"- 3", false, {0, 1}},
        // With a slash: an unreadable numerator leaves 0 and the old denominator...
        {"/4", false, {0, 9}},        {"3 / 4", false, {0, 9}},   {"x/2", false, {0, 9}},
        // ...an unreadable denominator leaves 0 there.
        {"3/", false, {3, 0}},        {"1/2/3", false, {1, 0}},   {"3/4 ", false, {3, 0}},
    };
    for (const Case& c : cases) {
        Fraction f(5, 9);
        EXPECT_EQ(f.Parse(c.text), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(f, c.f) << '"' << c.text << '"';
    }
}

// A sign in front of "$" or "%" negates a value that must fit as it is: a
// pattern with its top bit set is already negative.
TEST(FractionTest, SignedHexadecimalAndBinaryDoNotWrap) {
    const std::pair<const char*, int32_t> read[] = {{"-$7FFFFFFF", -2147483647}, {"-%11", -3}};
    for (const auto& [text, value] : read) {
        Fraction f;
        EXPECT_TRUE(f.Parse(text)) << text;
        EXPECT_EQ(f, Fraction(value)) << text;
    }
    for (const char* text :
         {"-$80000000", "-$FFFFFFFF", "+$FFFFFFFF", "-%10000000000000000000000000000000"}) {
        Fraction f;
        EXPECT_FALSE(f.Parse(text)) << text;
        EXPECT_EQ(f, Fraction(0)) << text;
    }
}

TEST(FractionTest, ReadNumberGivesTheValueOrTheReason) {
    using R = NumberReading;
    struct Case {
        const char* text;
        R reading;
        Fraction f;  // on Ok, in normal form
    } cases[] = {
        {"3", R::Ok, {3, 1}},
        {" 3 ", R::Ok, {3, 1}},
        {"3 ", R::Ok, {3, 1}},
        {"-2/3 ", R::Ok, {-2, 3}},
        {"\t-2/3\t", R::Ok, {-2, 3}},
        {"3 / 4", R::Ok, {3, 4}},
        {"4/8", R::Ok, {1, 2}},
        {"3/-4", R::Ok, {-3, 4}},
        {"0/-7", R::Ok, {0, 1}},
        {"$10/%100", R::Ok, {4, 1}},
        {"-2147483648", R::Ok, {INT_MIN, 1}},
        {"-$7FFFFFFF", R::Ok, {-2147483647, 1}},
        {"$FFFFFFFF", R::Ok, {-1, 1}},
        {"\u22123/\u22124", R::Ok, {3, 4}},  // the minus sign of a PDF
        {"\u2212 3", R::NotANumber, {}},
        {"\u2212\u22123", R::NotANumber, {}},
        {"", R::NotANumber, {}},
        {"   ", R::NotANumber, {}},
        {"abc", R::NotANumber, {}},
        {"1.5", R::NotANumber, {}},
        {"3/x", R::NotANumber, {}},
        {"1/2/3", R::NotANumber, {}},
        {"1/0/3", R::NotANumber, {}},
        {"/4", R::NotANumber, {}},
        {"3/", R::NotANumber, {}},
        {"- 3", R::NotANumber, {}},
        {"3 4", R::NotANumber, {}},
        {"99999999999x", R::NotANumber, {}},
        {"99999999999/x", R::NotANumber, {}},
        {"99999999999", R::OutOfRange, {}},
        {"2147483648", R::OutOfRange, {}},
        {"2147483648/2", R::OutOfRange, {}},
        {"1/2147483648", R::OutOfRange, {}},
        {"99999999999/0", R::OutOfRange, {}},
        {"-2147483648/-1", R::OutOfRange, {}},
        {"1/-2147483648", R::OutOfRange, {}},
        {"-$80000000", R::OutOfRange, {}},
        {"-$FFFFFFFF", R::OutOfRange, {}},
        {"-%11111111111111111111111111111111", R::OutOfRange, {}},
        {"$100000000", R::OutOfRange, {}},
        {"3/0", R::ZeroDenominator, {}},
        {"0/0", R::ZeroDenominator, {}},
        {" 3 / -0 ", R::ZeroDenominator, {}},
    };
    for (const Case& c : cases) {
        Fraction f(5, 9);
        EXPECT_EQ(ReadNumber(c.text, f), c.reading) << '"' << c.text << '"';
        EXPECT_EQ(f, c.reading == R::Ok ? c.f : Fraction(5, 9)) << '"' << c.text << '"';
    }
    EXPECT_STREQ(NumberReadingText(R::NotANumber), "no es un número");
    EXPECT_STREQ(NumberReadingText(R::OutOfRange), "está fuera de rango");
    EXPECT_STREQ(NumberReadingText(R::ZeroDenominator), "tiene denominador 0");

    struct IntegerCase {
        const char* text;
        R reading;
        int32_t value;  // 77, the value before, when refused
    } integers[] = {
        {" 12 ", R::Ok, 12},
        {"-$10", R::Ok, -16},
        {"1/2", R::NotANumber, 77},
        {"", R::NotANumber, 77},
        {"2147483648", R::OutOfRange, 77},
        {"-$80000000", R::OutOfRange, 77},
    };
    for (const IntegerCase& c : integers) {
        int32_t value = 77;
        EXPECT_EQ(ReadInteger(c.text, value), c.reading) << '"' << c.text << '"';
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }

    // A cell: only an empty or blank one reads 0; the rest as ReadNumber.
    struct CellCase {
        const char* text;
        R reading;
        Fraction f;  // 5/9, the value before, when refused
    } cells[] = {
        {"", R::Ok, {0, 1}},
        {" \t ", R::Ok, {0, 1}},
        {" -6/4 ", R::Ok, {-3, 2}},
        {"abc", R::NotANumber, {5, 9}},
        {"0/0", R::ZeroDenominator, {5, 9}},
    };
    for (const CellCase& c : cells) {
        Fraction f(5, 9);
        EXPECT_EQ(ReadCell(c.text, f), c.reading) << '"' << c.text << '"';
        EXPECT_EQ(f, c.f) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace velmora
