#include "core/systems/linear_system.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/systems/system_text.h"
#include "core/toolkit/strings.h"

namespace velmora {
namespace {

struct AnalysisCase {
    const char* name;
    Matrix input;
    Matrix kept;  // A' as the analysis keeps it: every column, as typed
    const char* rankAugmentedText;
    const char* rankCoefficientsText;
    // The conclusion box as the window shows it, a CR LF between its lines.
    std::vector<std::string> lines;
    bool solutionOverflow = false;  // determined, with a value past 32 bits
    bool generalSolutionOverflow = false;
};

// The box's lines, one each, of the texts between its CR LF.
std::vector<std::string> BoxLines(const std::vector<std::string>& texts) {
    std::vector<std::string> lines;
    for (const std::string& text : texts)
        for (const std::string_view line : SplitAt(text, "\r\n")) lines.emplace_back(line);
    return lines;
}

const Fraction kTiny(1, 2000);
const Fraction kTiny2(1, 1000);
const Fraction kMinusTiny(-1, 2000);

std::vector<AnalysisCase> AnalysisCases() {
    const std::string compatible = " rango A = rango A' => sistema COMPATIBLE";
    const std::string determined2 = " rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)";
    return {
        {"incompatible", Matrix::FromRows({{1, 1, 1}, {1, 1, 2}}),
         Matrix::FromRows({{1, 1, 1}, {1, 1, 2}}), "rango A' = 2", "rango A = 1",
         {"rango A <> rango A' => sistema INCOMPATIBLE"}},
        {"determined", Matrix::FromRows({{2, 1, 1}, {1, -1, 0}}),
         Matrix::FromRows({{2, 1, 1}, {1, -1, 0}}), "rango A' = 2", "rango A = 2",
         {compatible, determined2, "\r\n Solución:   x = 1/3    y = 1/3    "}},
        {"three equations, third dependent", Matrix::FromRows({{1, 1, 2}, {1, -1, 0}, {2, 2, 4}}),
         Matrix::FromRows({{1, 1, 2}, {1, -1, 0}, {2, 2, 4}}), "rango A' = 2", "rango A = 2",
         {compatible, determined2, "\r\n Solución:   x = 1    y = 1    "}},
        {"undetermined", Matrix::FromRows({{1, 1, 1}, {2, 2, 2}}),
         Matrix::FromRows({{1, 1, 1}, {2, 2, 2}}), "rango A' = 1", "rango A = 1",
         {compatible,
          "rango = 1 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 2 - 1 = 1",
          "\r\n Solución:   x = 1 - λ    y = λ    ", "   para todo λ"}},
        {"undetermined of degree 2", Matrix::FromRows({{1, 2, 3, 4}, {2, 4, 6, 8}}),
         Matrix::FromRows({{1, 2, 3, 4}, {2, 4, 6, 8}}), "rango A' = 1", "rango A = 1",
         {compatible,
          "rango = 1 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 3 - 1 = 2",
          "\r\n Solución:   x = 4 - 2λ - 3μ    y = λ    z = μ    ", "   para todo λ, μ"}},
        {"x + 2z = 1, 2y - z = 6",
         Matrix::FromRows({{1, 0, 2, 1}, {0, 2, -1, 6}}),
         Matrix::FromRows({{1, 0, 2, 1}, {0, 2, -1, 6}}), "rango A' = 2",
         "rango A = 2",
         {compatible,
          "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 3 - 2 = 1",
          "\r\n Solución:   x = 1 - 2λ    y = 3 + (1/2)λ    z = λ    ", "   para todo λ"}},
        {"four unknowns, three parameters",
         Matrix::FromRows({{3, 1, 2, 1, 5}, {6, 2, 4, 2, 10}}),
         Matrix::FromRows({{3, 1, 2, 1, 5}, {6, 2, 4, 2, 10}}), "rango A' = 1",
         "rango A = 1",
         {compatible,
          "rango = 1 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 4 - 1 = 3",
          "\r\n Solución:   x = 5/3 - (1/3)λ - (2/3)μ - (1/3)ν    y = λ    z = μ    t = ν    ",
          "   para todo λ, μ, ν"}},
        // The third equation is the sum of the others; z is a pivot unknown
        // behind the free y.
        {"free unknown between pivots",
         Matrix::FromRows({{2, 4, -6, 1, 3}, {0, 0, 3, 1, -1}, {2, 4, -3, 2, 2}}),
         Matrix::FromRows({{2, 4, -6, 1, 3}, {0, 0, 3, 1, -1}, {2, 4, -3, 2, 2}}), "rango A' = 2",
         "rango A = 2",
         {compatible,
          "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 4 - 2 = 2",
          "\r\n Solución:   x = 1/2 - 2λ - (3/2)μ    y = λ    z = -1/3 - (1/3)μ    t = μ    ",
          "   para todo λ, μ"}},
        {"a pivot unknown that is 0, one that is constant",
         Matrix::FromRows({{1, 0, 0, 0}, {0, 1, 1, 1}, {1, 2, 2, 2}}),
         Matrix::FromRows({{1, 0, 0, 0}, {0, 1, 1, 1}, {1, 2, 2, 2}}), "rango A' = 2",
         "rango A = 2",
         {compatible,
          "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 3 - 2 = 1",
          "\r\n Solución:   x = 0    y = 1 - λ    z = λ    ", "   para todo λ"}},
        // An unknown in no equation keeps its name and is free.
        {"x in no equation, x and z free",
         Matrix::FromRows({{0, 1, 2, 3, 4}, {0, 0, 0, 1, 4}}),
         Matrix::FromRows({{0, 1, 2, 3, 4}, {0, 0, 0, 1, 4}}), "rango A' = 2",
         "rango A = 2",
         {compatible,
          "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 4 - 2 = 2",
          "\r\n Solución:   x = λ    y = -8 - 2μ    z = μ    t = 4    ", "   para todo λ, μ"}},
        {"x + 0y + z = 2, x + 0y - z = 0: y free, z = 1",
         Matrix::FromRows({{1, 0, 1, 2}, {1, 0, -1, 0}}),
         Matrix::FromRows({{1, 0, 1, 2}, {1, 0, -1, 0}}), "rango A' = 2", "rango A = 2",
         {compatible,
          "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 3 - 2 = 1",
          "\r\n Solución:   x = 1    y = λ    z = 1    ", "   para todo λ"}},
        {"x in no equation, y = 2", Matrix::FromRows({{0, 2, 4}, {0, 3, 6}}),
         Matrix::FromRows({{0, 2, 4}, {0, 3, 6}}), "rango A' = 1", "rango A = 1",
         {compatible,
          "rango = 1 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 2 - 1 = 1",
          "\r\n Solución:   x = λ    y = 2    ", "   para todo λ"}},
        {"0 = 5 with x + y = 1", Matrix::FromRows({{0, 0, 5}, {1, 1, 1}}),
         Matrix::FromRows({{0, 0, 5}, {1, 1, 1}}), "rango A' = 2", "rango A = 1",
         {"rango A <> rango A' => sistema INCOMPATIBLE"}},
        {"x in no equation, 0 = 5", Matrix::FromRows({{0, 5}, {0, 0}}),
         Matrix::FromRows({{0, 5}, {0, 0}}), "rango A' = 1", "rango A = 0",
         {"rango A <> rango A' => sistema INCOMPATIBLE"}},
        {"every unknown free", Matrix::FromRows({{0, 0, 0, 0, 0}}),
         Matrix::FromRows({{0, 0, 0, 0, 0}}), "rango A' = 0", "rango A = 0",
         {compatible,
          "rango = 0 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 4 - 0 = 4",
          "\r\n Solución:   x = λ    y = μ    z = ν    t = ξ    ", "   para todo λ, μ, ν, ξ"}},
        // The tiny equation is x + y = 2: it must survive the reduction.
        {"tiny coefficients are a real equation",
         Matrix::FromRows({{kTiny, kTiny, kTiny2}, {1, -1, 0}, {2, -2, 0}}),
         Matrix::FromRows({{kTiny, kTiny, kTiny2}, {1, -1, 0}, {2, -2, 0}}), "rango A' = 2",
         "rango A = 2", {compatible, determined2, "\r\n Solución:   x = 1    y = 1    "}},
        // Eliminating leaves (0, -1/1000, -1/1000): small, but an equation.
        {"every equation tiny",
         Matrix::FromRows({{kTiny, kTiny, kTiny2}, {kTiny, kMinusTiny, 0}, {kTiny2, kTiny2, Fraction(1, 500)}}),
         Matrix::FromRows({{kTiny, kTiny, kTiny2}, {kTiny, kMinusTiny, 0}, {kTiny2, kTiny2, Fraction(1, 500)}}),
         "rango A' = 2", "rango A = 2",
         {compatible, determined2, "\r\n Solución:   x = 1    y = 1    "}},
        {"four unknowns with fractions",
         Matrix::FromRows({{1, 0, 0, 0, Fraction(1, 2)},
                           {0, 2, 0, 0, -1},
                           {0, 0, 3, 0, Fraction(2, 5)},
                           {1, 1, 1, 1, 0}}),
         Matrix::FromRows({{1, 0, 0, 0, Fraction(1, 2)},
                           {0, 2, 0, 0, -1},
                           {0, 0, 3, 0, Fraction(2, 5)},
                           {1, 1, 1, 1, 0}}),
         "rango A' = 4", "rango A = 4",
         {compatible, " rango = 4 = nº incógnitas => DETERMINADO  (S.C.D.)",
          "\r\n Solución:   x = 1/2    y = -1/2    z = 2/15    t = -2/15    "}},
        // Near the 32-bit limits: the triangular forms do not fit, the ranks
        // and the verdict always do.
        {"det A = 2^32, the solution fits",
         Matrix::FromRows({{65536, 0, 65536}, {0, 65536, 0}, {1, 1, 1}}),
         Matrix::FromRows({{65536, 0, 65536}, {0, 65536, 0}, {1, 1, 1}}), "rango A' = 2",
         "rango A = 2", {compatible, determined2, "\r\n Solución:   x = 1    y = 0    "}},
        {"entries near 65536, the solution fits",
         Matrix::FromRows({{65536, 3, 65533}, {7, 65537, -65530}}),
         Matrix::FromRows({{65536, 3, 65533}, {7, 65537, -65530}}), "rango A' = 2",
         "rango A = 2", {compatible, determined2, "\r\n Solución:   x = 1    y = -1    "}},
        // x = (65522 - 65531λ)/4295032811: the verdict stays, the solution does not fit.
        {"entries near 65536, undetermined", Matrix::FromRows({{65536, 3, 1, 1}, {7, 65537, 2, 5}}),
         Matrix::FromRows({{65536, 3, 1, 1}, {7, 65537, 2, 5}}), "rango A' = 2", "rango A = 2",
         {compatible,
          "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 3 - 2 = 1",
          "\r\n Solución:   fuera de rango (no cabe en fracciones de 32 bits)"},
         false, true},
        // x = 2147483648λ: the coefficient is -(-2^31).
        {"x - 2^31 y = 0, the coefficient has no 32-bit form",
         Matrix::FromRows({{1, INT32_MIN, 0}}),
         Matrix::FromRows({{1, INT32_MIN, 0}}), "rango A' = 1",
         "rango A = 1",
         {compatible,
          "rango = 1 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 2 - 1 = 1",
          "\r\n Solución:   fuera de rango (no cabe en fracciones de 32 bits)"},
         false, true},
        // The same elimination, but every value fits: x = 1 - λ/65536.
        {"entries near 65536, undetermined, the solution fits",
         Matrix::FromRows({{65536, 0, 1, 65536}, {131072, 65537, 2, 131072}}),
         Matrix::FromRows({{65536, 0, 1, 65536}, {131072, 65537, 2, 131072}}), "rango A' = 2",
         "rango A = 2",
         {compatible,
          "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 3 - 2 = 1",
          "\r\n Solución:   x = 1 - (1/65536)λ    y = 0    z = λ    ", "   para todo λ"}},
        {"entries near 65536, incompatible",
         Matrix::FromRows({{65536, 3, 1}, {7, 65537, 2}, {65543, 65540, 4}}),
         Matrix::FromRows({{65536, 3, 1}, {7, 65537, 2}, {65543, 65540, 4}}), "rango A' = 3",
         "rango A = 2", {"rango A <> rango A' => sistema INCOMPATIBLE"}},
        {"x = 2^31 has no 32-bit form", Matrix::FromRows({{Fraction(1, 2), 0, 1073741824}, {0, 1, 0}}),
         Matrix::FromRows({{Fraction(1, 2), 0, 1073741824}, {0, 1, 0}}), "rango A' = 2",
         "rango A = 2", {compatible, determined2, "", kSolutionOutOfRange}, true},
        {"x = z = 1/(2^32 - 3), y free",
         Matrix::FromRows({{2147483647, 0, 2147483646, 1}, {2147483646, 0, 2147483647, 1}}),
         Matrix::FromRows({{2147483647, 0, 2147483646, 1}, {2147483646, 0, 2147483647, 1}}),
         "rango A' = 2", "rango A = 2",
         {compatible,
          "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
          "   Grado de indeterminación = 3 - 2 = 1", "",
          kSolutionOutOfRange},
         false, true},
    };
}

TEST(AnalyseSystemTest, TextsAndReductionForEachCase) {
    for (const AnalysisCase& c : AnalysisCases()) {
        SCOPED_TRACE(c.name);
        Matrix m = c.input;
        const SystemAnalysis a = AnalyseSystem(m);
        EXPECT_EQ(RankAugmentedText(a.rankAugmented), c.rankAugmentedText);
        EXPECT_EQ(RankCoefficientsText(a.rankCoefficients), c.rankCoefficientsText);
        EXPECT_EQ(ConclusionLines(a), BoxLines(c.lines));
        EXPECT_TRUE(m == c.input) << "the caller's A' is left as it is";
        EXPECT_TRUE(a.augmented == c.kept);
        EXPECT_EQ(a.unknownCount, c.kept.cols - 1);
        EXPECT_EQ(a.coefficients.cols, c.kept.cols - 1);
        EXPECT_EQ(a.coefficients.rows, c.kept.rows);
        EXPECT_EQ(a.solutionOverflow, c.solutionOverflow);
        if (c.solutionOverflow) {
            EXPECT_TRUE(a.solution.empty());
        }
        EXPECT_EQ(a.generalSolutionOverflow, c.generalSolutionOverflow);
        if (c.generalSolutionOverflow) {
            EXPECT_TRUE(a.generalSolution.empty());
        }

        // A second run gives the same.
        Matrix again = m;
        const SystemAnalysis b = AnalyseSystem(again);
        EXPECT_TRUE(again == m);
        EXPECT_EQ(ConclusionLines(b), ConclusionLines(a));
    }
}

TEST(AnalyseSystemTest, SolutionOnlyForDeterminedSystems) {
    Matrix determined = Matrix::FromRows({{2, 1, 1}, {1, -1, 0}});
    EXPECT_EQ(AnalyseSystem(determined).solution,
              (std::vector<Fraction>{Fraction(1, 3), Fraction(1, 3)}));
    Matrix undetermined = Matrix::FromRows({{1, 1, 1}, {2, 2, 2}});
    EXPECT_TRUE(AnalyseSystem(undetermined).solution.empty());
    Matrix incompatible = Matrix::FromRows({{1, 1, 1}, {1, 1, 2}});
    const SystemAnalysis a = AnalyseSystem(incompatible);
    EXPECT_FALSE(a.compatible);
    EXPECT_TRUE(a.solution.empty());
}

TEST(AnalyseSystemTest, RefusesZeroDenominators) {
    Matrix m = Matrix::FromRows({{1, 1, 1}, {1, -1, 0}});
    m.at(2, 2) = Fraction(1, 0);
    EXPECT_TRUE(HasZeroDenominator(m));
    EXPECT_THROW(AnalyseSystem(m), std::invalid_argument);

    // A zero denominator outside the used cells does not count.
    Matrix used = Matrix::FromRows({{1, 1, 1}, {1, -1, 0}});
    used.cells[9] = Fraction(1, 0);  // row 1, column 10
    EXPECT_FALSE(HasZeroDenominator(used));
}

TEST(CheckRowsTest, NullRowsAreRefused) {
    struct Case {
        const char* name;
        Matrix m;
        bool accepted;
    };
    const Case cases[] = {
        {"valid", Matrix::FromRows({{1, 1, 1}, {1, -1, 0}}), true},
        {"0 = 5 is not null", Matrix::FromRows({{0, 0, 5}, {1, 1, 1}}), true},
        {"first row null", Matrix::FromRows({{0, 0, 0}, {1, 1, 1}}), false},
        {"second of three null", Matrix::FromRows({{1, 1, 1}, {0, 0, 0}, {1, 2, 3}}), false},
        {"last of four null",
         Matrix::FromRows({{1, 0, 1}, {0, 1, 1}, {1, 1, 2}, {0, 0, 0}}), false},
        {"only the right-hand side", Matrix::FromRows({{0, 0, 0, 1}, {1, 2, 3, 0}}), true},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckRows(c.m), c.accepted) << c.name;
}

TEST(UnknownNameTest, LettersByPosition) {
    EXPECT_EQ(UnknownName(1), 'x');
    EXPECT_EQ(UnknownName(2), 'y');
    EXPECT_EQ(UnknownName(3), 'z');
    EXPECT_EQ(UnknownName(4), 't');
    EXPECT_EQ(UnknownName(0), '?');
    EXPECT_EQ(UnknownName(5), '?');
}

}  // namespace
}  // namespace velmora
