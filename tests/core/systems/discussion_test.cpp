// Textbook exercises, worked by hand, and the texts of the discussion.
#include "core/systems/discussion.h"
#include "core/systems/discussion_text.h"

#include <gtest/gtest.h>

#include <chrono>

namespace velmora {
namespace {

std::vector<std::vector<std::string>> Cells(std::initializer_list<std::vector<std::string>> rows) {
    return rows;
}

// Coefficients from a^0 up.
RationalFunction Poly(std::vector<long> coefficients) {
    Polynomial p;
    for (long c : coefficients) p.coefficients.push_back(mpq_class(c));
    p.Trim();
    return p;
}

std::vector<std::string> Discuss(std::vector<std::vector<std::string>> cells) {
    const CellDiscussion r = DiscussCells(cells);
    EXPECT_EQ(r.status, CellDiscussion::Status::Done);
    return DiscussionLines(r.discussion);
}

TEST(DiscussionTest, TextbookExercises) {
    using Lines = std::vector<std::string>;
    const struct {
        std::vector<std::vector<std::string>> cells;
        Lines lines;
    } cases[] = {
        // det A = (a - 1)^2 (a + 2).
        {Cells({{"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}}),
         {"Para a ≠ -2, a ≠ 1: rango A = 3, rango A' = 3 => sistema COMPATIBLE DETERMINADO  "
          "(S.C.D.)",
          "   x = (-a - 1)/(a + 2)    y = 1/(a + 2)    z = (a^2 + 2a + 1)/(a + 2)    ",
          "Para a = -2: rango A = 2, rango A' = 3 => sistema INCOMPATIBLE",
          "Para a = 1: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = 1 - λ - μ    y = λ    z = μ    ", "   para todo λ, μ"}},
        // ax + y = 1, x + ay = 1: x = y = 1/(a + 1); parallel lines at a = -1.
        {Cells({{"a", "1", "1"}, {"1", "a", "1"}}),
         {"Para a ≠ -1, a ≠ 1: rango A = 2, rango A' = 2 => sistema COMPATIBLE DETERMINADO  "
          "(S.C.D.)",
          "   x = 1/(a + 1)    y = 1/(a + 1)    ",
          "Para a = -1: rango A = 1, rango A' = 2 => sistema INCOMPATIBLE",
          "Para a = 1: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = 1 - λ    y = λ    ", "   para todo λ"}},
        // The same with the letter m, typed once in capital: every text says m.
        {Cells({{"m", "1", "1"}, {"1", "M", "1"}}),
         {"Para m ≠ -1, m ≠ 1: rango A = 2, rango A' = 2 => sistema COMPATIBLE DETERMINADO  "
          "(S.C.D.)",
          "   x = 1/(m + 1)    y = 1/(m + 1)    ",
          "Para m = -1: rango A = 1, rango A' = 2 => sistema INCOMPATIBLE",
          "Para m = 1: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = 1 - λ    y = λ    ", "   para todo λ"}},
        // x = -(1/a)λ for a ≠ 0 and x free at a = 0: with λ -> aλ one
        // formula serves every a, and a = 0 is not listed apart.
        {Cells({{"a", "-1", "0", "0"}, {"0", "1", "1", "0"}}),
         {"Para todo a: rango A = 2, rango A' = 2 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = -λ    y = -aλ    z = aλ    ", "   para todo λ"}},
        // The same with a^2 - 2 for a: the pair a = ±√2 is not listed apart.
        {Cells({{"a^2-2", "-1", "0", "0"}, {"0", "1", "1", "0"}}),
         {"Para todo a: rango A = 2, rango A' = 2 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = -λ    y = -(a^2 - 2)λ    z = (a^2 - 2)λ    ", "   para todo λ"}},
        // Three equations, two unknowns: det A' = 2a - 4.
        {Cells({{"1", "1", "2"}, {"1", "-1", "0"}, {"a", "1", "3"}}),
         {"Para a ≠ 2: rango A = 2, rango A' = 3 => sistema INCOMPATIBLE",
          "Para a = 2: rango A = 2, rango A' = 2 => sistema COMPATIBLE DETERMINADO  (S.C.D.)",
          "   x = 1    y = 1    "}},
        // The parameter only on the right: row 3 = row 1 + row 2 on the left.
        {Cells({{"1", "1", "1", "1"}, {"1", "2", "3", "2"}, {"2", "3", "4", "a"}}),
         {"Para a ≠ 3: rango A = 2, rango A' = 3 => sistema INCOMPATIBLE",
          "Para a = 3: rango A = 2, rango A' = 2 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = λ    y = 1 - 2λ    z = λ    ", "   para todo λ"}},
        // det A = 2 - a^2, no rational root.
        {Cells({{"1", "a", "1"}, {"a", "2", "1"}}),
         {"Para a ≠ ±√2: rango A = 2, rango A' = 2 => sistema COMPATIBLE DETERMINADO  (S.C.D.)",
          "   x = (a - 2)/(a^2 - 2)    y = (a - 1)/(a^2 - 2)    ",
          "Para a = ±√2: rango A = 1, rango A' = 2 => sistema INCOMPATIBLE"}},
        // The same with a = ±√2 compatible: row 2 = a row 1 there.
        {Cells({{"1", "a", "a"}, {"a", "2", "2"}}),
         {"Para a ≠ ±√2: rango A = 2, rango A' = 2 => sistema COMPATIBLE DETERMINADO  (S.C.D.)",
          "   x = 0    y = 1    ",
          "Para a = ±√2: rango A = 1, rango A' = 1 => sistema COMPATIBLE "
          "INDETERMINADO  "
          "(S.C.I.)",
          "   Solución:   x = a - aλ    y = λ    ", "   para todo λ"}},
        // y vanishes from both equations at a = 1, where it is free.
        {Cells({{"1", "a-1", "1"}, {"1", "1-a", "1"}}),
         {"Para a ≠ 1: rango A = 2, rango A' = 2 => sistema COMPATIBLE DETERMINADO  (S.C.D.)",
          "   x = 1    y = 0    ",
          "Para a = 1: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = 1    y = λ    ", "   para todo λ"}},
        // A fractional critical value.
        {Cells({{"2a", "1", "1"}, {"1", "1", "1"}}),
         {"Para a ≠ 1/2: rango A = 2, rango A' = 2 => sistema COMPATIBLE DETERMINADO  (S.C.D.)",
          "   x = 0    y = 1    ",
          "Para a = 1/2: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = 1 - λ    y = λ    ", "   para todo λ"}},
        // Undetermined for every a; at a = -1 the ranks stay but z, not y,
        // is no longer free: (a + 1) divides the general solution's
        // constants (its λ is scaled by a + 1, but the constants fail there).
        {Cells({{"a", "1", "1", "1"}, {"1", "a", "1", "1"}}),
         {"Para a ≠ -1, a ≠ 1: rango A = 2, rango A' = 2 => sistema COMPATIBLE INDETERMINADO  "
          "(S.C.I.)",
          "   Solución:   x = 1/(a + 1) - λ    y = 1/(a + 1) - λ    z = (a + 1)λ    ",
          "   para todo λ",
          "Para a = -1: rango A = 2, rango A' = 2 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = λ    y = λ    z = 1    ", "   para todo λ",
          "Para a = 1: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = 1 - λ - μ    y = λ    z = μ    ", "   para todo λ, μ"}},
        // det A = 1 for every a; det A = a^2 + 1 has no real root.
        {Cells({{"1", "a", "1"}, {"", "1", "2"}}),
         {"Para todo a: rango A = 2, rango A' = 2 => sistema COMPATIBLE DETERMINADO  (S.C.D.)",
          "   x = -2a + 1    y = 2    "}},
        {Cells({{"a", "1", "1"}, {"-1", "a", ""}}),
         {"Para todo a: rango A = 2, rango A' = 2 => sistema COMPATIBLE DETERMINADO  (S.C.D.)",
          "   x = a/(a^2 + 1)    y = 1/(a^2 + 1)    "}},
        // Every equation vanishes at a = 1; z is in no equation for any a and
        // stays, free.
        {Cells({{"a-1", "2a-2", "0", "a-1"}}),
         {"Para a ≠ 1: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = 1 - 2λ    y = λ    z = μ    ", "   para todo λ, μ",
          "Para a = 1: rango A = 0, rango A' = 0 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = λ    y = μ    z = ν    ", "   para todo λ, μ, ν"}},
        // No coefficient but 0: x is free where the system is compatible.
        {Cells({{"0", "a"}, {"0", "a^2"}}),
         {"Para a ≠ 0: rango A = 0, rango A' = 1 => sistema INCOMPATIBLE",
          "Para a = 0: rango A = 0, rango A' = 0 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)",
          "   Solución:   x = λ    ", "   para todo λ"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines[0]);
        EXPECT_EQ(Discuss(c.cells), c.lines);
    }
}

TEST(DiscussionTest, ValuesInTheParametersWithCoefficientsThatHoldA) {
    auto number = [](const char* q) {
        mpq_class v(q);
        v.canonicalize();
        return RationalFunction(Polynomial(v));
    };
    const struct {
        ParametricFunction value;
        const char* text;
    } cases[] = {
        // Numbers throughout: exactly the general solution of a system of numbers.
        {{number("3"), {number("0"), number("-2/3"), number("1")}}, "3 - (2/3)μ + ν"},
        {{number("0"), {number("0")}}, "0"},
        {{Poly({0, 1}), {Poly({})}}, "a"},
        {{number("2"), {Poly({0, 1})}}, "2 + aλ"},
        {{number("0"), {Poly({0, -2})}}, "-2aλ"},
        {{Poly({1, 1}), {Poly({-1, 0, 1}), {Polynomial(1), Poly({2, 1}).numerator}}},
         "a + 1 + (a^2 - 1)λ + (1/(a + 2))μ"},
        {{number("0"), {Poly({1, -1})}}, "-(a - 1)λ"},
        {{{Poly({-1, -1}).numerator, Poly({2, 1}).numerator}, {Poly({0, 0, 1})}},
         "(-a - 1)/(a + 2) + (a^2)λ"},
    };
    for (const auto& c : cases) EXPECT_EQ(ParametricFunctionText(c.value), c.text);
}

TEST(DiscussionTest, FractionFreeTriangularFormsOverThePolynomials) {
    const CellDiscussion r =
        DiscussCells({{"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}});
    const char* expected[3][4] = {{"1", "a", "1", "a"},
                                  {"0", "-a + 1", "a - 1", "a^2 - a"},
                                  {"0", "0", "a^3 - 3a + 2", "a^4 - 2a^2 + 1"}};
    const PolynomialMatrix& t = r.discussion.augmentedTriangular;
    ASSERT_EQ(t.rows, 3);
    ASSERT_EQ(t.cols, 4);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 4; ++j) EXPECT_EQ(PolynomialText(t.at(i, j)), expected[i - 1][j - 1]);
    EXPECT_EQ(r.discussion.coefficientsTriangular.cols, 3);
    EXPECT_EQ(PolynomialText(r.discussion.coefficientsTriangular.at(3, 3)), "a^3 - 3a + 2");
}

TEST(DiscussionTest, CellsThatAreRefused) {
    using S = CellDiscussion::Status;
    CellDiscussion r = DiscussCells({{"a", "1", "1"}, {"1", "2/(a+1)", "1"}});
    EXPECT_EQ(r.status, S::UnreadableCell);
    EXPECT_EQ(r.row, 2);
    EXPECT_EQ(r.column, 2);
    EXPECT_EQ(r.reading, PolynomialReading::ParameterInDenominator);

    r = DiscussCells({{"1", "k", "1"}, {"1", "2", "3"}, {"m", "1", "k"}});
    EXPECT_EQ(r.status, S::TwoParameters);
    EXPECT_EQ(r.message,
              "solo se admite un parámetro: k en la fila 1, columna 2 y m en la fila 3, columna 1");
    r = DiscussCells({{"1", "km", "1"}});
    EXPECT_EQ(r.reading, PolynomialReading::TwoParameters);

    r = DiscussCells({{"a", "1", "1"}, {"a - a", " ", "0"}});
    EXPECT_EQ(r.status, S::NullEquation);
    EXPECT_EQ(r.row, 2);

    r = DiscussCells({{"a", "1", "1", "1", "1", "1"}, {"1", "1", "1", "1", "1", "1"}});
    EXPECT_EQ(r.status, S::TooLarge);
    EXPECT_EQ(r.message, "se discuten sistemas de 1 a 4 ecuaciones con 1 a 4 incógnitas");

    // Scaled to integers, a row of fractions with unlike denominators holds
    // numbers of more than 512 bits.
    PolynomialMatrix huge(1, 2);
    huge.at(1, 1) = Polynomial(mpq_class(mpz_class(1), mpz_class(3) << 520));
    huge.at(1, 2) = Polynomial(mpq_class(1, 5));
    huge.at(1, 2).coefficients.push_back(1);
    try {
        DiscussSystem(huge);
        ADD_FAILURE();
    } catch (const DiscussionTooLarge& e) {
        EXPECT_STREQ(e.what(), "los números del sistema son demasiado grandes para discutirlo");
    }
}

// The slowest systems: 4 x 5 cells of degree 4, dense, the right-hand side
// the sum of the columns, so that the roots of det A (an irreducible factor
// of degree 16) are a compatible case solved modulo that factor. With 32-bit
// integers, and with integers as large as a row may hold. The time is the
// optimised program's: a build with sanitizers or without optimisation takes
// several times longer.
TEST(DiscussionTest, TheLargestSystemsAreQuick) {
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
    constexpr double kSeconds = 1.0;
#else
    constexpr double kSeconds = 10.0;
#endif
    gmp_randclass random(gmp_randinit_default);
    random.seed(17);
    for (int bits : {32, 480}) {
        PolynomialMatrix m(4, 5);
        for (int i = 1; i <= 4; ++i) {
            Polynomial sum;
            for (int j = 1; j <= 4; ++j) {
                Polynomial& p = m.at(i, j);
                sum.coefficients.resize(5);
                for (int d = 0; d <= 4; ++d) {
                    p.coefficients.push_back(mpq_class(mpz_class(random.get_z_bits(bits)) -
                                                       (mpz_class(1) << (bits - 1))));
                    sum.coefficients[d] += p.coefficients[d];
                }
            }
            m.at(i, 5) = sum;
        }
        const auto start = std::chrono::steady_clock::now();
        const Discussion d = DiscussSystem(m);
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                  kSeconds)
            << bits;
        ASSERT_EQ(d.cases.size(), 2u);
        EXPECT_EQ(d.cases[1].factor.Degree(), 16);
        EXPECT_EQ(d.cases[1].rankCoefficients, 3);
        EXPECT_TRUE(d.cases[1].compatible);
    }
}

}  // namespace
}  // namespace velmora
