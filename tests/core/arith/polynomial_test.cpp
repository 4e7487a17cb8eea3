#include "core/arith/polynomial.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// Coefficients from a^0 up, each "p" or "p/q".
Polynomial P(std::vector<const char*> coefficients) {
    Polynomial p;
    for (const char* c : coefficients) {
        mpq_class q(c);
        q.canonicalize();
        p.coefficients.push_back(q);
    }
    p.Trim();
    return p;
}

// Any letter but the unknowns' names the parameter, a capital as its lower
// case; the reading tells which.
TEST(ReadPolynomialTest, TheParameterIsAnyLetterButTheUnknowns) {
    for (const char* text : {"k^2 - 1", "K^2-1", "(m+1)(m-1)", "b*b - 1", "P^2 - p^0"}) {
        Polynomial p;
        char letter = 0;
        ASSERT_EQ(ReadPolynomial(text, p, &letter), PolynomialReading::Ok) << text;
        EXPECT_EQ(p, P({"-1", "0", "1"})) << text;
        EXPECT_EQ(PolynomialText(p, letter), std::string(1, letter) + "^2 - 1") << text;
        EXPECT_EQ(letter, ParameterLetter(text)) << text;
    }
    for (const char* text : {"x", "2y", "z+1", "t^2", "T"}) {
        Polynomial p;
        EXPECT_EQ(ReadPolynomial(text, p), PolynomialReading::NotANumber) << text;
        EXPECT_FALSE(HoldsParameter(text)) << text;
    }
    const GridParameter g = ParameterOfGrid({{"1", "$A", "2"}, {"3", "K+1", "k"}, {"q", "", ""}});
    EXPECT_EQ(g.letter, 'k');
    EXPECT_EQ(g.row * 10 + g.column, 22);
    EXPECT_EQ(g.other, 'q');
    EXPECT_EQ(g.otherRow * 10 + g.otherColumn, 31);
    EXPECT_FALSE(ParameterOfGrid({{"1", "$A"}, {"3/4", ""}}).letter);
}

// Quotients and products as a teacher writes them: integer coefficients, the
// denominator factored, never a fraction inside a quotient.
TEST(PolynomialTextTest, QuotientsAndFactorsInTheTeachersForm) {
    const struct {
        Polynomial numerator, denominator;
        const char* quotient;
        const char* product;  // the numerator factored
    } cases[] = {
        {P({"-5/2", "1", "1/2"}), P({"-3", "1"}), "(a^2 + 2a - 5)/(2(a - 3))", "(a^2 + 2a - 5)/2"},
        {P({"1", "2", "2"}), P({"1", "2", "1"}), "(2a^2 + 2a + 1)/(a + 1)^2", "2a^2 + 2a + 1"},
        {P({"1"}), P({"0", "-1", "1"}), "1/(a(a - 1))", "1"},
        {P({"3/2"}), P({"0", "1"}), "3/(2a)", "3/2"},
        {P({"0", "3"}), P({"2"}), "3a/2", "3a"},
        {P({"-3", "1"}), P({"2"}), "(a - 3)/2", "a - 3"},
        {P({"1", "-1", "-1", "1"}), P({"1"}), "a^3 - a^2 - a + 1", "(a - 1)^2 (a + 1)"},
        {P({"4", "0", "-1"}), P({"-2", "0", "1"}), "(-a^2 + 4)/(a^2 - 2)", "-(a - 2)(a + 2)"},
        {P({"0", "0", "-6", "6"}), P({"1"}), "6a^3 - 6a^2", "6a^2 (a - 1)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RationalFunctionText({c.numerator, c.denominator}, 'a'), c.quotient);
        EXPECT_EQ(FactoredText(Factor(c.numerator)), c.product);
    }
}

// The roots of irreducible quadratics with radicals, worked by hand; none
// for a quadratic with no real root, a reducible one or another degree.
TEST(PolynomialTextTest, QuadraticRootsWithRadicals) {
    const struct {
        Polynomial f;
        const char* roots;
    } cases[] = {
        {P({"-3", "-1", "1"}), "(1 ± √13)/2"}, {P({"-2", "0", "1"}), "±√2"},
        {P({"-12", "-2", "1"}), "1 ± √13"},    {P({"-1", "0", "2"}), "±√2/2"},
        {P({"3", "0", "-1"}), "±√3"},          {P({"-1", "2", "4"}), "(-1 ± √5)/4"},
        {P({"-7", "0", "9"}), "±√7/3"},        {P({"-6", "6", "3"}), "-1 ± √3"},
        // A large radicand: only the squares of small numbers are taken out.
        {P({"-2305843009213693951", "0", "1"}), "±√2305843009213693951"},
        {P({"-9223372036854775804", "0", "1"}), "±2√2305843009213693951"},
        {P({"1", "0", "1"}), ""},              {P({"-1", "0", "1"}), ""},
        {P({"-2", "0", "0", "1"}), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(QuadraticRootsText(c.f), c.roots) << PolynomialText(c.f);
}

TEST(ReadPolynomialTest, CellsAsPeopleWriteThem) {
    const struct {
        const char* text;
        Polynomial value;
    } cases[] = {
        {"a", P({"0", "1"})},
        {"A", P({"0", "1"})},
        {"-a", P({"0", "-1"})},
        {"2a", P({"0", "2"})},
        {"a+1", P({"1", "1"})},
        {"1-a", P({"1", "-1"})},
        {"a^2", P({"0", "0", "1"})},
        {"a^2-1", P({"-1", "0", "1"})},
        {"(a+1)/2", P({"1/2", "1/2"})},
        {"2/3a", P({"0", "2/3"})},
        {"1/2a", P({"0", "1/2"})},
        {"a/2", P({"0", "1/2"})},
        {"3a^2 - a + 1", P({"1", "-1", "3"})},
        {"  3 a ^ 2-a+1 ", P({"1", "-1", "3"})},
        {"2(a+1)", P({"2", "2"})},
        {"2*a", P({"0", "2"})},
        {"(a+1)(a-1)", P({"-1", "0", "1"})},
        {"(a+1)^2", P({"1", "2", "1"})},
        {"-(1/2)a^2 + 3/4", P({"3/4", "0", "-1/2"})},
        {"a^4", P({"0", "0", "0", "0", "1"})},
        {"a^0", P({"1"})},
        {"a - a", P({})},
        {"-2147483648a", P({"0", "-2147483648"})},
        // No a: exactly what ReadNumber reads, hexadecimal letters included.
        {"3/-4", P({"-3/4"})},
        {" 7 ", P({"7"})},
        {"$A", P({"10"})},
        {"$1a", P({"26"})},
        // Constants written as expressions, powers as long as they stay small.
        {"(1)", P({"1"})},
        {"2^2", P({"4"})},
        {"2*3", P({"6"})},
        {"1^10a", P({"0", "1"})},
        {"(-1)^99999999999a", P({"0", "-1"})},
        {"0^7 + a", P({"0", "1"})},
        {"a^0000000001", P({"0", "1"})},
        {"2^4095", P({mpz_class(mpz_class(1) << 4095).get_str().c_str()})},
        {"\u2212a \u2212 1", P({"-1", "-1"})},
    };
    for (const auto& c : cases) {
        Polynomial p = P({"99"});
        EXPECT_EQ(ReadPolynomial(c.text, p), PolynomialReading::Ok) << c.text;
        EXPECT_EQ(p, c.value) << c.text << " read " << PolynomialText(p);
    }
}

TEST(ReadPolynomialTest, RefusesWithAReasonAndLeavesTheValue) {
    using R = PolynomialReading;
    const struct {
        const char* text;
        R reading;
    } cases[] = {
        {"", R::NotANumber},
        {"x", R::NotANumber},
        {"2a3", R::NotANumber},
        {"a+", R::NotANumber},
        {"1.5a", R::NotANumber},
        {"(a+1", R::NotANumber},
        {"a)", R::NotANumber},
        {"ab", R::TwoParameters},
        {"--a", R::NotANumber},
        {"a^", R::NotANumber},
        {"a^-1", R::NotANumber},
        {"a/-2", R::NotANumber},
        {"1/a", R::ParameterInDenominator},
        {"2/(a+1)", R::ParameterInDenominator},
        {"a/0", R::ZeroDenominator},
        {"a/(a-a)", R::ZeroDenominator},
        {"3/0", R::ZeroDenominator},
        {"2147483648a", R::OutOfRange},
        {"a-2147483649", R::OutOfRange},
        {"99999999999", R::OutOfRange},
        {"a^5", R::DegreeTooHigh},
        {"(a^2+1)^3", R::DegreeTooHigh},
        {"a^2*a^3", R::DegreeTooHigh},
        {"a^100", R::DegreeTooHigh},
        {"a^5 - a^5", R::DegreeTooHigh},
        {"a^99999999999999999999", R::DegreeTooHigh},
        {"2^4096", R::TooLarge},
        {"(1/2)^99999999999a", R::TooLarge},
        {"((((((((2147483647^9)^9)^9)^9)^9)^9)^9)^9)a", R::TooLarge},
        {"(2147483647^9)^9*(2147483647^9)^9", R::TooLarge},
        {"x^2", R::NotANumber},
        {"2^", R::NotANumber},
        {"99999999999^2", R::OutOfRange},
    };
    for (const auto& c : cases) {
        Polynomial p = P({"5"});
        EXPECT_EQ(ReadPolynomial(c.text, p), c.reading) << c.text;
        EXPECT_EQ(p, P({"5"})) << c.text;
        EXPECT_STRNE(PolynomialReadingText(c.reading), "");
    }
    EXPECT_STREQ(PolynomialReadingText(R::ParameterInDenominator), "tiene el parámetro en un denominador");
}

// Parentheses inside parentheses: as many as anyone writes, and a refusal at
// once, not a stack overflow, for thousands of them.
TEST(ReadPolynomialTest, NestingIsBounded) {
    for (const int depth : {kMaxNesting, kMaxNesting + 1, 12500}) {
        const std::string text = std::string(depth, '(') + "a" + std::string(depth, ')');
        Polynomial p;
        EXPECT_EQ(ReadPolynomial(text, p),
                  depth <= kMaxNesting ? PolynomialReading::Ok : PolynomialReading::TooDeep)
            << depth;
    }
}

TEST(HoldsParameterTest, OnlyTextsWithAThatAreNoNumber) {
    EXPECT_TRUE(HoldsParameter("a"));
    EXPECT_TRUE(HoldsParameter(" 2A+1"));
    EXPECT_TRUE(HoldsParameter("1/a"));  // refused later, but it is meant as one
    EXPECT_FALSE(HoldsParameter("$FA"));
    EXPECT_FALSE(HoldsParameter("3/4"));
    EXPECT_FALSE(HoldsParameter(""));
}

TEST(PolynomialTextTest, HighestPowerFirstCoefficientOneLeftOut) {
    const struct {
        Polynomial p;
        const char* text;
    } cases[] = {
        {P({}), "0"},
        {P({"1", "2", "1"}), "a^2 + 2a + 1"},
        {P({"-1", "-1"}), "-a - 1"},
        {P({"0", "1/2"}), "(1/2)a"},
        {P({"-3/4", "-1/2"}), "-(1/2)a - 3/4"},
        {P({"-2", "0", "1"}), "a^2 - 2"},
        {P({"0", "0", "0", "-3"}), "-3a^3"},
        {P({"5"}), "5"},
        {P({"-7/3"}), "-7/3"},
        {P({"0", "4294967296"}), "4294967296a"},
    };
    for (const auto& c : cases) EXPECT_EQ(PolynomialText(c.p), c.text);
}

TEST(PolynomialTextTest, ReadsBackAsTheSamePolynomial) {
    const Polynomial cases[] = {P({"-3/4", "-1/2", "2"}), P({"1", "0", "0", "0", "-1"}),
                                P({"0", "-2147483648"}), P({"7/2"})};
    for (const Polynomial& p : cases) {
        Polynomial back;
        ASSERT_EQ(ReadPolynomial(PolynomialText(p), back), PolynomialReading::Ok)
            << PolynomialText(p);
        EXPECT_EQ(back, p);
    }
}

TEST(RationalFunctionTextTest, ParenthesesAroundSidesOfMoreThanOneTerm) {
    EXPECT_EQ(RationalFunctionText({P({"-1", "-1"}), P({"2", "1"})}), "(-a - 1)/(a + 2)");
    EXPECT_EQ(RationalFunctionText({P({"1"}), P({"2", "1"})}), "1/(a + 2)");
    EXPECT_EQ(RationalFunctionText({P({"0", "-1"}), P({"0", "0", "1"})}), "-a/a^2");
    EXPECT_EQ(RationalFunctionText({P({"1", "2", "1"})}), "a^2 + 2a + 1");
    EXPECT_EQ(RationalFunctionText({P({"-1/2"})}), "-1/2");
    EXPECT_EQ(RationalFunctionText({P({})}), "0");
}

}  // namespace
}  // namespace velmora
