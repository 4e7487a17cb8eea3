// The main window and the clipboard (a real QClipboard): copying the matrix
// the editor shows, pasting blocks into the grid, Ctrl+C and Ctrl+V in a
// cell, and the right-click menu of a stored matrix.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <array>
#include <map>

#include "support/main_window_fixture.h"

namespace velmora {
namespace {

using namespace principal;
using test::Grid;
using test::MainWindowTest;

class ClipboardTest : public MainWindowTest {
  protected:
    // What a refusal must leave as it was.
    struct Editor {
        std::array<std::string, 20> cells;
        int rows, cols;
        Matrix working;
        bool committed;
        bool operator==(const Editor&) const = default;
    };
    Editor editor() {
        Editor e{{},
                 window->editorRows(),
                 window->editorCols(),
                 window->editor().working,
                 window->editor().committed};
        for (int id = kFirstCell; id <= kLastCell; ++id)
            e.cells[id - kFirstCell] = GetItemText(*d, id);
        return e;
    }
    void key(int id, Qt::Key k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::ControlModifier);
        QApplication::sendEvent(d->item(id), &press);
    }
    QLineEdit& cell(int r, int c) { return *static_cast<QLineEdit*>(d->item(CellId(r, c))); }
    void rightClickSlot(int slot) {
        const MainWindow::Rect r = window->hitRect(slot);
        const QPoint p = d->itemRect(kPanel).topLeft() + QPoint(r.left + 1, r.top + 1);
        d->contextMenu(p.x(), p.y());
    }
};

TEST_F(ClipboardTest, CopiedMatrixPastesBackAsTheSameMatrix) {
    commit({{"1", "-1/2"}, {"6/2", "4"}});
    const Matrix copied = window->editor().working;
    d->command(kCopyLatex);
    EXPECT_EQ(ClipboardText(),
              "\\[ \\begin{pmatrix} 1 & -\\frac{1}{2} \\\\ 3 & 4 \\end{pmatrix} \\]");
    commit({{"9"}});
    d->command(kPaste);  // its own LaTeX pastes back
    EXPECT_EQ(shown(), (Grid{{"1", "-1/2"}, {"3", "4"}}));
    d->pressEnter();
    d->command(kCopy);
    EXPECT_EQ(ClipboardText(), "1\t-1/2\n3\t4\n");

    commit({{"9", "9", "9"}, {"9", "9", "9"}, {"9", "9", "9"}});
    d->command(kPaste);
    EXPECT_EQ(shown(), (Grid{{"1", "-1/2"}, {"3", "4"}}));
    EXPECT_EQ(GetItemText(*d, CellId(3, 3)), "") << "cells outside the block are emptied";
    EXPECT_EQ(FocusedItem(*d), CellId(2, 2));
    // As if typed and confirmed: the working matrix at once, with its own
    // determinant and buttons, not those of the singular matrix before.
    EXPECT_EQ(window->editor().working, copied);
    EXPECT_EQ(GetItemText(*d, kDetBox), "11/2");
    EXPECT_TRUE(IsItemEnabled(*d, kInverse));
    d->pressEnter();
    EXPECT_EQ(window->editor().working, copied);
    EXPECT_TRUE(boxes.boxes.empty());
}

// Copying commits what the grid shows, as an operation does.
TEST_F(ClipboardTest, CopyTakesWhatTheGridShows) {
    commit({{"1", "2"}});
    SetItemText(*d, CellId(1, 2), "4/8");
    d->command(kCopy);
    EXPECT_EQ(ClipboardText(), "1\t1/2\n");
    EXPECT_EQ(shown(), (Grid{{"1", "1/2"}}));
}

TEST_F(ClipboardTest, PastesSpreadsheetsTextAndBrackets) {
    const struct {
        const char* text;
        Grid grid;
    } cases[] = {
        {"1\t-1/2\r\n3\t4\r\n", {{"1", "-1/2"}, {"3", "4"}}},
        {"1\t\t3\r\n", {{"1", "0", "3"}}},
        {"[1 2; 3 -1/2]", {{"1", "2"}, {"3", "-1/2"}}},
        {"2 4/8\n6 8\n10 12\n14 16\n", {{"2", "1/2"}, {"6", "8"}, {"10", "12"}, {"14", "16"}}},
        {"7", {{"7"}}},
    };
    for (const auto& c : cases) {
        SetClipboardText(c.text);
        d->command(kPaste);
        EXPECT_EQ(shown(), c.grid) << c.text;
        for (int r = 1; r <= 4; ++r) {
            for (int col = 1; col <= 5; ++col) {
                EXPECT_EQ(IsItemEnabled(*d, CellId(r, col)),
                          r <= int(c.grid.size()) && col <= int(c.grid[0].size()));
            }
        }
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(ClipboardTest, RefusedPastesSayWhyAndChangeNothing) {
    const struct {
        const char* text;
        const char* why;
    } cases[] = {
        {"", "el portapapeles no tiene texto"},
        {"1 2 3 4 5 6\n",
         "la matriz tiene 1 fila y 6 columnas, y aquí caben de 1 a 4 filas y de 1 a 5 columnas"},
        {"1\t2\n3\t1.5\n", "«1.5» no es un número (fila 2, columna 2)"},
        {"1\t2\n3\tabc\n",
         "«abc» tiene dos letras: solo se admite un parámetro (fila 2, columna 2)"},
        {"1\t2\r\n3\r\n", "la fila 2 tiene 1 elemento y la fila 1 tiene 2"},
        {"[1 2; 3 4", "falta el corchete de cierre ]"},
    };
    commit({{"5", "6"}, {"7", "8"}});
    SetItemText(*d, CellId(1, 1), "typed");
    const Editor before = editor();
    for (const auto& c : cases) {
        boxes.boxes.clear();
        SetClipboardText(c.text);
        d->command(kPaste);
        ASSERT_EQ(boxes.boxes.size(), 1u) << c.text;
        EXPECT_EQ(boxes.boxes[0].caption, "Pegar");
        EXPECT_EQ(boxes.boxes[0].text, std::string("No se ha pegado nada: ") + c.why + ".");
        EXPECT_TRUE(editor() == before) << c.text;
    }
}

// A pasted block sizes the grid ahead of the working matrix: a size change
// refused there puts the buttons back to the pasted size, not the working one.
TEST_F(ClipboardTest, RefusedSizeChangeKeepsThePastedGrid) {
    commit({{"5", "5"}, {"-3", "5"}, {"4", "1"}});
    SetClipboardText("1\t2\n");
    d->command(kPaste);
    SetItemText(*d, CellId(1, 2), "-3-5");
    const Editor before = editor();
    d->click(52);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Celda no válida");
    EXPECT_TRUE(editor() == before);
    EXPECT_EQ(CheckedRadio(*d, 51, 54) * 10 + CheckedRadio(*d, 55, 59), 12);
    EXPECT_FALSE(IsItemEnabled(*d, CellId(2, 1)));
}

// An operation commits a pasted block first; when it then fails, the
// working matrix and the pasted grid are both as they were.
TEST_F(ClipboardTest, AFailedOperationAfterAPasteChangesNothing) {
    commit({{"3", "3"}, {"6", "3"}});
    SetClipboardText("4");
    d->command(kPaste);
    SetItemText(*d, kExponentBox, "$10");  // 4^16 does not fit
    const Editor before = editor();
    d->click(kPower);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Desbordamiento");
    EXPECT_TRUE(editor() == before);
}

// In a cell, Ctrl+C copies the cell's selected text, or the matrix when
// nothing is selected; Ctrl+V pastes a single value into the cell and a
// block into the grid. The menu shows both keys.
TEST_F(ClipboardTest, CtrlCAndCtrlVInACell) {
    std::map<int, QKeySequence> keys;
    for (QAction* a : MenuPopup(*d, 1)->actions()) keys[a->data().toInt()] = a->shortcut();
    EXPECT_EQ(keys[kCopy], QKeySequence("Ctrl+C"));
    EXPECT_EQ(keys[kPaste], QKeySequence("Ctrl+V"));
    EXPECT_EQ(keys[kCopyLatex], QKeySequence());
    commit({{"12", "3"}, {"4", "5"}});
    cell(1, 1).setSelection(0, 1);
    key(CellId(1, 1), Qt::Key_C);
    EXPECT_EQ(ClipboardText(), "1");
    cell(1, 1).deselect();
    key(CellId(1, 1), Qt::Key_C);
    EXPECT_EQ(ClipboardText(), "12\t3\n4\t5\n");

    // A spreadsheet's single cell comes with a line break.
    for (const auto& [copied, typed] : {std::pair{"-7/2", "-7/2"}, {"9\r\n", "9"}}) {
        SetClipboardText(copied);
        SetItemText(*d, CellId(2, 2), "");
        key(CellId(2, 2), Qt::Key_V);
        EXPECT_EQ(GetItemText(*d, CellId(2, 2)), typed);
        EXPECT_EQ(shown().size(), 2u);
    }
    SetClipboardText("1\t2\t3\n");
    key(CellId(2, 2), Qt::Key_V);
    EXPECT_EQ(shown(), (Grid{{"1", "2", "3"}}));
}

// The right button on a stored matrix offers to copy it; nothing else changes.
TEST_F(ClipboardTest, RightClickCopiesAStoredMatrix) {
    append({{"1", "2"}, {"3", "4"}});
    append({{"1/3", "0", "-5"}});
    const int selected = window->store().selected();
    const Grid grid = shown();
    SetClipboardText("before");
    const struct {
        int slot;
        int choice;
        const char* clipboard;
    } cases[] = {
        {1, kCopyLatex, "\\[ \\begin{pmatrix} 1 & 2 \\\\ 3 & 4 \\end{pmatrix} \\]"},
        {2, kCopy, "1/3\t0\t-5\n"},
        {1, 0, "1/3\t0\t-5\n"},  // the menu closed without a choice
    };
    for (const auto& c : cases) {
        boxes.menus.clear();
        boxes.menuChoices = {c.choice};
        rightClickSlot(c.slot);
        ASSERT_EQ(boxes.menus.size(), 1u);
        EXPECT_EQ(boxes.menus[0], (std::vector<std::string>{"Copiar", "Copiar LaTeX"}));
        EXPECT_EQ(ClipboardText(), c.clipboard);
        EXPECT_EQ(window->store().selected(), selected);
        EXPECT_EQ(shown(), grid);
    }
    boxes.menus.clear();
    const QPoint outside = d->itemRect(kPanel).topLeft() + QPoint(400, 400);
    d->contextMenu(outside.x(), outside.y());
    EXPECT_TRUE(boxes.menus.empty()) << "no menu away from the matrices";
}

}  // namespace
}  // namespace velmora
