// The branched elimination with a parameter: worked exercises, and on random
// matrices and systems every step replayed, no pivot or divisor that vanishes
// in its case, and the cases' conclusions those of the discussion.
#include "core/matrix/branched_steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/matrix/parametric_matrix.h"
#include "support/latex.h"

namespace velmora {
namespace {

PolynomialMatrix Read(const std::vector<std::vector<std::string>>& cells) {
    PolynomialMatrix m(static_cast<int>(cells.size()), static_cast<int>(cells[0].size()));
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j)
            EXPECT_EQ(ReadPolynomial(cells[i - 1][j - 1], m.at(i, j), &m.parameter),
                      PolynomialReading::Ok);
    return m;
}

// A polynomial as the program writes it, of any degree: "-a^7 + (1/2)a - 3".
Polynomial Poly(std::string text) {
    if (text.size() > 1 && text[0] == '(' && text.back() == ')') text = text.substr(1, text.size() - 2);
    if (text.starts_with("-(")) {  // "-(2a - 1)"
        Polynomial p = Poly(text.substr(2, text.size() - 3));
        for (mpq_class& c : p.coefficients) c = -c;
        return p;
    }
    Polynomial p;
    std::size_t at = 0;
    while (at < text.size()) {
        bool negative = text[at] == '-';
        if (text.compare(at, 3, " + ") == 0 || text.compare(at, 3, " - ") == 0) {
            negative = text[at + 1] == '-';
            at += 3;
        } else if (negative) {
            ++at;
        }
        const std::size_t end = std::min(text.find(" + ", at), text.find(" - ", at));
        std::string term = text.substr(at, end - at);
        at = end == std::string::npos ? text.size() : end;
        const std::size_t letter = term.find_first_of("abcdefghijklmnopqrsuvw");
        int power = 0;
        if (letter != std::string::npos) {
            power = term.size() > letter + 1 ? std::stoi(term.substr(letter + 2)) : 1;
            term = term.substr(0, letter);
        }
        if (term.size() > 1 && term[0] == '(') term = term.substr(1, term.size() - 2);
        mpq_class c(term.empty() ? "1" : term);
        c.canonicalize();
        if (p.coefficients.size() <= static_cast<std::size_t>(power)) p.coefficients.resize(power + 1, 0);
        p.coefficients[power] += negative ? -c : c;
    }
    p.Trim();
    return p;
}

std::vector<std::string> Lines(const BranchedSteps& b, bool conditions) {
    std::vector<std::string> lines;
    for (const Step& s : b.steps)
        if (s.kind == Step::Kind::Line && (s.branch || s.text.starts_with("Para ")) &&
            s.branch == conditions)
            lines.push_back(std::string(static_cast<std::size_t>(3 * s.depth), ' ') + s.text);
    return lines;
}

TEST(BranchedStepsTest, WorkedExercises) {
    const struct {
        std::vector<std::vector<std::string>> cells;
        BranchedGoal goal;
        std::vector<std::string> conditions;
        std::vector<std::string> conclusions;
    } cases[] = {
        {{{"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}},
         BranchedGoal::System,
         {"si a ≠ 1:", "   si a ≠ -2:", "   si a = -2:", "si a = 1:"},
         {"      Para a ≠ -2, a ≠ 1: rango A = 3, rango A' = 3 => sistema COMPATIBLE "
          "DETERMINADO  (S.C.D.)",
          "      Para a = -2: rango A = 2, rango A' = 3 => sistema INCOMPATIBLE",
          "   Para a = 1: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  "
          "(S.C.I.)"}},
        {{{"1", "k"}, {"k", "4"}},
         BranchedGoal::Rank,
         {"si k ≠ -2, k ≠ 2:", "si k = -2:", "si k = 2:"},
         {"   Para k ≠ -2, k ≠ 2: rango = 2", "   Para k = -2: rango = 1",
          "   Para k = 2: rango = 1"}},
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
        ASSERT_TRUE(b.ok) << b.reason;
        EXPECT_EQ(Lines(b, true), c.conditions) << StepsText(b.steps);
        EXPECT_EQ(Lines(b, false), c.conclusions) << StepsText(b.steps);
    }
    // The classic system's first steps and the inverse, worked by hand.
    const BranchedSteps classic = BranchedElimination(Read(cases[0].cells), BranchedGoal::System);
    const std::vector<std::string> first{"F1 ↔ F2", "F2 ← F2 - aF1", "F3 ← F3 - F1",
                                         "si a ≠ 1:", "F2 ← F2 / (a - 1)"};
    for (std::size_t k = 0; k < first.size(); ++k)
        EXPECT_EQ(StepText(classic.steps[k + 1]), first[k]);
    EXPECT_NE(StepsText(classic.steps).find("x = (-a - 1)/(a + 2)    y = 1/(a + 2)"),
              std::string::npos);
    const BranchedSteps inverse = BranchedElimination(Read(cases[3].cells), BranchedGoal::Inverse);
    const auto it = std::find_if(inverse.steps.begin(), inverse.steps.end(),
                                 [](const Step& s) { return s.text.ends_with("tiene inversa:"); });
    ASSERT_NE(it, inverse.steps.end());
    EXPECT_EQ(it->matrix.cells, (std::vector<std::string>{"a/((a - 1)(a + 1))", "-1/((a - 1)(a + 1))",
                                                          "-1/((a - 1)(a + 1))", "a/((a - 1)(a + 1))"}));
}

TEST(BranchedStepsTest, RefusesPastTheBounds) {
    EXPECT_EQ(BranchedElimination(PolynomialMatrix(6, 2), BranchedGoal::Rank).reason,
              "con un parámetro, una matriz tiene de 1 a 5 filas y columnas");
    EXPECT_EQ(BranchedElimination(PolynomialMatrix(2, 6), BranchedGoal::System).reason,
              "se discuten sistemas de 1 a 4 ecuaciones con 1 a 4 incógnitas");
    EXPECT_EQ(BranchedElimination(PolynomialMatrix(2, 3), BranchedGoal::Inverse).reason,
              "la matriz no es cuadrada");
    PolynomialMatrix high(1, 2);
    high.at(1, 1).coefficients = {0, 0, 0, 0, 0, 1};
    EXPECT_EQ(BranchedElimination(high, BranchedGoal::Rank).reason,
              "un elemento pasa del grado 4 en el parámetro");
}

// What a case knows of a: every value but `excluded`, or one value; a root
// of a factor (radicals) is not followed.
struct Frame {
    PolynomialMatrix m;
    std::vector<mpq_class> excluded;
    std::vector<Polynomial> excludedFactors;
    bool atValue = false;
    mpq_class value;
    bool followed = true;
};

struct Leaf {
    Frame frame;
    int rank = 0;
    int rankAugmented = 0;
};

bool VanishesSomewhere(const Polynomial& p, const Frame& f) {
    if (f.atValue) return sgn(p.Evaluate(f.value)) == 0;
    const RealRoots roots = RootsOf(p);
    return std::any_of(roots.factors.begin(), roots.factors.end(),
                       [&](const Polynomial& g) {
                           return std::count(f.excludedFactors.begin(), f.excludedFactors.end(), g) == 0;
                       }) ||
           std::any_of(roots.values.begin(), roots.values.end(), [&](const mpq_class& v) {
               return std::count(f.excluded.begin(), f.excluded.end(), v) == 0;
           });
}

PolynomialMatrix Parsed(const StepMatrix& s) {
    PolynomialMatrix m(s.rows, s.cols);
    for (int i = 1; i <= s.rows; ++i)
        for (int j = 1; j <= s.cols; ++j) m.at(i, j) = Poly(s.at(i, j));
    return m;
}

Polynomial Times(const Polynomial& p, const Polynomial& q) {
    Polynomial r;
    r.coefficients.assign(p.coefficients.size() + q.coefficients.size(), 0);
    for (std::size_t i = 0; i < p.coefficients.size(); ++i)
        for (std::size_t j = 0; j < q.coefficients.size(); ++j)
            r.coefficients[i + j] += p.coefficients[i] * q.coefficients[j];
    r.Trim();
    return r;
}

// Replays the document, checking each step, and gathers the cases' ranks.
std::vector<Leaf> Replay(const std::vector<Step>& steps) {
    std::vector<Frame> frames(1);
    std::vector<Leaf> leaves;
    for (const Step& s : steps) {
        frames.resize(static_cast<std::size_t>(s.depth + 1));
        Frame& f = frames.back();
        if (s.branch) {
            Frame inner = f;
            inner.followed = f.followed && s.text.find("√") == std::string::npos &&
                             s.text.find("tal que") == std::string::npos;
            const std::size_t equals = s.text.find(" = ");
            if (inner.followed && equals != std::string::npos) {
                inner.atValue = true;
                inner.value = Poly(s.text.substr(equals + 3, s.text.size() - equals - 4)).Coefficient(0);
            }
            // "si a ≠ -2, a^3 - 2 ≠ 0:": values and factors.
            for (std::size_t at = 3; inner.followed && !inner.atValue && at < s.text.size();) {
                const std::size_t sign = s.text.find(" ≠ ", at);
                const std::size_t end = s.text.find_first_of(",:", sign);
                const std::string left = s.text.substr(at, sign - at);
                const std::string right = s.text.substr(sign + 5, end - sign - 5);
                if (right == "0" && left.size() > 1) {
                    inner.excludedFactors.push_back(Poly(left));
                } else {
                    inner.excluded.push_back(Poly(right).Coefficient(0));
                }
                at = end + 2;
            }
            frames.push_back(inner);
            continue;
        }
        if (!f.followed) continue;
        if (s.kind == Step::Kind::Line) {
            if (s.text == "matriz:" || s.text == "(A | I):") f.m = Parsed(s.matrix);
            if (s.text.starts_with("sustituyendo")) {
                PolynomialMatrix put = f.m;
                for (Polynomial& p : put.cells) p = Polynomial(p.Evaluate(f.value));
                f.m = Parsed(s.matrix);
                EXPECT_EQ(put.cells, f.m.cells) << s.text;
            }
            const std::size_t rank = s.text.find("rango");
            if (s.text.starts_with("Para ") && rank != std::string::npos) {
                Leaf leaf{f};
                const std::size_t second = s.text.find("rango A' = ");
                leaf.rank = s.text[s.text.find("= ", rank) + 2] - '0';
                leaf.rankAugmented = second == std::string::npos ? leaf.rank : s.text[second + 11] - '0';
                leaves.push_back(leaf);
            } else if (s.text.starts_with("Para ")) {
                leaves.push_back({f, s.text.find("no tiene") == std::string::npos ? f.m.rows : -1, 0});
            }
            continue;
        }
        PolynomialMatrix expected = f.m;
        const int t = s.row;
        if (s.kind == Step::Kind::Swap) {
            for (int j = 1; j <= f.m.cols; ++j) std::swap(expected.at(t, j), expected.at(s.other, j));
        } else if (s.kind == Step::Kind::Divide) {
            const Polynomial d = Poly(s.scale);
            EXPECT_FALSE(VanishesSomewhere(d, f)) << StepText(s);
            for (int j = 1; j <= f.m.cols; ++j)
                EXPECT_EQ(Times(Parsed(s.matrix).at(t, j), d), f.m.at(t, j)) << StepText(s);
            expected = Parsed(s.matrix);
        } else {
            int pivot = 1;
            while (f.m.at(s.other, pivot).IsZero()) ++pivot;
            EXPECT_FALSE(VanishesSomewhere(f.m.at(s.other, pivot), f)) << StepText(s);
            EXPECT_FALSE(VanishesSomewhere(Poly(s.scale), f)) << StepText(s);
            const Polynomial n = Poly(s.factor);
            for (int j = 1; j <= f.m.cols; ++j) {
                Polynomial r = Times(Poly(s.scale), f.m.at(t, j));
                const Polynomial minus = Times(n, f.m.at(s.other, j));
                r.coefficients.resize(std::max(r.coefficients.size(), minus.coefficients.size()));
                for (std::size_t k = 0; k < minus.coefficients.size(); ++k) r.coefficients[k] -= minus.coefficients[k];
                r.Trim();
                expected.at(t, j) = f.atValue ? Polynomial(r.Evaluate(f.value)) : r;
            }
        }
        f.m = Parsed(s.matrix);
        EXPECT_EQ(expected.cells, f.m.cells) << StepText(s);
    }
    return leaves;
}

// A random cell of degree at most 2 whose roots are among c1, c2.
Polynomial RandomCell(std::mt19937& random, int c1, int c2) {
    const auto k = [&] { return static_cast<long>(random() % 5) - 2; };
    std::vector<Polynomial> factors(3, Polynomial(1));
    factors[1].coefficients = {-c1, 1};
    factors[2].coefficients = {-c2, 1};
    const std::size_t pick = random() % 4;
    if (pick == 3) return Times(Times(factors[1], factors[2]), Polynomial(k()));
    return Times(factors[pick], Polynomial(k()));
}

TEST(BranchedStepsTest, StepsReplayAndCasesAreTheDiscussions) {
    std::mt19937 random(24);
    int followedLeaves = 0;
    for (int round = 0; round < 120; ++round) {
        const bool system = round % 2 == 0;
        const int rows = 2 + static_cast<int>(random() % 2);
        const int cols = rows + static_cast<int>(random() % 2) + (system ? 1 : 0);
        const int c1 = static_cast<int>(random() % 5) - 2;
        const int c2 = static_cast<int>(random() % 5) - 2;
        PolynomialMatrix m(rows, cols);
        for (Polynomial& p : m.cells) p = RandomCell(random, c1, c2);
        if (system && !CheckRows(m)) continue;
        const BranchedGoal goal = system ? BranchedGoal::System
                                         : std::array{BranchedGoal::Rank, BranchedGoal::GaussJordan,
                                                      BranchedGoal::Triangular}[round % 3];
        const BranchedSteps b = BranchedElimination(m, goal);
        ASSERT_TRUE(b.ok);
        const std::vector<Leaf> leaves = Replay(b.steps);
        // At each critical value, and at a few others, the case that holds
        // there has the discussion's (or the rank's) ranks.
        const Discussion d = system ? DiscussSystem(m) : Discussion{};
        const ParametricRank r = system ? ParametricRank{} : RankOf(m);
        std::vector<mpq_class> values{c1, c2, 7, -5};
        for (const Leaf& l : leaves) values.push_back(l.frame.value);
        for (const mpq_class& v : values) {
            const auto holds = std::find_if(leaves.begin(), leaves.end(), [&](const Leaf& l) {
                return l.frame.atValue ? l.frame.value == v
                                       : std::count(l.frame.excluded.begin(), l.frame.excluded.end(), v) == 0;
            });
            if (holds == leaves.end()) continue;  // a root of a factor, not followed
            ++followedLeaves;
            if (system) {
                const auto c = std::find_if(d.cases.begin() + 1, d.cases.end(), [&](const DiscussionCase& c) {
                    return c.kind == CaseKind::Value && c.value == v;
                });
                const DiscussionCase& truth = c == d.cases.end() ? d.cases[0] : *c;
                EXPECT_EQ(holds->rank, truth.rankCoefficients) << v << StepsText(b.steps);
                EXPECT_EQ(holds->rankAugmented, truth.rankAugmented) << v << StepsText(b.steps);
            } else {
                const auto c = std::find_if(r.cases.begin() + 1, r.cases.end(), [&](const RankCase& c) {
                    return c.kind == CaseKind::Value && c.value == v;
                });
                EXPECT_EQ(holds->rank, (c == r.cases.end() ? r.cases[0] : *c).rank) << v << StepsText(b.steps);
            }
        }
    }
    EXPECT_GT(followedLeaves, 400);
}

// Branches as nested lists, compiled by pdflatex.
TEST(BranchedStepsTest, LatexCompiles) {
    VELMORA_NEED_PDFLATEX();
    const PolynomialMatrix classic = Read({{"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}});
    const std::string latex = StepsLatex(BranchedElimination(classic, BranchedGoal::System).steps) +
                              StepsLatex(BranchedElimination(Read({{"a", "1"}, {"1", "a"}}), BranchedGoal::Inverse).steps);
    EXPECT_NE(latex.find("\\item $\\text{si } a \\neq 1 \\text{:}$"), std::string::npos) << latex;
    test::ExpectLatexCompiles(latex);
}

}  // namespace
}  // namespace velmora
