// The matrix editor of the main window: reading and showing the grid,
// "Rnd ", "Nueva " and the sub-matrix.
#include <QLineEdit>
#include <functional>
#include <string>

#include "support/main_window_fixture.h"
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
            // A text with letters in it is read as a polynomial in a parameter.
            const std::string why = std::string(j.typed) == "abc"
                                        ? "tiene dos letras: solo se admite un parámetro"
                                        : j.why;
            EXPECT_EQ(boxes.boxes[0].text, "La celda de la fila 2, columna 3 " + why + ".");
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

// After "Nueva " numbers typed are a matrix: "<-", "SubM " and "Nueva " wake
// with the first and sleep once it is gone again, and a size change commits
// them at the new size.
TEST_F(MainWindowTest, NumbersTypedAfterNewAreAMatrix) {
    append({{"1", "2", "3"}, {"4", "5", "6"}, {"7", "8", "10"}});
    d->click(kNewMatrix);
    const auto awake = [&] {
        return IsItemEnabled(*d, kStore) + IsItemEnabled(*d, kSubM) + IsItemEnabled(*d, kNewMatrix);
    };
    auto* cell = static_cast<QLineEdit*>(d->item(CellId(2, 2)));
    cell->insert("7");  // as typed
    EXPECT_EQ(awake(), 3);
    cell->backspace();
    EXPECT_EQ(awake(), 0);
    cell->insert("-5");
    d->click(52);
    EXPECT_TRUE(window->editor().committed);
    EXPECT_EQ(GetItemText(*d, kRankBox), "1");
    d->click(kStore);
    EXPECT_TRUE(window->store().matrix(2) == Matrix::FromRows({{0, 0, 0}, {0, -5, 0}}));
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
