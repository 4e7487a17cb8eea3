// The main window with a parameter in the grid: its boxes, its operations in
// the "Discusión" window, what it refuses, and a substitution undone.
#include <QApplication>
#include <QKeyEvent>
#include <string>

#include "core/arith/random.h"
#include "core/arith/rational.h"
#include "core/matrix/branched_steps.h"
#include "support/main_window_fixture.h"

namespace velmora {
namespace {

using namespace principal;
using test::Grid;
using test::MainWindowTest;

class MainWindowParameterTest : public MainWindowTest {
  protected:
    void ctrlZ(int id) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
        QApplication::sendEvent(d->item(id), &press);
    }
};

// Random grids of cells p·letter + q: the boxes depend on the letter, the
// store keeps nothing, and a value substituted gives p·v + q in every cell;
// Ctrl+Z in a cell brings back the cells as typed.
TEST_F(MainWindowParameterTest, SubstitutionEvaluatesEveryCellAndCtrlZBringsTheGridBack) {
    SeedRandom(2323);
    const char letters[] = {'k', 'm', 'a', 'p'};
    for (int round = 0; round < 12; ++round) {
        const int n = 2 + static_cast<int>(RandomBelow(3));
        const char letter = letters[RandomBelow(4)];
        const Fraction value(static_cast<int32_t>(RandomBelow(11)) - 5,
                             1 + static_cast<int32_t>(RandomBelow(3)));
        Grid typed(n);
        Grid expected(n);
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                const int p = i + j == 0 ? 2 : static_cast<int>(RandomBelow(4));
                const int q = static_cast<int>(RandomBelow(9));
                typed[i].push_back((p == 0 ? "" : std::to_string(p) + letter + "+") +
                                   std::to_string(q));
                Fraction f;
                ASSERT_TRUE(NarrowRational(ToRational(value) * p + q, f));
                expected[i].push_back(f.ToText());
            }
        }
        if (IsItemEnabled(*d, kNewMatrix)) d->click(kNewMatrix);
        commit(typed);
        ASSERT_NE(window->parametric(), nullptr) << typed[0][0];
        EXPECT_EQ(GetItemText(*d, kRankBox), std::string("según ") + letter);
        EXPECT_FALSE(GetItemText(*d, kDetBox).empty());
        d->click(kStore);
        EXPECT_EQ(window->store().count(), 0);
        EXPECT_EQ(boxes.boxes.back().caption, "Guardar matriz");
        EXPECT_FALSE(IsMenuItemEnabled(*d, kUndoSubstitute));

        boxes.typed.push_back(value.ToText());
        d->command(kSubstitute);
        EXPECT_EQ(shown(), expected) << "value " << value.ToText();
        EXPECT_FALSE(IsMenuItemEnabled(*d, kSubstitute));
        ASSERT_TRUE(IsMenuItemEnabled(*d, kUndoSubstitute));

        ctrlZ(CellId(1, 1));
        EXPECT_EQ(shown(), typed);
        ASSERT_NE(window->parametric(), nullptr);
        EXPECT_EQ(window->parametric()->letter(), letter);
        EXPECT_FALSE(IsMenuItemEnabled(*d, kUndoSubstitute));
    }
}

// A grid with the parameter pasted: each operation opens the discussion of
// its own operation, and the window is "Discusión"; the grid stays as it is.
TEST_F(MainWindowParameterTest, OperationsPutTheirDiscussionInTheDiscussionWindow) {
    const CellTexts cells = {{"1", "k"}, {"k", "4"}};
    using enum ParametricOperation;
    const std::pair<int, ParametricOperation> cases[] = {
        {kTranspose, Transpose}, {kCofactors, Cofactors},
        {kInverse, Inverse},     {kTriangular, Triangular},
        {kDiagonal, Diagonal},   {kMulFactor, Scale},
        {kPower, Power}};
    SetItemText(*d, kFactorBox, "-3/2");
    SetItemText(*d, kExponentBox, "3");
    SetClipboardText("[1 k; k 4]");  // pasted as typed
    d->command(kPaste);
    for (const auto& [id, operation] : cases) {
        d->click(id);
        ASSERT_NE(window->discussionWindow(), nullptr);
        const ParametricAnswer expected = ParametricResult(cells, operation, mpq_class(-3, 2), 3);
        EXPECT_EQ(window->discussionWindow()->steps(), expected.document) << id;
        EXPECT_EQ(window->discussionWindow()->window()->windowTitle().toStdString(), "Discusión");
        EXPECT_EQ(shown(), cells);
    }
}

// "Pasos..." with the parameter: the elimination by cases towards the form of
// the last operation (any other than those three: the rank), following the grid.
TEST_F(MainWindowParameterTest, StepsAreTheEliminationByCasesOfTheGrid) {
    SetClipboardText("[1 k; k 4]");
    d->command(kPaste);
    const PolynomialMatrix grid = window->parametric()->matrix;
    d->command(kSteps);
    ASSERT_TRUE(window->stepsWindow() != nullptr && window->stepsWindow()->isOpen());
    EXPECT_EQ(window->stepsWindow()->steps(), BranchedElimination(grid, BranchedGoal::Rank).steps);
    const std::pair<int, BranchedGoal> goals[] = {{kTriangular, BranchedGoal::Triangular},
                                                  {kTranspose, BranchedGoal::Rank},
                                                  {kDiagonal, BranchedGoal::GaussJordan},
                                                  {kInverse, BranchedGoal::Inverse}};
    for (const auto& [id, goal] : goals) {
        d->click(id);
        EXPECT_EQ(window->stepsWindow()->steps(), BranchedElimination(grid, goal).steps) << id;
    }
    SetClipboardText("[k 2 1; 0 k 3]");
    d->command(kPaste);
    EXPECT_EQ(window->stepsWindow()->steps(),
              BranchedElimination(window->parametric()->matrix, BranchedGoal::Rank).steps)
        << "the inverse of a grid that is not square: its rank";
}

}  // namespace
}  // namespace velmora
