// The "Pasos" window on its own and as the main window opens it: what it
// draws, what it copies, how it scrolls, when "Pasos..." is enabled, and
// that it follows the working matrix.
#include "gui/steps/steps_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>

#include "core/matrix/steps.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"
#include "support/main_window_fixture.h"

namespace velmora {
namespace {

using namespace principal;
using test::MainWindowTest;

std::vector<Step> TriangularSteps(const Matrix& m) {
    StepRecorder steps;
    StartSteps(steps, m);
    Matrix r;
    m.Triangular(r, steps);
    return steps.Take();
}

bool Drawn(DeviceContext& dc, const std::string& text) {
    const std::vector<std::string> texts = dc.drawnTexts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(StepsWindowTest, DrawsCopiesAndScrolls) {
    InitTextOutput();
    const Matrix m =
        Matrix::FromRows({{2, 1, -1, 3, 1}, {4, 3, 1, 0, 2}, {-2, 5, 3, 1, 0}, {6, 2, 0, 4, -3}});
    const std::vector<Step> steps = TriangularSteps(m);
    StepsWindowSlot slot;
    slot.open(nullptr, steps);
    ASSERT_TRUE(slot.isOpen());
    TemplateDialog& w = *slot.window()->window();
    EXPECT_EQ(w.windowTitle().toStdString(), "Pasos");
    DeviceContext& dc = w.paneOf(StepsWindow::kPane)->dc();
    // Each line of notation and every entry of the matrices.
    for (const char* text : {"matriz:", "F2 ← F2 - 2F1", "F4 ← 8F4 + 3F3", "-45"})
        EXPECT_TRUE(Drawn(dc, text)) << text;

    w.click(StepsWindow::kCopy);
    EXPECT_EQ(ClipboardText(), StepsText(steps));
    w.click(StepsWindow::kCopyLatex);
    EXPECT_EQ(ClipboardText(), StepsLatex(steps));

    // The pane holds all the steps and scrolls through them.
    const int height = w.paneOf(StepsWindow::kPane)->height();
    EXPECT_GT(height, PaneViewSize(w, StepsWindow::kPane).height() + 200);
    ScrollSetPos(w, StepsWindow::kPane, 200);
    EXPECT_EQ(ScrollGetPos(w, StepsWindow::kPane), 200);
    ScrollSetPos(w, StepsWindow::kPane, 100000);
    EXPECT_EQ(ScrollGetPos(w, StepsWindow::kPane),
              height - PaneViewSize(w, StepsWindow::kPane).height());

    // New steps while open start from the top; closing, then opening anew.
    slot.follow(TriangularSteps(Matrix::FromRows({{0, 1}, {1, 0}})));
    EXPECT_EQ(ScrollGetPos(w, StepsWindow::kPane), 0);
    EXPECT_TRUE(Drawn(dc, "F1 ↔ F2"));
    w.pressEscape();
    EXPECT_FALSE(slot.isOpen());
    slot.follow(steps);  // not open: nothing happens
    EXPECT_EQ(slot.window()->steps().size(), 2u);
    slot.open(nullptr, steps);
    EXPECT_TRUE(slot.isOpen());
    EXPECT_EQ(slot.window()->steps(), steps);
}

// Nested cases: a click on a condition hides exactly its case's steps, a
// second shows them; the keys do the same; "Copiar" keeps every case.
TEST(StepsWindowTest, CasesCollapseAndExpand) {
    InitTextOutput();
    const auto line = [](const char* text, int depth, bool branch = false) {
        Step s;
        s.text = s.latex = text;
        s.depth = depth;
        s.branch = branch;
        return s;
    };
    std::vector<Step> steps = {
        line("matriz:", 0),         line("si a ≠ 1:", 0, true), line("F2 ← (a - 1)F2 - F1", 1),
        line("si a ≠ 2:", 1, true), line("rango 2", 2),         line("si a = 2:", 1, true),
        line("rango 1", 2),         line("si a = 1:", 0, true), line("rango 0", 1)};
    steps[2].matrix =
        StepMatrix::Of(2, 2, [](int i, int j) { return std::to_string(i + j) + "a"; });
    const std::pair<std::size_t, std::vector<std::size_t>> cases[] = {
        {1, {2, 3, 4, 5, 6}}, {3, {4}}, {5, {6}}, {7, {8}}};
    StepsWindowSlot slot;
    slot.open(nullptr, steps);
    StepsWindow& win = *slot.window();
    TemplateDialog& w = *win.window();
    DeviceContext& dc = w.paneOf(StepsWindow::kPane)->dc();
    const auto expectHidden = [&](const std::vector<std::size_t>& hidden) {
        for (std::size_t j = 0; j < steps.size(); ++j) {
            const bool out = std::find(hidden.begin(), hidden.end(), j) != hidden.end();
            EXPECT_EQ(win.lineTop(j) < 0, out) << j;
            EXPECT_EQ(Drawn(dc, steps[j].text), !out) << j << " of case " << hidden.size();
        }
    };
    const auto click = [&](std::size_t k) {
        dc.clearRecords();
        const QPoint at =
            w.paneOf(StepsWindow::kPane)->mapTo(w.client(), QPoint(30, win.lineTop(k) + 6));
        w.mouseDown(at.x(), at.y());
    };
    for (const auto& [k, hidden] : cases) {
        click(k);
        expectHidden(hidden);
        EXPECT_TRUE(Drawn(dc, "▸"));
        w.click(StepsWindow::kCopy);
        EXPECT_EQ(ClipboardText(), StepsText(steps));
        click(k);
        expectHidden({});
        EXPECT_FALSE(Drawn(dc, "▸"));
    }
    // A case closed inside one closed and opened again stays closed.
    for (std::size_t k : {3, 1, 1}) click(k);
    expectHidden({4});
    // Down: the first condition, then the next. Closed: 1 for step 1, 2 for step 3.
    slot.follow(steps);
    const std::pair<Qt::Key, int> keys[] = {
        {Qt::Key_Down, 0},  {Qt::Key_Left, 1},   {Qt::Key_Right, 0}, {Qt::Key_Down, 0},
        {Qt::Key_Space, 2}, {Qt::Key_Return, 0}, {Qt::Key_Up, 0},    {Qt::Key_Return, 1}};
    for (const auto& [k, closed] : keys) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(w.item(StepsWindow::kPane), &press);
        EXPECT_EQ(win.collapsed(1) + 2 * win.collapsed(3), closed) << k;
    }
}

// "Pasos..." after "triangular (Gauss)", "diagonal (Gauss-Jordan)" and
// "inversa", and for the determinant of any committed square matrix.
TEST_F(MainWindowTest, StepsAreThoseOfTheWorkingMatrix) {
    EXPECT_FALSE(IsMenuItemEnabled(*d, kSteps));  // nothing committed
    commit({{"1", "2", "3"}, {"2", "4", "7"}});
    EXPECT_TRUE(IsMenuItemEnabled(*d, kSteps));  // not square: a working of one's own to check
    d->click(kTriangular);
    ASSERT_TRUE(IsMenuItemEnabled(*d, kSteps));
    d->command(kSteps);
    StepsWindow* w = window->stepsWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->isOpen());
    EXPECT_EQ(StepsText(w->steps()), "matriz:\n1 2 3\n2 4 7\n\nF2 ← F2 - 2F1\n1 2 3\n0 0 1\n\n");

    // The window follows: Gauss-Jordan of that form.
    d->click(kDiagonal);
    EXPECT_EQ(StepsText(w->steps()), "matriz:\n1 2 3\n0 0 1\n\nF1 ← F1 - 3F2\n1 2 0\n0 0 1\n\n");
    // A matrix that is no result of them: no steps, and the pane says why.
    SetItemText(*d, kFactorBox, "2");
    d->click(kMulFactor);
    EXPECT_TRUE(w->steps().empty());
    EXPECT_EQ(w->whyNone().rfind("No hay pasos: una matriz que no es cuadrada", 0), 0u);

    // A square matrix: its determinant; the inverse: its lines.
    commit({{"1", "2"}, {"3", "4"}});
    ASSERT_TRUE(IsMenuItemEnabled(*d, kSteps));
    EXPECT_EQ(w->steps().front().text, "det = 1·M11 - 2·M12");
    d->click(kInverse);
    ASSERT_EQ(w->steps().size(), 4u);
    EXPECT_EQ(w->steps()[0].text, "det = -2");
    EXPECT_EQ(w->steps()[3].text, "inversa = adjunta / det:");
    // Re-reading the same cells keeps the origin, and so the steps.
    d->click(kEditorOk);
    EXPECT_EQ(w->steps()[3].text, "inversa = adjunta / det:");
}

// The window has a title of its own and the keys of a page scroll it; with
// no steps to show, its pane says why and there is nothing to copy.
TEST_F(MainWindowTest, WithoutStepsThePaneSaysWhyAndTheKeysOfAPageScroll) {
    commit(
        {{"2", "1", "-1", "3"}, {"4", "3", "1", "0"}, {"-2", "5", "3", "1"}, {"6", "2", "0", "4"}});
    d->click(kDiagonal);
    d->command(kSteps);
    TemplateDialog& p = *window->stepsWindow()->window();
    EXPECT_EQ(p.windowTitle().toStdString(), "Pasos de la matriz");
    const auto press = [&](Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(p.item(StepsWindow::kCopy), &event);  // where the focus is
        return ScrollGetPos(p, StepsWindow::kPane);
    };
    EXPECT_EQ(press(Qt::Key_End), p.paneOf(StepsWindow::kPane)->height() -
                                      PaneViewSize(p, StepsWindow::kPane).height());
    EXPECT_EQ(press(Qt::Key_Home), 0);
    EXPECT_GT(press(Qt::Key_PageDown), 100);
    commit({{"1", "2", "3"}});
    EXPECT_TRUE(Drawn(p.paneOf(StepsWindow::kPane)->dc(),
                      "No hay pasos: una matriz que no es cuadrada no tiene determinante."));
    EXPECT_FALSE(IsItemEnabled(p, StepsWindow::kCopy) || IsItemEnabled(p, StepsWindow::kCopyLatex));
}

// Beside its owner: on its right, else its left, else at the screen's left
// edge, over the owner's left part (the store, the equations) and clear of
// its editor on the right; moved up to stay on the screen.
TEST(StepsWindowPlaceTest, BesideTheOwnerClearOfItsEditor) {
    const QRect screen(0, 0, 1280, 900);
    EXPECT_EQ(BesideOwner({140, 57, 812, 520}, {602, 470}, screen), QPoint(0, 57));
    EXPECT_EQ(BesideOwner({10, 20, 600, 400}, {602, 470}, screen), QPoint(610, 20));
    EXPECT_EQ(BesideOwner({660, 600, 600, 290}, {602, 470}, screen), QPoint(58, 430));
}

}  // namespace
}  // namespace velmora
