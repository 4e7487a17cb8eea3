// "Ecuación matricial..." as a user drives it from the main window: the
// dialog, its refusals and the size it asks for, the answer's window with
// its copies, steps and "<-".
#include "gui/main/equation_window.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/store/expression_text.h"
#include "support/main_window_fixture.h"

namespace velmora {
namespace {

using namespace principal;
using E = EquationWindow;
using S = StepsWindow;

class EquationWindowTest : public test::MainWindowTest {
  protected:
    // The menu item, the equation typed, "Resolver".
    EquationWindow& solve(const std::string& equation) {
        d->command(kEquation);
        EquationWindow& e = *window->equationWindow();
        SetItemText(e.dialog(), E::kEquation, equation);
        e.dialog().click(E::kSolve);
        return e;
    }
};

TEST_F(EquationWindowTest, SolvesShowsStepsAndStoresX) {
    EXPECT_FALSE(IsMenuItemEnabled(*d, kEquation)) << "no matrix to write an equation with";
    append({{"1", "2"}, {"3", "4"}});
    append({{"1", "0"}, {"2", "1"}});
    ASSERT_TRUE(IsMenuItemEnabled(*d, kEquation));
    EquationWindow& e = solve("X*J + 2X = K");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(e.dialog().isVisible()) << "the dialog gives way to the answer";
    ASSERT_TRUE(e.answer() && e.answer()->isOpen());
    TemplateDialog& a = *e.answer()->window();
    EXPECT_EQ(a.windowTitle().toStdString(), "Ecuación matricial");
    EXPECT_EQ(e.answer()->steps(), EquationDocument(e.solved()));
    const std::vector<std::string> drawn = a.paneOf(S::kPane)->dc().drawnTexts();
    for (const char* text : {"X (J + 2I) = K  =>  X = K (J + 2I)^-1", "(J + 2I)^-1 =", "-1/12"})
        EXPECT_NE(std::find(drawn.begin(), drawn.end(), text), drawn.end()) << text;
    a.click(S::kCopyLatex);
    EXPECT_EQ(ClipboardText(), StepsLatex(EquationDocument(e.solved())));

    a.click(S::kSteps);  // the inverse, worked out
    ASSERT_TRUE(e.steps() && e.steps()->isOpen());
    EXPECT_EQ(e.steps()->steps().at(1).text, "det = 12");

    ASSERT_TRUE(IsItemEnabled(a, S::kStore));
    a.click(S::kStore);
    ASSERT_EQ(window->store().count(), 3);
    EXPECT_TRUE(
        window->store().matrix(3) ==
        Matrix::FromRows({{Fraction(1, 2), Fraction(-1, 6)}, {Fraction(3, 4), Fraction(-1, 12)}}));
    EXPECT_EQ(caption(), "Matriz  L = X de X*J + 2X = K");
}

TEST_F(EquationWindowTest, RefusesWithTheReasonAndAsksForTheSize) {
    append({{"1", "2"}, {"3", "4"}});
    EquationWindow& e = solve("X*X = J");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Ecuación matricial");
    EXPECT_EQ(boxes.boxes[0].text, "La ecuación no es lineal en X: X X.");
    EXPECT_TRUE(e.dialog().isVisible()) << "the dialog stays for the equation to be put right";
    EXPECT_EQ(e.answer(), nullptr);
    EXPECT_EQ(window->store().count(), 1);

    // Nothing decides the size of X: the dialog asks, and solves with it.
    EXPECT_FALSE(IsItemShown(e.dialog(), E::kRows));
    solve("X - X = 0");
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_NE(boxes.boxes[1].text.find("Tamaño de X"), std::string::npos);
    ASSERT_TRUE(IsItemShown(e.dialog(), E::kRows));
    SetItemText(e.dialog(), E::kRows, "2");
    SetItemText(e.dialog(), E::kCols, "9");
    e.dialog().click(E::kSolve);
    EXPECT_EQ(boxes.boxes.back().text, "X sería 2 × 9: 18 incógnitas, y el máximo es 16.");
    SetItemText(e.dialog(), E::kCols, "3");
    e.dialog().click(E::kSolve);
    ASSERT_TRUE(e.answer() && e.answer()->isOpen());
    EXPECT_EQ(e.solved().freeEntries.size(), 6u) << "every 2 x 3 matrix";
    EXPECT_FALSE(IsItemEnabled(*e.answer()->window(), S::kStore)) << "X in parameters";

    // Typing another equation puts the size away again.
    e.dialog().command(E::kEquation, kNotifyEditChange);
    EXPECT_FALSE(IsItemShown(e.dialog(), E::kRows));
}

}  // namespace
}  // namespace velmora
