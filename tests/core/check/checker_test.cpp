// Workings checked step by step: the program's own eliminations, and random
// ones in every notation, are accepted whole; spoilt in one step, they are
// caught at that step for the right reason.
#include "core/check/checker.h"

#include <gtest/gtest.h>

#include "core/arith/random.h"
#include "core/check/check_text.h"
#include "core/matrix/matrix_text.h"
#include "core/matrix/steps.h"
#include "core/systems/general_solution.h"

namespace velmora {
namespace {

// A random matrix of 2..4 rows and 2..5 columns, integers with a few halves.
Matrix RandomMatrix() {
    Matrix m;
    m.FillRandom(static_cast<uint8_t>(2 + RandomBelow(3)),
                 static_cast<uint8_t>(2 + RandomBelow(4)));
    if (RandomBelow(3) == 0)
        m.at(1 + RandomBelow(m.rows), 1 + RandomBelow(m.cols)) = Fraction(1, 2);
    m.Refresh();
    return m;
}

// The row operations the program records for its triangular or diagonal form.
std::vector<Step> Recorded(const Matrix& m) {
    StepRecorder r;
    Matrix out;
    try {
        RandomBelow(2) == 0 ? m.GaussJordan(out, r) : m.Triangular(out, r);
    } catch (const ArithmeticOverflow&) {
        return {};
    }
    std::vector<Step> steps;
    for (Step& s : r.Take())
        if (s.kind != Step::Kind::Line) steps.push_back(std::move(s));
    return steps;
}

std::string Rows(const StepMatrix& m) {
    std::string s;
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) s += (j > 1 ? " " : "") + m.at(i, j);
        s += "\n";
    }
    return s;
}

// Each step as a block: its operation, its matrix, or both.
std::string Working(const std::vector<Step>& steps, bool operations, bool matrices) {
    std::string s;
    for (const Step& step : steps)
        s += (operations ? StepText(step) + "\n" : "") + (matrices ? Rows(step.matrix) : "") + "\n";
    return s;
}

int FirstWrong(const WorkingCheck& c) {
    for (std::size_t k = 0; k < c.steps.size(); ++k)
        if (!c.steps[k].verdict.Right()) return static_cast<int>(k);
    return -1;
}

RationalRows RowsOf(const StepMatrix& m) {
    RationalRows r(static_cast<std::size_t>(m.rows));
    for (int i = 1; i <= m.rows; ++i)
        for (int j = 1; j <= m.cols; ++j) r[i - 1].emplace_back(m.at(i, j));
    for (auto& row : r)
        for (auto& q : row) q.canonicalize();
    return r;
}

// Every operation named for a matrix, done in order, gives it.
void ExpectExplains(const StepVerdict& v, RationalRows before, const RationalRows& after) {
    for (const RowOperation& op : v.operations) before = Apply(op, before);
    if (v.kind == StepVerdict::Kind::Explained || !v.operations.empty()) {
        EXPECT_EQ(before, after);
    }
}

TEST(CheckerTest, TheProgramsOwnEliminationsAreRightInEveryForm) {
    SeedRandom(28);
    for (int n = 0; n < 300; ++n) {
        const Matrix m = RandomMatrix();
        const std::vector<Step> steps = Recorded(m);
        const WorkingCheck both = CheckWorking(m, Working(steps, true, true));
        ASSERT_TRUE(both.AllRight()) << m << "\n"
                                     << MarkedWorkingText(both, Working(steps, true, true));
        for (const CheckedStep& s : both.steps)
            EXPECT_EQ(s.verdict.kind, StepVerdict::Kind::Matches);
        const WorkingCheck bare = CheckWorking(m, Working(steps, true, false));
        EXPECT_TRUE(bare.AllRight());
        if (!steps.empty()) {
            EXPECT_EQ(bare.last, RowsOf(steps.back().matrix));
        }
        // The program's own copy of them, which starts with "matriz:" and the matrix.
        StepRecorder copy;
        StartSteps(copy, m);
        for (const Step& s : steps) copy.Append(s);
        const WorkingCheck copied = CheckWorking(m, StepsText(copy.Steps()));
        EXPECT_TRUE(copied.AllRight());
        EXPECT_EQ(copied.steps.front().verdict.kind, StepVerdict::Kind::Same);
        // Matrices alone: each is one step, and the step named gives it.
        const WorkingCheck alone = CheckWorking(m, Working(steps, false, true));
        ASSERT_EQ(alone.steps.size(), steps.size());
        RationalRows before = ToRationalRows(m);
        for (std::size_t k = 0; k < steps.size(); ++k) {
            EXPECT_EQ(alone.steps[k].verdict.kind, StepVerdict::Kind::Explained) << m << k;
            ExpectExplains(alone.steps[k].verdict, before, RowsOf(steps[k].matrix));
            before = RowsOf(steps[k].matrix);
        }
    }
}

// Random operations of an elimination, in any order and in every notation,
// each followed by the matrix it gives, worked out here in fractions.
TEST(CheckerTest, AnyValidOrderInAnyNotationIsRight) {
    SeedRandom(2028);
    const char* arrows[] = {"←", "<-", "=", ":="};
    for (int n = 0; n < 300; ++n) {
        Matrix m = RandomMatrix();
        const Matrix start = m;
        std::string working;
        for (int k = 0; k < 5; ++k) {
            const int t = 1 + RandomBelow(m.rows);
            const int p = 1 + (t + RandomBelow(m.rows - 1)) % m.rows;  // another row
            const std::string T = "F" + std::to_string(t), P = "F" + std::to_string(p);
            const std::string arrow = arrows[RandomBelow(4)];
            const int a = 1 + RandomBelow(3), b = static_cast<int>(RandomBelow(7)) - 3;
            switch (RandomBelow(3)) {
                case 0:
                    working += T + (RandomBelow(2) ? " ↔ " : " <-> ") + P + "\n";
                    m.SwapRows(t, p);
                    break;
                case 1:
                    working += T + " " + arrow + " " + std::to_string(a) + "·" + T +
                               (b < 0 ? " - " : " + ") + std::to_string(std::abs(b)) + P + "\n";
                    for (int j = 1; j <= m.cols; ++j) {
                        Fraction x, y;
                        FracMul(Fraction(a), m.at(t, j), x);
                        FracMul(Fraction(b), m.at(p, j), y);
                        FracAdd(x, y, m.at(t, j));
                    }
                    break;
                default:
                    working += T + " " + arrow + " " + T + " / " + std::to_string(a + 1) + "\n";
                    for (int j = 1; j <= m.cols; ++j)
                        FracDiv(m.at(t, j), Fraction(a + 1), m.at(t, j));
            }
            m.Refresh();
            working += MatrixText(m) + "\n";
        }
        const WorkingCheck c = CheckWorking(start, working);
        EXPECT_TRUE(c.AllRight()) << start << "\n" << MarkedWorkingText(c, working);
        EXPECT_EQ(c.last, ToRationalRows(m));
    }
}

// One step spoilt in each way: caught there, for that reason.
TEST(CheckerTest, ASpoiltStepIsCaughtWhereItIsWithItsReason) {
    SeedRandom(1728);
    using K = StepVerdict::Kind;
    for (int n = 0; n < 400; ++n) {
        const Matrix m = RandomMatrix();
        std::vector<Step> steps = Recorded(m);
        if (steps.size() < 2) continue;
        const std::size_t k = RandomBelow(static_cast<uint32_t>(steps.size() - 1));
        const RationalRows before = k == 0 ? ToRationalRows(m) : RowsOf(steps[k - 1].matrix);
        Step& s = steps[k];
        const int i = 1 + RandomBelow(s.matrix.rows), j = 1 + RandomBelow(s.matrix.cols);
        const RationalRows right = RowsOf(s.matrix);
        std::vector<std::string> texts;
        for (const Step& step : steps) texts.push_back(StepText(step) + "\n" + Rows(step.matrix));
        const auto check = [&](K kind) {
            std::string w;
            for (const std::string& t : texts) w += t + "\n";
            const WorkingCheck c = CheckWorking(m, w);
            EXPECT_EQ(FirstWrong(c), static_cast<int>(k)) << w;
            EXPECT_EQ(c.steps[k].verdict.kind, kind) << w;
            return c.steps[k].verdict;
        };
        switch (n % 5) {
            case 0: {  // a wrong cell
                StepMatrix spoilt = s.matrix;
                spoilt.at(i, j) = mpq_class(right[i - 1][j - 1] + 1).get_str();
                texts[k] = StepText(s) + "\n" + Rows(spoilt);
                const StepVerdict v = check(K::WrongCells);
                ASSERT_EQ(v.cells.size(), 1u);
                EXPECT_EQ(std::tie(v.cells[0].row, v.cells[0].col), std::tie(i, j));
                EXPECT_EQ(v.cells[0].right, right[i - 1][j - 1]);
                break;
            }
            case 1:  // a wrong multiplier: row t takes the pivot row once more
                if (s.kind == Step::Kind::Combine) {
                    s.factor = mpz_class(mpz_class(s.factor) + 1).get_str();
                    texts[k] = StepText(s) + "\n" + Rows(s.matrix);
                    const StepVerdict v = check(K::WrongCells);
                    const RationalRow& pivot = before[s.other - 1];
                    EXPECT_EQ(v.cells.size(), static_cast<std::size_t>(std::count_if(
                                                  pivot.begin(), pivot.end(),
                                                  [](const mpq_class& q) { return sgn(q) != 0; })));
                    for (const CellValue& c : v.cells)
                        EXPECT_EQ(c.right, right[s.row - 1][c.col - 1] - pivot[c.col - 1]);
                }
                break;
            case 2:  // two rows of the matrix exchanged
                for (int r = 1; r <= s.matrix.rows; ++r) {
                    if (r == i || right[r - 1] == right[i - 1]) continue;
                    StepMatrix spoilt = s.matrix;
                    for (int c = 1; c <= spoilt.cols; ++c)
                        std::swap(spoilt.at(i, c), spoilt.at(r, c));
                    texts[k] = StepText(s) + "\n" + Rows(spoilt);
                    for (const CellValue& c : check(K::WrongCells).cells)
                        EXPECT_TRUE(c.row == i || c.row == r);
                    break;
                }
                break;
            case 3: {  // operations an elimination does not allow
                const std::string t = "F" + std::to_string(s.row);
                const std::string other = "F" + std::to_string(s.row % s.matrix.rows + 1);
                const std::pair<std::string, K> faults[] = {
                    {t + " ← 3" + other, K::DropsRow},
                    {t + " ← 0" + t, K::TimesZero},
                    {t + " ← " + t + " / 0", K::DivisionByZero},
                    {"F9 ↔ " + t, K::NoSuchRow}};
                const auto& [text, kind] = faults[RandomBelow(4)];
                texts[k] = text + "\n" + Rows(s.matrix);
                check(kind);
                break;
            }
            default: {  // two steps in one matrix, or a matrix that is not row-equivalent
                texts[k] = "";
                texts[k + 1] = Rows(steps[k + 1].matrix);
                std::string w;
                for (const std::string& t : texts) w += t + "\n";
                const WorkingCheck c = CheckWorking(m, w);
                EXPECT_TRUE(c.AllRight()) << w;
                ExpectExplains(c.steps[k].verdict, before, RowsOf(steps[k + 1].matrix));
                const bool otherRows = steps[k].kind == Step::Kind::Combine &&
                                       steps[k + 1].kind == Step::Kind::Combine &&
                                       steps[k].row != steps[k + 1].row &&
                                       steps[k].other == steps[k + 1].other;
                if (otherRows) {
                    EXPECT_EQ(c.steps[k].verdict.operations.size(), 2u) << w;
                }
                // The same matrix with a cell changed, and no operation named.
                StepMatrix spoilt = steps[k + 1].matrix;
                const RationalRows after = RowsOf(spoilt);
                spoilt.at(i, j) = mpq_class(after[i - 1][j - 1] + 1 + RandomBelow(3)).get_str();
                texts[k + 1] = Rows(spoilt);
                w.clear();
                for (const std::string& t : texts) w += t + "\n";
                const WorkingCheck d = CheckWorking(m, w);
                Matrix spoiltMatrix;
                std::string error;
                ASSERT_TRUE(ReadPastedMatrix(Rows(spoilt), {1, 10, 1, 10}, spoiltMatrix, error));
                // Row-equivalent exactly when stacking the two adds no rank.
                Matrix pair = Matrix::Zero(2 * m.rows, m.cols);
                for (int r = 1; r <= m.rows; ++r)
                    for (int q = 1; q <= m.cols; ++q) {
                        pair.at(r, q) = m.at(r, q);
                        pair.at(m.rows + r, q) = spoiltMatrix.at(r, q);
                    }
                const bool equivalent =
                    MatrixRank(pair) == MatrixRank(m) && MatrixRank(spoiltMatrix) == MatrixRank(m);
                EXPECT_EQ(d.steps[k].verdict.Right(), equivalent);
                if (equivalent) break;
                const StepVerdict& v = d.steps[k].verdict;
                ASSERT_EQ(v.kind, K::NotEquivalent);
                // The cells before the one changed can all be right.
                const auto at = [](const CellValue& c) { return std::make_pair(c.row, c.col); };
                EXPECT_GE(at(v.cells[0]), std::make_pair(i, j));
                if (at(v.cells[0]) == std::make_pair(i, j) && v.valueKnown) {
                    EXPECT_EQ(v.cells[0].right, after[i - 1][j - 1]);
                }
            }
        }
    }
}

}  // namespace
}  // namespace velmora
