// The recorded steps of the eliminations worked out by hand in the guide,
// their notation as text and as LaTeX, and a LaTeX document of several
// records compiled with pdflatex (skipped where pdflatex is not installed).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/matrix/steps.h"
#include "core/systems/linear_system.h"
#include "support/latex.h"

namespace velmora {
namespace {

// "F2 ← 2F2 - 3F1 | 2 4; 0 -2" for each step.
std::vector<std::string> Lines(const std::vector<Step>& steps) {
    std::vector<std::string> lines;
    for (const Step& s : steps) {
        std::string line = StepText(s) + " |";
        for (int i = 1; i <= s.matrix.rows; ++i) {
            line += i > 1 ? ";" : "";
            for (int j = 1; j <= s.matrix.cols; ++j) line += " " + s.matrix.at(i, j);
        }
        lines.push_back(line);
    }
    return lines;
}

TEST(StepsTest, EliminationsByHand) {
    const Fraction h(1, 2), t(1, 3);
    struct Case {
        Matrix m;
        bool gaussJordan;
        std::vector<std::string> steps;
    } cases[] = {
        {Matrix::FromRows({{2, 4}, {3, 5}}),
         false,
         {"F2 ← 2F2 - 3F1 | 2 4; 0 -2", "F2 ← F2 / 2 | 2 4; 0 -1"}},
        {Matrix::FromRows({{0, 1}, {1, 0}}), false, {"F1 ↔ F2 | 1 0; 0 1"}},
        // A zero row goes to the bottom, by a swap of its own.
        {Matrix::FromRows({{0, 0}, {0, 5}}), false, {"F1 ↔ F2 | 0 5; 0 0"}},
        {Matrix::FromRows({{1, 1, 1, 1}, {2, 2, 2, 2}, {0, 0, 1, 2}}),
         false,
         {"F2 ← F2 - 2F1 | 1 1 1 1; 0 0 0 0; 0 0 1 2", "F2 ↔ F3 | 1 1 1 1; 0 0 1 2; 0 0 0 0"}},
        {Matrix::FromRows({{2, 4, 6}, {1, 1, 1}}),
         false,
         {"F2 ← 2F2 - F1 | 2 4 6; 0 -2 -4", "F2 ← F2 / 2 | 2 4 6; 0 -1 -2"}},
        {Matrix::FromRows({{h, 1}, {1, t}}),
         false,
         {"F2 ← F2 - 2F1 | 1/2 1; 0 -5/3", "F2 ← F2 / 5 | 1/2 1; 0 -1/3"}},
        // A negative quotient adds the pivot row.
        {Matrix::FromRows({{1, 1, 1}, {-2, 1, 0}}), false, {"F2 ← F2 + 2F1 | 1 1 1; 0 3 2"}},
        {Matrix::FromRows({{2, 1, 1}, {-3, 1, 0}}), false, {"F2 ← 2F2 + 3F1 | 2 1 1; 0 5 3"}},
        {Matrix::FromRows({{1, 2}, {3, 4}}),
         true,
         {"F2 ← F2 - 3F1 | 1 2; 0 -2", "F2 ← F2 / 2 | 1 2; 0 -1", "F1 ← F1 + 2F2 | 1 0; 0 -1"}},
        // The leading entry off the diagonal is cleared above too.
        {Matrix::FromRows({{1, 2, 3}, {2, 4, 7}}),
         true,
         {"F2 ← F2 - 2F1 | 1 2 3; 0 0 1", "F1 ← F1 - 3F2 | 1 2 0; 0 0 1"}},
    };
    for (const Case& c : cases) {
        StepRecorder steps;
        Matrix r;
        c.gaussJordan ? c.m.GaussJordan(r, steps) : c.m.Triangular(r, steps);
        EXPECT_EQ(Lines(steps.Steps()), c.steps) << c.m;
        Matrix plain;
        c.gaussJordan ? c.m.GaussJordan(plain) : c.m.Triangular(plain);
        EXPECT_EQ(r, plain) << c.m;  // recording changes nothing
    }
}

TEST(StepsTest, LinesOfInverseDeterminantAndCramer) {
    StepRecorder inverse;
    Matrix r;
    ASSERT_TRUE(Matrix::FromRows({{1, 2}, {3, 4}}).Inverse(r, inverse));
    EXPECT_EQ(Lines(inverse.Steps()),
              (std::vector<std::string>{"det = -2 | 1 2; 3 4", "adjuntos: | 4 -3; -2 1",
                                        "adjunta (traspuesta): | 4 -2; -3 1",
                                        "inversa = adjunta / det: | -2 1; 3/2 -1/2"}));

    StepRecorder det;
    DeterminantSteps(Matrix::FromRows({{2, -1}, {Fraction(1, 2), 3}}), det);
    EXPECT_EQ(Lines(det.Steps()),
              (std::vector<std::string>{"det = 2·M11 - (-1)·M12 | 2 -1; 1/2 3", "M11 = 3 | 3",
                                        "M12 = 1/2 | 1/2", "det = 2·3 - (-1)·(1/2) = 13/2 |"}));

    StepRecorder cramer;
    CramerSolve(Matrix::FromRows({{1, 1, 3}, {1, -1, 1}}), cramer);
    EXPECT_EQ(
        Lines(cramer.Steps()),
        (std::vector<std::string>{"D = -2 | 1 1; 1 -1", "Dx = -4 | 3 1; 1 -1", "Dy = -2 | 1 3; 1 1",
                                  "x = Dx / D = -4 / (-2) = 2 |", "y = Dy / D = -2 / (-2) = 1 |"}));
}

TEST(StepsTest, LatexNotation) {
    StepRecorder steps;
    Matrix r;
    Matrix::FromRows({{0, 2}, {3, 1}, {Fraction(-1, 2), 1}}).Triangular(r, steps);
    const std::vector<Step>& s = steps.Steps();
    ASSERT_GE(s.size(), 2u);
    EXPECT_EQ(StepLatex(s[0]), "F_1 \\leftrightarrow F_2");
    EXPECT_EQ(StepLatex(s[1]), "F_3 \\leftarrow 6F_3 + F_1");
    EXPECT_EQ(
        StepsLatex({s[1]}),
        "\\[ \\xrightarrow{F_3 \\leftarrow 6F_3 + F_1} \\begin{pmatrix} 3 & 1 \\\\ 0 & 2 \\\\ "
        "0 & 7 \\end{pmatrix} \\]\n");
    EXPECT_EQ(FractionTextLatex("-12/7"), "-\\frac{12}{7}");

    // A determinant stands between bars in its line: the expansion, each
    // minor, Cramer's D and Dx.
    StepRecorder det;
    DeterminantSteps(Matrix::FromRows({{1, 2}, {3, 4}}), det);
    Matrix system = Matrix::FromRows({{1, 1, 2}, {1, -1, 0}});
    AnalyseSystem(system, &det);
    const std::string latex = StepsLatex(det.Steps());
    for (const char* line :
         {"\\[ \\det = \\begin{vmatrix} 1 & 2 \\\\ 3 & 4 \\end{vmatrix} = 1 \\cdot M_{11} - 2 "
          "\\cdot M_{12} \\]\n",
          "\\[ M_{12} = \\begin{vmatrix} 3 \\end{vmatrix} = 3 \\]\n",
          "\\[ D_{x} = \\begin{vmatrix} 2 & 1 \\\\ 0 & -1 \\end{vmatrix} = -2 \\]\n"})
        EXPECT_NE(latex.find(line), std::string::npos) << line << latex;
}

// Several records in one document with amsmath, compiled by pdflatex.
TEST(StepsTest, LatexCompiles) {
    VELMORA_NEED_PDFLATEX();
    std::string body;
    const auto add = [&](const StepRecorder& steps) { body += StepsLatex(steps.Steps()) + "\n"; };
    Matrix r;
    {
        StepRecorder s;
        const Matrix m = Matrix::FromRows({{0, 2, -1, 4, 1},
                                           {Fraction(1, 2), 1, 3, 0, -2},
                                           {1, 4, 5, 8, 0},
                                           {2, Fraction(-3, 4), 1, 1, 1}});
        StartSteps(s, m);
        m.GaussJordan(r, s);
        add(s);
    }
    {
        StepRecorder s;
        Matrix::FromRows({{1, 2, 3}, {0, 1, 4}, {5, 6, 0}}).Inverse(r, s);
        DeterminantSteps(Matrix::FromRows({{1, Fraction(-2, 3), 3}, {4, 5, 6}, {7, 8, 10}}), s);
        add(s);
    }
    {
        StepRecorder s;  // an overflow and the wide path
        MatrixRank(Matrix::FromRows({{65536, 3, 1}, {7, 65537, 2}, {5, 9, 100000}}), s);
        add(s);
    }
    {
        StepRecorder s;
        Matrix system = Matrix::FromRows({{1, 1, 2}, {1, -1, 0}, {2, 2, 4}});
        AnalyseSystem(system, &s);
        add(s);
    }
    {
        StepRecorder s;  // the reductions to general solutions in λ, μ and in λ, μ, ν, ξ
        AnalyseSystem(Matrix::FromRows({{1, 1, 1, 1}, {2, 2, 2, 2}}), &s);
        AnalyseSystem(Matrix::FromRows({{0, 0, 0, 0, 0}}), &s);
        add(s);
    }
    test::ExpectLatexCompiles(body);
}

}  // namespace
}  // namespace velmora
