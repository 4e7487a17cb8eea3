#include "core/store/matrix_equation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/store/expression_text.h"
#include "support/expression_reference.h"

namespace velmora {
namespace {

using test::QMat;
using test::Reference;
using test::StoreOf;

QMat ToQMat(const Matrix& m) {
    QMat q(m.rows, std::vector<mpq_class>(m.cols));
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j)
            q[i - 1][j - 1] = mpq_class(mpz_class(m.at(i, j).num), mpz_class(m.at(i, j).den));
    return q;
}

// Left side minus right side at X, by the reference, entries row after row.
std::vector<mpq_class> Residual(const std::string& equation, const std::vector<QMat>& stored,
                                const QMat& x) {
    const std::size_t eq = equation.find('=');
    QMat left, right;
    EXPECT_EQ(Reference(equation.substr(0, eq), stored, &x).Run(left), EvalResult::Ok);
    EXPECT_EQ(Reference(equation.substr(eq + 1), stored, &x).Run(right), EvalResult::Ok);
    std::vector<mpq_class> r;
    for (std::size_t i = 0; i < left.size(); ++i)
        for (std::size_t j = 0; j < left[0].size(); ++j) r.push_back(left[i][j] - right[i][j]);
    return r;
}

int Rank(std::vector<std::vector<mpq_class>> a, std::size_t columns) {
    int rank = 0;
    for (std::size_t j = 0; j < columns; ++j) {
        std::size_t p = static_cast<std::size_t>(rank);
        while (p < a.size() && a[p][j] == 0) ++p;
        if (p == a.size()) continue;
        std::swap(a[p], a[static_cast<std::size_t>(rank)]);
        for (std::size_t t = static_cast<std::size_t>(rank) + 1; t < a.size(); ++t) {
            const mpq_class f = a[t][j] / a[static_cast<std::size_t>(rank)][j];
            for (std::size_t k = j; k < a[t].size(); ++k)
                a[t][k] -= f * a[static_cast<std::size_t>(rank)][k];
        }
        ++rank;
    }
    return rank;
}

// The forms of the issue and their neighbours; A, B, C are stored letters
// (in a random order), sized for an X of p x q and a side of m rows.
struct Form {
    const char* text;
    std::vector<std::pair<char, char>> sizes;  // A, B, C: rows and columns, from "pqm"
};
const Form kForms[] = {
    {"A*X = B", {{'m', 'p'}, {'m', 'q'}}},
    {"X*A = B", {{'q', 'm'}, {'p', 'm'}}},
    {"A*X*B = C", {{'m', 'p'}, {'q', 'q'}, {'m', 'q'}}},
    {"A*X + B = C", {{'m', 'p'}, {'m', 'q'}, {'m', 'q'}}},
    {"X*A + 2X = B", {{'q', 'q'}, {'p', 'q'}}},
    {"A*X = X*A", {{'p', 'p'}}},
    {"A*X*B = C - X", {{'p', 'p'}, {'q', 'q'}, {'p', 'q'}}},
    {"A*X + X*B = C", {{'p', 'p'}, {'q', 'q'}, {'p', 'q'}}},
    {"(1/2)X - A X = B^T", {{'p', 'p'}, {'q', 'p'}}},
    {"A*(X + B) = C - X/3", {{'p', 'p'}, {'p', 'q'}, {'p', 'q'}}},
    {"X^T + A*X = B", {{'p', 'p'}, {'p', 'p'}}},
    {"-X = A^-1 X B + C", {{'p', 'p'}, {'q', 'q'}, {'p', 'q'}}},
};

TEST(MatrixEquationTest, RandomEquationsOfEveryFormAreSolvedExactly) {
    std::mt19937 rng(20251125);
    const auto draw = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    int verdicts[3] = {};  // none, one, many
    for (int round = 0; round < 600; ++round) {
        const Form& form = kForms[round % std::size(kForms)];
        std::string text = form.text;
        int dims[3] = {draw(1, 4), draw(1, 4), draw(1, 4)};  // p, q, m
        // Where no matrix has q's size, the equation makes X square.
        bool sized = false;
        for (const auto& [r, c] : form.sizes) sized = sized || r == 'q' || c == 'q';
        if (!sized) dims[1] = dims[0];
        while (dims[0] * dims[1] > kMaxUnknowns) dims[1] = draw(1, 4);
        std::string letters = std::string("JKL").substr(0, form.sizes.size());
        std::shuffle(letters.begin(), letters.end(), rng);
        std::vector<Matrix> matrices(form.sizes.size());
        for (std::size_t k = 0; k < form.sizes.size(); ++k) {
            const auto dim = [&](char c) { return dims[std::string("pqm").find(c)]; };
            Matrix m = Matrix::Zero(dim(form.sizes[k].first), dim(form.sizes[k].second));
            for (int i = 1; i <= m.rows; ++i)
                for (int j = 1; j <= m.cols; ++j) m.at(i, j) = draw(-3, 3);
            // A third of them singular: a row twice another (or nought).
            if (draw(0, 2) == 0)
                for (int j = 1; j <= m.cols; ++j)
                    m.at(m.rows, j) = m.rows > 1 ? 2 * m.at(1, j).num : 0;
            m.Refresh();
            const std::size_t slot = letters.find(static_cast<char>('J' + k));
            for (char& c : text)
                if (c == "ABC"[k]) c = static_cast<char>('J' + slot);
            matrices[slot] = m;
        }
        const MatrixStore store = StoreOf(matrices);
        std::vector<QMat> stored;
        for (const Matrix& m : matrices) stored.push_back(ToQMat(m));

        MatrixEquation q;
        EvalProblem problem;
        const EvalResult result = SolveMatrixEquation(text, store, {}, q, &problem);
        if (result == EvalResult::Singular) continue;  // A^-1 of a singular A
        ASSERT_EQ(result, EvalResult::Ok) << text << ": " << EvalProblemText(problem);
        const int p = q.x.rows, n = q.unknowns();
        ASSERT_EQ(q.x.cols * p, dims[0] * dims[1]) << text;

        // The system again, by the reference: its ranks are the answer's.
        const QMat zero(p, std::vector<mpq_class>(q.x.cols, 0));
        const std::vector<mpq_class> at0 = Residual(text, stored, zero);
        std::vector<std::vector<mpq_class>> system(at0.size(), std::vector<mpq_class>(n + 1));
        for (int u = 0; u < n; ++u) {
            QMat unit = zero;
            unit[u / q.x.cols][u % q.x.cols] = 1;
            const std::vector<mpq_class> at = Residual(text, stored, unit);
            for (std::size_t k = 0; k < at.size(); ++k) system[k][u] = at[k] - at0[k];
        }
        for (std::size_t k = 0; k < at0.size(); ++k) system[k][n] = -at0[k];
        ASSERT_EQ(q.rankCoefficients, Rank(system, n)) << text;
        ASSERT_EQ(q.rankAugmented, Rank(system, n + 1)) << text;
        ++verdicts[!q.compatible() ? 0 : q.unique() ? 1 : 2];
        if (!q.compatible()) continue;

        // Every choice of the parameters, as many as the solution set's
        // dimension, satisfies the equation.
        ASSERT_EQ(static_cast<int>(q.freeEntries.size()), n - Rank(system, n)) << text;
        for (int trial = 0; trial < 2; ++trial) {
            std::vector<int> parameters;
            for (std::size_t k = 0; k < q.freeEntries.size(); ++k)
                parameters.push_back(draw(-5, 5));
            QMat x = zero;
            for (int u = 0; u < n; ++u) {
                mpq_class& entry = x[u / q.x.cols][u % q.x.cols];
                entry = q.values[u].constant;
                for (std::size_t k = 0; k < parameters.size(); ++k)
                    entry += q.values[u].coefficients[k] * parameters[k];
            }
            for (const mpq_class& r : Residual(text, stored, x)) ASSERT_EQ(r, 0) << text;
        }
        // The isolation, read back by the reference, gives the same X.
        const std::vector<Step> answer = EquationDocument(q);
        if (!q.isolation.byInverse) continue;
        const std::string& line = answer[1].text;
        const std::string solved = line.substr(line.rfind("X = ") + 4);
        QMat isolated;
        ASSERT_EQ(Reference(solved, stored).Run(isolated), EvalResult::Ok) << text << ": " << line;
        for (int u = 0; u < n; ++u)
            ASSERT_EQ(isolated[u / q.x.cols][u % q.x.cols], q.values[u].constant) << line;
    }
    for (int v : verdicts) EXPECT_GT(v, 40);
}

TEST(MatrixEquationTest, RefusalsSayWhy) {
    const Matrix square = Matrix::FromRows({{1, 2}, {3, 4}});
    const MatrixStore store = StoreOf(
        {square, Matrix::FromRows({{1, 2}, {2, 4}}), Matrix::FromRows({{1, 0, 2}, {0, 1, 1}})});
    struct Case {
        const char* text;
        Shape x;
        EvalResult result;
        const char* why;
    };
    const Case cases[] = {
        {"J = K", {}, EvalResult::NoUnknown, "en la ecuación no aparece X"},
        {"X*J*X = K", {}, EvalResult::NotLinear, "la ecuación no es lineal en X: X J X"},
        {"(X + J)^2 = K", {}, EvalResult::NotLinear, "la ecuación no es lineal en X: (X + J)^2"},
        {"J*X*L = K",
         {},
         EvalResult::SizeMismatch,
         "los dos miembros no tienen el mismo tamaño: J X L es 2 × 3 y K es 2 × 2"},
        {"L*J*X = K",
         {},
         EvalResult::SizeMismatch,
         "el producto L J no se puede hacer: L es 2 × 3 y J es 2 × 2"},
        {"J*X = M", {}, EvalResult::MissingLetter, "la letra M no tiene matriz"},
        {"X = 2X",
         {},
         EvalResult::UnknownSize,
         "el tamaño de X no se puede deducir de la ecuación"},
        {"X = 2X",
         {5, 4},
         EvalResult::TooManyUnknowns,
         "X sería 5 × 4: 20 incógnitas, y el máximo es 16"},
        {"K^-1*X = J", {}, EvalResult::Singular, "K no tiene inversa (det K = 0)"},
        {"J*X = 2",
         {},
         EvalResult::NotAMatrix,
         "J X = 2: los dos miembros de una ecuación son matrices (0, la matriz nula)"},
        {"J*X + = K", {}, EvalResult::Unreadable, "Expresión incorrecta"},
        {"J*X", {}, EvalResult::Unreadable, "Expresión incorrecta"},
    };
    for (const Case& c : cases) {
        MatrixEquation q;
        q.x = {9, 9};
        EvalProblem problem;
        EXPECT_EQ(SolveMatrixEquation(c.text, store, c.x, q, &problem), c.result) << c.text;
        EXPECT_EQ(EvalProblemText(problem), c.why) << c.text;
        EXPECT_EQ(q.x, (Shape{9, 9})) << c.text << ": nothing changed";
    }
}

// The isolations of the issue, as a teacher writes them, and the verdicts'
// lines.
TEST(MatrixEquationTest, TheAnswerAsATeacherWritesIt) {
    const MatrixStore store =
        StoreOf({Matrix::FromRows({{1, 2}, {3, 4}}), Matrix::FromRows({{1, 0}, {2, 1}}),
                 Matrix::FromRows({{1, 1}, {1, 1}})});
    struct Case {
        const char* text;
        std::vector<const char*> lines;  // the answer's first lines
    };
    const Case cases[] = {
        {"J*X + K = L",
         {"J X + K = L    (X es 2 × 2)", "J X = L - K  =>  X = J^-1 (L - K)", "J^-1 ="}},
        {"X*J + 2X = K",
         {"X J + 2X = K    (X es 2 × 2)", "X (J + 2I) = K  =>  X = K (J + 2I)^-1",
          "(J + 2I)^-1 =", "X ="}},
        {"J*X*K = L", {"J X K = L    (X es 2 × 2)", "X = J^-1 L K^-1", "J^-1 =", "K^-1 =", "X ="}},
        {"L*X = K",
         {"L X = K    (X es 2 × 2)", "det L = 0: X no se despeja con la inversa",
          "X =", "igualando elemento a elemento:", "x + z = 1", "y + t = 0", "x + z = 2",
          "y + t = 1", "rango A = 2 <> rango A' = 3 => la ecuación no tiene solución"}},
        {"J*X = X*J",
         {"J X = X J    (X es 2 × 2)", "X =", "igualando elemento a elemento:", "3y - 2z = 0",
          "2x + 3y - 2t = 0", "3x + 3z - 3t = 0",
          "rango A = rango A' = 2 < 4 = nº de incógnitas",
          "=> infinitas soluciones (grado de indeterminación 2)",
          "X =", "para todo λ, μ"}},
    };
    for (const Case& c : cases) {
        MatrixEquation q;
        ASSERT_EQ(SolveMatrixEquation(c.text, store, {}, q), EvalResult::Ok) << c.text;
        const std::vector<Step> answer = EquationDocument(q);
        ASSERT_GE(answer.size(), c.lines.size()) << c.text;
        for (std::size_t k = 0; k < c.lines.size(); ++k)
            EXPECT_EQ(answer[k].text, c.lines[k]) << c.text;
        EXPECT_TRUE(EquationAnswerFits(q)) << c.text;
    }
    // A number past 32 bits is not shown: the answer says so in its place.
    MatrixEquation q;
    const Matrix big = Matrix::FromRows({{46341, 0}, {0, 1}});
    ASSERT_EQ(SolveMatrixEquation("J*J*X = K", StoreOf({big, Matrix::Identity(2)}), {}, q),
              EvalResult::Ok);
    const std::vector<Step> answer = EquationDocument(q);
    EXPECT_EQ(answer[2].text, "(J J)^-1 = fuera de rango (no cabe en fracciones de 32 bits)");
    EXPECT_EQ(answer[3].text, "X = fuera de rango (no cabe en fracciones de 32 bits)");
    EXPECT_FALSE(EquationAnswerFits(q));
}

}  // namespace
}  // namespace velmora
