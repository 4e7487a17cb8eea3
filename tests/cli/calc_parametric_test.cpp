// velmora-calc on matrices with a parameter: textbook exercises worked by
// hand, the values with a given determinant and the substitution of a value.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/calc.h"

namespace velmora {
namespace {

TEST(CalcParametricTest, TextbookExercises) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* out;  // or, on a refusal, the message
    } cases[] = {
        // det = 1(k^3 - 1) - (k^2 - 1) + (1 - k).
        {{"det", "[1 1 1; 1 k 1; 1 1 k^2]"}, 0,
         "det = k^3 - k^2 - k + 1 = (k - 1)^2 (k + 1)\ndet = 0 para k = -1, k = 1\n"},
        {{"rank", "[1 1 1; 1 k 1; 1 1 k^2]"}, 0,
         "Para k ≠ -1, k ≠ 1: rango = 3\nPara k = -1: rango = 2\nPara k = 1: rango = 1\n"},
        // 1/(4 - k^2) (4 -k; -k 1).
        {{"inv", "[1 k; k 4]"}, 0,
         "Para k ≠ -2, k ≠ 2: det = -(k - 2)(k + 2) ≠ 0, tiene inversa:\n"
         "   -4/((k - 2)(k + 2))    k/((k - 2)(k + 2))\n"
         "   k/((k - 2)(k + 2))     -1/((k - 2)(k + 2))\n"
         "Para k = -2, k = 2: det = 0, no tiene inversa\n"},
        // Along row 1: m(m^2 - 1) - (m - 0).
        {{"det", "[m 1 0; 1 M 1; 0 1 m]"}, 0,
         "det = m^3 - 2m = m(m^2 - 2)\ndet = 0 para m = 0, m = ±√2\n"},
        {{"rank", "[1 m 2; 2 2m 4]"}, 0, "Para todo m: rango = 1\n"},
        // det = (m - 1) - (1 - m) + m(1 - m^2) = -(m - 1)^2 (m + 2); at m = 1
        // every row is (1 1 1).
        {{"rank", "[1 1 m; 1 m 1; m 1 1]"}, 0,
         "Para m ≠ -2, m ≠ 1: rango = 3\nPara m = -2: rango = 2\nPara m = 1: rango = 1\n"},
        // det = -m^2 + 4m - 3; entry (1, 1) = (-m^2 - 3)/det.
        {{"inv", "[1 0 -1; 0 m 3; 4 1 -m]"}, 0,
         "Para m ≠ 1, m ≠ 3: det = -(m - 3)(m - 1) ≠ 0, tiene inversa:\n"
         "   (m^2 + 3)/((m - 3)(m - 1))    1/((m - 3)(m - 1))          -m/((m - 3)(m - 1))\n"
         "   -12/((m - 3)(m - 1))          (m - 4)/((m - 3)(m - 1))    3/((m - 3)(m - 1))\n"
         "   4m/((m - 3)(m - 1))           1/((m - 3)(m - 1))          -m/((m - 3)(m - 1))\n"
         "Para m = 1, m = 3: det = 0, no tiene inversa\n"},
        {{"det", "[k -13; 1 k-2]", "=", "28"}, 0, "det = 28 para k = -3, k = 5\n"},
        {{"det", "[1 k; k 4]", "=", "28"}, 0, "ningún valor de k da det = 28\n"},
        {{"det", "[k 0; 0 1/k]"}, 2,
         "matriz ilegible: «1/k» tiene el parámetro en un denominador (fila 2, columna 2)"},
        {{"inv", "[k 1 1; 1 p 1]"}, 2,
         "matriz ilegible: solo se admite un parámetro: k en la fila 1, columna 1 y p en la "
         "fila 2, columna 2"},
        {{"inv", "[k 1 1; 1 k 1]"}, 1, "la matriz no es cuadrada"},
        // Substituted first, then answered as for numbers.
        {{"det", "[1 1 1; 1 k 1; 1 1 k^2]", "k=3"}, 0, "16\n"},
        {{"inv", "[1 k; k 4]", "k=1"}, 0, "4/3 -1/3\n-1/3 1/3\n"},
        {{"rank", "[1 k; k 4]", "m=1"}, 2, "el parámetro de la matriz es k, no m"},
        {{"--pasos", "rank", "[1 k; k 4]", "k=2"}, 0,
         "matriz:\n1 2\n2 4\n\nF2 ← F2 - 2F1\n1 2\n0 0\n\n1\n"},
        // With the parameter, the steps open a case where a pivot may vanish.
        {{"--pasos", "rank", "[1 k; k 4]"}, 0,
         "matriz:\n1   k\nk   4\n\nF2 ← F2 - kF1\n1   k\n0   -k^2 + 4\n\n"
         "si k ≠ -2, k ≠ 2:\n\n   F2 ← F2 / (k^2 - 4)\n   1   k\n   0   -1\n\n"
         "   Para k ≠ -2, k ≠ 2: rango = 2\n\nsi k = -2:\n\n   sustituyendo k = -2:\n"
         "   1   -2\n   0   0\n\n   Para k = -2: rango = 1\n\nsi k = 2:\n\n"
         "   sustituyendo k = 2:\n   1   2\n   0   0\n\n   Para k = 2: rango = 1\n\n"},
        {{"--pasos", "inv", "[k 1 1; 1 k 1]"}, 1, "la matriz no es cuadrada"},
        {{"--pasos", "solve", "[k 1 1; 0 0 0]"}, 1,
         "una ecuación es nula (coeficientes y término independiente 0)"},
        {{"--latex", "det", "[k 1; 1 k]"}, 0,
         "\\[ \\text{det} = k^{2} - 1 = (k - 1)(k + 1) \\]\n"
         "\\[ \\text{det} = 0 \\text{ para } k = -1 \\text{, } k = 1 \\]\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCalc(c.args, out, err), c.status) << c.args[1];
        if (c.status == 0) {
            EXPECT_EQ(out.str(), c.out) << c.args[1];
        } else {
            EXPECT_EQ(err.str(), std::string("velmora-calc: ") + c.out + "\n") << c.args[1];
        }
    }
}

// A system a value makes may hold 0 = 0 (kept) or 0 = c: it is analysed.
TEST(CalcParametricTest, ASubstitutedSystemWithNullEquations) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCalc({"discuss", "[1 1 1; k 0 1]", "k=0"}, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("INCOMPATIBLE"), std::string::npos) << out.str();
    std::ostringstream out2, err2;
    EXPECT_EQ(RunCalc({"discuss", "[1 1 1; k k k]", "k=0"}, out2, err2), 0) << err2.str();
    EXPECT_NE(out2.str().find("COMPATIBLE"), std::string::npos) << out2.str();
}

}  // namespace
}  // namespace velmora
