// A system as the clipboard gets it: its equations, ranks and conclusion as
// text and as LaTeX.
#include "core/systems/system_text.h"

#include <cstdint>
#include <iterator>
#include <random>

#include <gtest/gtest.h>

#include "core/matrix/matrix_text.h"
#include "core/systems/latex_line.h"
#include "support/latex.h"

namespace velmora {
namespace {

TEST(SystemTextTest, EquationsInWordsAndInLatex) {
    const Matrix m = Matrix::FromRows({{2, -1, Fraction(1, 2), 3},
                                       {0, 1, Fraction(-3, 4), Fraction(-1, 3)},
                                       {0, 0, 0, 5},
                                       {INT32_MIN, -1, 1, 0}});
    const struct {
        int row;
        const char* text;
        const char* latex;
    } cases[] = {
        {1, "2x - y + (1/2)z = 3", "2x - y + \\frac{1}{2}z = 3"},
        {2, "y - (3/4)z = -1/3", "y - \\frac{3}{4}z = -\\frac{1}{3}"},
        {3, "0 = 5", "0 = 5"},
        {4, "-2147483648x - y + z = 0", "-2147483648x - y + z = 0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EquationText(m, c.row), c.text);
        EXPECT_EQ(EquationLatex(m, c.row), c.latex);
    }
}

TEST(SystemTextTest, SystemWithRanksAndConclusion) {
    const struct {
        Matrix augmented;
        const char* text;
        const char* latex;
    } cases[] = {
        {Matrix::FromRows({{1, 1, 2}, {1, -1, 0}}),
         "x + y = 2\n"
         "x - y = 0\n"
         "\n"
         "rango A' = 2\n"
         "rango A = 2\n"
         " rango A = rango A' => sistema COMPATIBLE\n"
         " rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)\n"
         "\n"
         " Solución:   x = 1    y = 1\n"
         "   Posición: Las dos rectas se cortan en un punto\n",
         "\\[\n"
         "\\left\\{\\begin{array}{rcl}\n"
         "x + y & = & 2 \\\\\n"
         "x - y & = & 0\n"
         "\\end{array}\\right.\n"
         "\\qquad\n"
         "\\begin{array}{l}\n"
         "\\text{rango } A' = 2 \\\\\n"
         "\\text{rango } A = 2 \\\\\n"
         "\\text{rango } A = \\text{rango } A' \\Rightarrow \\text{sistema COMPATIBLE} \\\\\n"
         "\\text{rango} = 2 = \\text{nº incógnitas} \\Rightarrow \\text{DETERMINADO} \\quad "
         "\\text{(S.C.D.)} \\\\\n"
         "\\text{Solución:} \\quad x = 1 \\quad y = 1 \\\\\n"
         "\\text{Posición: Las dos rectas se cortan en un punto}\n"
         "\\end{array}\n"
         "\\]"},
        {Matrix::FromRows({{1, 1, 1}, {2, 2, Fraction(-1, 2)}}),
         "x + y = 1\n"
         "2x + 2y = -1/2\n"
         "\n"
         "rango A' = 2\n"
         "rango A = 1\n"
         "rango A <> rango A' => sistema INCOMPATIBLE\n"
         "   Posición: Las dos rectas son paralelas\n",
         "\\[\n"
         "\\left\\{\\begin{array}{rcl}\n"
         "x + y & = & 1 \\\\\n"
         "2x + 2y & = & -\\frac{1}{2}\n"
         "\\end{array}\\right.\n"
         "\\qquad\n"
         "\\begin{array}{l}\n"
         "\\text{rango } A' = 2 \\\\\n"
         "\\text{rango } A = 1 \\\\\n"
         "\\text{rango } A \\neq \\text{rango } A' \\Rightarrow \\text{sistema INCOMPATIBLE} \\\\\n"
         "\\text{Posición: Las dos rectas son paralelas}\n"
         "\\end{array}\n"
         "\\]"},
    };
    for (const auto& c : cases) {
        Matrix reduced = c.augmented;
        const SystemAnalysis analysis = AnalyseSystem(reduced);
        EXPECT_EQ(SystemText(analysis), c.text);
        EXPECT_EQ(SystemLatex(analysis), c.latex);
    }
}

// The lines of a conclusion or a discussion in LaTeX: the words as text, the
// rest as mathematics (fractions, powers, parameters, relations); LaTeX's own
// characters escaped whatever a line holds.
const struct {
    const char* line;
    const char* latex;
} kLines[] = {
    {" Solución:   x = 62/83    y = -1/83    ",
     "\\text{Solución:} \\quad x = \\frac{62}{83} \\quad y = -\\frac{1}{83}"},
    {"Para a ≠ -2, a ≠ 1: rango A = 3, rango A' = 3 => sistema COMPATIBLE DETERMINADO  (S.C.D.)",
     "\\text{Para } a \\neq -2 \\text{, } a \\neq 1 \\text{: rango } A = 3 \\text{, rango } A' = 3 "
     "\\Rightarrow \\text{sistema COMPATIBLE DETERMINADO} \\quad \\text{(S.C.D.)}"},
    {"   x = (-a - 1)/(a + 2)    z = (a^2 + 2a + 1)/(2(a - 3))    ",
     "x = \\frac{-a - 1}{a + 2} \\quad z = \\frac{a^{2} + 2a + 1}{2(a - 3)}"},
    {"   Solución:   x = 1 - (1/2)λ - aμ    y = (1/(a + 2))ν - (a + 1)ξ    ",
     "\\text{Solución:} \\quad x = 1 - \\frac{1}{2}\\lambda - a\\mu \\quad "
     "y = \\frac{1}{a + 2}\\nu - (a + 1)\\xi"},
    {"   para todo λ, μ, ν, ξ",
     "\\text{para todo } \\lambda \\text{, } \\mu \\text{, } \\nu \\text{, } \\xi"},
    {" Solución:   fuera de rango (no cabe en fracciones de 32 bits)",
     "\\text{Solución:} \\quad \\text{fuera de rango (no cabe en fracciones de 32 bits)}"},
    {"x = (1 ± √13)/2", "x = \\frac{1 \\pm \\sqrt{13}}{2}"},
    {"50% & #1_{a}^~\\",
     "50 \\text{\\% \\& \\#} 1 \\text{\\_\\{} a \\text{\\}\\textasciicircum{}\\textasciitilde{}"
     "\\textbackslash{}}"},
};

TEST(SystemTextTest, LinesInLatexAreMathematics) {
    for (const auto& c : kLines) EXPECT_EQ(LineLatex(c.line), c.latex) << c.line;
}

// A grid of typed cells as a matrix of polynomials.
PolynomialMatrix Polynomials(const std::vector<std::vector<std::string>>& rows) {
    PolynomialMatrix m(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()));
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j)
            EXPECT_EQ(ReadPolynomial(rows[i - 1][j - 1], m.at(i, j)), PolynomialReading::Ok);
    }
    return m;
}

TEST(SystemTextTest, EquationsWithAParameter) {
    const PolynomialMatrix m = Polynomials({{"a", "1", "1", "1"},
                                            {"a+1", "1-a", "-1/2", "a^2-1"},
                                            {"2/3a", "-a^2", "0", "(a+1)/2"},
                                            {"0", "0", "0", "-3a"}});
    const struct {
        int row;
        const char* text;
        const char* latex;
    } cases[] = {
        {1, "ax + y + z = 1", "ax + y + z = 1"},
        {2, "(a + 1)x - (a - 1)y - (1/2)z = a^2 - 1",
         "(a + 1)x - (a - 1)y - \\frac{1}{2}z = a^{2} - 1"},
        {3, "(2/3)ax - a^2 y = (1/2)a + 1/2",
         "\\frac{2}{3}ax - a^{2}y = \\frac{1}{2}a + \\frac{1}{2}"},
        {4, "0 = -3a", "0 = -3a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EquationText(m, c.row), c.text);
        EXPECT_EQ(EquationLatex(m, c.row), c.latex);
    }
}

TEST(SystemTextTest, DiscussionInLatex) {
    const Discussion d = DiscussSystem(Polynomials({{"1", "a", "1"}, {"a", "2", "1"}}));
    EXPECT_EQ(
        DiscussionLatex(d),
        "\\[\n"
        "\\left\\{\\begin{array}{rcl}\n"
        "x + ay & = & 1 \\\\\n"
        "ax + 2y & = & 1\n"
        "\\end{array}\\right.\n"
        "\\qquad\n"
        "\\begin{array}{l}\n"
        "\\text{Para } a \\neq \\pm\\sqrt{2} \\text{: rango } A = 2 \\text{, rango } A' = 2 "
        "\\Rightarrow \\text{sistema COMPATIBLE DETERMINADO} \\quad \\text{(S.C.D.)} \\\\\n"
        "x = \\frac{a - 2}{a^{2} - 2} \\quad y = \\frac{a - 1}{a^{2} - 2} \\\\\n"
        "\\text{Posición: Las dos rectas se cortan en un punto} \\\\\n"
        "\\text{Para } a = \\pm\\sqrt{2} \\text{: rango } A = 1 \\text{, rango } "
        "A' = 2 \\Rightarrow \\text{sistema INCOMPATIBLE} \\\\\n"
        "\\text{Posición: Las dos rectas son paralelas}\n"
        "\\end{array}\n"
        "\\]");
}

// Whatever a system is copied as, text or LaTeX, it pastes back as the same
// grid: random systems of numbers and with the parameter. An unknown in no
// equation comes back as long as a solution line names it.
TEST(SystemTextTest, CopiesPasteBackAsTheSameGrid) {
    std::mt19937 gen(2121);
    auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    int discussed = 0;
    for (int k = 0; k < 300; ++k) {
        const int m = draw(2, 4), n = draw(2, 4);
        PolynomialMatrix p(m, n + 1);
        for (Polynomial& c : p.cells) {
            mpq_class q(draw(-9, 9), draw(1, 4));
            q.canonicalize();
            c = draw(0, 2) == 0 ? Polynomial() : Polynomial(q);
            if (k % 2 == 1 && draw(0, 2) == 0) {
                c.coefficients.resize(3);
                c.coefficients[draw(1, 2)] = draw(-2, 2);
                c.Trim();
            }
        }
        if (draw(0, 2) == 0) {  // an unknown in no equation, the last ones too
            const int j = draw(1, n);
            for (int i = 1; i <= m; ++i) p.at(i, j) = Polynomial();
        }
        std::vector<std::string> copies;
        if (p.HasParameter()) {
            try {
                const Discussion d = DiscussSystem(p);
                copies = {DiscussionText(d), DiscussionLatex(d)};
                ++discussed;
            } catch (const std::invalid_argument&) {
                continue;  // an equation 0 = 0 for every a
            }
        } else {
            Matrix a = Matrix::Zero(m, n + 1);
            for (int i = 1; i <= m; ++i)
                for (int j = 1; j <= n + 1; ++j)
                    ASSERT_EQ(ReadNumber(PolynomialText(p.at(i, j)), a.at(i, j)),
                              NumberReading::Ok);
            const SystemAnalysis analysis = AnalyseSystem(a);
            copies = {SystemText(analysis), SystemLatex(analysis)};
        }
        for (const std::string& copy : copies) {
            TextMatrix cells;
            std::string error;
            ASSERT_TRUE(ReadPastedCells(copy, {2, 4, 3, 5}, true, cells, error)) << copy << error;
            ASSERT_EQ(cells.rows, m) << copy;
            ASSERT_EQ(cells.cols, n + 1) << copy;
            for (int i = 1; i <= m; ++i)
                for (int j = 1; j <= n + 1; ++j)
                    EXPECT_EQ(cells.at(i, j), PolynomialText(p.at(i, j))) << copy;
        }
    }
    EXPECT_GT(discussed, 100);
}

// Systems, discussions (one of them with a fourth parameter, ξ) and every
// kind of line in one document with amsmath, compiled by pdflatex: each
// fragment is a displayed formula of its own.
TEST(SystemTextTest, LatexCompiles) {
    VELMORA_NEED_PDFLATEX();
    std::string body;
    for (const auto& rows : std::vector<std::vector<std::vector<std::string>>>{
             {{"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}},
             {{"1", "a", "a"}, {"a", "2", "2"}},
             {{"a+1", "1-a", "2/3a", "(a+1)/2"}, {"1", "1", "1", "-1/2"}},
             {{"a", "a", "a", "a", "a"}},
         }) {
        body += DiscussionLatex(DiscussSystem(Polynomials(rows))) + "\n";
    }
    for (const Matrix& system : {Matrix::FromRows({{1, 1, 1, 2}, {1, -1, Fraction(1, 2), 0}}),
                                 Matrix::FromRows({{0, 0, 0, 0, 0}}),
                                 Matrix::FromRows({{Fraction(1, 2), 0, 1073741824}, {0, 1, 0}})})
        body += SystemLatex(AnalyseSystem(system)) + "\n";
    for (const auto& c : kLines) body += "\\[ " + LineLatex(c.line) + " \\]\n";
    test::ExpectLatexCompiles(body);
}

}  // namespace
}  // namespace velmora
