#include "cli/calc_equation.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/calc.h"

namespace velmora {
namespace {

// velmora-calc with these words: its status, what it printed and what it said.
struct CalcRun {
    int status;
    std::string out, err;
};

CalcRun Calc(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunCalc(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(CalcEquationTest, AnswersAndRefusals) {
    const std::string j = "J=[1 2; 3 4]", k = "K=[1 0; 2 1]", singular = "K=[1 2; 2 4]";
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* printed;  // a piece of the answer, or all that is said on a refusal
    };
    const Case cases[] = {
        {{"ecuacion", "J*X + K = L", j, k, "L=[1 1; 1 1]"},
         0,
         "J X + K = L    (X es 2 × 2)\n\nJ X = L - K  =>  X = J^-1 (L - K)\n\nJ^-1 =\n-2 1\n"},
        {{"ecuacion", "J*X = X*J", j}, 0, "X =\n-λ + μ (2/3)λ\nλ μ\n\npara todo λ, μ\n"},
        {{"ecuacion", "K*X = J", j, singular}, 0, "=> la ecuación no tiene solución\n"},
        {{"ecuacion", "X = 2X", "X=1x2"}, 0, "X =\n0 0\n"},
        {{"--pasos", "ecuacion", "J*X = K", j, k}, 0, "J^-1:\n\ndet = -2\n1 2\n3 4\n"},
        {{"--latex", "ecuacion", "2X = J", j}, 0, "\\[ X = \\frac{1}{2}J \\]\n"},
        {{"ecuacion", "X = 2X"},
         2,
         "velmora-calc: el tamaño de X no se puede deducir de la ecuación: dé su tamaño, p. ej. "
         "X=2x3\n"},
        {{"ecuacion", "X*X = J", j}, 1, "velmora-calc: la ecuación no es lineal en X: X X\n"},
        {{"ecuacion", "J*X = M", j}, 2, "velmora-calc: la letra M no tiene matriz (dé M=MATRIZ)\n"},
        {{"ecuacion", "J*X", j}, 2, "velmora-calc: ecuación ilegible: «J*X»\n"},
        {{"ecuacion", "X = X", "X=5x4"},
         1,
         "velmora-calc: X sería 5 × 4: 20 incógnitas, y el máximo es 16\n"},
        {{"ecuacion", "X = X", "X=0x2"},
         2,
         "velmora-calc: se esperaba X=FxC, filas y columnas de 1 a 16: X=0x2\n"},
        {{"ecuacion", "J*J*X = K", "J=[46341 0; 0 1]", "K=[1 0; 0 1]"},
         1,
         "velmora-calc: desbordamiento: el resultado exacto no cabe en fracciones de 32 bits\n"},
        {{"ecuacion", "J*X = K", j, "K=[1 2 3]"},
         1,
         "velmora-calc: los dos miembros no tienen el mismo tamaño: J X es 2 × ? y K es 1 × 3\n"},
    };
    for (const Case& c : cases) {
        const CalcRun r = Calc(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[1] << ": " << r.err;
        if (c.status == 0) {
            EXPECT_NE(r.out.find(c.printed), std::string::npos) << c.args[1] << ":\n" << r.out;
        } else {
            EXPECT_EQ(r.err, c.printed);
        }
    }
}

}  // namespace
}  // namespace velmora
