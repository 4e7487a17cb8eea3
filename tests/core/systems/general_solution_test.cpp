#include "core/systems/general_solution.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/rationals.h"

namespace velmora {
namespace {

using test::Q;

ParametricValue Value(const char* constant, std::vector<const char*> coefficients) {
    ParametricValue v{Q(constant), {}};
    for (const char* c : coefficients) v.coefficients.push_back(Q(c));
    return v;
}

TEST(ParametricValueTextTest, HandExamples) {
    struct Case {
        const char* constant;
        std::vector<const char*> coefficients;
        const char* text;
    };
    const Case cases[] = {
        {"1", {"-2"}, "1 - 2λ"},
        {"3", {"1/2"}, "3 + (1/2)λ"},
        {"0", {"1"}, "λ"},
        {"0", {"-1"}, "-λ"},
        {"-3", {"1"}, "-3 + λ"},
        {"1", {"-1", "-1"}, "1 - λ - μ"},
        {"0", {"-2/3", "1"}, "-(2/3)λ + μ"},
        {"1/2", {"0", "-2/3", "3"}, "1/2 - (2/3)μ + 3ν"},
        {"0", {"2", "0", "-1"}, "2λ - ν"},
        {"0", {"0", "0", "-1"}, "-ν"},
        {"-1", {"-1", "-1", "-1"}, "-1 - λ - μ - ν"},
        {"-7/4", {"0", "4/6"}, "-7/4 + (2/3)μ"},
        {"5", {"0", "0"}, "5"},
        {"0", {"0"}, "0"},
        {"0", {"0", "0", "0"}, "0"},
        {"0", {}, "0"},
        {"-2", {}, "-2"},
        // Wide values: the discussion by a parameter writes these.
        {"1099511627776", {"-1/8589934592"}, "1099511627776 - (1/8589934592)λ"},
        {"-2147483648", {"2147483648/3"}, "-2147483648 + (2147483648/3)λ"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParametricValueText(Value(c.constant, c.coefficients)), c.text) << c.text;
}

TEST(GeneralSolutionTextTest, ValuesAndParameters) {
    EXPECT_EQ(SolutionValuesText({Value("1", {"-2"}), Value("3", {"1/2"}), Value("0", {"1"})}),
              "x = 1 - 2λ    y = 3 + (1/2)λ    z = λ    ");
    EXPECT_EQ(SolutionValuesText({}), "");
    EXPECT_EQ(ParametersText(1), "para todo λ");
    EXPECT_EQ(ParametersText(3), "para todo λ, μ, ν");
    EXPECT_EQ(ParametersText(4), "para todo λ, μ, ν, ξ");
    EXPECT_EQ(ParameterName(0), "?");
    EXPECT_EQ(ParameterName(5), "ρ");  // a matrix equation has up to 16
    EXPECT_EQ(ParameterLatex(16), "\\varepsilon");
    EXPECT_EQ(ParameterName(17), "?");
}

// What a printer of the reduction reads: the reduced echelon form, its pivot
// and free columns.
TEST(SolveGeneralTest, EchelonPivotsAndFreeColumns) {
    // x + 2y + z = 1, 2x + 4y + 3z + t = 3, z + t = 1: y and t are free.
    const GeneralSolution s = SolveGeneral({{Q("1"), Q("2"), Q("1"), Q("0"), Q("1")},
                                            {Q("2"), Q("4"), Q("3"), Q("1"), Q("3")},
                                            {Q("0"), Q("0"), Q("1"), Q("1"), Q("1")}});
    const RationalRows echelon{{Q("1"), Q("2"), Q("0"), Q("-1"), Q("0")},
                               {Q("0"), Q("0"), Q("1"), Q("1"), Q("1")}};
    EXPECT_EQ(s.echelon, echelon);
    EXPECT_EQ(s.pivotColumns, (std::vector<int>{1, 3}));
    EXPECT_EQ(s.freeColumns, (std::vector<int>{2, 4}));
    EXPECT_EQ(SolutionValuesText(s.values), "x = -2λ + μ    y = λ    z = 1 - μ    t = μ    ");

    // Determined: the values, no parameter.
    const GeneralSolution d = SolveGeneral({{Q("2"), Q("1"), Q("1")}, {Q("1"), Q("-1"), Q("0")}});
    EXPECT_TRUE(d.freeColumns.empty());
    EXPECT_EQ(SolutionValuesText(d.values), "x = 1/3    y = 1/3    ");

    // Every row a pivot before the last columns: those are free.
    const GeneralSolution wide = SolveGeneral({{Q("0"), Q("1"), Q("0"), Q("5")}});
    EXPECT_EQ(wide.pivotColumns, (std::vector<int>{2}));
    EXPECT_EQ(wide.freeColumns, (std::vector<int>{1, 3}));

    EXPECT_THROW(SolveGeneral({{Q("1"), Q("1"), Q("1")}, {Q("1"), Q("1"), Q("2")}}),
                 std::invalid_argument);
    EXPECT_THROW(SolveGeneral({{Q("1"), Q("1")}, {Q("1")}}), std::invalid_argument);
    EXPECT_THROW(SolveGeneral({}), std::invalid_argument);
}

}  // namespace
}  // namespace velmora
