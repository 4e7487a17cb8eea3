// The eigenvalues of a matrix with a parameter against the matrices of
// numbers it stands for: matrices S J(a) S^-1 with chosen eigenvalues in a and
// blocks that close at chosen values, checked at every small value of a.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/arith/flint_poly.h"
#include "core/matrix/eigen.h"
#include "core/matrix/parametric_cells.h"
#include "core/matrix/parametric_eigen_text.h"
#include "support/latex.h"

namespace velmora {
namespace {

using Cells = std::vector<Polynomial>;  // n x n, row after row

Polynomial Linear(int c, int d) {
    Polynomial p;
    p.coefficients = {c, d};
    p.Trim();
    return p;
}

Cells Product(const Cells& x, const Cells& y, int n) {
    Cells r(static_cast<std::size_t>(n * n));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            flint::QPoly sum;
            for (int k = 0; k < n; ++k)
                sum = sum + flint::QPoly(x[static_cast<std::size_t>(i * n + k)]) *
                                flint::QPoly(y[static_cast<std::size_t>(k * n + j)]);
            r[static_cast<std::size_t>(i * n + j)] = sum.ToPolynomial();
        }
    return r;
}

// S J S^-1 for an upper triangular J with the eigenvalues c + d·a on its
// diagonal and, above it, 0, 1 or a - v; S unit triangular times a
// permutation, so that S^-1 has integer entries too.
PolynomialMatrix Build(std::mt19937& rng, int n) {
    std::uniform_int_distribution<int> small(-2, 2);
    Cells j(static_cast<std::size_t>(n * n)), s(j.size()), inverse(j.size());
    std::vector<Polynomial> diagonal;
    for (int i = 0; i < n; ++i) {
        // Often an eigenvalue repeated, so that blocks and meetings occur.
        diagonal.push_back(i > 0 && small(rng) > 0 ? diagonal[static_cast<std::size_t>(i - 1)]
                                                   : Linear(small(rng), small(rng) % 2));
        j[static_cast<std::size_t>(i * n + i)] = diagonal.back();
        if (i + 1 < n) {
            const int kind = small(rng);
            j[static_cast<std::size_t>(i * n + i + 1)] =
                kind < 0 ? Polynomial() : kind == 0 ? Polynomial(1) : Linear(-small(rng), 1);
        }
    }
    // S = L (unit lower triangular), S^-1 by forward substitution in integers.
    for (int i = 0; i < n; ++i) {
        s[static_cast<std::size_t>(i * n + i)] = 1;
        for (int k = 0; k < i; ++k) s[static_cast<std::size_t>(i * n + k)] = small(rng);
    }
    for (int c = 0; c < n; ++c)
        for (int i = 0; i < n; ++i) {
            mpq_class v = i == c ? 1 : 0;
            for (int k = 0; k < i; ++k)
                v -= s[static_cast<std::size_t>(i * n + k)].Evaluate(0) *
                     inverse[static_cast<std::size_t>(k * n + c)].Evaluate(0);
            inverse[static_cast<std::size_t>(i * n + c)] = v;
        }
    PolynomialMatrix m(n, n);
    m.cells = Product(Product(s, j, n), inverse, n);
    return m;
}

// The verdict and the multiplicities the analysis states for a = v.
struct Stated {
    bool diagonalisable;
    std::map<mpq_class, std::pair<int, int>> multiplicities;  // algebraic, geometric
};

Stated At(const ParametricEigenAnalysis& e, const mpq_class& v) {
    Stated s{e.diagonalisable, {}};
    for (const EigenCase& c : e.cases)
        if (c.kind == CaseKind::Value && c.value == v) {
            s.diagonalisable = c.diagonalisable;
            for (const EigenCase::Group& g : c.groups)
                s.multiplicities[e.eigenvalues[g.first].value.Evaluate(v)] = {g.algebraic,
                                                                              g.geometric};
            return s;
        }
    for (const ParametricEigenvalue& x : e.eigenvalues)
        s.multiplicities[x.value.Evaluate(v)] = {x.algebraic, x.geometric};
    return s;
}

TEST(ParametricEigenTest, EveryValueAgreesWithTheMatrixOfNumbers) {
    std::mt19937 rng(26);
    int special = 0;
    for (int trial = 0; trial < 150; ++trial) {
        PolynomialMatrix m = Build(rng, 2 + trial % 3);
        if (!m.HasParameter()) continue;
        const ParametricEigenAnalysis e = AnalyseParametricEigen(m);
        ASSERT_TRUE(e.polynomialEigenvalues) << trial;
        special += static_cast<int>(e.cases.size());
        for (int v = -4; v <= 4; ++v) {
            const Substitution numbers = SubstituteMatrix(m, v);
            ASSERT_TRUE(numbers.ok);
            const EigenAnalysis direct = AnalyseEigen(numbers.matrix);
            const Stated stated = At(e, v);
            EXPECT_EQ(stated.diagonalisable, direct.diagonalisable) << trial << " a = " << v;
            std::map<mpq_class, std::pair<int, int>> found;
            for (const EigenFactor& f : direct.factors)
                found[f.value] = {f.algebraic, f.geometric};
            EXPECT_EQ(stated.multiplicities, found) << trial << " a = " << v;
        }
    }
    EXPECT_GT(special, 100);  // the values that change something were met
}

PolynomialMatrix Square(const std::vector<std::vector<Polynomial>>& rows) {
    const int n = static_cast<int>(rows.size());
    PolynomialMatrix m(n, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) m.at(i, j) = rows[i - 1][j - 1];
    return m;
}

// The verdicts as written, and every document as LaTeX that compiles.
TEST(ParametricEigenTest, TextbookCases) {
    const struct {
        const char* name;
        std::vector<std::vector<Polynomial>> rows;
        std::vector<std::string> verdict;
        const char* heading;  // the eigenvalues as polynomials: where they hold
    } cases[] = {
        {"a on the diagonal",
         {{Linear(0, 1), 1}, {0, 1}},
         {"A es diagonalizable para a ≠ 1",
          "Para a = 1 no lo es: λ = 1 tiene multiplicidad algebraica 2 y geométrica 1"},
         "Valores propios para a ≠ 1:"},
        {"a above it",
         {{1, Linear(0, 1)}, {0, 1}},
         {"A no es diagonalizable para a ≠ 0: λ = 1 tiene multiplicidad algebraica 2 y "
          "geométrica 1",
          "Para a = 0 sí es diagonalizable"},
         "Valores propios para a ≠ 0:"},
        {"all ones plus aI",
         {{Linear(0, 1), 1, 1}, {1, Linear(0, 1), 1}, {1, 1, Linear(0, 1)}},
         {"A es diagonalizable para todo a"},
         "Valores propios para todo a:"},
    };
    for (const auto& c : cases) {
        const ParametricEigenAnalysis e = AnalyseParametricEigen(Square(c.rows));
        EXPECT_EQ(ParametricVerdictLines(e), c.verdict) << c.name;
        const std::vector<Step> document = ParametricEigenDocument(e);
        EXPECT_TRUE(std::any_of(document.begin(), document.end(),
                                [&](const Step& s) { return s.text == c.heading; }))
            << c.name;
    }
    VELMORA_NEED_PDFLATEX();
    std::string body;
    for (const auto& c : cases) body += StepsLatex(ParametricEigenDocument(AnalyseParametricEigen(
                                            Square(c.rows))));
    test::ExpectLatexCompiles(body);
}

TEST(ParametricEigenTest, EigenvaluesNotPolynomialsInTheParameter) {
    PolynomialMatrix root(2, 2);  // λ^2 = a: not polynomials in a
    root.at(1, 2) = Polynomial::Parameter();
    root.at(2, 1) = 1;
    EXPECT_FALSE(AnalyseParametricEigen(root).polynomialEigenvalues);
}

}  // namespace
}  // namespace velmora
