// The branched elimination with a parameter: worked exercises, and on random
// matrices and systems every step replayed, no pivot or divisor that vanishes
// in its case, and the cases' ranks those of the discussion.
#include "core/matrix/branched_steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

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
    if (text.starts_with("-(") && text.back() == ')') return -Poly(text.substr(2, text.size() - 3));
    if (text.starts_with("(") && text.back() == ')') return Poly(text.substr(1, text.size() - 2));
    if (text.empty()) return QPoly(1);  // "F2 ← F2 - F1"
    QPoly p;
    for (std::size_t at = 0, end = 0; at < text.size(); at = end) {
        const bool sign = text.compare(at, 3, " + ") == 0 || text.compare(at, 3, " - ") == 0;
        const bool negative = text[at] == '-' || text.compare(at, 3, " - ") == 0;
        at += sign ? 3 : negative ? 1 : 0;
        end = std::min({text.find(" + ", at), text.find(" - ", at), text.size()});
        const std::string term = text.substr(at, end - at);
        const std::size_t letter = term.find_first_of("ak");
        const long power = letter == std::string::npos ? 0
                           : letter + 1 < term.size() ? std::stol(term.substr(letter + 2)) : 1;
        std::string number = letter == 0 ? "1" : term.substr(0, letter);
        if (number.starts_with("(")) number = number.substr(1, number.size() - 2);  // "(1/2)a"
        mpq_class c(number);
        c.canonicalize();
        QPoly monomial(c);
        for (long k = 0; k < power; ++k) monomial = monomial * QPoly(Polynomial::Parameter());
        p = negative ? p - monomial : p + monomial;
    }
    return p;
}

// The lines that open cases (or those that conclude them), indented.
std::vector<std::string> Lines(const BranchedSteps& b, bool conditions) {
    std::vector<std::string> lines;
    for (const Step& s : b.steps)
        if (s.branch == conditions && (s.branch || s.text.starts_with("Para ")))
            lines.push_back(std::string(static_cast<std::size_t>(3 * s.depth), ' ') + s.text);
    return lines;
}

TEST(BranchedStepsTest, WorkedExercises) {
    const struct {
        std::vector<std::vector<std::string>> cells;
        BranchedGoal goal;
        std::vector<std::string> conditions, conclusions;
    } cases[] = {
        {{{"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}},
         BranchedGoal::System,
         {"si a ≠ 1:", "   si a ≠ -2:", "   si a = -2:", "si a = 1:"},
         {"      Para a ≠ -2, a ≠ 1: rango A = 3, rango A' = 3 => sistema COMPATIBLE "
          "DETERMINADO  (S.C.D.)",
          "      Para a = -2: rango A = 2, rango A' = 3 => sistema INCOMPATIBLE",
          "   Para a = 1: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)"}},
        {{{"1", "k"}, {"k", "4"}},
         BranchedGoal::Rank,
         {"si k ≠ -2, k ≠ 2:", "si k = -2:", "si k = 2:"},
         {"   Para k ≠ -2, k ≠ 2: rango = 2", "   Para k = -2: rango = 1", "   Para k = 2: rango = 1"}},
        {{{"1", "a"}, {"a", "2"}},
         BranchedGoal::Triangular,
         {"si a ≠ ±√2:", "si a = ±√2:"},
         {"   Para a ≠ ±√2: rango = 2", "   Para a = ±√2: rango = 1"}},
        {{{"a", "1"}, {"1", "a"}},
         BranchedGoal::Inverse,
         {"si a ≠ -1, a ≠ 1:", "si a = -1:", "si a = 1:"},
         {"   Para a ≠ -1, a ≠ 1: det ≠ 0, tiene inversa:",
          "   Para a = -1: det = 0, no tiene inversa", "   Para a = 1: det = 0, no tiene inversa"}},
    };
    for (const auto& c : cases) {
        const BranchedSteps b = BranchedElimination(Read(c.cells), c.goal);
        EXPECT_EQ(Lines(b, true), c.conditions) << StepsText(b.steps);
        EXPECT_EQ(Lines(b, false), c.conclusions) << StepsText(b.steps);
    }
    // The classic system's first steps and solution, and the inverse, by hand.
    const std::string classic =
        StepsText(BranchedElimination(Read(cases[0].cells), BranchedGoal::System).steps);
    for (const char* line : {"\nF1 ↔ F2\n", "\nF2 ← F2 - aF1\n", "\nF3 ← F3 - F1\n",
                             "\nsi a ≠ 1:\n\n   F2 ← F2 / (a - 1)\n", "\n   F3 ← F3 - (a + 1)F2\n",
                             "x = (-a - 1)/(a + 2)    y = 1/(a + 2)"})
        EXPECT_NE(classic.find(line), std::string::npos) << line << classic;
    const std::vector<Step> inverse =
        BranchedElimination(Read(cases[3].cells), BranchedGoal::Inverse).steps;
    const std::string d = "((a - 1)(a + 1))";
    EXPECT_EQ(std::find_if(inverse.begin(), inverse.end(),
                           [](const Step& s) { return s.text.ends_with("tiene inversa:"); })
                  ->matrix.cells,
              (std::vector<std::string>{"a/" + d, "-1/" + d, "-1/" + d, "a/" + d}));
}

TEST(BranchedStepsTest, RefusesPastTheBounds) {
    PolynomialMatrix high(1, 2);
    high.at(1, 1).coefficients = {0, 0, 0, 0, 0, 1};
    for (const auto& [m, goal, reason] : std::vector<std::tuple<PolynomialMatrix, BranchedGoal, std::string>>{
             {PolynomialMatrix(6, 2), BranchedGoal::Rank, "con un parámetro, una matriz tiene de 1 a 5 filas y columnas"},
             {PolynomialMatrix(2, 6), BranchedGoal::System, "se discuten sistemas de 1 a 4 ecuaciones con 1 a 4 incógnitas"},
             {PolynomialMatrix(2, 3), BranchedGoal::Inverse, "la matriz no es cuadrada"},
             {high, BranchedGoal::Rank, "un elemento pasa del grado 4 en el parámetro"}})
        EXPECT_EQ(BranchedElimination(m, goal).reason, reason);
}

// What a case knows of a, its matrix as replayed, and the ranks it concludes.
struct Frame {
    std::vector<QPoly> m;
    std::vector<mpq_class> excluded;
    std::vector<QPoly> excludedFactors;
    bool atValue = false, followed = true;  // a root of a factor is not followed
    mpq_class value;
    int rank = -1, rankAugmented = -1;
    bool Vanishes(const QPoly& p) const {
        if (atValue) return sgn(p.Evaluate(value)) == 0;
        std::vector<mpq_class> values;
        std::vector<QPoly> factors;
        flint::CriticalCases({p}, values, factors);
        return std::any_of(values.begin(), values.end(), [&](auto& v) { return std::count(excluded.begin(), excluded.end(), v) == 0; }) ||
               std::any_of(factors.begin(), factors.end(), [&](auto& f) { return std::count(excludedFactors.begin(), excludedFactors.end(), f) == 0; });
    }
};

// Replays the document, checking every step, and gives the cases' frames.
std::vector<Frame> Replay(const std::vector<Step>& steps) {
    std::vector<Frame> frames(1), leaves;
    for (const Step& s : steps) {
        frames.resize(static_cast<std::size_t>(s.depth + 1));
        Frame& f = frames.back();
        std::vector<QPoly> after;
        for (const std::string& cell : s.matrix.cells) after.push_back(Poly(cell));
        if (s.branch) {  // "si a = -2:", "si a ≠ -2, a^3 - 2 ≠ 0:"
            Frame inner = f;
            inner.followed = f.followed && s.text.find("√") == std::string::npos && s.text.find("tal") == std::string::npos;
            const std::size_t equals = s.text.find(" = ");
            inner.atValue = equals != std::string::npos;
            if (inner.atValue && inner.followed) inner.value = Poly(s.text.substr(equals + 3, s.text.size() - equals - 4)).Coefficient(0);
            for (std::size_t at = 3; inner.followed && !inner.atValue && at < s.text.size();) {
                const std::size_t sign = s.text.find(" ≠ ", at), end = s.text.find_first_of(",:", sign);
                const std::string left = s.text.substr(at, sign - at), right = s.text.substr(sign + 5, end - sign - 5);
                if (right == "0" && left.size() > 1) inner.excludedFactors.push_back(Poly(left));
                else inner.excluded.push_back(Poly(right).Coefficient(0));
                at = end + 2;
            }
            frames.push_back(inner);
        } else if (f.followed && s.kind == Step::Kind::Line) {
            if (s.text.starts_with("sustituyendo")) {
                for (std::size_t k = 0; k < f.m.size(); ++k) EXPECT_EQ(after[k], QPoly(f.m[k].Evaluate(f.value))) << s.text;
            }
            if (s.text == "matriz:" || s.text == "(A | I):" || s.text.starts_with("sustituyendo")) f.m = after;
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
                if (s.kind == Step::Kind::Combine) {  // read from the text: "F2 ← (a - 1)F2 - 2F1"
                    const std::string op = StepText(s), own = "F" + std::to_string(s.row);
                    const std::size_t arrow = op.find("← ") + 4, at = op.find(own, arrow) + own.size();
                    const QPoly factor = Poly(op.substr(at + 3, op.rfind('F') - at - 3));
                    const QPoly e = Poly(op.substr(arrow, at - own.size() - arrow)) * f.m[t + j] -
                                    (op[at + 1] == '-' ? factor : -factor) * f.m[r + j];
                    expected[t + j] = f.atValue ? QPoly(e.Evaluate(f.value)) : e;
                }
            }
            int pivot = r;  // the pivot of a combination: the first entry of its row
            while (s.kind == Step::Kind::Combine && f.m[pivot].IsZero()) ++pivot;
            EXPECT_FALSE(s.kind != Step::Kind::Swap && f.Vanishes(Poly(s.scale))) << StepText(s);
            EXPECT_FALSE(s.kind == Step::Kind::Combine && f.Vanishes(f.m[pivot])) << StepText(s);
            EXPECT_TRUE(s.kind == Step::Kind::Divide ? expected == f.m : expected == after) << StepText(s);
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
        const long c1 = static_cast<long>(random() % 5) - 2, c2 = static_cast<long>(random() % 5) - 2;
        for (Polynomial& p : m.cells) {
            const QPoly roots[] = {QPoly(1), QPoly(Polynomial::Parameter()) - QPoly(c1),
                                   QPoly(Polynomial::Parameter()) - QPoly(c2)};
            const std::size_t pick = random() % 4;
            const QPoly cell = pick == 3 ? roots[1] * roots[2] : roots[pick];
            p = (cell * QPoly(static_cast<long>(random() % 5) - 2)).ToPolynomial();
        }
        if (system && !CheckRows(m)) continue;
        const BranchedGoal goal = system ? BranchedGoal::System
                                  : round % 3 == 0 ? BranchedGoal::GaussJordan : BranchedGoal::Rank;
        const std::vector<Frame> leaves = Replay(BranchedElimination(m, goal).steps);
        // The case that holds at each critical value, and at others, has the
        // discussion's ranks (or the rank's).
        std::vector<mpq_class> values{c1, c2, 7};
        for (const Frame& l : leaves) values.push_back(l.value);
        for (const mpq_class& v : values) {
            const auto holds = std::find_if(leaves.begin(), leaves.end(), [&](const Frame& l) {
                return l.atValue ? l.value == v : std::count(l.excluded.begin(), l.excluded.end(), v) == 0;
            });
            if (holds == leaves.end()) continue;  // the general case excludes a factor
            ++checked;
            int rank = 0, rankAugmented = 0;
            if (system) {
                const Discussion d = DiscussSystem(m);
                const auto c = std::find_if(d.cases.begin(), d.cases.end(), [&](auto& c) { return c.kind == CaseKind::Value && c.value == v; });
                rank = (c == d.cases.end() ? d.cases[0] : *c).rankCoefficients;
                rankAugmented = (c == d.cases.end() ? d.cases[0] : *c).rankAugmented;
            } else {
                const ParametricRank r = RankOf(m);
                const auto c = std::find_if(r.cases.begin(), r.cases.end(), [&](auto& c) { return c.kind == CaseKind::Value && c.value == v; });
                rank = rankAugmented = (c == r.cases.end() ? r.cases[0] : *c).rank;
            }
            EXPECT_EQ(holds->rank, rank) << v << StepsText(BranchedElimination(m, goal).steps);
            EXPECT_EQ(holds->rankAugmented, rankAugmented) << v;
        }
    }
    EXPECT_GT(checked, 350);
}

TEST(BranchedStepsTest, LatexCompiles) {
    VELMORA_NEED_PDFLATEX();
    const PolynomialMatrix classic = Read({{"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}});
    test::ExpectLatexCompiles(StepsLatex(BranchedElimination(classic, BranchedGoal::System).steps) +
                              StepsLatex(BranchedElimination(Read({{"a", "1"}, {"1", "a"}}), BranchedGoal::Inverse).steps));
}

}  // namespace
}  // namespace velmora
