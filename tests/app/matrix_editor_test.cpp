// The matrix editor of the main window: reading and showing the grid,
// "Rnd ", "Nueva " and the sub-matrix.
#include <QApplication>
#include <QKeyEvent>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window_fixture.h"
#include "support/unreadable_cells.h"

namespace velmora {
namespace {

using namespace principal;
using test::Grid;
using test::MainWindowTest;

// What a committed cell shows, by what was typed in it: read as written,
// blanks around it allowed; only an empty cell reads 0.
TEST_F(MainWindowTest, CommittedCellsAreReadAndBroughtToLowestTerms) {
    struct Case {
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"2/4", "1/2"},    {"-6/-4", "3/2"}, {"6/-4", "-3/2"}, {" 7", "7"}, {"7 ", "7"},
        {"-2/3 ", "-2/3"}, {"3 / 4", "3/4"}, {"", "0"},        {"  ", "0"}, {"0/5", "0"},
        {"$10", "16"},     {"%11/4", "3/4"}, {"-0", "0"},
    };
    for (const Case& c : cases) {
        commit({{"5/7"}});
        commit({{c.typed}});
        EXPECT_TRUE(boxes.boxes.empty()) << c.typed;
        EXPECT_EQ(shown(), (Grid{{c.shown}})) << "'" << c.typed << "'";
    }
}

// A cell that does not read as a number is refused wherever the grid is read:
// the box names the cell and says why, the grid keeps its text and nothing is
// computed, stored, handed over or selected.
TEST_F(MainWindowTest, UnreadableCellsAreRefusedWhereverTheGridIsRead) {
    int handedOver = 0;
    hooks.openSystemWindow = [&](const Matrix*) { ++handedOver; };
    open();
    struct Place {
        const char* name;
        std::function<void()> press;
        std::function<void()> before = [] {};  // before the cell is typed
    };
    const Place places[] = {
        {"Ok", [&] { d->click(kEditorOk); }},
        {"Enter at the last cell",
         [&] {
             SetFocusItem(*d, CellId(3, 3));
             d->pressEnter();
         }},
        {"columns 4", [&] { d->click(58); }},
        {"<-", [&] { d->click(kStore); }},
        {"trasp.", [&] { d->click(kTranspose); }},
        {"adjuntos", [&] { d->click(kCofactors); }},
        {"inversa", [&] { d->click(kInverse); }},
        {"triangular", [&] { d->click(kTriangular); }},
        {"diagonal", [&] { d->click(kDiagonal); }},
        {"M ·", [&] { d->click(kMulFactor); }},
        {"M ^", [&] { d->click(kPower); }},
        {"Sistema >", [&] { d->click(kToSystem); }},
        {"SubM", [&] { d->click(kSubM); }},
        {"Ok in sub-matrix mode", [&] { d->click(kEditorOk); },
         [&] {
             d->click(kSubM);
             d->click(141);
             d->click(146);
         }},
    };
    const Grid base = {{"1", "2", "0"}, {"0", "1", "4"}, {"5", "6", "0"}};  // det 16
    const Matrix baseMatrix = Matrix::FromRows({{1, 2, 0}, {0, 1, 4}, {5, 6, 0}});
    SetItemText(*d, kFactorBox, "2");
    SetItemText(*d, kExponentBox, "2");
    for (const Place& p : places) {
        for (const test::UnreadableCell& j : test::kUnreadableCells) {
            SCOPED_TRACE(std::string(p.name) + ", '" + j.typed + "'");
            boxes.boxes.clear();
            append(base);
            p.before();
            const bool mode = window->subMatrixMode();
            const std::string captionBefore = caption();
            const int count = window->store().count();
            Grid typed = base;
            typed[1][2] = j.typed;
            SetItemText(*d, CellId(2, 3), j.typed);
            p.press();
            ASSERT_EQ(boxes.boxes.size(), 1u);
            EXPECT_EQ(boxes.boxes[0].caption, "Celda no válida");
            EXPECT_EQ(boxes.boxes[0].text,
                      std::string("La celda de la fila 2, columna 3 ") + j.why + ".");
            EXPECT_EQ(boxes.boxes[0].style, static_cast<unsigned>(kMbIconExclamation));
            EXPECT_EQ(shown(), typed) << "the grid keeps its text";
            EXPECT_TRUE(window->editor().working == baseMatrix);
            EXPECT_EQ(CheckedRadio(*d, 55, 59), 3) << "the size stays";
            EXPECT_EQ(GetItemText(*d, kDetBox), "16");
            EXPECT_EQ(caption(), captionBefore);
            EXPECT_EQ(window->store().count(), count);
            EXPECT_EQ(window->store().selected(), count);
            EXPECT_EQ(window->subMatrixMode(), mode);
            EXPECT_EQ(handedOver, 0);
            if (mode) d->click(kSubM);
            d->click(kNewMatrix);
            if (window->store().full()) d->click(kReset);
        }
    }
}

TEST_F(MainWindowTest, ShowMatrixEmptiesAndDisablesTheUnusedCells) {
    commit({{"1", "2", "3", "4"}, {"5", "6", "7", "8"}});
    EXPECT_EQ(CheckedRadio(*d, 51, 54), 2);
    EXPECT_EQ(CheckedRadio(*d, 55, 59), 4);
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 5; ++c) {
            const bool used = r <= 2 && c <= 4;
            EXPECT_EQ(IsItemEnabled(*d, CellId(r, c)), used) << r << "," << c;
            if (!used) {
                EXPECT_EQ(GetItemText(*d, CellId(r, c)), "") << r << "," << c;
            }
        }
    }
    EXPECT_EQ(GetItemText(*d, kRankBox), "2");
    EXPECT_EQ(GetItemText(*d, kDetBox), "");
    commit({{"1", "2"}, {"3", "4"}});
    EXPECT_EQ(GetItemText(*d, kDetBox), "-2");
}

TEST_F(MainWindowTest, RandomGridFillsTheUsedCellsAndCommits) {
    append({{"1", "1"}, {"1", "1"}});
    for (int round = 0; round < 20; ++round) {
        d->click(kRnd);
        const Grid g = shown();
        ASSERT_EQ(g.size(), 2u);
        for (const auto& row : g) {
            for (const std::string& cell : row) {
                const int v = std::stoi(cell);
                EXPECT_TRUE(v >= -3 && v <= 7) << cell;
            }
        }
        EXPECT_EQ(GetItemText(*d, CellId(1, 3)), "");
        EXPECT_TRUE(window->editor().committed);
        EXPECT_EQ(window->store().selected(), 1) << "the selection stays";
    }
    d->click(kStore);
    EXPECT_EQ(window->store().count(), 1) << "<- overwrites the selected slot";
}

TEST_F(MainWindowTest, NewMatrixClearsTheCellsOnly) {
    append({{"1", "2", "3"}, {"4", "5", "6"}});
    d->click(kNewMatrix);
    for (int id = kFirstCell; id <= kLastCell; ++id) EXPECT_EQ(GetItemText(*d, id), "") << id;
    EXPECT_EQ(CheckedRadio(*d, 51, 54), 2);
    EXPECT_EQ(CheckedRadio(*d, 55, 59), 3);
    EXPECT_TRUE(window->editor().working == Matrix::FromRows({{1, 2, 3}, {4, 5, 6}}));
    EXPECT_EQ(window->store().selected(), 0);
    EXPECT_EQ(caption(), "Matriz... ");
    EXPECT_EQ(GetItemText(*d, kRankBox), "");
    EXPECT_FALSE(window->editor().committed);
    EXPECT_EQ(FocusedItem(*d), kFirstCell);
    d->click(kEditorOk);
    EXPECT_EQ(shown(), (Grid{{"0", "0", "0"}, {"0", "0", "0"}}));
}

// Keys as the user types them into a cell.
void TypeKeys(QWidget* cell, const std::string& text) {
    for (char ch : text) {
        QKeyEvent press(QEvent::KeyPress, ch == '\b' ? Qt::Key_Backspace : Qt::Key_unknown,
                        Qt::NoModifier, ch == '\b' ? QString() : QString(QChar(ch)));
        QApplication::sendEvent(cell, &press);
    }
}

// After "Nueva " the grid holds nothing: "<-", "SubM " and "Nueva " wait.
// The first number typed wakes them, and they act on what is typed; a grid
// emptied again puts them back to sleep.
TEST_F(MainWindowTest, NumbersTypedAfterNewAreAMatrixToStoreOrCut) {
    const int commands[] = {kStore, kSubM, kNewMatrix};
    const auto enabled = [&](bool expected, const char* when) {
        for (int id : commands) EXPECT_EQ(IsItemEnabled(*d, id), expected) << when << ": " << id;
    };
    append({{"1", "2"}, {"3", "4"}});
    d->click(kNewMatrix);
    enabled(false, "after Nueva");
    TypeKeys(d->item(CellId(2, 2)), "7");
    enabled(true, "one number typed");
    TypeKeys(d->item(CellId(2, 2)), "\b");
    enabled(false, "emptied again");

    TypeKeys(d->item(CellId(2, 2)), "-5");
    d->click(kStore);
    ASSERT_EQ(window->store().count(), 2);
    EXPECT_TRUE(window->store().matrix(2) == Matrix::FromRows({{0, 0}, {0, -5}}));

    d->click(kNewMatrix);
    TypeKeys(d->item(CellId(1, 2)), "3");
    d->click(kSubM);
    EXPECT_TRUE(window->subMatrixMode());
    EXPECT_TRUE(window->editor().committed);
    EXPECT_EQ(shown(), (Grid{{"0", "3"}, {"0", "0"}}));
    EXPECT_TRUE(IsItemShown(*d, 142) && !IsItemShown(*d, 143));
    EXPECT_TRUE(boxes.boxes.empty());
}

// A size change makes the working matrix what the grid shows at the new
// size, at once; after "Nueva " too, as soon as the grid holds a number.
TEST_F(MainWindowTest, ASizeChangeAfterNewCommitsWhatIsTyped) {
    struct Case {
        std::vector<std::pair<int, const char*>> typed;  // cell, text
        int sizeButton;
        bool committed;
        const char* rank;
        const char* det;
    };
    const Case cases[] = {
        {{}, 52, false, "", ""},
        {{{CellId(1, 1), "2"}, {CellId(2, 2), "3"}, {CellId(3, 3), "9"}}, 52, true, "2", ""},
        {{{CellId(1, 1), "2"}, {CellId(2, 2), "3"}, {CellId(3, 3), "9"}}, 58, true, "3", ""},
        {{{CellId(1, 1), "2"}, {CellId(2, 2), "3"}}, 54, true, "2", ""},
        {{{CellId(3, 3), "9"}}, 52, false, "", ""},  // what stays typed is out of the grid
        {{{CellId(1, 2), "1/2"}}, 56, true, "1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size button " << c.sizeButton);
        open();
        commit({{"1", "2", "3"}, {"4", "5", "6"}, {"7", "8", "10"}});
        d->click(kNewMatrix);
        for (const auto& [cell, text] : c.typed) TypeKeys(d->item(cell), text);
        d->click(c.sizeButton);
        EXPECT_EQ(window->editor().committed, c.committed);
        EXPECT_EQ(GetItemText(*d, kRankBox), c.rank);
        EXPECT_EQ(GetItemText(*d, kDetBox), c.det);
        const Matrix& w = window->editor().working;
        EXPECT_EQ(w.rows * 10 + w.cols, window->editorRows() * 10 + window->editorCols());
        for (const auto& [cell, text] : c.typed) EXPECT_EQ(GetItemText(*d, cell), text);
    }
}

// A number longer than its box shows can still be read whole: in the box's
// tooltip, which a number that fits does not have.
TEST_F(MainWindowTest, ALongNumberShowsWholeInItsTooltip) {
    const auto tip = [&](int id) { return d->item(id)->toolTip().toStdString(); };
    commit({{"-2147483647/2147483646", "7"}});
    EXPECT_EQ(tip(CellId(1, 1)), "-2147483647/2147483646");
    EXPECT_EQ(tip(CellId(1, 2)), "");
    commit({{"-2147483647/2147483646"}});
    EXPECT_EQ(tip(kDetBox), "-2147483647/2147483646");
    SetItemText(*d, CellId(1, 1), "3");
    EXPECT_EQ(tip(CellId(1, 1)), "");
}

TEST_F(MainWindowTest, SubMatrixOfRowsAndColumnsInOrder) {
    append({{"1", "2", "3", "4"}, {"5", "6", "7", "8"}, {"9", "10", "11", "12"}});
    d->click(kSubM);
    EXPECT_TRUE(window->subMatrixMode());
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(IsItemShown(*d, 140 + c), c <= 4) << "column " << c;
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(IsItemShown(*d, 145 + r), r <= 3) << "row " << r;

    d->click(142);
    d->click(144);
    d->click(kEditorOk);
    EXPECT_TRUE(window->subMatrixMode()) << "no row checked: nothing happens";
    EXPECT_EQ(shown().size(), 3u);

    d->click(146);
    d->click(148);
    d->click(kEditorOk);
    EXPECT_FALSE(window->subMatrixMode());
    EXPECT_EQ(shown(), (Grid{{"2", "4"}, {"10", "12"}}));
    EXPECT_EQ(GetItemText(*d, kDetBox), "-16");
    for (int id = 141; id <= 149; ++id) {
        EXPECT_FALSE(IsItemShown(*d, id)) << id;
        EXPECT_FALSE(IsItemChecked(*d, id)) << id;
    }
    EXPECT_EQ(window->store().selected(), 1) << "selection and description stay";
    EXPECT_EQ(caption(), "Matriz  J = ");

    // Turning the mode off hides and clears the boxes.
    d->click(kSubM);
    d->click(141);
    d->click(kSubM);
    EXPECT_FALSE(IsItemChecked(*d, 141));
    EXPECT_FALSE(IsItemShown(*d, 141));
}

}  // namespace
}  // namespace velmora
