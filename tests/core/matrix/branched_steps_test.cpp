// The branched elimination with a parameter: worked exercises, and on random
// matrices and systems every step replayed, no pivot or divisor that vanishes
// in its case, and the cases' ranks those of the discussion.
#include "core/matrix/branched_steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>

#include "core/arith/flint_poly.h"
#include "core/matrix/parametric_matrix.h"
#include "support/latex.h"

namespace velmora {
namespace {

using flint::QPoly;

PolynomialMatrix Read(const std::vector<std::vector<std::string>>& cells) {
    PolynomialMatrix m(static_cast<int>(cells.size()), static_cast<int>(cells[0].size()));
    for (std::size_t k = 0; k < m.cells.size(); ++k)
        ReadPolynomial(cells[k / m.cols][k % m.cols], m.cells[k], &m.parameter);
    return m;
}

// A polynomial as the program writes it, of any degree: "-a^7 + 2a - 3", "-(2a - 1)".
QPoly Poly(const std::string& text) {
    if (text.starts_with("-(")) return -Poly(text.substr(2, text.size() - 3));
    if (text.starts_with("(")) return Poly(text.substr(1, text.size() - 2));
    if (text.empty()) return QPoly(1);  // "F2 ← F2 - F1": the factor 1
    static const std::regex kTerm(R"((^-|^| [-+] )(\d*(?:/\d+)?)([ak](?:\^(\d+))?)?)");
    QPoly p;
    for (std::sregex_iterator t(text.begin(), text.end(), kTerm), end; t != end; ++t) {
        QPoly term(mpq_class((*t)[2].length() > 0 ? (*t)[2].str() : "1"));
        for (int k = (*t)[4].length() > 0 ? std::stoi((*t)[4]) : (*t)[3].length() > 0; k > 0; --k)
            term = term * QPoly(Polynomial::Parameter());
        p = (*t)[1].str().find('-') != std::string::npos ? p - term : p + term;
    }
    return p;
}

// The conclusions of the cases, indented as printed.
std::vector<std::string> Conclusions(const BranchedSteps& b) {
    std::vector<std::string> lines;
    for (const Step& s : b.steps)
        if (s.text.starts_with("Para "))
            lines.push_back(std::string(static_cast<std::size_t>(3 * s.depth), ' ') + s.text);
    return lines;
}

TEST(BranchedStepsTest, WorkedExercises) {
    const struct {
        std::vector<std::vector<std::string>> cells;
        BranchedGoal goal;
        std::vector<std::string> conclusions;
    } cases[] = {
        {{{"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}},
         BranchedGoal::System,
         {"      Para a ≠ -2, a ≠ 1: rango A = 3, rango A' = 3 => sistema COMPATIBLE "
          "DETERMINADO  (S.C.D.)",
          "      Para a = -2: rango A = 2, rango A' = 3 => sistema INCOMPATIBLE",
          "   Para a = 1: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  "
          "(S.C.I.)"}},
        {{{"1", "k"}, {"k", "4"}},
         BranchedGoal::Rank,
         {"   Para k ≠ -2, k ≠ 2: rango = 2", "   Para k = -2: rango = 1",
          "   Para k = 2: rango = 1"}},
        {{{"1", "a"}, {"a", "2"}},
         BranchedGoal::Triangular,
         {"   Para a ≠ ±√2: rango = 2", "   Para a = ±√2: rango = 1"}},
        {{{"a", "1"}, {"1", "a"}},
         BranchedGoal::Inverse,
         {"   Para a ≠ -1, a ≠ 1: det ≠ 0, tiene inversa:",
          "   Para a = -1: det = 0, no tiene inversa", "   Para a = 1: det = 0, no tiene inversa"}},
    };
    for (const auto& c : cases) {
        const BranchedSteps b = BranchedElimination(Read(c.cells), c.goal);
        EXPECT_EQ(Conclusions(b), c.conclusions) << StepsText(b.steps);
    }
    // The classic system's steps, its cases and its solution, worked by hand.
    const std::string classic =
        StepsText(BranchedElimination(Read(cases[0].cells), BranchedGoal::System).steps);
    for (const char* line :
         {"\nF2 ← F2 - aF1\n", "\nsi a ≠ 1:\n\n   F2 ← F2 / (a - 1)\n",
          "\n   F3 ← F3 - (a + 1)F2\n", "\n   si a ≠ -2:\n\n      F1 ← F1 + aF2\n",
          "\n      F1 ← (a + 2)F1 + (a + 1)F3\n", "x = (-a - 1)/(a + 2)    y = 1/(a + 2)",
          "\n   si a = -2:\n\n      sustituyendo a = -2:\n",
          "\nsi a = 1:\n\n   sustituyendo a = 1:\n"})
        EXPECT_NE(classic.find(line), std::string::npos) << line << classic;
}

// What a case knows of a, its matrix as replayed, and the ranks it concludes.
struct Frame {
    std::vector<QPoly> m;
    std::vector<mpq_class> excluded;
    bool atValue = false, followed = true;  // a case of a factor is not followed
    mpq_class value;
    int rank = -1, rankAugmented = -1;
    bool Vanishes(const QPoly& p) const {
        if (atValue) return sgn(p.Evaluate(value)) == 0;
        const RealRoots roots = RootsOf(p.ToPolynomial());
        return !roots.factors.empty() ||
               std::any_of(roots.values.begin(), roots.values.end(), [&](auto& v) {
                   return std::count(excluded.begin(), excluded.end(), v) == 0;
               });
    }
};

// Replays the document, checking every step, and gives the cases' frames.
std::vector<Frame> Replay(const std::vector<Step>& steps) {
    std::vector<Frame> frames(1), leaves;
    for (const Step& s : steps) {
        frames.resize(static_cast<std::size_t>(s.depth + 1));
        Frame& f = frames.back();
        std::vector<QPoly> after;
        for (const std::string& cell : s.matrix.cells)
            if (f.followed) after.push_back(Poly(cell));
        if (s.branch) {  // "si a = -2:", "si a ≠ -2, a ≠ 1:"; not "a ≠ ±√2", "a^3 - 2 ≠ 0"
            Frame inner = f;
            inner.followed = f.followed && s.text.find("√") == std::string::npos &&
                             s.text.find_first_of("t^") == std::string::npos;
            const std::size_t equals = s.text.find(" = ");
            inner.atValue = equals != std::string::npos;
            if (inner.atValue && inner.followed)
                inner.value =
                    Poly(s.text.substr(equals + 3, s.text.size() - equals - 4)).Coefficient(0);
            for (std::size_t at = s.text.find(" ≠ "); inner.followed && at != std::string::npos;
                 at = s.text.find(" ≠ ", at + 1))
                inner.excluded.push_back(
                    Poly(s.text.substr(at + 5, s.text.find_first_of(",:", at) - at - 5))
                        .Coefficient(0));
            frames.push_back(inner);
        } else if (f.followed && s.kind == Step::Kind::Line) {
            if (s.text.starts_with("sustituyendo")) {  // the value put in the matrix before
                for (QPoly& e : f.m) e = QPoly(e.Evaluate(f.value));
                EXPECT_TRUE(f.m == after) << s.text;
            }
            if (!s.matrix.empty()) f.m = after;  // "matriz:", "(A | I):"
            const std::size_t rank = s.text.find("rango"), second = s.text.find("rango A' = ");
            if (s.text.starts_with("Para ") && rank != std::string::npos) {
                f.rank = s.text[s.text.find("= ", rank) + 2] - '0';
                f.rankAugmented = second == std::string::npos ? f.rank : s.text[second + 11] - '0';
                leaves.push_back(f);
            }
        } else if (f.followed) {
            const int cols = s.matrix.cols, t = (s.row - 1) * cols, r = (s.other - 1) * cols;
            std::vector<QPoly> expected = f.m;
            for (int j = 0; j < cols; ++j) {
                if (s.kind == Step::Kind::Swap) std::swap(expected[t + j], expected[r + j]);
                if (s.kind == Step::Kind::Divide) expected[t + j] = after[t + j] * Poly(s.scale);
                if (s.kind != Step::Kind::Combine) continue;
                const QPoly e = Poly(s.scale) * f.m[t + j] - Poly(s.factor) * f.m[r + j];
                expected[t + j] = f.atValue ? QPoly(e.Evaluate(f.value)) : e;
            }
            int pivot = r;  // the pivot of a combination: the first entry of its row
            while (s.kind == Step::Kind::Combine && f.m[pivot].IsZero()) ++pivot;
            EXPECT_FALSE(s.kind != Step::Kind::Swap && f.Vanishes(Poly(s.scale))) << StepText(s);
            EXPECT_FALSE(s.kind == Step::Kind::Combine && f.Vanishes(f.m[pivot])) << StepText(s);
            EXPECT_TRUE(s.kind == Step::Kind::Divide ? expected == f.m : expected == after)
                << StepText(s);
            f.m = after;
        }
    }
    return leaves;
}

TEST(BranchedStepsTest, StepsReplayAndCasesAreTheDiscussions) {
    std::mt19937 random(24);
    int checked = 0;
    for (int round = 0; round < 120; ++round) {
        // Cells of degree 2 at most whose roots are two chosen values.
        const bool system = round % 2 == 0;
        const int rows = 2 + static_cast<int>(random() % 2);
        PolynomialMatrix m(rows, rows + static_cast<int>(random() % 2) + system);
        const long c1 = static_cast<long>(random() % 5) - 2,
                   c2 = static_cast<long>(random() % 5) - 2;
        const QPoly x(Polynomial::Parameter()),
            cells[] = {1, x - QPoly(c1), x - QPoly(c2), (x - QPoly(c1)) * (x - QPoly(c2))};
        for (Polynomial& p : m.cells)
            p = (cells[random() % 4] * QPoly(static_cast<long>(random() % 5) - 2)).ToPolynomial();
        if (system && !CheckRows(m)) continue;
        const BranchedGoal goal = system           ? BranchedGoal::System
                                  : round % 3 == 0 ? BranchedGoal::GaussJordan
                                                   : BranchedGoal::Rank;
        const std::vector<Frame> leaves = Replay(BranchedElimination(m, goal).steps);
        // The case that holds at each critical value, and at others, has the
        // discussion's ranks (or the rank's).
        std::vector<mpq_class> values{c1, c2, 7};
        for (const Frame& l : leaves) values.push_back(l.value);
        for (const mpq_class& v : values) {
            const auto holds = std::find_if(leaves.begin(), leaves.end(), [&](const Frame& l) {
                return l.atValue ? l.value == v
                                 : std::count(l.excluded.begin(), l.excluded.end(), v) == 0;
            });
            if (holds == leaves.end()) continue;  // the general case excludes a factor
            ++checked;
            const auto at = [&](const auto& cases) {  // the case of v
                const auto c = std::find_if(cases.begin(), cases.end(), [&](auto& c) {
                    return c.kind == CaseKind::Value && c.value == v;
                });
                return c == cases.end() ? cases[0] : *c;
            };
            const DiscussionCase d = system ? at(DiscussSystem(m).cases) : DiscussionCase{};
            const int rank = system ? d.rankCoefficients : at(RankOf(m).cases).rank;
            EXPECT_EQ(holds->rank, rank) << v << StepsText(BranchedElimination(m, goal).steps);
            EXPECT_EQ(holds->rankAugmented, system ? d.rankAugmented : rank) << v;
        }
    }
    EXPECT_GT(checked, 350);
}

TEST(BranchedStepsTest, LatexCompiles) {
    VELMORA_NEED_PDFLATEX();
    const PolynomialMatrix classic =
        Read({{"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}});
    test::ExpectLatexCompiles(StepsLatex(BranchedElimination(classic, BranchedGoal::System).steps));
}

}  // namespace
}  // namespace velmora
