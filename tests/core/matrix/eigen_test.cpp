// Eigenvalues and A^n in closed form: matrices built as S J S^-1 from a
// chosen J, so their eigenvalues, multiplicities and verdict are known
// beforehand; every closed form of A^n against the direct powers.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/matrix/eigen_text.h"
#include "core/matrix/power_text.h"
#include "core/matrix/rational_matrix.h"
#include "support/latex.h"

namespace velmora {
namespace {

using detail::QMatrix;

// S J S^-1 for a random invertible S with entries in -2..2.
RationalRows Conjugate(const QMatrix& j, std::mt19937& rng) {
    std::uniform_int_distribution<int> entry(-2, 2);
    QMatrix s(j.rows, j.rows);
    QMatrix inverse;
    do {
        for (mpq_class& x : s.cells()) x = entry(rng);
    } while (!detail::Invert(s, inverse));
    return detail::ToRows(detail::Product(detail::Product(s, j), inverse));
}

struct Block {
    int value;
    int size;  // a Jordan block: value on the diagonal, 1 above it
};

QMatrix Jordan(const std::vector<Block>& blocks) {
    int n = 0;
    for (const Block& b : blocks) n += b.size;
    QMatrix j(n, n);
    int at = 0;
    for (const Block& b : blocks) {
        for (int k = 0; k < b.size; ++k) {
            j(at + k, at + k) = b.value;
            if (k + 1 < b.size) j(at + k, at + k + 1) = 1;
        }
        at += b.size;
    }
    return j;
}

mpq_class Det(QMatrix m) {
    mpq_class det;
    if (detail::RowReduce(m, m.cols, false, &det) < m.rows) return 0;
    return det;
}

TEST(EigenTest, KnownEigenvaluesMultiplicitiesAndVerdict) {
    std::mt19937 rng(26);
    std::uniform_int_distribution<int> value(-3, 3);
    std::uniform_int_distribution<int> size(1, 2);
    for (int trial = 0; trial < 150; ++trial) {
        std::vector<Block> blocks;
        int n = 0;
        while (n < 2 || (n < 4 && size(rng) == 1)) {
            const int s = std::min(size(rng), 4 - n);
            blocks.push_back({value(rng), s});
            n += s;
        }
        std::map<int, std::pair<int, int>> expected;  // value -> algebraic, geometric
        bool diagonalisable = true;
        for (const Block& b : blocks) {
            expected[b.value].first += b.size;
            expected[b.value].second += 1;
            diagonalisable = diagonalisable && b.size == 1;
        }
        const RationalRows a = Conjugate(Jordan(blocks), rng);
        const EigenAnalysis e = AnalyseEigen(a);
        ASSERT_EQ(e.factors.size(), expected.size());
        for (const EigenFactor& f : e.factors) {
            ASSERT_TRUE(f.Rational());
            const auto& [algebraic, geometric] =
                expected.at(static_cast<int>(f.value.get_num().get_si()));
            EXPECT_EQ(f.algebraic, algebraic);
            EXPECT_EQ(f.geometric, geometric);
            EXPECT_EQ(static_cast<int>(f.basis.size()), geometric);
            QMatrix shifted = detail::FromRows(a);
            for (int i = 0; i < n; ++i) shifted(i, i) -= f.value;
            EXPECT_EQ(Det(shifted), 0);
            EXPECT_EQ(e.characteristic.Evaluate(f.value), 0);
            for (const auto& v : f.basis) {  // (A - λI)v = 0, v integer and not 0
                QMatrix column(n, 1);
                for (int i = 0; i < n; ++i) column(i, 0) = v[i];
                EXPECT_FALSE(column == QMatrix(n, 1));
                EXPECT_TRUE(detail::Product(shifted, column) == QMatrix(n, 1));
            }
        }
        EXPECT_EQ(e.characteristic.Evaluate(0), Det(detail::FromRows(a)));
        EXPECT_EQ(e.diagonalisable, diagonalisable);
        EXPECT_EQ(VerdictText(e).rfind(diagonalisable ? "A es diag" : "A no es diag", 0), 0u);
        ASSERT_EQ(e.rationalBasis, diagonalisable);
        if (!diagonalisable) continue;
        EXPECT_TRUE(e.checked);
        const QMatrix p = detail::FromRows(e.p);
        EXPECT_NE(Det(p), 0);
        EXPECT_TRUE(detail::Product(detail::FromRows(a), p) ==
                    detail::Product(p, detail::FromRows(e.d)));
    }
}

TEST(EigenTest, IrrationalAndNonRealRootsAndTheirWords) {
    const struct {
        RationalRows a;
        const char* factored;
        const char* roots;  // the line of the first factor of degree 2
        bool diagonalisable;
    } cases[] = {
        {{{1, 1}, {1, 0}}, "(λ^2 - λ - 1)", "λ = (1 ± √5)/2", true},
        {{{0, 2}, {1, 0}}, "(λ^2 - 2)", "λ = ±√2", true},
        {{{0, 8}, {1, 0}}, "(λ^2 - 8)", "λ = ±2√2", true},
        {{{1, 2}, {1, 1}}, "(λ^2 - 2λ - 1)", "λ = 1 ± √2", true},
        {{{0, 1}, {mpq_class(1, 4), 0}}, "(λ + 1/2)(λ - 1/2)", "", true},
        {{{1, 1}, {2, 0}}, "(λ + 1)(λ - 2)", "", true},
        {{{0, 3}, {1, 1}}, "(λ^2 - λ - 3)", "λ = (1 ± √13)/2", true},
        {{{2, 0, 0}, {0, 0, -1}, {0, 1, 0}}, "-(λ - 2)(λ^2 + 1)", "", false},
        {{{0, 0, 2}, {1, 0, 0}, {0, 1, 0}}, "-(λ^3 - 2)", "", false},
    };
    for (const auto& c : cases) {
        const EigenAnalysis e = AnalyseEigen(c.a);
        EXPECT_EQ(FactoredText(e), c.factored);
        EXPECT_EQ(e.diagonalisable, c.diagonalisable) << c.factored;
        for (const EigenFactor& f : e.factors) {
            if (f.factor.Degree() == 2 && f.realRoots == 2) {
                EXPECT_EQ(EigenRootsText(f.factor), c.roots);
            }
        }
    }
    const EigenAnalysis rotation = AnalyseEigen(RationalRows{{0, -1}, {1, 0}});
    EXPECT_EQ(VerdictText(rotation),
              "A no es diagonalizable: λ^2 + 1 = 0 tiene raíces que no son reales");
    const EigenAnalysis shear = AnalyseEigen(RationalRows{{2, 1}, {0, 2}});
    EXPECT_EQ(VerdictText(shear),
              "A no es diagonalizable: λ = 2 tiene multiplicidad algebraica 2 y geométrica 1");
}

RationalRows Direct(const RationalRows& a, unsigned n) {
    QMatrix p = QMatrix::Identity(static_cast<int>(a.size()));
    for (unsigned k = 0; k < n; ++k) p = detail::Product(p, detail::FromRows(a));
    return detail::ToRows(p);
}

// A^n by repeated squaring, for large n.
RationalRows Squaring(const RationalRows& a, unsigned n) {
    QMatrix p = QMatrix::Identity(static_cast<int>(a.size()));
    for (QMatrix b = detail::FromRows(a); n > 0; n >>= 1, b = detail::Product(b, b))
        if (n & 1) p = detail::Product(p, b);
    return detail::ToRows(p);
}

// Each kind of matrix, built at random, gets its form, and the form equals
// the direct powers at n = 0..20.
TEST(EigenTest, ClosedPowersEqualTheDirectPowers) {
    std::mt19937 rng(2016);
    std::uniform_int_distribution<int> value(-2, 3);
    for (int trial = 0; trial < 40; ++trial) {
        const int n = 2 + trial % 3;
        std::vector<std::pair<RationalRows, PowerPattern>> kinds;
        QMatrix perm(n, n);  // a cycle on the first coordinates, -1 on the rest
        for (int i = 0; i < n; ++i) perm((i + 1) % n, i) = trial % 2 == 0 ? 1 : -1;
        kinds.push_back({Conjugate(perm, rng), PowerPattern::Periodic});
        QMatrix nil(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) nil(i, j) = value(rng);
        nil(0, n - 1) = 1;
        kinds.push_back({Conjugate(nil, rng), PowerPattern::Nilpotent});
        QMatrix shifted = nil;
        const int lambda = value(rng) == 1 ? 3 : 2;
        for (int i = 0; i < n; ++i) shifted(i, i) = lambda;
        kinds.push_back({Conjugate(shifted, rng), PowerPattern::ScalarPlusNilpotent});
        QMatrix rankOne(n, n);
        for (int i = 0; i < n; ++i) rankOne(0, i) = value(rng);
        rankOne(0, 0) = lambda;
        kinds.push_back({Conjugate(rankOne, rng), PowerPattern::Proportional});
        std::vector<Block> diagonal;
        // Distinct values, 0 among them from order 3 on (then it is not A² = cA).
        for (int i = 0; i < n; ++i)
            diagonal.push_back({i > 0 ? value(rng) + 6 * i : n > 2 ? 0 : -1 - trial % 2, 1});
        kinds.push_back({Conjugate(Jordan(diagonal), rng), PowerPattern::Diagonalisable});
        for (const auto& [a, pattern] : kinds) {
            const PowerForm f = ClosedPower(a);
            ASSERT_EQ(f.pattern, pattern) << trial;
            EXPECT_TRUE(f.checked);
            for (unsigned k = 0; k <= 20; ++k)
                ASSERT_EQ(PowerAt(f, k), Direct(a, k)) << trial << " " << k;
            const unsigned large = std::uniform_int_distribution<unsigned>(21, 2016)(rng);
            const RationalRows value = Squaring(a, large);
            ASSERT_EQ(PowerAt(f, large), value) << trial << " " << large;
            // Refused early only when the direct power is indeed past 32 bits.
            if (!PowerMayFit(f, large)) {
                EXPECT_GT(detail::Bits(detail::FromRows(value)), 31u) << trial;
            }
        }
    }
    EXPECT_EQ(ClosedPower(RationalRows{{1, 1}, {1, 0}}).pattern, PowerPattern::None);
}

TEST(EigenTest, ClosedPowerEntriesAsWritten) {
    const struct {
        RationalRows a;
        std::vector<const char*> entries;
    } cases[] = {
        {{{1, 1}, {0, 1}}, {"1", "n", "0", "1"}},
        {{{2, 1}, {0, 2}}, {"2^n", "n·2^(n-1)", "0", "2^n"}},
        {{{1, 1, 1}, {0, 1, 1}, {0, 0, 1}},
         {"1", "n", "(n^2 + n)/2", "0", "1", "n", "0", "0", "1"}},
        {{{-1, 1}, {0, -1}}, {"(-1)^n", "n·(-1)^(n-1)", "0", "(-1)^n"}},
        {{{1, 2}, {2, 4}}, {"5^(n-1)", "2·5^(n-1)", "2·5^(n-1)", "4·5^(n-1)"}},
        {{{2, 1}, {1, 2}},
         {"(3^n + 1)/2", "(3^n - 1)/2", "(3^n - 1)/2", "(3^n + 1)/2"}},
        {{{0, 1}, {-2, 3}}, {"-2^n + 2", "2^n - 1", "-2·2^n + 2", "2·2^n - 1"}},
        {{{1, 2}, {0, -2}}, {"1", "(2 - 2·(-2)^n)/3", "0", "(-2)^n"}},
    };
    for (const auto& c : cases) {
        const PowerForm f = ClosedPower(c.a);
        ASSERT_EQ(f.entries.size(), c.entries.size());
        for (std::size_t k = 0; k < c.entries.size(); ++k)
            EXPECT_EQ(PowerEntryText(f.entries[k]), c.entries[k]);
    }
}

// Every kind of answer, and the eigenspaces' steps, compile as LaTeX: no
// formula left inside \text, no character pdflatex cannot set.
TEST(EigenTest, DocumentsCompileAsLatex) {
    VELMORA_NEED_PDFLATEX();
    std::string body;
    for (const RationalRows& a :
         std::vector<RationalRows>{{{2, 1}, {0, 2}},
                                   {{1, 1}, {1, 0}},
                                   {{0, -1}, {1, 0}},
                                   {{1, 2}, {2, 4}},
                                   {{0, 1}, {0, 0}},
                                   {{2, 1}, {1, 2}},
                                   {{0, 0, 2}, {1, 0, 0}, {0, 1, 0}},
                                   {{mpq_class(1, 2), 1}, {0, mpq_class(1, 2)}}}) {
        const EigenAnalysis e = AnalyseEigen(a);
        const PowerForm f = ClosedPower(a);
        body += StepsLatex(EigenDocument(e)) + StepsLatex(EigenspaceSteps(e)) +
                StepsLatex(PowerDocument(f));
        if (f.pattern != PowerPattern::None)
            body += StepsLatex(PowerValueDocument(f, 7, PowerAt(f, 7)));
    }
    test::ExpectLatexCompiles(body);
}

// The steps behind the eigenspaces end, for each eigenvalue, in the values
// the answer gives, and their last matrix is the reduced (A - λI | 0).
TEST(EigenTest, EigenspaceStepsEndInTheAnswersValues) {
    const EigenAnalysis e = AnalyseEigen(RationalRows{{1, 2, 2}, {2, 1, 2}, {2, 2, 1}});
    const std::vector<Step> steps = EigenspaceSteps(e);
    const std::vector<Step> answer = EigenDocument(e);
    std::vector<std::string> values;
    for (const Step& s : steps)
        if (s.text.rfind("x = ", 0) == 0) values.push_back(s.text);
    EXPECT_EQ(values, (std::vector<std::string>{"x = -μ - ν    y = μ    z = ν    ",
                                                "x = μ    y = μ    z = μ    "}));
    for (const std::string& v : values) {
        EXPECT_NE(
            std::find_if(answer.begin(), answer.end(), [&](const Step& s) { return s.text == v; }),
            answer.end());
    }
    EXPECT_EQ(steps.front().text, "Subespacio propio de λ = -1: (A + I | 0)");
}

}  // namespace
}  // namespace velmora
