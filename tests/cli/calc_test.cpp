#include <gtest/gtest.h>

#include <sstream>

#include "cli/calc.h"
#include "cli/matrix_reader.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

struct CalcRun {
    int status;
    std::string out, err;
};

CalcRun Calc(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = RunCalc(args, out, err);
    return {status, out.str(), err.str()};
}

// The documents of eigen and pow n, their last lines: the verdict, the
// check, or the refusal to guess a closed form (status 1).
TEST(CalcTest, EigenAndClosedPowers) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* tail;
    } cases[] = {
        {{"eigen", "[2 1; 0 2]"},
         0,
         "A no es diagonalizable: λ = 2 tiene multiplicidad algebraica 2 y geométrica 1\n\n"},
        {{"eigen", "[1 2; 2 4]"}, 0, "0 0\n0 5\n\ncalculado exactamente, P^-1 A P = D\n\n"},
        {{"--latex", "eigen", "[0 -1; 1 0]"},
         0,
         "\\text{A no es diagonalizable: }\\lambda^{2} + 1 = 0\\text{ tiene"},
        {{"pow", "n", "[1 1; 0 1]"},
         0,
         "A^n =\n1   n\n0   1\n\ncomprobado por inducción: A^(n+1) = A·A^n\n\n"},
        {{"pow", "n", "[0 -1; 1 0]"},
         0,
         "A^4 = I, luego A^n = A^r, donde r es el resto de dividir n entre 4\n\n"},
        {{"pow", "n", "[1 1; 1 0]"}, 1, "ni diagonalizable con valores propios racionales\n\n"},
        // With the parameter: the verdict by its values; eigenvalues that are
        // not polynomials in it are not discussed.
        {{"eigen", "[a 1; 0 1]"}, 0, "A es diagonalizable para a ≠ 1\nPara a = 1 no lo es: λ = 1"},
        {{"eigen", "[0 k; 1 0]"}, 1, "no son todos polinomios en k"},
        // A number N from 3 on goes through the closed form, which is named.
        {{"pow", "2016", "[0 -1; 1 0]"}, 0, "2016 = 4·504 + 0, luego A^2016 = A^0 =\n1 0\n0 1\n"},
        {{"pow", "2016", "[1 1; 0 1]"}, 0, "I + N, N =\n0 1\n0 0\n"},
        {{"pow", "2016", "[1 1; 0 1]"}, 0, "n = 2016: A^2016 =\n1 2016\n0 1\n"},
        {{"pow", "3", "[0 1 2; 0 0 3; 0 0 0]"}, 0, "3 ≥ 3, luego A^3 =\n0 0 0\n0 0 0\n0 0 0\n"},
        {{"pow", "3", "[1 2; 2 4]"}, 0, "n = 3: A^3 =\n25 50\n50 100\n"},
        {{"pow", "2016", "[2 1; 0 2]"}, 1, ""},
    };
    for (const auto& c : cases) {
        const CalcRun r = Calc(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_NE(r.out.find(c.tail), std::string::npos) << r.out;
    }
}

TEST(CalcTest, CommandsTable) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* out;
    } cases[] = {
        {{"det", "[1 2; 3 4]"}, 0, "-2\n"},
        {{"inv", "[1 2; 3 4]"}, 0, "-2 1\n3/2 -1/2\n"},
        {{"inv", "[1 2; 2 4]"}, 1, ""},
        {{"det", "[1 2; 3]"}, 2, ""},
        {{"det", "[1 x]"}, 2, ""},
        {{"pow", "40", "[2]"}, 1, ""},
        {{"pow", "0", "[2 1; 1 1]"}, 0, "1 0\n0 1\n"},
        {{"pow", "-1", "[2]"}, 2, ""},
        {{"pow", "2", "[1 2 3]"}, 1, ""},
        {{"pow", "n", "[1 2 3]"}, 1, ""},
        {{"pow", "n", "[1 x]"}, 2, ""},
        {{"eigen", "[1 2 3]"}, 1, ""},
        {{"eigen", "[1; 2]", "[1]"}, 2, ""},
        {{"rank", "1,2;2,4"}, 0, "1\n"},
        {{"trans", "[1 2 3]"}, 0, "1\n2\n3\n"},
        {{"trans", "[1 2\n3 \u22124]"}, 0, "1 3\n2 -4\n"},  // a line break ends a row
        {{"adj", "[1 2; 3 4]"}, 0, "4 -3\n-2 1\n"},
        {{"tri", "[2 4; 3 5]"}, 0, "2 4\n0 -1\n"},
        {{"gj", "[1 2 3; 2 4 7]"}, 0, "1 2 0\n0 0 1\n"},
        {{"gj", "[1 2 3; 0 0 1]"}, 0, "1 2 0\n0 0 1\n"},
        {{"gj", "[0 0 -5; -1 -9 1/2]"}, 0, "-1 -9 0\n0 0 -5\n"},
        // A determinant past 32 bits is never shown as a number.
        {{"det", "[2147483647 2; 3 2147483647]"}, 1, ""},
        {{"det", "[65536 0; 0 65536]"}, 1, ""},
        {{"det", "[65536 0; 0 32767]"}, 0, "2147418112\n"},
        {{"det", "[65536 1; 65535 1]"}, 0, "1\n"},
        // ... while the matrices themselves and what fits of them are sound.
        {{"trans", "[65536 0; 1 65536]"}, 0, "65536 1\n0 65536\n"},
        {{"inv", "[65536 0; 0 65536]"}, 0, "1/65536 0\n0 1/65536\n"},
        {{"rank", "[65536 3 1; 7 65537 2]"}, 0, "2\n"},
        {{"tri", "[65536 3 1; 7 65537 2]"}, 1, ""},  // the form itself has no 32-bit form
        {{"mul", "2/3", "[3 6; 9 -1/2]"}, 0, "2 4\n6 -1/3\n"},
        {{"mul", "1/0", "[1]"}, 2, ""},
        {{"det", "[1/0]"}, 2, ""},
        {{"det", "[2/4 3/-6]"}, 1, ""},
        {{"det", "[]"}, 2, ""},
        {{"det", "[1 2; 3 4;]"}, 2, ""},
        {{"det", "[1 2] [3 4]"}, 2, ""},
        {{"det"}, 2, ""},
        {{"frobnicate", "[1]"}, 2, ""},
        {{"det", "[1 2 3 4 5 6 7 8 9 10 11]"}, 2, ""},
        // Brackets come in pairs.
        {{"det", "[1 2; 3 4"}, 2, ""},
        {{"det", "1 2; 3 4]"}, 2, ""},
        {{"det", "[1 2] extra"}, 2, ""},
        {{"det", "["}, 2, ""},
        {{"det", "1 2; 3 4"}, 0, "-2\n"},
        // Numbers are read as written, blanks around them allowed, or refused.
        {{"mul", " 3 ", "[1 2]"}, 0, "3 6\n"},
        {{"mul", "-2/3 ", "[3]"}, 0, "-2\n"},
        {{"mul", "4/8", "[2]"}, 0, "1\n"},
        {{"pow", " 2 ", "[2]"}, 0, "4\n"},
        {{"pow", "2147483648", "[1]"}, 2, ""},
        {{"det", "[-$7FFFFFFF]"}, 0, "-2147483647\n"},
        {{"det", "[-$80000000]"}, 2, ""},
        {{"det", "[-$FFFFFFFF]"}, 2, ""},
        {{"det", "[-%11111111111111111111111111111111]"}, 2, ""},
        {{"det", "[2147483648/2]"}, 2, ""},
        {{"mul", "1/2/3", "[1]"}, 2, ""},
    };
    for (const Case& c : cases) {
        const CalcRun r = Calc(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0] << " " << (c.args.size() > 1 ? c.args[1] : "");
        EXPECT_EQ(r.out, c.out) << c.args[0];
        EXPECT_EQ(r.err.empty(), c.status == 0) << r.err;
    }
}

TEST(CalcTest, ReaderNormalisesEntries) {
    Matrix m;
    std::string error;
    ASSERT_TRUE(ReadMatrixText("  2/4, 3/-6 ; $10 %11 ", m, error)) << error;
    EXPECT_EQ(MatrixText(m), "1/2 -1/2\n16 3\n");
    EXPECT_FALSE(ReadMatrixText("[1 1/-2147483648]", m, error));
    EXPECT_NE(error.find("columna 2"), std::string::npos);
}

TEST(CalcTest, UnreadableInputSaysWhy) {
    // Thousands of parentheses, one inside another, and a number of some
    // gigabits in sixty characters: refused at once, the cell named.
    const std::string deep = std::string(12500, '(') + "a" + std::string(12500, ')');
    const std::string opening = "«" + std::string(40, '(') + "…» ";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"discuss", "[" + deep + " 1]"},
         "matriz ilegible: " + opening +
             "tiene más de 32 paréntesis uno dentro de otro (fila 1, columna 1)"},
        {{"discuss", "[((((((((2147483647^9)^9)^9)^9)^9)^9)^9)^9)a a 1]"},
         "matriz ilegible: «((((((((2147483647^9)^9)^9)^9)^9)^9)^9)^…» tiene números demasiado "
         "grandes (de más de 4096 bits) (fila 1, columna 1)"},
        {{"det", "[" + deep + "]"},
         "matriz ilegible: " + opening +
             "tiene más de 32 paréntesis uno dentro de otro (fila 1, columna 1)"},
        {{"eval", deep, "J=[1]"}, "Expresión incorrecta: más de 254 caracteres"},
        {{"det", "[1 2; 3]"}, "matriz ilegible: la fila 2 tiene 1 elemento y la fila 1 tiene 2"},
        {{"det", "[1; 2 3]"}, "matriz ilegible: la fila 2 tiene 2 elementos y la fila 1 tiene 1"},
        {{"det", "[1 2; 3 4"}, "matriz ilegible: falta el corchete de cierre ]"},
        {{"det", "1 2; 3 4]"}, "matriz ilegible: falta el corchete de apertura ["},
        {{"det", "[1 1/2/3]"}, "matriz ilegible: «1/2/3» no es un número (fila 1, columna 2)"},
        {{"det", "[99999999999]"},
         "matriz ilegible: «99999999999» está fuera de rango (fila 1, columna 1)"},
        {{"det", "[1; 3/0]"}, "matriz ilegible: «3/0» tiene denominador 0 (fila 2, columna 1)"},
        {{"mul", "3/x", "[1]"}, "factor ilegible: «3/x» no es un número"},
    };
    for (const auto& [args, why] : cases) {
        const CalcRun r = Calc(args);
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_EQ(r.err, std::string("velmora-calc: ") + why + "\n");
    }
}

// --latex before a command whose result is a matrix prints it as the
// clipboard's LaTeX; before any other command it is refused as unreadable.
TEST(CalcTest, LatexPrintsMatrixResults) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* out;
    } cases[] = {
        {{"--latex", "inv", "[1 2; 3 4]"},
         0,
         "\\[ \\begin{pmatrix} -2 & 1 \\\\ \\frac{3}{2} & -\\frac{1}{2} \\end{pmatrix} \\]\n"},
        {{"--latex", "trans", "[1 2]"}, 0, "\\[ \\begin{pmatrix} 1 \\\\ 2 \\end{pmatrix} \\]\n"},
        {{"--latex", "mul", "-1/3", "[1 6]"},
         0,
         "\\[ \\begin{pmatrix} -\\frac{1}{3} & -2 \\end{pmatrix} \\]\n"},
        {{"--latex", "pow", "2", "[1 1; 0 1]"},
         0,
         "\\[ \\begin{pmatrix} 1 & 2 \\\\ 0 & 1 \\end{pmatrix} \\]\n"},
        {{"--latex", "eval", "J+J", "J=[1/2]"}, 0, "\\[ \\begin{pmatrix} 1 \\end{pmatrix} \\]\n"},
        {{"--latex", "inv", "[1 2; 2 4]"}, 1, ""},
        {{"--latex", "tri", "[1 x]"}, 2, ""},
        {{"--latex", "det", "[1 2; 3 4]"}, 2, ""},
        {{"--latex", "solve", "[1 2; 3 4]"}, 2, ""},
        {{"--latex"}, 2, ""},
        {{"inv", "--latex", "[1 2; 3 4]"}, 2, ""},
    };
    for (const auto& c : cases) {
        const CalcRun r = Calc(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.size() << " " << c.args.back();
        EXPECT_EQ(r.out, c.out) << c.args.back();
    }
}

TEST(CalcTest, ErrorsExplainTheProblem) {
    EXPECT_NE(Calc({"inv", "[1 2; 2 4]"}).err.find("singular"), std::string::npos);
    EXPECT_NE(Calc({"pow", "40", "[2]"}).err.find("desbordamiento"), std::string::npos);
    EXPECT_NE(Calc({"det", "[1 2; 3]"}).err.find("fila 2"), std::string::npos);
    EXPECT_EQ(Calc({"--help"}).status, 0);
}

// Standard output on a full disk: every write fails.
class FullBuffer : public std::streambuf {
    int overflow(int) override { return traits_type::eof(); }
};

TEST(CalcTest, AResultThatCannotBeWrittenIsNoSuccess) {
    test::TempDir dir;
    const std::string list = dir.file("s.sts");
    ASSERT_EQ(Calc({"sts", "add", list, "[1 1 2; 1 -1 0]"}).status, 0);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"det", "[1]"}, {"discuss", "[a 1]"}, {"--help"}, {"sts", "show", list},
             {"--pasos", "tri", "[2 4; 3 5]"}}) {
        FullBuffer full;
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(RunCalc(args, out, err), kCalcRefused) << args[0];
        EXPECT_EQ(err.str(), "velmora-calc: no se ha podido escribir el resultado\n")
            << args[0] << ": " << err.str();
    }
}

}  // namespace
}  // namespace velmora
