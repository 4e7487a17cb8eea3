// Random systems against an independent reference in GMP rationals.
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/systems/linear_system.h"
#include "core/systems/system_text.h"

namespace velmora {
namespace {

using RationalRows = std::vector<std::vector<mpq_class>>;

// The columns among the first `cols` that hold a pivot, each adding to the
// rank of the columns before it; their number is the rank.
std::vector<int> ReferencePivots(RationalRows m, std::size_t cols) {
    std::vector<int> pivots;
    int rank = 0;
    const std::size_t rows = m.size();
    for (std::size_t c = 0; c < cols && rank < static_cast<int>(rows); ++c) {
        std::size_t pivot = rank;
        while (pivot < rows && m[pivot][c] == 0) ++pivot;
        if (pivot == rows) continue;
        std::swap(m[pivot], m[rank]);
        for (std::size_t r = 0; r < rows; ++r) {
            if (r == static_cast<std::size_t>(rank) || m[r][c] == 0) continue;
            const mpq_class factor = m[r][c] / m[rank][c];
            for (std::size_t k = c; k < cols; ++k) m[r][k] -= factor * m[rank][k];
        }
        pivots.push_back(static_cast<int>(c) + 1);
        ++rank;
    }
    return pivots;
}

int ReferenceRank(const RationalRows& m, std::size_t cols) {
    return static_cast<int>(ReferencePivots(m, cols).size());
}

mpq_class Q(const Fraction& f) {
    mpq_class q(f.num, f.den);
    q.canonicalize();
    return q;
}

TEST(SystemPropertyTest, VerdictAgreesWithReferenceRanksAndSolutionsSatisfyEveryEquation) {
    std::mt19937 gen(20240607);
    auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    int determined = 0, undetermined = 0, incompatible = 0;

    for (int iteration = 0; iteration < 2000; ++iteration) {
        const int m = draw(2, 4);
        const int n = draw(2, 4);
        Matrix a = Matrix::Zero(m, n + 1);
        for (int i = 1; i <= m; ++i)
            for (int j = 1; j <= n + 1; ++j) {
                a.at(i, j) = Fraction(draw(-3, 3), draw(1, 2));
                a.at(i, j).Normalize();
            }
        if (draw(0, 2) == 0) {  // a dependent row: a combination of two others
            const int target = draw(1, m), p = draw(1, m), q = draw(1, m);
            const int s = draw(-2, 2), t = draw(-2, 2);
            for (int j = 1; j <= n + 1; ++j) {
                Fraction x, y;
                FracMul(a.at(p, j), Fraction(s), x);
                FracMul(a.at(q, j), Fraction(t), y);
                FracAdd(x, y, a.at(target, j));
            }
        }
        if (draw(0, 3) == 0) {  // an unknown that occurs in no equation
            const int j = draw(1, n);
            for (int i = 1; i <= m; ++i) a.at(i, j) = Fraction(0);
        }
        if (draw(0, 4) == 0) {  // a right-hand side that breaks a dependency
            a.at(draw(1, m), n + 1) = Fraction(draw(-3, 3));
        }
        a.Refresh();
        SCOPED_TRACE(iteration);

        // The reference: ranks on every column, one of zeros too.
        std::vector<int> kept;  // every unknown, one in no equation too
        for (int j = 1; j <= n; ++j) kept.push_back(j);
        RationalRows aug(m), coef(m);
        for (int i = 1; i <= m; ++i) {
            for (int j : kept) coef[i - 1].push_back(Q(a.at(i, j)));
            aug[i - 1] = coef[i - 1];
            aug[i - 1].push_back(Q(a.at(i, n + 1)));
        }
        const int unknowns = static_cast<int>(kept.size());
        const int rankA = ReferenceRank(coef, kept.size());
        const int rankAug = ReferenceRank(aug, kept.size() + 1);

        Matrix reduced = a;
        const SystemAnalysis r = AnalyseSystem(reduced);
        ASSERT_EQ(r.unknownCount, unknowns);
        ASSERT_EQ(r.rankCoefficients, rankA);
        ASSERT_EQ(r.rankAugmented, rankAug);
        ASSERT_EQ(r.compatible, rankA == rankAug);
        if (!r.compatible) {
            ++incompatible;
            EXPECT_TRUE(r.solution.empty());
            continue;
        }
        if (rankA < unknowns) {
            ++undetermined;
            EXPECT_TRUE(r.solution.empty());
            continue;
        }
        ++determined;
        ASSERT_EQ(r.solution.size(), kept.size());
        for (int i = 1; i <= m; ++i) {
            mpq_class lhs = 0;
            for (std::size_t k = 0; k < kept.size(); ++k) lhs += Q(a.at(i, kept[k])) * Q(r.solution[k]);
            EXPECT_EQ(lhs, Q(a.at(i, n + 1))) << "equation " << i;
        }
    }
    // The generator must reach every verdict often enough to mean something.
    EXPECT_GT(determined, 200);
    EXPECT_GT(undetermined, 50);
    EXPECT_GT(incompatible, 200);
}

// A value as the conclusion writes it, read back: constant and coefficients
// of λ, μ, ν. Refuses what the text must never hold: a coefficient 1 written
// out, an integer in parentheses, a number not in lowest terms, a zero term.
bool ReadValue(const std::string& text, mpq_class& constant, std::vector<mpq_class>& coefficients) {
    static const std::string kNames[] = {"λ", "μ", "ν", "ξ"};
    std::vector<std::string> tokens;
    for (std::size_t start = 0;;) {
        const std::size_t blank = text.find(' ', start);
        tokens.push_back(text.substr(start, blank - start));
        if (blank == std::string::npos) break;
        start = blank + 1;
    }
    if (tokens.size() % 2 == 0) return false;
    constant = 0;
    std::fill(coefficients.begin(), coefficients.end(), mpq_class(0));
    int lastParameter = -1;
    for (std::size_t t = 0; t < tokens.size(); t += 2) {
        std::string term = tokens[t];
        bool negative = false;
        if (t == 0 && term.size() > 1 && term[0] == '-') {
            negative = true;
            term.erase(0, 1);
        } else if (t > 0) {
            if (tokens[t - 1] != "+" && tokens[t - 1] != "-") return false;
            negative = tokens[t - 1] == "-";
        }
        int parameter = -1;
        for (int k = 0; k < 4; ++k) {
            const std::string& name = kNames[k];
            if (term.size() >= name.size() &&
                term.compare(term.size() - name.size(), name.size(), name) == 0) {
                parameter = k;
                term.erase(term.size() - name.size());
            }
        }
        mpq_class value = 1;
        const bool parenthesised = term.size() > 2 && term.front() == '(' && term.back() == ')';
        if (parenthesised) term = term.substr(1, term.size() - 2);
        if (!term.empty() || parameter < 0) {
            if (term.empty() || term[0] == '-' || term[0] == '+') return false;
            try {
                value = mpq_class(term);
            } catch (const std::invalid_argument&) {
                return false;
            }
            value.canonicalize();
            if (value.get_str() != term) return false;  // lowest terms, written plainly
            if (parameter >= 0 && (value == 1 || parenthesised != (value.get_den() != 1)))
                return false;
            if (parameter < 0 && parenthesised) return false;
        }
        if (value == 0 && text != "0") return false;
        if (negative) value = -value;
        if (parameter < 0) {
            if (t != 0) return false;  // the constant comes first
            constant = value;
        } else {
            // λ, μ, ν in order, each at most once.
            if (parameter <= lastParameter || parameter >= static_cast<int>(coefficients.size()))
                return false;
            coefficients[parameter] = value;
            lastParameter = parameter;
        }
    }
    return true;
}

TEST(SystemPropertyTest, GeneralSolutionsOfUndeterminedSystems) {
    std::mt19937 gen(20260113);
    auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    auto small = [&] {
        mpq_class q(draw(-3, 3), draw(1, 3));
        q.canonicalize();
        return q;
    };
    int undetermined = 0;
    std::vector<int> byParameters(5);
    while (undetermined < 2000) {
        // A = B·C with C of r < n rows: dependent equations built in; the
        // right-hand side A·x0, so the system is compatible.
        const int m = draw(2, 4), n = draw(2, 4), r = draw(1, std::min(m, n - 1));
        RationalRows c(r, std::vector<mpq_class>(n)), coef(m, std::vector<mpq_class>(n));
        for (auto& row : c)
            for (auto& x : row) x = small();
        if (draw(0, 4) == 0)  // an unknown that occurs in no equation
            for (auto& row : c) row[draw(0, n - 1)] = 0;
        std::vector<mpq_class> x0(n);
        for (auto& x : x0) x = small();
        Matrix a = Matrix::Zero(m, n + 1);
        for (int i = 0; i < m; ++i) {
            std::vector<mpq_class> factor(r);
            for (auto& f : factor) f = draw(-2, 2);
            mpq_class rhs = 0;
            for (int j = 0; j < n; ++j) {
                for (int k = 0; k < r; ++k) coef[i][j] += factor[k] * c[k][j];
                rhs += coef[i][j] * x0[j];
                a.at(i + 1, j + 1) = Fraction(static_cast<int32_t>(coef[i][j].get_num().get_si()),
                                              static_cast<int32_t>(coef[i][j].get_den().get_si()));
            }
            a.at(i + 1, n + 1) = Fraction(static_cast<int32_t>(rhs.get_num().get_si()),
                                          static_cast<int32_t>(rhs.get_den().get_si()));
        }
        a.Refresh();

        // The reference: every column (a column of zeros is a free unknown), the rank.
        std::vector<int> kept;
        for (int j = 0; j < n; ++j) kept.push_back(j);
        const int unknowns = static_cast<int>(kept.size());
        RationalRows reducedCoef(m);
        for (int i = 0; i < m; ++i)
            for (int j : kept) reducedCoef[i].push_back(coef[i][j]);
        const std::vector<int> pivots = ReferencePivots(reducedCoef, kept.size());
        const int rank = static_cast<int>(pivots.size());
        if (rank == unknowns) continue;  // determined after all
        ++undetermined;
        SCOPED_TRACE(undetermined);

        Matrix reduced = a;
        const SystemAnalysis s = AnalyseSystem(reduced);
        ASSERT_TRUE(s.compatible);
        ASSERT_EQ(s.rankCoefficients, rank);
        ASSERT_FALSE(s.generalSolutionOverflow);
        const int parameters = unknowns - rank;
        ++byParameters[parameters];
        ASSERT_EQ(static_cast<int>(s.freeUnknowns.size()), parameters);
        ASSERT_EQ(static_cast<int>(s.generalSolution.size()), unknowns);

        // Free exactly where a column adds nothing to the rank of those before it.
        std::vector<int> free;
        for (int j = 1; j <= unknowns; ++j)
            if (std::find(pivots.begin(), pivots.end(), j) == pivots.end()) free.push_back(j);
        EXPECT_EQ(s.freeUnknowns, free);

        std::vector<mpq_class> constant(unknowns);
        RationalRows direction(parameters, std::vector<mpq_class>(unknowns));
        for (int j = 0; j < unknowns; ++j) {
            const ParametricFraction& v = s.generalSolution[j];
            ASSERT_EQ(static_cast<int>(v.coefficients.size()), parameters);
            constant[j] = Q(v.constant);
            for (int k = 0; k < parameters; ++k) direction[k][j] = Q(v.coefficients[k]);
        }
        // The directions are independent: n - r of them, rank n - r.
        EXPECT_EQ(ReferenceRank(direction, unknowns), parameters);

        // Any values of the parameters satisfy every original equation.
        for (int trial = 0; trial < 2; ++trial) {
            std::vector<mpq_class> t(parameters);
            for (auto& v : t) v = trial == 0 ? mpq_class(0) : small();
            for (int i = 0; i < m; ++i) {
                mpq_class lhs = 0;
                for (int j = 0; j < unknowns; ++j) {
                    mpq_class x = constant[j];
                    for (int k = 0; k < parameters; ++k) x += direction[k][j] * t[k];
                    lhs += reducedCoef[i][j] * x;
                }
                EXPECT_EQ(lhs, Q(a.at(i + 1, n + 1))) << "equation " << i + 1;
            }
        }

        // The text reads back to the same values.
        const std::vector<std::string> conclusion = ConclusionLines(s);
        ASSERT_EQ(conclusion.size(), 6u);
        const std::string prefix = " Solución:   ";
        const std::string& line = conclusion[4];
        ASSERT_EQ(line.compare(0, prefix.size(), prefix), 0) << line;
        std::size_t at = prefix.size();
        for (int j = 0; j < unknowns; ++j) {
            const std::string name = std::string(1, UnknownName(j + 1)) + " = ";
            ASSERT_EQ(line.compare(at, name.size(), name), 0) << line;
            at += name.size();
            const std::size_t end = line.find("    ", at);
            ASSERT_NE(end, std::string::npos) << line;
            mpq_class readConstant;
            std::vector<mpq_class> readCoefficients(parameters);
            ASSERT_TRUE(ReadValue(line.substr(at, end - at), readConstant, readCoefficients))
                << line;
            EXPECT_EQ(readConstant, constant[j]) << line;
            for (int k = 0; k < parameters; ++k)
                EXPECT_EQ(readCoefficients[k], direction[k][j]) << line;
            at = end + 4;
        }
        EXPECT_EQ(at, line.size()) << line;
        const char* const kParameterLines[] = {"", "   para todo λ", "   para todo λ, μ",
                                               "   para todo λ, μ, ν", "   para todo λ, μ, ν, ξ"};
        EXPECT_EQ(conclusion[5], kParameterLines[parameters]);
    }
    // Every number of parameters is reached.
    EXPECT_GT(byParameters[1], 200);
    EXPECT_GT(byParameters[2], 200);
    EXPECT_GT(byParameters[3], 50);
}

}  // namespace
}  // namespace velmora
