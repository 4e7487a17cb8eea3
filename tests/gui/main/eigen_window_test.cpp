// "Valores propios..." as a user drives it from the main window: enabled for
// a square matrix, the answer in its window, its "Pasos...", and both
// windows following the editor's matrix.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/matrix/eigen_text.h"
#include "core/matrix/parametric_eigen_text.h"
#include "core/matrix/power_text.h"
#include "support/main_window_fixture.h"

namespace velmora {
namespace {

using namespace principal;
using S = StepsWindow;

class EigenWindowTest : public test::MainWindowTest {};

TEST_F(EigenWindowTest, AnswersFollowsTheEditorAndShowsItsSteps) {
    EXPECT_FALSE(IsMenuItemEnabled(*d, kEigen)) << "no matrix yet";
    commit({{"1", "2", "3"}});
    EXPECT_FALSE(IsMenuItemEnabled(*d, kEigen)) << "not square";
    commit({{"1", "2", "2"}, {"2", "1", "2"}, {"2", "2", "1"}});
    ASSERT_TRUE(IsMenuItemEnabled(*d, kEigen));
    d->command(kEigen);
    StepsWindow* w = window->eigenWindow();
    ASSERT_TRUE(w && w->isOpen());
    EXPECT_EQ(w->window()->windowTitle().toStdString(), "Valores propios");
    const EigenAnalysis e = AnalyseEigen(Matrix::FromRows({{1, 2, 2}, {2, 1, 2}, {2, 2, 1}}));
    EXPECT_EQ(w->steps(), EigenDocument(e));
    const std::vector<std::string> drawn = w->window()->paneOf(S::kPane)->dc().drawnTexts();
    for (const char* text : {"|A - λI| = -λ^3 + 3λ^2 + 9λ + 5 = -(λ + 1)^2(λ - 5)",
                             "base: (-1, 1, 0), (-1, 0, 1); multiplicidad geométrica 2"})
        EXPECT_NE(std::find(drawn.begin(), drawn.end(), text), drawn.end()) << text;
    w->window()->click(S::kCopyLatex);
    EXPECT_EQ(ClipboardText(), StepsLatex(EigenDocument(e)));

    w->window()->click(S::kSteps);
    StepsWindow* steps = window->eigenStepsWindow();
    ASSERT_TRUE(steps && steps->isOpen());
    EXPECT_EQ(steps->steps(), EigenspaceSteps(e));

    // A new matrix in the editor: both follow; one that is not square: why.
    commit({{"2", "1"}, {"0", "2"}});
    const EigenAnalysis shear = AnalyseEigen(Matrix::FromRows({{2, 1}, {0, 2}}));
    EXPECT_EQ(w->steps(), EigenDocument(shear));
    EXPECT_EQ(steps->steps(), EigenspaceSteps(shear));
    commit({{"1", "2"}});
    EXPECT_TRUE(w->steps().empty());
    EXPECT_EQ(w->whyNone(), "La matriz del editor no es cuadrada: no tiene valores propios.");
}

// A grid with the parameter: the eigenvalues by its values; no steps.
TEST_F(EigenWindowTest, ParameterInTheGrid) {
    commit({{"k", "1"}, {"0", "1"}});
    d->command(kEigen);
    StepsWindow* w = window->eigenWindow();
    ASSERT_TRUE(w && w->isOpen());
    ASSERT_NE(window->parametric(), nullptr);
    EXPECT_EQ(w->steps(), ParametricEigenAnswer(window->parametric()->matrix).first);
    EXPECT_EQ(w->steps().back().text, "Para k = 1 no lo es: λ = 1 tiene multiplicidad algebraica 2 "
                                      "y geométrica 1");
    w->window()->click(S::kSteps);
    EXPECT_TRUE(window->eigenStepsWindow()->steps().empty());
}

// "Potencia n-ésima...": A^n in closed form, following the editor.
TEST_F(EigenWindowTest, PowerWindowFollowsTheEditor) {
    EXPECT_FALSE(IsMenuItemEnabled(*d, kPowerN)) << "no matrix yet";
    commit({{"0", "-1"}, {"1", "0"}});
    ASSERT_TRUE(IsMenuItemEnabled(*d, kPowerN));
    d->command(kPowerN);
    StepsWindow* w = window->powerWindow();
    ASSERT_TRUE(w && w->isOpen());
    EXPECT_EQ(w->window()->windowTitle().toStdString(), "Potencia n-ésima");
    EXPECT_EQ(w->steps(), PowerDocument(ClosedPower(Matrix::FromRows({{0, -1}, {1, 0}}))));
    commit({{"1", "1"}, {"1", "0"}});  // no closed form: it says so
    const std::vector<std::string> drawn = w->window()->paneOf(S::kPane)->dc().drawnTexts();
    EXPECT_NE(std::find_if(drawn.begin(), drawn.end(),
                           [](const std::string& t) { return t.starts_with("A^n no tiene"); }),
              drawn.end());
    commit({{"1", "2"}});
    EXPECT_FALSE(IsMenuItemEnabled(*d, kPowerN));
    EXPECT_EQ(w->whyNone(), "La matriz del editor no es cuadrada: no tiene potencias.");
}

}  // namespace
}  // namespace velmora
