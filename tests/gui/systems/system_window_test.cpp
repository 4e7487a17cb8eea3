// The system window driven as the user would: opening, the steps, a system
// handed over, the list of systems with its comment box and file commands,
// and commands that fail, with scripted answers.
#include "gui/systems/system_window.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/matrix/steps.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"
#include "gui/toolkit/qt_user_dialogs.h"
#include "support/system_window_fixture.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using test::kDetermined;
using test::Rows;
using test::ShownBox;
using test::SystemWindowTest;

TEST_F(SystemWindowTest, OpensEmptyWithThreeByThreeGrid) {
    open();
    EXPECT_EQ(ScrollGetPos(*d, 50), 3);
    EXPECT_EQ(ScrollGetPos(*d, 51), 3);
    const std::set<int> enabled{101, 102, 103, 105, 106, 107, 108, 110, 111, 112, 113, 115};
    for (int id = 101; id <= 120; ++id)
        EXPECT_EQ(IsItemEnabled(*d, id), enabled.count(id) > 0) << id;
    for (int id : {10, 11, 12}) EXPECT_TRUE(IsItemEnabled(*d, id));
    for (int id : {13, 15, 16, 17, 18}) EXPECT_FALSE(IsItemEnabled(*d, id)) << id;
    EXPECT_FALSE(IsMenuItemEnabled(*d, 210));
    EXPECT_FALSE(IsMenuItemEnabled(*d, 215));
    EXPECT_TRUE(IsMenuItemEnabled(*d, 205));
    EXPECT_TRUE(texts(30).empty());
    EXPECT_EQ(GetItemText(*d, 250), "");
    // The areas show their colours from the start.
    EXPECT_EQ(d->paneOf(30)->image().pixelColor(10, 22), QColor(255, 255, 231));
    EXPECT_EQ(d->paneOf(31)->image().pixelColor(10, 22), QColor(255, 190, 211));
    EXPECT_EQ(d->paneOf(32)->image().pixelColor(10, 22), QColor(255, 190, 211));
}

// "Pasos..." shows the steps of the analysis on show, and follows it.
TEST_F(SystemWindowTest, StepsFollowTheAnalysis) {
    open();
    EXPECT_FALSE(IsMenuItemEnabled(*d, 220));
    analyse({{"2", "1", "1"}, {"1", "-1", "0"}});
    ASSERT_TRUE(IsMenuItemEnabled(*d, 220));
    d->command(220);
    StepsWindow* s = w.stepsWindow();
    ASSERT_TRUE(s != nullptr && s->isOpen());
    const auto lines = [s] {
        std::vector<std::string> l;
        for (const Step& step : s->steps()) l.push_back(StepText(step));
        return l;
    };
    // A's steps differ (its row is divided by 3): both are shown.
    EXPECT_EQ(lines(), (std::vector<std::string>{
                           "A' (matriz ampliada):", "F2 ← 2F2 - F1", "rango A' = 2",
                           "A (matriz de los coeficientes):", "F2 ← 2F2 - F1", "F2 ← F2 / 3",
                           "rango A = 2", "D = -3", "Dx = -1", "Dy = -1",
                           "x = Dx / D = -1 / (-3) = 1/3", "y = Dy / D = -1 / (-3) = 1/3"}));
    analyse({{"1", "1", "1"}, {"2", "2", "2"}});
    EXPECT_EQ(lines().back(), "solución general: x = 1 - λ, y = λ; para todo λ");
    EXPECT_EQ(s->window()->windowTitle().toStdString(), "Pasos del sistema");
    d->click(8);  // "rnd": another system in the grid, not analysed
    EXPECT_TRUE(s->steps().empty());
    EXPECT_TRUE(s->whyNone().starts_with("No hay pasos: el sistema de la cuadrícula no se ha"));
    EXPECT_FALSE(IsItemEnabled(*s->window(), StepsWindow::kCopy));
    d->click(9);  // "nuevo": no system, no steps
    EXPECT_TRUE(s->steps().empty());
    EXPECT_FALSE(IsMenuItemEnabled(*d, 220));
}

TEST_F(SystemWindowTest, HandOverShowsAnalysesAndSetsLaterStartCounts) {
    const Matrix handed = Matrix::FromRows({{2, 1, -1, 1}, {1, -1, 0, 0}, {0, 1, 1, 3}});
    w.handOver(handed);
    open();
    EXPECT_FALSE(w.handedOver);
    EXPECT_EQ(ScrollGetPos(*d, 50), 3);
    EXPECT_EQ(ScrollGetPos(*d, 51), 3);
    const std::vector<std::pair<int, std::string>> cells{
        {101, "2"}, {102, "1"}, {103, "-1"}, {105, "1"}, {108, "0"}, {113, "1"}, {115, "3"}};
    for (const auto& [id, text] : cells) EXPECT_EQ(GetItemText(*d, id), text) << id;
    EXPECT_EQ(GetItemText(*d, 200), "rango A' = 3");
    EXPECT_EQ(GetItemText(*d, 201), "rango A = 3");
    EXPECT_NE(GetItemText(*d, 250).find("DETERMINADO"), std::string::npos);
    EXPECT_TRUE(IsItemEnabled(*d, 15));
    d->end(0);

    // A 2 x 3 hand-over makes 2 and 2 the start counts of the next openings.
    w.handOver(Matrix::FromRows({{1, 1, 2}, {1, -1, 0}}));
    open();
    d->end(0);
    open();
    EXPECT_EQ(ScrollGetPos(*d, 50), 2);
    EXPECT_EQ(ScrollGetPos(*d, 51), 2);
    EXPECT_EQ(GetItemText(*d, 101), "");
    EXPECT_FALSE(IsItemEnabled(*d, 15));

    // What the grid cannot hold is not taken: five unknowns, a denominator 0.
    w.handOver(Matrix::FromRows({{1, 1, 1, 1, 1, 1}, {1, 2, 3, 4, 5, 6}}));
    EXPECT_FALSE(w.handedOver);
    w.handOver(Matrix::FromRows({{1, Fraction(1, 0), 2}, {1, -1, 0}}));
    EXPECT_FALSE(w.handedOver);
}

TEST_F(SystemWindowTest, AddAskedAboutAnEmptyComment) {
    open();
    analyse({{"2", "1", "1"}, {"1", "-1", "0"}});
    d->click(15);  // no comment, the answer No
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Sistema sin comentario");
    EXPECT_EQ(dialogs.boxes[0].text, "¿Incorporarlo de todos modos?");
    EXPECT_EQ(dialogs.boxes[0].style & 0xF0, unsigned(kMbIconExclamation));
    EXPECT_EQ(w.list().Count(), 0u);
    EXPECT_EQ(GetItemText(*d, 101), "2");
    EXPECT_TRUE(IsItemEnabled(*d, 15));

    dialogs.answers = {kIdYes};
    d->click(15);
    EXPECT_EQ(w.list().Count(), 1u);
    EXPECT_EQ(w.list().Get(1).augmented, Matrix::FromRows({{2, 1, 1}, {1, -1, 0}}));
    EXPECT_EQ(GetItemText(*d, 101), "");
    EXPECT_FALSE(IsItemEnabled(*d, 15));
    EXPECT_TRUE(IsMenuItemEnabled(*d, 210));

    // A comment no .sts file can hold is refused by the list; the grid stays.
    analyse({{"1", "1", "1"}, {"1", "1", "2"}});
    SetItemText(*d, InnerChild(*d, 150), "a → b");
    d->click(15);
    EXPECT_EQ(w.list().Count(), 1u);
    EXPECT_EQ(ComboCount(*d, 150), 1);
    EXPECT_EQ(GetItemText(*d, 106), "1");
    EXPECT_TRUE(IsItemEnabled(*d, 15));
}

// The list keeps the first 64 characters of a comment; the box lists what
// the list keeps, before and after a rename.
TEST_F(SystemWindowTest, ALongCommentIsListedAsTheListKeepsIt) {
    open();
    const std::string typed = std::string(63, 'n') + "ñandú";
    const std::string kept = std::string(63, 'n') + "ñ";
    add({{"2", "1", "1"}, {"1", "-1", "0"}}, typed);
    ASSERT_EQ(w.list().Count(), 1u);
    EXPECT_EQ(w.list().Get(1).comment, kept);
    EXPECT_EQ(comboEntries(), std::vector<std::string>{kept});
    d->pick(150, 1);
    SetItemText(*d, InnerChild(*d, 150), typed + " otra vez");
    d->click(18);
    EXPECT_EQ(comboEntries(), std::vector<std::string>{kept});
}

TEST_F(SystemWindowTest, DeleteTheSecondOfThreeAndRename) {
    open();
    add({{"2", "1", "1"}, {"1", "-1", "0"}}, "uno");
    add({{"1", "1", "1"}, {"2", "2", "2"}}, "dos");
    add({{"1", "1", "1"}, {"1", "1", "2"}}, "tres");
    d->pick(150, 2);
    EXPECT_TRUE(IsItemEnabled(*d, 17));
    d->click(17);  // answered No
    EXPECT_EQ(w.list().Count(), 3u);
    EXPECT_EQ(dialogs.boxes.back().caption, "Confirmar eliminar");
    EXPECT_EQ(dialogs.boxes.back().text, "Eliminar dos ?");

    dialogs.answers = {kIdYes};
    d->click(17);
    EXPECT_EQ(comboEntries(), (std::vector<std::string>{"uno", "tres"}));
    EXPECT_EQ(w.list().Get(2).comment, "tres");
    EXPECT_EQ(w.selected(), 0u);
    EXPECT_FALSE(IsItemEnabled(*d, 17));
    EXPECT_FALSE(IsItemEnabled(*d, 18));

    d->pick(150, 2);
    SetItemText(*d, InnerChild(*d, 150), "tercero");
    d->click(18);
    EXPECT_EQ(comboEntries(), (std::vector<std::string>{"uno", "tercero"}));
}

TEST_F(SystemWindowTest, ResetEmptiesTheListAndClearsAPickedGrid) {
    open();
    add({{"2", "1", "1"}, {"1", "-1", "0"}}, "uno");
    add({{"1", "1", "1"}, {"1", "1", "2"}}, "dos");
    d->pick(150, 1);
    d->click(16);  // answered No
    EXPECT_EQ(dialogs.boxes.back().caption, "Confirmar reset");
    EXPECT_EQ(dialogs.boxes.back().text, "¿Eliminar todos los sistemas?");
    EXPECT_EQ(w.list().Count(), 2u);

    dialogs.answers = {kIdYes};
    d->click(16);
    EXPECT_EQ(w.list().Count(), 0u);
    EXPECT_EQ(ComboCount(*d, 150), 0);
    EXPECT_EQ(GetItemText(*d, 101), "");
    EXPECT_FALSE(IsItemEnabled(*d, 15));
    EXPECT_FALSE(IsItemEnabled(*d, 16));
    EXPECT_FALSE(IsMenuItemEnabled(*d, 210));
}

// Whatever changed the list since it was saved is asked about before
// "Abrir" or closing would discard it.
TEST_F(SystemWindowTest, DeletingRenamingAndResetAreNotDiscardedWithoutAsking) {
    test::TempDir dir;
    struct Case {
        const char* name;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"X",
         [&] {
             d->pick(150, 1);
             dialogs.answers = {kIdYes};
             d->click(17);
         }},
        {"rename",
         [&] {
             d->pick(150, 1);
             SetItemText(*d, InnerChild(*d, 150), "otro");
             d->click(18);
         }},
        {"reset",
         [&] {
             dialogs.answers = {kIdYes};
             d->click(16);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        add({{"2", "1", "1"}, {"1", "-1", "0"}}, "uno");
        add({{"1", "1", "1"}, {"2", "2", "2"}}, "dos");
        dialogs.files = {dir.file(std::string(c.name) + ".sts")};
        d->command(210);
        ASSERT_FALSE(w.list().Modified());
        c.change();
        dialogs.boxes.clear();
        d->command(205);   // answered Cancel
        d->pressEscape();  // answered Cancel
        ASSERT_EQ(dialogs.boxes.size(), 2u);
        for (const ShownBox& b : dialogs.boxes) EXPECT_EQ(b.text, "¿Guardarla?");
        EXPECT_FALSE(d->ended());
        TearDown();
    }
}

// Typing a comment that names a kept system, then dropping the list down or
// leaving the field, loads nothing; choosing an entry in the list does.
TEST_F(SystemWindowTest, OnlyChoosingAnEntryLoadsIt) {
    open();
    add({{"2", "1", "1"}, {"1", "-1", "0"}}, "uno");
    add({{"1", "1", "1"}, {"2", "2", "2"}}, "dos");
    analyse({{"1", "1", "1"}, {"1", "1", "2"}});
    auto* box = qobject_cast<QComboBox*>(ItemHandle(*d, 150));
    d->activateWindow();
    box->lineEdit()->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(box->lineEdit()->hasFocus());
    SetItemText(*d, InnerChild(*d, 150), "dos");

    box->showPopup();
    QApplication::processEvents();
    EXPECT_EQ(w.selected(), 0u);
    EXPECT_EQ(GetItemText(*d, 110), "2") << "the typed system stays";
    EXPECT_EQ(GetItemText(*d, InnerChild(*d, 150)), "dos");

    // Enter on an entry of the open list picks it.
    box->view()->setCurrentIndex(box->model()->index(0, 0));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(box->view(), &enter);
    QApplication::processEvents();
    EXPECT_EQ(w.selected(), 1u);
    EXPECT_EQ(GetItemText(*d, 101), "2");

    // Leaving a field that names another entry picks nothing either.
    box->lineEdit()->setFocus();
    SetItemText(*d, InnerChild(*d, 150), "dos");
    ItemHandle(*d, 18)->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(w.selected(), 1u);
    EXPECT_EQ(GetItemText(*d, 101), "2");
}

TEST_F(SystemWindowTest, SaveAppendAndLoadRoundTrip) {
    test::TempDir dir;
    const std::string file = dir.file("sistemas.sts");
    open();
    add({{"2", "1", "1"}, {"1", "-1", "0"}}, "uno");
    add({{"1", "1", "1"}, {"2", "2", "2"}}, "dos");
    add({{"1", "1", "1"}, {"1", "1", "2"}}, "tres");
    dialogs.files = {file};
    d->command(210);
    EXPECT_EQ(test::ReadBytes(file).size(), 2670u);
    EXPECT_FALSE(w.list().Modified());

    // After "<<" the list is modified: "Abrir" asks first; Cancel changes nothing.
    add({{"1", "2", "3"}, {"4", "5", "6"}}, "cuatro");
    add({{"1", "0", "1"}, {"0", "1", "1"}}, "cinco");
    EXPECT_EQ(GetItemText(*d, 101), "");
    EXPECT_FALSE(IsItemEnabled(*d, 15));
    d->command(205);
    EXPECT_EQ(dialogs.boxes.back().caption, "Lista de sistemas modificada");
    EXPECT_EQ(dialogs.boxes.back().text, "¿Guardarla?");
    EXPECT_EQ(w.list().Count(), 5u);

    dialogs.answers = {kIdYes};
    d->click(16);  // reset, then only the two new ones
    add({{"1", "2", "3"}, {"4", "5", "6"}}, "cuatro");
    add({{"1", "0", "1"}, {"0", "1", "1"}}, "cinco");
    dialogs.files = {file};
    d->command(215);
    EXPECT_EQ(test::ReadBytes(file).size(), 4450u);

    const std::size_t asked = dialogs.boxes.size();
    dialogs.files = {file};
    d->command(205);
    EXPECT_EQ(dialogs.boxes.size(), asked) << "saved lists are not asked about";
    EXPECT_EQ(comboEntries(), (std::vector<std::string>{"uno", "dos", "tres", "cuatro", "cinco"}));
    d->pick(150, 4);
    EXPECT_EQ(GetItemText(*d, 106), "4");
    EXPECT_EQ(GetItemText(*d, 200), "rango A' = 2");

    // A file without a system leaves the list, the box and the pick as they
    // were, and says so.
    const std::string empty = dir.file("vacio.sts");
    test::WriteBytes(empty, "");
    dialogs.files = {empty};
    d->command(205);
    EXPECT_EQ(dialogs.boxes.back().caption, "Abrir sistemas");
    EXPECT_EQ(dialogs.boxes.back().text,
              "El fichero " + empty + " no contiene sistemas. La lista no ha cambiado.");
    EXPECT_EQ(w.list().Count(), 5u);
    EXPECT_EQ(ComboCount(*d, 150), 5);
    EXPECT_EQ(w.selected(), 4u);
    EXPECT_TRUE(IsItemEnabled(*d, 17));
}

// "Guardar" onto a file that exists: the real save dialog asks first; No goes
// back to the dialog, and only Yes replaces the file.
TEST_F(SystemWindowTest, SaveAsksBeforeReplacingAFile) {
    test::TempDir dir;
    const std::string file = dir.file("lista.sts");
    test::WriteBytes(file, "previo");
    open();
    add({{"2", "1", "1"}, {"1", "-1", "0"}}, "uno");
    QtUserDialogs real;
    SetUserDialogs(&real);
    for (const bool replace : {false, true}) {
        std::string question;
        bool backInTheDialog = false;
        QTimer::singleShot(0, [&] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(files, nullptr);
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                ASSERT_NE(box, nullptr);
                question = box->text().toStdString();
                box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
            });
            files->selectFile(QString::fromStdString(file));
            static_cast<QDialog*>(files)->accept();  // as the dialog's "Guardar" button
            backInTheDialog = files->isVisible();
            if (backInTheDialog) files->reject();
        });
        d->command(210);
        EXPECT_NE(question.find("lista.sts"), std::string::npos) << question;
        EXPECT_EQ(backInTheDialog, !replace);
        EXPECT_EQ(test::ReadBytes(file).size(), replace ? 890u : 6u);
        EXPECT_EQ(w.list().Modified(), !replace);
    }
    SetUserDialogs(&dialogs);
}

TEST_F(SystemWindowTest, ClosingAModifiedListAsksToSaveIt) {
    test::TempDir dir;
    struct Case {
        int answer;
        std::string file;  // for the save dialog; empty cancels it
        bool closes, saved;
    };
    for (const Case& c :
         {Case{kIdYes, dir.file("a.sts"), true, true}, Case{kIdYes, "", false, false},
          Case{kIdNo, "", true, false}, Case{kIdCancel, "", false, false}}) {
        open();
        add({{"2", "1", "1"}, {"1", "-1", "0"}}, "uno");
        dialogs.boxes.clear();
        dialogs.answers = {c.answer};
        dialogs.files = {c.file};
        d->pressEscape();
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].caption, "Lista de sistemas modificada");
        EXPECT_EQ(dialogs.boxes[0].text, "¿Guardarla?");
        EXPECT_EQ(d->ended(), c.closes) << c.answer;
        EXPECT_EQ(!c.file.empty() && test::ReadBytes(c.file).size() == 890u, c.saved);
        TearDown();
    }
    // Each opening starts with an unmodified empty list: nothing to ask.
    open();
    dialogs.boxes.clear();
    d->click(2);
    EXPECT_TRUE(d->ended());
    EXPECT_TRUE(dialogs.boxes.empty());
}

// Whatever escapes a command ends in a box, and the window is as it was
// before the command: here the question of "<<" fails after the edited grid
// has been read and analysed.
TEST_F(SystemWindowTest, ACommandThatFailsChangesNothing) {
    class FailingQuestion : public UserDialogs {
      public:
        explicit FailingQuestion(UserDialogs* next) : next_(next) {}
        int MessageBox(std::string_view caption, std::string_view text, unsigned style) override {
            if (caption == "Sistema sin comentario") throw std::runtime_error("caja rota");
            return next_->MessageBox(caption, text, style);
        }
        bool AskOpenFile(std::string& name) override { return next_->AskOpenFile(name); }
        bool AskSaveFile(std::string& name) override { return next_->AskSaveFile(name); }
        bool AskProgramFile(std::string& name) override { return next_->AskProgramFile(name); }

      private:
        UserDialogs* next_;
    };
    open();
    add({{"1", "1", "2"}, {"1", "-1", "0"}}, "uno");
    analyse({{"2", "1", "1"}, {"1", "-1", "0"}});
    const Matrix before = w.current;
    SetItemText(*d, 106, "3");  // edited, no Enter
    SetItemText(*d, InnerChild(*d, 150), "");
    dialogs.boxes.clear();
    FailingQuestion failing(&dialogs);
    UserDialogs* const scripted = SetUserDialogs(&failing);
    d->click(15);
    SetUserDialogs(scripted);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Error");
    EXPECT_EQ(dialogs.boxes[0].text,
              "La orden no se ha podido completar (caja rota). No se ha cambiado nada.");
    EXPECT_EQ(w.current, before);
    EXPECT_EQ(GetItemText(*d, 106), "3") << "the edit stays as typed";
    EXPECT_EQ(GetItemTextMax(*d, 250), kDetermined) << "the analysis shown before";
    EXPECT_EQ(GetItemText(*d, 200), "rango A' = 2");
    EXPECT_EQ(w.list().Count(), 1u);
    EXPECT_EQ(comboEntries(), std::vector<std::string>{"uno"});
    EXPECT_TRUE(IsItemEnabled(*d, 15));
}

// The real entry point runs modally; the test looks at it from inside the loop.
TEST(OpenSystemWindowTest, HandsOverACopyAndReturnsWhenClosed) {
    InitTextOutput();
    test::ScriptedDialogs dialogs;
    const Matrix handed = Matrix::FromRows({{1, 1, 2}, {1, -1, 0}});
    std::string seen;
    QTimer::singleShot(50, [&] {
        QApplication::processEvents();
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<TemplateDialog*>(top);
            if (d == nullptr || !d->isVisible()) continue;
            seen = GetItemTextMax(*d, 250);
            d->pressEscape();
        }
    });
    OpenSystemWindow(&handed);
    EXPECT_NE(seen.find("x = 1    y = 1    "), std::string::npos);
    EXPECT_EQ(handed, Matrix::FromRows({{1, 1, 2}, {1, -1, 0}}));
    EXPECT_EQ(TheSystemWindow().startUnknowns, 2);
    CurrentDC = nullptr;
}

}  // namespace
}  // namespace velmora
