// The grid of the system window: Enter walking it, the scroll bars, random
// systems, and every way it is read and checked.
#include "gui/systems/system_window.h"

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/matrix/steps.h"
#include "core/systems/sts_file.h"
#include "gui/toolkit/dialog_helpers.h"
#include "support/system_window_fixture.h"
#include "support/temp_dir.h"
#include "support/unreadable_cells.h"

namespace velmora {
namespace {

using test::Rows;
using test::SystemWindowTest;

TEST_F(SystemWindowTest, EnterWalksTheGridAndTheLastCellAnalyses) {
    open();
    type({{"", "1", "1", "2"}, {"1", "", "1", "2"}, {"1", "1", "", "2"}});
    struct Step {
        int from, to;
    };
    for (Step s : {Step{101, 102}, Step{102, 103}, Step{103, 105}, Step{105, 106}, Step{107, 108},
                   Step{110, 111}, Step{113, 115}}) {
        SetFocusItem(*d, s.from);
        d->pressEnter();
        EXPECT_EQ(FocusedItem(*d), s.to) << s.from;
    }
    EXPECT_EQ(GetItemText(*d, 101), "0");
    EXPECT_EQ(GetItemText(*d, 102), "1") << "a cell with text keeps it";
    EXPECT_EQ(GetItemText(*d, 250), "");
    SetFocusItem(*d, 115);
    d->pressEnter();
    EXPECT_EQ(FocusedItem(*d), 115);
    EXPECT_NE(GetItemText(*d, 250).find("x = 1    y = 1    z = 1    "), std::string::npos);
}

TEST_F(SystemWindowTest, ScrollBarsKeepTheirCountsWithinTwoToFour) {
    open();
    struct Case {
        int bar, start, code, dragged, expected;
    };
    for (Case c : {Case{50, 2, kScrollPageDown, 0, 4}, Case{50, 3, kScrollLineUp, 0, 2},
                   Case{50, 2, kScrollLineUp, 0, 2}, Case{51, 4, kScrollLineDown, 0, 4},
                   Case{51, 4, kScrollPageUp, 0, 2}, Case{50, 4, kScrollThumbTrack, 3, 3},
                   Case{51, 3, kScrollThumbTrack, 9, 4}, Case{50, 2, kScrollThumbPosition, 4, 2},
                   Case{51, 3, kScrollEnd, 0, 3}}) {
        d->scroll(c.bar, kScrollThumbTrack, c.start);
        d->scroll(c.bar, c.code, c.dragged);
        EXPECT_EQ(ScrollGetPos(*d, c.bar), c.expected) << c.bar << " " << c.start << " " << c.code;
    }
    d->scroll(50, kScrollThumbTrack, 2);
    d->scroll(51, kScrollThumbTrack, 4);
    EXPECT_FALSE(IsItemEnabled(*d, 12));
    EXPECT_FALSE(IsItemEnabled(*d, 103));
    EXPECT_TRUE(IsItemEnabled(*d, 116));
    EXPECT_TRUE(IsItemEnabled(*d, 120));
}

TEST_F(SystemWindowTest, RandomFillsOnlyTheUsedCells) {
    open();
    d->scroll(50, kScrollThumbTrack, 2);
    d->scroll(51, kScrollThumbTrack, 2);
    for (int id = 101; id <= 120; ++id) SetItemText(*d, id, "keep");
    const std::set<int> used{101, 102, 105, 106, 107, 110};
    std::set<int> seen;
    for (int round = 0; round < 200; ++round) {
        d->click(8);
        for (int id = 101; id <= 120; ++id) {
            const std::string t = GetItemText(*d, id);
            if (used.count(id) == 0) {
                ASSERT_EQ(t, "keep") << id;
                continue;
            }
            int32_t v = 0;
            ASSERT_TRUE(ParseInteger(t, v)) << t;
            ASSERT_TRUE(v >= -3 && v <= 7) << v;
            seen.insert(v);
        }
    }
    EXPECT_EQ(seen.size(), 11u) << "every value of -3..7 drawn";
    EXPECT_FALSE(w.hasSystem());
}

// An unknown in no equation keeps its column and its name, in the list, the
// grid, the drawings and the conclusion: it is free.
TEST_F(SystemWindowTest, AZeroColumnIsAFreeUnknownUnderItsOwnName) {
    open();
    add({{"1", "0", "1", "2"}, {"1", "0", "-1", "0"}}, "sin y");
    add({{"1", "0", "3"}, {"2", "0", "6"}}, "solo x");
    ASSERT_EQ(w.list().Count(), 2u);
    EXPECT_EQ(w.list().Get(1).augmented, Matrix::FromRows({{1, 0, 1, 2}, {1, 0, -1, 0}}));

    d->paneOf(30)->dc().clearRecords();
    d->paneOf(31)->dc().clearRecords();
    d->pick(150, 1);
    EXPECT_EQ(ScrollGetPos(*d, 50), 3);
    EXPECT_TRUE(IsItemEnabled(*d, 12));
    EXPECT_EQ(GetItemText(*d, 102), "0");
    EXPECT_EQ(GetItemText(*d, 103), "1");
    EXPECT_NE(conclusion().find("x = 1    y = λ    z = 1    "), std::string::npos) << conclusion();
    // The equation leaves the term 0y out; the matrix keeps its column.
    const std::vector<std::string> equations = texts(30);
    EXPECT_NE(std::find(equations.begin(), equations.end(), "+ z"), equations.end());
    EXPECT_EQ(std::count(equations.begin(), equations.end(), "+ y"), 0);
    const std::vector<std::string> augmented = texts(31);
    EXPECT_GE(std::count(augmented.begin(), augmented.end(), "0"), 2);

    d->pick(150, 2);
    EXPECT_EQ(ScrollGetPos(*d, 50), 2);
    EXPECT_EQ(GetItemText(*d, 102), "0");
    EXPECT_TRUE(IsItemEnabled(*d, 102));
    EXPECT_NE(conclusion().find("x = 3    y = λ    "), std::string::npos) << conclusion();
    SetFocusItem(*d, 101);
    d->pressEnter();
    EXPECT_EQ(FocusedItem(*d), 102);
}

// A system smaller than the smallest grid (one equation, from a file) keeps
// its surplus cells disabled, and reading the grid leaves them out.
TEST_F(SystemWindowTest, AOneEquationSystemIsReadAsShown) {
    test::TempDir dir;
    const Matrix one = Matrix::FromRows({{1, 1, 2}});
    const StsRecord record = EncodeRecord({one, "una"});
    test::WriteBytes(dir.file("una.sts"), std::string(record.begin(), record.end()));
    open();
    dialogs.files = {dir.file("una.sts")};
    d->command(205);
    d->pick(150, 1);
    EXPECT_FALSE(IsItemEnabled(*d, 106));
    SetFocusItem(*d, 105);
    d->pressEnter();
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text;
    SetItemText(*d, InnerChild(*d, 150), "otra");
    d->click(15);
    ASSERT_EQ(w.list().Count(), 2u);
    EXPECT_EQ(w.list().Get(2).augmented, one);
}

// "<<" adds what the grid shows, read and analysed as Enter in its last cell
// would; a grid that cannot be read adds nothing and keeps its text.
TEST_F(SystemWindowTest, AddReadsTheGridFirst) {
    open();
    analyse({{"2", "1", "1"}, {"1", "-1", "0"}});
    SetItemText(*d, 106, "3");  // edited, no Enter
    SetItemText(*d, InnerChild(*d, 150), "editado");
    d->click(15);
    ASSERT_EQ(w.list().Count(), 1u);
    EXPECT_EQ(w.list().Get(1).augmented, Matrix::FromRows({{2, 1, 1}, {3, -1, 0}}));
    EXPECT_EQ(GetItemText(*d, 101), "");

    analyse({{"1", "1", "1"}, {"1", "1", "2"}});
    for (int id : {106, 107, 110}) SetItemText(*d, id, "0");
    SetItemText(*d, InnerChild(*d, 150), "nulo");
    d->click(15);
    EXPECT_EQ(dialogs.boxes.back().caption, "Error sistema");
    EXPECT_EQ(w.list().Count(), 1u);
    EXPECT_EQ(GetItemText(*d, 101), "1");
    EXPECT_EQ(GetItemText(*d, 106), "0");
    EXPECT_FALSE(IsItemEnabled(*d, 15));

    // The system analysed before the refusal does not come back.
    d->paneOf(30)->dc().clearRecords();
    d->scroll(50, kScrollLineDown, 0);
    d->paint();
    EXPECT_FALSE(IsItemEnabled(*d, 15));
    EXPECT_TRUE(texts(30).empty());
}

// A system read from the grid is a whole matrix record: its own square flag
// and determinant, which a list file carries, not those of the empty matrix
// the reading started from.
TEST_F(SystemWindowTest, ASystemReadFromTheGridCarriesItsDeterminant) {
    open();
    add({{"1", "2", "3"}, {"4", "5", "6"}, {"7", "8", "10"}}, "tres por tres");
    ASSERT_EQ(w.list().Count(), 1u);
    const Matrix& m = w.list().Get(1).augmented;
    EXPECT_TRUE(m.square);
    EXPECT_FALSE(m.detOverflow);
    EXPECT_EQ(m.det, Fraction(-3));
    const LinearSystem expected{Matrix::FromRows({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}),
                                "tres por tres"};
    EXPECT_EQ(EncodeRecord(w.list().Get(1)), EncodeRecord(expected));
}

// A cell that does not read as a number refuses the grid wherever it is
// read: the box names the cell and says why, the cells keep their text and
// nothing is analysed, drawn or added.
TEST_F(SystemWindowTest, RefusesUnreadableGrids) {
    struct Place {
        const char* name;
        std::function<void()> press;
    };
    const Place places[] = {
        {"Ok", [&] { d->click(1); }},
        {"Enter at the last cell",
         [&] {
             SetFocusItem(*d, CellId(2, 5));
             d->pressEnter();
         }},
        {"<<",
         [&] {
             SetItemText(*d, InnerChild(*d, 150), "uno");
             d->click(15);
         }},
    };
    open();
    for (const Place& p : places) {
        for (const test::UnreadableCell& j : test::kUnreadableCells) {
            SCOPED_TRACE(std::string(p.name) + ", '" + j.typed + "'");
            analyse({{"2", "1", "1"}, {"1", "-1", "0"}});
            dialogs.boxes.clear();
            d->paneOf(30)->dc().clearRecords();
            SetItemText(*d, CellId(2, 1), j.typed);
            p.press();
            ASSERT_EQ(dialogs.boxes.size(), 1u);
            EXPECT_EQ(dialogs.boxes[0].caption, "Error sistema");
            // A text with letters in it is read as a polynomial in a parameter.
            const std::string why =
                std::string(j.typed) == "abc" ? "tiene dos letras: solo se admite un parámetro" : j.why;
            EXPECT_EQ(dialogs.boxes[0].text, "La celda de la ecuación 2, columna 1 " + why + ".");
            EXPECT_EQ(dialogs.boxes[0].style & 0xF0, unsigned(kMbIconExclamation));
            EXPECT_EQ(GetItemText(*d, CellId(2, 1)), j.typed) << "cells keep their text";
            EXPECT_EQ(GetItemText(*d, 250), "");
            EXPECT_EQ(GetItemText(*d, 200), "Rango A' =");
            EXPECT_FALSE(IsItemEnabled(*d, 15));
            EXPECT_TRUE(texts(30).empty()) << "nothing drawn";
            EXPECT_EQ(w.list().Count(), 0u);
            d->paint();
            EXPECT_EQ(dialogs.boxes.size(), 1u) << "a repaint does not try again";
        }
    }
    // The right-hand side is named by its column in the system.
    dialogs.boxes.clear();
    analyse({{"1", "1", "1"}, {"1", "-1", "3/0"}});
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "La celda de la ecuación 2, columna 3 tiene denominador 0.");
    // A null equation.
    dialogs.boxes.clear();
    analyse({{"1", "1", "1"}, {"0", "", "0"}});
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "No se ha definido o contiene filas nulas o no numéricas");
    // Cells are read as written, blanks around them allowed; an empty cell is 0.
    dialogs.boxes.clear();
    analyse({{"2/4 ", " 1", "1"}, {"1", "", " -3 / 6"}});
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(w.current, Matrix::FromRows({{Fraction(1, 2), 1, 1}, {1, 0, Fraction(-1, 2)}}));
}

}  // namespace
}  // namespace velmora
