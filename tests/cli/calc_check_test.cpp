// velmora-calc comprobar: the working with its marks, up to the first wrong
// step (status 1) or to the end with the form of the last matrix (0); a
// working or a matrix that cannot be read is status 2, said on err.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/calc.h"

namespace velmora {
namespace {

TEST(CalcCheckTest, WorkingsAndTheirMarks) {
    const std::string m = "[1 2 3; 3 2 4; 1 2 6]";
    struct Case {
        std::string matrix;
        std::string working;
        int status;
        std::string out;
    } cases[] = {
        {m, "F2 ← F2 - 3F1\n1 2 3\n0 -4 -6\n1 2 6\n\nF3 <- F3 - F1\n", 1,
         "F2 ← F2 - 3F1\n1 2 3\n0 -4 -6\n1 2 6\n✗ fila 2, columna 3: es -5, no -6\n"},
        {m,
         "F2 ← F2 - 3F1, F3 = F3 - F1\n1 2 3\n0 -4 -5\n0 0 3\nF3 ← F3 / 3\n1 2 3\n0 -4 -5\n"
         "0 0 1\n\n|1 2 3|\n|0 4 5|\n|0 0 1|\nrango = 3\n",
         0,
         "F2 ← F2 - 3F1, F3 = F3 - F1\n1 2 3\n0 -4 -5\n0 0 3\n✓ F2 ← F2 - 3F1\n✓ F3 ← F3 - F1\n"
         "F3 ← F3 / 3\n1 2 3\n0 -4 -5\n0 0 1\n✓\n\n|1 2 3|\n|0 4 5|\n|0 0 1|\n✓ F2 ← -F2\n"
         "rango = 3\n✓\n"
         "→ La última matriz es escalonada (forma triangular), no la reducida.\n"},
        {m, "1 2 3\n2 4 6\n1 2 6\n", 1,
         "1 2 3\n2 4 6\n1 2 6\n✗ no es equivalente a la anterior; fila 2, columna 3: con 6 ahí, "
         "la fila 2 es combinación de las de arriba y la matriz pierde rango (la anterior tiene "
         "rango 3)\n"},
        {"[1 2 3; 0 1 1]", "1 2 3\n0 1 5\n", 1,
         "1 2 3\n0 1 5\n✗ no es equivalente a la anterior; fila 2, columna 3: con lo que va antes "
         "en la fila, tendría que ser 1, no 5\n"},
        {"[1 1 3; 1 -1 1]",
         "F2 ← F2 - F1\n1 1 3\n0 -2 -2\n\n1 0 2\n0 1 1\nrango A = rango A' = 2\nS.C.I.\n", 1,
         "F2 ← F2 - F1\n1 1 3\n0 -2 -2\n✓\n\n1 0 2\n0 1 1\n✓ varios pasos a la vez\n"
         "rango A = rango A' = 2\n✓\nS.C.I.\n✗ es compatible determinado (S.C.D.): rango A = "
         "rango A' = 2 = nº de incógnitas\n"},
        {m, "F2 ← 3F1\n", 1,
         "F2 ← 3F1\n✗ no vale: en la nueva fila 2 no está la fila 2, que se pierde; F2 tiene que "
         "quedar con un coeficiente distinto de 0\n"},
        {m, "F2 ← F2 -\n", 2, ""},
        {m, "1 2\nx 4\n", 2, ""},
        {"[1 2; 3]", "", 2, ""},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.working);
        std::ostringstream out, err;
        EXPECT_EQ(RunCalc({"comprobar", c.matrix}, out, err, in), c.status) << c.working;
        EXPECT_EQ(out.str(), c.out) << c.working;
        EXPECT_EQ(err.str().empty(), c.status != 2) << err.str();
    }
}

}  // namespace
}  // namespace velmora
