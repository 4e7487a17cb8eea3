// What the clipboard brings into a grid: spreadsheet blocks, plain text and
// velmora-calc's "[1 2; 3 4]", read as written or refused with the reason.
#include "core/matrix/matrix_text.h"

#include <cstdint>
#include <random>

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr BlockLimits kEditor{1, 4, 1, 5};
constexpr BlockLimits kSystem{2, 4, 3, 5};

TEST(PastedMatrixTest, BlocksOfEveryFormRead) {
    const Fraction half(-1, 2);
    const struct Case {
        const char* text;
        Matrix expected;
    } cases[] = {
        // A spreadsheet's copy: tabs, CR LF, a line break after the last row.
        {"1\t-1/2\r\n3\t4\r\n", Matrix::FromRows({{1, half}, {3, 4}})},
        {"1\t\t3\n\t5\t\n", Matrix::FromRows({{1, 0, 3}, {0, 5, 0}})},  // empty cells read 0
        {" 2 \t 4/8\n", Matrix::FromRows({{2, Fraction(1, 2)}})},
        {"[1 2; 3 -1/2]", Matrix::FromRows({{1, 2}, {3, half}})},
        {"  [1, 2;\n 3 4]\n", Matrix::FromRows({{1, 2}, {3, 4}})},
        {"\n  1   2\n 3 4  \n\n", Matrix::FromRows({{1, 2}, {3, 4}})},
        {"1;2;3\r\n4;5;6", Matrix::FromRows({{1, 2, 3}, {4, 5, 6}})},
        {"1, 2\n3, 4", Matrix::FromRows({{1, 2}, {3, 4}})},
        {"1 / 2  3 /4\n", Matrix::FromRows({{Fraction(1, 2), Fraction(3, 4)}})},
        {"1\r2\r", Matrix::FromRows({{1}, {2}})},
        {"$FF %101 -7", Matrix::FromRows({{255, 5, -7}})},
        {"1 2 3 4 5\n6 7 8 9 10\n1 1 1 1 1\n2 2 2 2 2",
         Matrix::FromRows({{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {1, 1, 1, 1, 1}, {2, 2, 2, 2, 2}})},
        // A line break inside brackets ends a row; a blank line adds none.
        {"[1 2\n3 4]", Matrix::FromRows({{1, 2}, {3, 4}})},
        {"[1 2;\r\n\r\n 3 4\n]", Matrix::FromRows({{1, 2}, {3, 4}})},
        // The minus sign of a PDF or of the steps.
        {"\u22121\t2\n3\t\u22121/2", Matrix::FromRows({{-1, 2}, {3, half}})},
        // The program's LaTeX, and a system's equations as Copiar writes them.
        {"\\[ \\begin{pmatrix} 1 & -\\frac{1}{2} \\\\ 3 & 4 \\end{pmatrix} \\]",
         Matrix::FromRows({{1, half}, {3, 4}})},
        {"x - (1/2)z = 3\n-y = 0\n\nrango A' = 2",
         Matrix::FromRows({{1, 0, half, 3}, {0, -1, 0, 0}})},
        {"x + y = 2\n\n Solución:   x = 2 - λ    y = λ    z = μ    ",
         Matrix::FromRows({{1, 1, 0, 2}})},
    };
    for (const Case& c : cases) {
        Matrix m;
        std::string error;
        EXPECT_TRUE(ReadPastedMatrix(c.text, kEditor, m, error)) << c.text << ": " << error;
        EXPECT_EQ(m, c.expected) << c.text;
        EXPECT_TRUE(m.at(1, 1).IsNormal()) << c.text;
    }
}

TEST(PastedMatrixTest, RefusalsSayWhatIsWrongAndChangeNothing) {
    const struct Case {
        const char* text;
        BlockLimits limits;
        const char* error;
    } cases[] = {
        {"", kEditor, "la matriz está vacía"},
        {" \r\n\n", kEditor, "la matriz está vacía"},
        {"1 2 3 4 5 6", kEditor,
         "la matriz tiene 1 fila y 6 columnas, y aquí caben de 1 a 4 filas y de 1 a 5 columnas"},
        {"1\n2\n3\n4\n5", kEditor,
         "la matriz tiene 5 filas y 1 columna, y aquí caben de 1 a 4 filas y de 1 a 5 columnas"},
        // The size comes before what the cells hold.
        {"x\tx\tx\tx\tx\tx\n", kEditor,
         "la matriz tiene 1 fila y 6 columnas, y aquí caben de 1 a 4 filas y de 1 a 5 columnas"},
        {"[1 2 3 4 5 6]", kEditor,
         "la matriz tiene 1 fila y 6 columnas, y aquí caben de 1 a 4 filas y de 1 a 5 columnas"},
        {"1 2\n3 4", kSystem,
         "la matriz tiene 2 filas y 2 columnas, y aquí caben de 2 a 4 filas y de 3 a 5 columnas"},
        {"1 2 3", kSystem,
         "la matriz tiene 1 fila y 3 columnas, y aquí caben de 2 a 4 filas y de 3 a 5 columnas"},
        {"1\tabc\n", kEditor, "«abc» no es un número (fila 1, columna 2)"},
        {"1 2\n3 1.5", kEditor, "«1.5» no es un número (fila 2, columna 2)"},
        {"1;99999999999", kEditor, "«99999999999» está fuera de rango (fila 1, columna 2)"},
        {"3/0", kEditor, "«3/0» tiene denominador 0 (fila 1, columna 1)"},
        {"1 2\n3", kEditor, "la fila 2 tiene 1 elemento y la fila 1 tiene 2"},
        {"1\n\n2", kEditor, "la fila 2 está vacía"},
        {"1 2; 3 4", kEditor, "«1 2» no es un número (fila 1, columna 1)"},
        {"[1 2; 3 4", kEditor, "falta el corchete de cierre ]"},
        {"[1 2; 3]", kEditor, "la fila 2 tiene 1 elemento y la fila 1 tiene 2"},
        // Separators with no number between them are no matrix of zeros.
        {";", kEditor, "el texto no tiene ningún número"},
        {",", kEditor, "el texto no tiene ningún número"},
        {";;\n;;", kEditor, "el texto no tiene ningún número"},
        {"[1 2;;3 4]", kEditor, "la fila 2 está vacía"},
        {"x + w = 1", kEditor, "en la ecuación 1, «w» no es un término en x, y, z o t"},
        {"x = 1\nx - 2x = 0", kEditor, "en la ecuación 2, la incógnita x aparece dos veces"},
        {"x + y = 1\nx + y\n", kEditor,
         "la ecuación 2 no tiene dos lados separados por un signo ="},
    };
    for (const Case& c : cases) {
        Matrix m = Matrix::FromRows({{7}});
        std::string error;
        EXPECT_FALSE(ReadPastedMatrix(c.text, c.limits, m, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_EQ(m, Matrix::FromRows({{7}})) << c.text;
    }
    // Braces in a LaTeX copy nested past reason: refused at once.
    const std::string deep = "\\begin{pmatrix}" + std::string(20000, '{') + "1 \\end{pmatrix}";
    Matrix m;
    std::string error;
    EXPECT_FALSE(ReadPastedMatrix(deep, kEditor, m, error));
    EXPECT_EQ(error, "el LaTeX de la matriz no se entiende");
}

// Copied as a spreadsheet block or as velmora-calc's text, any matrix of the
// editor's sizes pastes back as itself.
TEST(PastedMatrixTest, CopiesPasteBackTheSame) {
    std::mt19937 random(2026);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int> small(-9, 9);
    for (int k = 0; k < 200; ++k) {
        Matrix m = Matrix::Zero(1 + k % 4, 1 + k / 4 % 5);
        for (int i = 1; i <= m.rows; ++i) {
            for (int j = 1; j <= m.cols; ++j) {
                Fraction f(k % 2 ? any(random) : small(random), k % 3 ? any(random) | 1 : 1);
                if (f.num == INT32_MIN && f.den < 0) f.den = 1;  // no 32-bit normal form
                f.Normalize();
                m.at(i, j) = f;
            }
        }
        std::string bracketed = "[" + MatrixText(m) + "]";
        for (char& c : bracketed) c = c == '\n' ? ';' : c;
        bracketed.erase(bracketed.size() - 2, 1);  // the ";" of the last row
        for (const std::string& text : {MatrixTabText(m), bracketed, MatrixLatex(m)}) {
            Matrix back;
            std::string error;
            ASSERT_TRUE(ReadPastedMatrix(text, kEditor, back, error)) << text << ": " << error;
            EXPECT_EQ(back, m) << text;
        }
    }
}

TEST(PastedMatrixTest, SingleValuesAreWhatACellTakes) {
    const struct {
        const char* text;
        bool single;
    } cases[] = {
        {"5", true},    {"-1/2\r\n", true}, {" 3 / 4 ", true}, {"\n7\n", true},
        {"1 2", false}, {"1\t2", false},    {"1;2", false},    {"1\n2", false},
        {"[5]", false}, {"", false},        {"abc", true},     {"a b", false},
        {"a^2 - 1\n", true}, {"(a + 1) 2", false}, {"1 -2", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSingleValue(c.text), c.single) << c.text;
}

}  // namespace
}  // namespace velmora
