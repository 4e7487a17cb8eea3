// "Comprobar mis pasos" in the "Pasos" windows: the working checked as it is
// typed from the matrix the steps start from, copied with its marks, saved
// and opened, and kept while the window and its owner live.
#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <fstream>
#include <sstream>

#include "gui/steps/steps_window.h"
#include "support/main_window_fixture.h"
#include "support/system_window_fixture.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using namespace principal;
using S = StepsWindow;

class CheckPaneTest : public test::MainWindowTest {
  protected:
    TemplateDialog& pasos() { return *window->stepsWindow()->window(); }
    // What the student types (or pastes): the edit tells the window.
    void write(TemplateDialog& p, const std::string& text) {
        qobject_cast<QPlainTextEdit*>(p.item(S::kWorking))
            ->setPlainText(QString::fromStdString(text));
    }
    bool drawn(TemplateDialog& p, const std::string& text) {
        const std::vector<std::string> t = p.paneOf(S::kMarks)->dc().drawnTexts();
        return std::find(t.begin(), t.end(), text) != t.end();
    }
};

TEST_F(CheckPaneTest, TheWorkingIsMarkedAsItIsTypedAndCopiedWithItsMarks) {
    commit({{"1", "2", "3"}, {"3", "2", "4"}});
    d->command(kSteps);  // a matrix that is not square has a working to check too
    TemplateDialog& p = pasos();
    EXPECT_FALSE(IsItemShown(p, S::kWorking));
    p.click(S::kCheck);
    EXPECT_TRUE(IsItemShown(p, S::kWorking) && IsItemShown(p, S::kMarks) &&
                IsItemShown(p, S::kSave));
    EXPECT_FALSE(IsItemShown(p, S::kPane) || IsItemShown(p, S::kCopyLatex));
    EXPECT_EQ(GetItemText(p, S::kCheck), "Ver los pasos");
    EXPECT_TRUE(drawn(p, "matriz de partida:"));
    EXPECT_FALSE(IsItemEnabled(p, S::kCopy));  // nothing written yet

    write(p, "F2 <- F2 - 3F1\n1 2 3\n0 -4 -6");
    EXPECT_TRUE(drawn(p, "líneas 1 a 3: F2 ← F2 - 3F1"));
    EXPECT_TRUE(drawn(p, "fila 2, columna 3: es -5, no -6"));
    p.click(S::kCopy);
    EXPECT_EQ(ClipboardText(),
              "F2 <- F2 - 3F1\n1 2 3\n0 -4 -6\n✗ fila 2, columna 3: es -5, no -6\n"
              "→ La última matriz es escalonada (forma triangular), no la reducida.\n");
    // Enter breaks the line where the student writes.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    auto* edit = qobject_cast<QPlainTextEdit*>(p.item(S::kWorking));
    edit->moveCursor(QTextCursor::End);
    QApplication::sendEvent(edit, &enter);
    EXPECT_TRUE(edit->toPlainText().endsWith('\n'));
    EXPECT_TRUE(window->stepsWindow()->isOpen());

    // Back to the program's steps, with their copy.
    p.click(S::kCheck);
    EXPECT_TRUE(IsItemShown(p, S::kPane) && !IsItemShown(p, S::kWorking));
    EXPECT_EQ(GetItemText(p, S::kCheck), "Comprobar mis pasos");
}

TEST_F(CheckPaneTest, TheWorkingIsSavedOpenedAndKeptFromTheStepsStart) {
    test::TempDir dir;
    const std::string file = dir.file("pasos.txt");
    commit({{"2", "4"}, {"3", "5"}});
    d->click(kTriangular);  // the steps, and the working, start from the matrix before
    d->command(kSteps);
    StepsWindow& w = *window->stepsWindow();
    TemplateDialog& p = pasos();
    p.click(S::kCheck);
    write(p, "F2 ← 2F2 - 3F1\n2 4\n0 -2\nrango = 2");
    EXPECT_TRUE(w.workingCheck().AllRight());

    boxes.files = {file};
    p.click(S::kSave);
    std::ifstream in(file);
    std::stringstream saved;
    saved << in.rdbuf();
    EXPECT_EQ(saved.str(), "F2 ← 2F2 - 3F1\n2 4\n0 -2\nrango = 2");

    // Opening over what has not been saved asks first; No keeps it.
    write(p, "F1 ↔ F2");
    boxes.files = {file};
    p.click(S::kOpen);
    EXPECT_EQ(boxes.boxes.back().caption, "Abrir pasos");
    EXPECT_EQ(w.workingText(), "F1 ↔ F2");
    boxes.answers = {kIdYes};
    p.click(S::kOpen);
    EXPECT_EQ(w.workingText(), "F2 ← 2F2 - 3F1\r\n2 4\r\n0 -2\r\nrango = 2");
    boxes.files = {dir.file("no-existe.txt")};
    p.click(S::kOpen);  // saved: nothing asked, the file is missing
    EXPECT_EQ(boxes.boxes.back().text,
              "No se ha podido abrir el fichero " + dir.file("no-existe.txt") + ".");

    // Closed and opened again, the working is there; another matrix, another start.
    p.pressEscape();
    d->command(kSteps);
    EXPECT_EQ(w.workingText(), "F2 ← 2F2 - 3F1\r\n2 4\r\n0 -2\r\nrango = 2");
    commit({{"1", "1"}, {"1", "2"}});
    EXPECT_FALSE(w.workingCheck().AllRight());
    EXPECT_EQ(w.workingCheck().start, Matrix::FromRows({{1, 1}, {1, 2}}));
}

// The system window's "Pasos" start from its A', and the working outlives
// the window while the system window's state lives.
class SystemCheckPaneTest : public test::SystemWindowFixture {};

TEST_F(SystemCheckPaneTest, TheWorkingStartsFromTheAugmentedMatrix) {
    open();
    type({{"1", "1", "3"}, {"1", "-1", "1"}});
    d->click(1);
    d->command(220);
    StepsWindow* s = w.stepsWindow();
    TemplateDialog& p = *s->window();
    p.click(S::kCheck);
    qobject_cast<QPlainTextEdit*>(p.item(S::kWorking))->setPlainText("S.C.D.\nx = 2, y = 1");
    EXPECT_EQ(s->workingCheck().start, Matrix::FromRows({{1, 1, 3}, {1, -1, 1}}));
    EXPECT_TRUE(s->workingCheck().AllRight());
    EXPECT_EQ(s->workingCheck().claims.size(), 2u);
    d->click(9);  // "nuevo": no system, so no matrix to start from
    EXPECT_TRUE(s->workingCheck().claims.empty());
    w.closeSteps();
    d->end(0);
    open();
    type({{"1", "1", "3"}, {"1", "-1", "1"}});
    d->click(1);
    d->command(220);
    EXPECT_EQ(w.stepsWindow()->workingText(), "S.C.D.\r\nx = 2, y = 1");
}

}  // namespace
}  // namespace velmora
