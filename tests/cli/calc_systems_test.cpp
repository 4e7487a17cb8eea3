#include "cli/calc_systems.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/systems/sts_file.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct CalcRun {
    int status;
    std::string out, err;
};

template <typename F>
CalcRun Call(F command, std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = command(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(CalcSolveTest, PrintsRanksAndTheConclusionBox) {
    const CalcRun r = Call(CalcSolve, {"[2 1 1; 1 -1 0]"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "rango A' = 2\n"
              "rango A = 2\n"
              " rango A = rango A' => sistema COMPATIBLE\n"
              " rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)\n"
              "\n"
              " Solución:   x = 1/3    y = 1/3    \n");
    EXPECT_TRUE(r.err.empty());
}

TEST(CalcSolveTest, StatusTable) {
    struct Case {
        std::string matrix;
        int status;
        const char* out;
    };
    const Case cases[] = {
        {"[1 1 1; 1 1 2]", 0,
         "rango A' = 2\nrango A = 1\nrango A <> rango A' => sistema INCOMPATIBLE\n"},
        {"[1 1 1; 2 2 2]", 0,
         "rango A' = 1\nrango A = 1\n rango A = rango A' => sistema COMPATIBLE\n"
         "rango = 1 < nº incógnitas => INDETERMINADO  (S.C.I.)\n"
         "   Grado de indeterminación = 2 - 1 = 1\n\n"
         " Solución:   x = 1 - λ    y = λ    \n"
         "   para todo λ\n"},
        {"[1 0 2 1; 0 2 -1 6]", 0,
         "rango A' = 2\nrango A = 2\n rango A = rango A' => sistema COMPATIBLE\n"
         "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\n"
         "   Grado de indeterminación = 3 - 2 = 1\n\n"
         " Solución:   x = 1 - 2λ    y = 3 + (1/2)λ    z = λ    \n"
         "   para todo λ\n"},
        {"[1 1 1 1; 2 2 2 2]", 0,
         "rango A' = 1\nrango A = 1\n rango A = rango A' => sistema COMPATIBLE\n"
         "rango = 1 < nº incógnitas => INDETERMINADO  (S.C.I.)\n"
         "   Grado de indeterminación = 3 - 1 = 2\n\n"
         " Solución:   x = 1 - λ - μ    y = λ    z = μ    \n"
         "   para todo λ, μ\n"},
        // x + 0y + z = 2, x + 0y - z = 0: y is free, z = 1.
        {"[1 0 1 2; 1 0 -1 0]", 0,
         "rango A' = 2\nrango A = 2\n rango A = rango A' => sistema COMPATIBLE\n"
         "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\n"
         "   Grado de indeterminación = 3 - 2 = 1\n\n"
         " Solución:   x = 1    y = λ    z = 1    \n"
         "   para todo λ\n"},
        {"[1 1 1; 0 0 0]", 1, ""},              // null equation
        {"[1 2 3 4 5 6; 1 1 1 1 1 1]", 1, ""},  // five unknowns
        {"[1 1; 1 1; 1 1; 1 1; 1 1]", 1, ""},   // five equations
        {"[1]", 1, ""},                         // no unknown
        {"[1 2; 3", 2, ""},
        {"[1 1/0 1; 1 1 1]", 2, ""},
        // x = y = 1/(2^32 - 3): the ranks and the verdict, then the overflow.
        {"[2147483647 2147483646 1; 2147483646 2147483647 1]", 1,
         "rango A' = 2\nrango A = 2\n rango A = rango A' => sistema COMPATIBLE\n"
         " rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)\n\n"
         " Solución:   fuera de rango (no cabe en fracciones de 32 bits)\n"},
        // The triangular forms have no 32-bit form; the answer does.
        {"[65536 3 65533; 7 65537 -65530]", 0,
         "rango A' = 2\nrango A = 2\n rango A = rango A' => sistema COMPATIBLE\n"
         " rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)\n\n Solución:   x = 1    y = -1    "
         "\n"},
        // Undetermined with x = (65522 - 65531λ)/4295032811: the described
        // lines, the solution line out of range, then the overflow.
        {"[65536 3 1 1; 7 65537 2 5]", 1,
         "rango A' = 2\nrango A = 2\n rango A = rango A' => sistema COMPATIBLE\n"
         "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\n"
         "   Grado de indeterminación = 3 - 2 = 1\n\n"
         " Solución:   fuera de rango (no cabe en fracciones de 32 bits)\n"},
    };
    for (const Case& c : cases) {
        const CalcRun r = Call(CalcSolve, {c.matrix});
        EXPECT_EQ(r.status, c.status) << c.matrix;
        EXPECT_EQ(r.out, c.out) << c.matrix;
        EXPECT_EQ(r.err.empty(), c.status == 0) << c.matrix;
    }
    EXPECT_EQ(Call(CalcSolve, {}).status, 2);
    EXPECT_EQ(Call(CalcSolve, {"[1 1 1]", "[1 1 1]"}).status, 2);
}

TEST(CalcDiscussTest, PrintsTheDiscussionOrRefuses) {
    const CalcRun r = Call(CalcDiscuss, {"[a 1 1 1; 1 a 1 a; 1 1 a a^2]"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(
        r.out,
        "Para a ≠ -2, a ≠ 1: rango A = 3, rango A' = 3 => sistema COMPATIBLE DETERMINADO  "
        "(S.C.D.)\n"
        "   x = (-a - 1)/(a + 2)    y = 1/(a + 2)    z = (a^2 + 2a + 1)/(a + 2)    \n"
        "Para a = -2: rango A = 2, rango A' = 3 => sistema INCOMPATIBLE\n"
        "Para a = 1: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)\n"
        "   Solución:   x = 1 - λ - μ    y = λ    z = μ    \n"
        "   para todo λ, μ\n");
    EXPECT_TRUE(r.err.empty());

    const struct {
        std::vector<std::string> args;
        int status;
        const char* out;
        const char* err;
    } cases[] = {
        {{"[(a + 1) 2]"},
         0,
         "Para a ≠ -1: rango A = 1, rango A' = 1 => sistema COMPATIBLE DETERMINADO  (S.C.D.)\n"
         "   x = 2/(a + 1)    \n"
         "Para a = -1: rango A = 0, rango A' = 1 => sistema INCOMPATIBLE\n",
         ""},
        {{"[1 2; 3 6]"},
         0,
         "Para todo a: rango A = 1, rango A' = 1 => sistema COMPATIBLE DETERMINADO  (S.C.D.)\n"
         "   x = 2    \n",
         ""},
        {{"[a 1 1; 1 1/a 1]"},
         2,
         "",
         "velmora-calc: matriz ilegible: «1/a» tiene el parámetro en un denominador (fila 2, columna 2)\n"},
        {{"[a^5 1]"},
         2,
         "",
         "velmora-calc: matriz ilegible: «a^5» pasa del grado 4 en el parámetro (fila 1, columna 1)\n"},
        {{"[a 1 1 1 1 1]"},
         1,
         "",
         "velmora-calc: un sistema tiene de 1 a 4 ecuaciones y de 1 a 4 incógnitas (la matriz "
         "ampliada, de 2 a 5 columnas)\n"},
        {{"[a 1; 0 a-a]"},
         1,
         "",
         "velmora-calc: una ecuación es nula (coeficientes y término independiente 0)\n"},
        {{}, 2, "", "uso: velmora-calc discuss MATRIZ_AMPLIADA\n"},
    };
    for (const auto& c : cases) {
        const CalcRun run = Call(CalcDiscuss, c.args);
        const std::string what = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(run.status, c.status) << what;
        EXPECT_EQ(run.out, c.out) << what;
        EXPECT_EQ(run.err, c.err) << what;
    }
}

TEST(CalcSolveTest, APolynomialCellPointsToDiscuss) {
    const CalcRun r = Call(CalcSolve, {"[a 1 1; 1 1 2]"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "velmora-calc: matriz ilegible: «a» no es un número (fila 1, columna 1)\n"
              "velmora-calc: un sistema con un parámetro se discute con velmora-calc discuss\n");
    EXPECT_EQ(Call(CalcSolve, {"[x 1 1; 1 1 2]"}).err,
              "velmora-calc: matriz ilegible: «x» no es un número (fila 1, columna 1)\n");
}

TEST(CalcEvalTest, StatusTable) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* out;
    };
    std::string longSum = "J";
    for (int k = 0; k < 127; ++k) longSum += "+J";  // 255 characters
    const Case cases[] = {
        {{"J+K", "J=[1 2; 3 4]", "K=[2 0; 1 1]"}, 0, "3 2\n4 5\n"},
        {{"(j+k)*l", "J=[1 2; 3 4]", "K=[2 0; 1 1]", "l=[1 0 1; 0 1 -1]"}, 0, "3 2 1\n4 5 -1\n"},
        {{"J^0", "J=[1 2; 3 4]"}, 0, "1 0\n0 1\n"},
        {{"J-K-L", "J=[1]", "K=[2]", "L=[3]"}, 0, "-4\n"},
        {{"J*J-J*J", "J=[46341]"}, 0, "0\n"},
        {{"J + K", "J=[1 2; 3 4]", "K=[2 0; 1 1]"}, 0, "3 2\n4 5\n"},
        {{"J^-1 (K - 2I)", "J=[1 2; 3 4]", "K=[2 0; 1 1]"}, 0, "1 -1\n-1/2 1/2\n"},
        {{"J^T/2", "J=[1 2]"}, 0, "1/2\n1\n"},
        // Readable but not done: exit 1.
        {{"L+J", "J=[1 2; 3 4]", "K=[2 0; 1 1]", "L=[1 0 1; 0 1 -1]"}, 1, ""},
        {{"J*J", "J=[46341]"}, 1, ""},
        {{"J^-1", "J=[1 2; 2 4]"}, 1, ""},
        {{"J/0", "J=[1]"}, 1, ""},
        // Not readable, or written so that it cannot be done: exit 2.
        {{"2 + J", "J=[1]"}, 2, ""},
        {{"I", "J=[1]"}, 2, ""},
        {{"", "J=[1]"}, 2, ""},
        {{"K", "J=[1]"}, 2, ""},
        {{"(J)+K", "J=[1]"}, 2, ""},
        {{"L+J+", "J=[1 2; 3 4]", "K=[2 0; 1 1]", "L=[1 0 1; 0 1 -1]"}, 2, ""},
        {{longSum, "J=[1]"}, 2, ""},
        {{"J+L", "J=[1]", "L=[1]"}, 2, ""},  // K is missing
        {{"J", "K=[1]"}, 2, ""},             // J is missing
        {{"J", "J=[1]", "J=[2]"}, 2, ""},
        {{"J", "X=[1]"}, 2, ""},
        {{"J", "J=[1 2; 3]"}, 2, ""},
        {{"J", "J"}, 2, ""},
        {{}, 2, ""},
    };
    for (const Case& c : cases) {
        const CalcRun r = Call(CalcEval, c.args);
        const std::string what = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(r.status, c.status) << what;
        EXPECT_EQ(r.out, c.out) << what;
        EXPECT_EQ(r.err.empty(), c.status == 0) << what;
    }
    EXPECT_EQ(Call(CalcEval, {"L*J", "J=[1 2; 3 4]", "K=[1]", "L=[1 2 3]"}).err,
              "velmora-calc: los tamaños de las matrices no encajan: «L*J»\n");
    EXPECT_EQ(Call(CalcEval, {"J**2", "J=[1]"}).err, "velmora-calc: Expresión incorrecta: «J**2»\n");
    EXPECT_EQ(Call(CalcEval, {"J^-1", "J=[1 2; 2 4]"}).err,
              "velmora-calc: J no tiene inversa (det J = 0)\n");
    EXPECT_EQ(Call(CalcEval, {longSum, "J=[1]"}).err,
              "velmora-calc: Expresión incorrecta: más de 254 caracteres\n");
}

TEST(CalcStsTest, AddThenShow) {
    TempDir dir;
    const std::string path = dir.file("s.sts");
    CalcRun r = Call(CalcSts, {"add", path, "[2 1 1; 1 -1 0]", "Año 1º"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(path).size(), 890u);
    r = Call(CalcSts, {"add", path, "[1 1 1; 1 1 2]"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(path).size(), 1780u);

    ASSERT_EQ(Call(CalcSts, {"add", path, "[1 0 2 1; 0 2 -1 6]"}).status, 0);

    r = Call(CalcSts, {"show", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Sistema 1: Año 1º\n"
              "  2x + y = 1\n"
              "  x - y = 0\n"
              "rango A' = 2\n"
              "rango A = 2\n"
              " rango A = rango A' => sistema COMPATIBLE\n"
              " rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)\n"
              "\n"
              " Solución:   x = 1/3    y = 1/3    \n"
              "\n"
              "Sistema 2:\n"
              "  x + y = 1\n"
              "  x + y = 2\n"
              "rango A' = 2\n"
              "rango A = 1\n"
              "rango A <> rango A' => sistema INCOMPATIBLE\n"
              "\n"
              "Sistema 3:\n"
              "  x + 2z = 1\n"
              "  2y - z = 6\n"
              "rango A' = 2\n"
              "rango A = 2\n"
              " rango A = rango A' => sistema COMPATIBLE\n"
              "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\n"
              "   Grado de indeterminación = 3 - 2 = 1\n"
              "\n"
              " Solución:   x = 1 - 2λ    y = 3 + (1/2)λ    z = λ    \n"
              "   para todo λ\n");
}

// x = 2^31: the system keeps its ranks and verdict, the next one is shown whole.
TEST(CalcStsTest, ASolutionPastThirtyTwoBitsKeepsItsVerdict) {
    TempDir dir;
    const std::string path = dir.file("s.sts");
    ASSERT_EQ(Call(CalcSts, {"add", path, "[1/2 0 1073741824; 0 1 0]"}).status, 0);
    ASSERT_EQ(Call(CalcSts, {"add", path, "[1 1 2; 1 -1 0]"}).status, 0);
    ASSERT_EQ(Call(CalcSts, {"add", path, "[65536 3 1 1; 7 65537 2 5]"}).status, 0);
    const CalcRun r = Call(CalcSts, {"show", path});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("  y = 0\nrango A' = 2\nrango A = 2\n rango A = rango A' => sistema "
                         "COMPATIBLE\n rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)\n\n"
                         " Solución:   fuera de rango (no cabe en fracciones de 32 bits)\n\n"
                         "Sistema 2:"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(" Solución:   x = 1    y = 1    \n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err.rfind("sistema 1: velmora-calc: desbordamiento", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("\nsistema 3: velmora-calc: desbordamiento"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("= 3 - 2 = 1\n\n Solución:   fuera de rango"), std::string::npos) << r.out;
}

TEST(CalcStsTest, RefusalsAndDamagedFiles) {
    TempDir dir;
    const std::string path = dir.file("s.sts");
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{"add", path, "[1 1 1; 0 0 0]"}, 1},
        {{"add", path, "[1 2; 3"}, 2},
        {{"add", path, "[1 1 1]", "flecha →"}, 1},
        {{"add", path, "[1 1 1]", "uno\r\ndos"}, 1},
        {{"add", dir.file("no/such/folder.sts"), "[1 1 1]"}, 1},
        {{"add", "/dev/zero", "[1 1 1]"}, 2},
        {{"show", "/dev/zero"}, 2},
        {{"show", dir.file("missing.sts")}, 2},
        {{"show", dir.path().string()}, 2},
        {{"frob", path}, 2},
        {{"add", path}, 2},
        {{}, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Call(CalcSts, c.args).status, c.status) << (c.args.empty() ? "" : c.args.back());
    }
    EXPECT_FALSE(std::filesystem::exists(path)) << "no refused command wrote the file";
    EXPECT_EQ(Call(CalcSts, {"add", path, "[1 1 1]", "uno\ndos"}).err,
              "velmora-calc: el comentario lleva un salto de línea, y un comentario es una sola "
              "línea de la lista\n");

    // One good record, one garbage record and a partial one: the good one is
    // shown, the rest reported.
    ASSERT_EQ(Call(CalcSts, {"add", path, "[1 1 2; 1 -1 0]", "bien"}).status, 0);
    WriteBytes(path, ReadBytes(path) + std::string(890, '\xFF') + "xyz");
    const CalcRun r = Call(CalcSts, {"show", path});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("Sistema 1: bien"), std::string::npos);
    EXPECT_EQ(r.out.find("Sistema 2"), std::string::npos);
    EXPECT_NE(r.err.find("1 registro con datos no válidos"), std::string::npos);

    // Nothing is added to a file that is not a list of systems.
    const std::string damaged = ReadBytes(path);
    CalcRun added = Call(CalcSts, {"add", path, "[1 1 3; 1 -1 1]"});
    EXPECT_EQ(added.status, 2);
    EXPECT_EQ(ReadBytes(path), damaged);
    const std::string notes = dir.file("notes.txt");
    WriteBytes(notes, std::string(1050, 'n'));
    added = Call(CalcSts, {"add", notes, "[1 1 3; 1 -1 1]"});
    EXPECT_EQ(added.status, 2);
    EXPECT_TRUE(added.out.empty());
    EXPECT_EQ(added.err, "velmora-calc: El fichero " + notes +
                             " no es una lista de sistemas: no se le añade nada. El fichero no ha "
                             "cambiado.\n");
    EXPECT_EQ(ReadBytes(notes), std::string(1050, 'n'));
}

}  // namespace
}  // namespace velmora
