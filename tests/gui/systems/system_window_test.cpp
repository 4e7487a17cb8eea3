// The system window driven as the user would: typing, Enter, scroll bars,
// buttons, the comment box and the file commands, with scripted answers.
#include "gui/systems/system_window.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "core/arith/random.h"
#include "core/matrix/steps.h"
#include "core/systems/sts_file.h"
#include "core/systems/system_text.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"
#include "gui/toolkit/qt_user_dialogs.h"
#include "support/drawn_boxes.h"
#include "support/scripted_dialogs.h"
#include "support/system_window_fixture.h"
#include "support/temp_dir.h"
#include "support/unreadable_cells.h"

namespace velmora {
namespace {

using test::Rows;
using test::ShownBox;

const std::string kDetermined =
    " rango A = rango A' => sistema COMPATIBLE\r\n"
    " rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)\r\n\r\n"
    " Solución:   x = 1/3    y = 1/3    ";

class SystemWindowTest : public test::SystemWindowFixture {
  protected:
    void SetUp() override {
        SystemWindowFixture::SetUp();
        SeedRandom(20261207);
    }
    void analyse(const Rows& rows) {
        type(rows);
        d->click(1);
    }
    void add(const Rows& rows, const std::string& comment) {
        analyse(rows);
        SetItemText(*d, InnerChild(*d, 150), comment);
        d->click(15);
    }
    std::vector<std::string> comboEntries() {
        std::vector<std::string> e;
        for (int k = 1; k <= ComboCount(*d, 150); ++k) e.push_back(ComboItemText(*d, 150, k));
        return e;
    }
};

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

// The conclusion is the program's: six whole lines in view, keys change
// nothing, and what is selected in it is what Ctrl+C copies.
TEST_F(SystemWindowTest, TheConclusionShowsWholeAndIsReadNotTyped) {
    open();
    analyse({{"1", "0", "2", "1"}, {"0", "2", "-1", "6"}, {"1", "2", "1", "7"}});  // six lines
    auto* box = qobject_cast<QPlainTextEdit*>(ItemHandle(*d, 250));
    QApplication::processEvents();
    EXPECT_EQ(box->verticalScrollBar()->maximum(), 0);
    const std::string before = conclusion();
    box->setFocus();
    box->selectAll();
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "X");
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(box, &typed);
    QApplication::sendEvent(box, &copy);
    EXPECT_EQ(conclusion(), before);
    EXPECT_EQ(ClipboardText(), box->toPlainText().toStdString());
}

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

TEST_F(SystemWindowTest, ClassifiesTheExamplesWithTheirExactTexts) {
    struct Case {
        Rows rows;
        std::string rankAugmented, rankCoefficients, conclusion;
    };
    const std::vector<Case> cases{
        {{{"2", "1", "1"}, {"1", "-1", "0"}}, "rango A' = 2", "rango A = 2", kDetermined},
        {{{"1", "1", "1"}, {"2", "2", "2"}},
         "rango A' = 1",
         "rango A = 1",
         " rango A = rango A' => sistema COMPATIBLE\r\n"
         "rango = 1 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
         "   Grado de indeterminación = 2 - 1 = 1\r\n\r\n"
         " Solución:   x = 1 - λ    y = λ    \r\n"
         "   para todo λ"},
        {{{"1", "1", "1"}, {"1", "1", "2"}},
         "rango A' = 2",
         "rango A = 1",
         "rango A <> rango A' => sistema INCOMPATIBLE"},
        {{{"0", "0", "5"}, {"1", "1", "1"}},
         "rango A' = 2",
         "rango A = 1",
         "rango A <> rango A' => sistema INCOMPATIBLE"},
        {{{"1", "1", "2"}, {"1", "-1", "0"}, {"2", "2", "4"}},
         "rango A' = 2",
         "rango A = 2",
         " rango A = rango A' => sistema COMPATIBLE\r\n"
         " rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)\r\n\r\n"
         " Solución:   x = 1    y = 1    "},
    };
    open();
    for (const Case& c : cases) {
        analyse(c.rows);
        EXPECT_EQ(GetItemText(*d, 200), c.rankAugmented);
        EXPECT_EQ(GetItemText(*d, 201), c.rankCoefficients);
        EXPECT_EQ(GetItemTextMax(*d, 250), c.conclusion);
        EXPECT_TRUE(IsItemEnabled(*d, 15));
    }
}

// Six lines and more, some longer than the box is wide: all of it is there,
// and the box scrolls to it.
TEST_F(SystemWindowTest, AGeneralSolutionTallerThanTheBoxScrolls) {
    open();
    analyse(
        {{"1", "0", "-2147483646/2147483647", "-2147483645/2147483647", "-2147483644/2147483647"},
         {"0", "1", "-2147483643/2147483647", "-2147483642/2147483647", "-2147483641/2147483647"}});
    std::string box;
    GetItemTextAlloc(*d, 250, box);
    // A number its cell cuts short reads whole in the cell's tooltip.
    EXPECT_EQ(
        ItemHandle(*d, 103)->toolTip().toStdString() + ItemHandle(*d, 102)->toolTip().toStdString(),
        "-2147483646/2147483647");
    EXPECT_EQ(box,
              " rango A = rango A' => sistema COMPATIBLE\r\n"
              "rango = 2 < nº incógnitas => INDETERMINADO  (S.C.I.)\r\n"
              "   Grado de indeterminación = 4 - 2 = 2\r\n\r\n"
              " Solución:   x = -2147483644/2147483647 + (2147483646/2147483647)λ + "
              "(2147483645/2147483647)μ    y = -2147483641/2147483647 + (2147483643/2147483647)λ + "
              "(2147483642/2147483647)μ    z = λ    t = μ    \r\n"
              "   para todo λ, μ");
    auto* edit = qobject_cast<QPlainTextEdit*>(ItemHandle(*d, 250));
    ASSERT_NE(edit, nullptr);
    QApplication::processEvents();
    EXPECT_GT(edit->verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(edit->verticalScrollBar()->isVisible());
}

TEST_F(SystemWindowTest, DrawsEquationsAndBothMatricesWithTheirTriangularForms) {
    open();
    analyse({{"2", "1", "1"}, {"1", "-1", "0"}});
    struct Piece {
        std::string text;
        int x, y;
    };
    std::vector<Piece> drawn;
    for (const DrawRecord& r : d->paneOf(30)->dc().records()) {
        if (r.kind != DrawRecord::Kind::Text) continue;
        drawn.push_back({r.text, r.x, r.y});
        EXPECT_EQ(r.backColour, Rgb(255, 255, 231));
        EXPECT_EQ(r.font.lfFaceName, "arial");
        EXPECT_NE(r.font.lfWeight, 700);
    }
    const std::vector<Piece> expected{{"2x", 32, 30}, {"+ y", 62, 30}, {" = 1", 92, 30},
                                      {"x", 32, 46},  {"- y", 62, 46}, {" = 0", 92, 46}};
    ASSERT_EQ(drawn.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(drawn[k].text, expected[k].text);
        EXPECT_EQ(drawn[k].x, expected[k].x) << drawn[k].text;
        EXPECT_EQ(drawn[k].y, expected[k].y) << drawn[k].text;
    }
    // A' (3 columns) at 12 and its triangular form at 30 * 3 + 32; A one column less.
    struct Area {
        int pane, arrowX, triangularCentre;
    };
    for (Area a : {Area{31, 105, 134}, Area{32, 75, 104}}) {
        bool arrow = false, triangular = false;
        for (const DrawRecord& r : d->paneOf(a.pane)->dc().records()) {
            if (r.kind != DrawRecord::Kind::Text) continue;
            EXPECT_EQ(r.backColour, Rgb(255, 190, 211));
            arrow |= r.text == "->" && r.x == a.arrowX && r.y == 50;
            triangular |= r.x == a.triangularCentre && r.y == 30;
        }
        EXPECT_TRUE(arrow) << a.pane;
        EXPECT_TRUE(triangular) << a.pane;
    }

    // A count change clears the displays; the next repaint draws the system again.
    d->paneOf(30)->dc().clearRecords();
    d->scroll(50, kScrollLineDown, 0);
    EXPECT_TRUE(texts(30).empty());
    EXPECT_TRUE(IsItemEnabled(*d, 15));
    d->paint();
    EXPECT_EQ(texts(30).size(), 6u);
}

// Large numbers: every drawing stays inside the fill of its area, no text
// meets another or a bar; a smaller font, or the triangular form below the
// matrix, lets it fit; what does not fit even so gives way to an ellipsis,
// and the right-hand sides stay.
TEST_F(SystemWindowTest, LargeNumbersStayInsideTheirAreasAndNeverMeet) {
    open();
    struct Area {
        int pane, left, right;  // the fill's inside, from y = 21 to 111
    };
    const Area areas[] = {{30, 9, 227}, {31, 6, 335}, {32, 6, 289}};
    struct Case {
        Rows rows;
        bool cut;
    };
    const Case cases[] = {
        {{{"100000", "200000", "1"}, {"3", "-1/2", "2"}}, false},
        {{{"1/2", "-3/4", "5/6", "-7/8", "9/10"},
          {"2/3", "1/5", "-4/7", "3/8", "-5/9"},
          {"-6/7", "2/9", "1/3", "-8/11", "4/5"},
          {"3/10", "-9/13", "7/12", "1/4", "-2/3"}},
         false},
        {{{"2000000000", "1000000000", "-1000000000", "1000000000"},
          {"1/2", "1", "-3/4", "3"},
          {"1", "-1", "2", "5/6"}},
         false},
        // Incompatible, so nothing overflows, and too wide for any font.
        {{{"-2147483647/2147483646", "1999999999/7", "-123456789/987654321", "1"},
          {"-2147483647/2147483646", "1999999999/7", "-123456789/987654321", "2"}},
         true},
    };
    for (const Case& c : cases) {
        for (const Area& a : areas) d->paneOf(a.pane)->dc().clearRecords();
        analyse(c.rows);
        ASSERT_TRUE(w.hasSystem()) << c.rows[0][0];
        bool ellipsis = false;
        for (const Area& a : areas) {
            const DeviceContext& dc = d->paneOf(a.pane)->dc();
            std::vector<test::Box> boxes = test::TextBoxes(dc);
            const std::vector<test::Box> bars = test::UprightLines(dc);
            boxes.insert(boxes.end(), bars.begin(), bars.end());
            EXPECT_EQ(test::Outside(boxes, a.left, 21, a.right, 111), "") << a.pane;
            EXPECT_EQ(test::Overlaps(boxes), "") << a.pane;
            for (const test::Box& b : boxes) ellipsis |= b.what == "…";
        }
        EXPECT_EQ(ellipsis, c.cut) << c.rows[0][0];
        const std::vector<std::string> equations = texts(30);
        for (const auto& row : c.rows) {
            EXPECT_NE(std::find(equations.begin(), equations.end(), " = " + row.back()),
                      equations.end())
                << row.back();
        }
    }
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

// The ranks are part of the displays: whatever clears those clears them.
TEST_F(SystemWindowTest, EveryClearingOfTheDisplaysClearsTheRanks) {
    struct Case {
        const char* name;
        std::function<void()> clear;
    };
    const Case cases[] = {
        {"<<",
         [&] {
             add({{"1", "1", "1"}, {"1", "-1", "0"}}, "otro");
         }},
        {"refused grid",
         [&] {
             analyse({{"0", "0", "0"}, {"1", "-1", "0"}});
         }},
        {"nuevo", [&] { d->click(9); }},
        {"rnd", [&] { d->click(8); }},
        {"count change", [&] { d->scroll(51, kScrollLineDown, 0); }},
        {"X",
         [&] {
             d->pick(150, 1);
             dialogs.answers = {kIdYes};
             d->click(17);
         }},
        {"reset after a pick",
         [&] {
             d->pick(150, 1);
             dialogs.answers = {kIdYes};
             d->click(16);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        add({{"1", "1", "2"}, {"2", "2", "4"}}, "uno");
        analyse({{"2", "1", "1"}, {"1", "-1", "0"}});
        ASSERT_EQ(GetItemText(*d, 200), "rango A' = 2");
        c.clear();
        EXPECT_EQ(GetItemText(*d, 200), "Rango A' =");
        EXPECT_EQ(GetItemText(*d, 201), "Rango A =");
        EXPECT_EQ(GetItemText(*d, 250), "");
        TearDown();
    }
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
            // A text with an a in it is read as a polynomial in a.
            const std::string why =
                std::string(j.typed) == "abc" ? "no es un número ni un polinomio en a" : j.why;
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

// Ranks and verdicts are always answered. A solution value that does not fit
// is reported after them, once for each system read, picked or handed over
// (not at every repaint); a triangular form with no 32-bit form gives way to
// a note in its place. The rest is shown as usual and "<<" takes the system.
TEST_F(SystemWindowTest, AnswersPastThirtyTwoBits) {
    const std::string determined2 =
        " rango A = rango A' => sistema COMPATIBLE\r\n"
        " rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)";
    const std::string determined3 =
        " rango A = rango A' => sistema COMPATIBLE\r\n"
        " rango = 3 = nº incógnitas => DETERMINADO  (S.C.D.)\r\n\r\n Solución:   ";
    struct Case {
        const char* name;
        Rows rows;
        std::string conclusion;
        bool solutionOverflow;
        bool augmentedNote, coefficientsNote;
    };
    const Case cases[] = {
        {"a solution that does not fit",
         {{"1", "-1", "2147483647"}, {"0", "1", "2147483647"}},
         determined2 + "\r\n\r\n" + kSolutionOutOfRange,
         true,
         false,
         false},
        {"the entries that once overflowed the rank",
         {{"100000", "3", "1"}, {"7", "100001", "5"}},
         determined2 + "\r\n\r\n" + kSolutionOutOfRange,
         true,
         true,
         false},
        {"entries near 2000000000",
         {{"1999999994", "-1999999991", "5", "-13"},
          {"1999999994", "-1999999992", "-2", "2"},
          {"1", "-5", "-2", "8"}},
         determined3 + "x = -1    y = -1    z = -2    ",
         false,
         true,
         true},
    };
    const auto matrixOf = [](const Rows& rows) {
        Matrix m = Matrix::Zero(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            for (std::size_t j = 0; j < rows[i].size(); ++j) {
                EXPECT_EQ(ReadNumber(rows[i][j], m.at(int(i) + 1, int(j) + 1)), NumberReading::Ok);
            }
        }
        return m;
    };
    enum Way { kRead, kPicked, kHandedOver };
    const char* const note = "forma triangular fuera de rango";
    for (const Case& c : cases) {
        for (Way way : {kRead, kPicked, kHandedOver}) {
            SCOPED_TRACE(std::string(c.name) + ", way " + std::to_string(way));
            dialogs.boxes.clear();
            if (way == kHandedOver) w.handOver(matrixOf(c.rows));
            open();  // a hand-over is analysed at the first paint
            if (way == kRead) analyse(c.rows);
            if (way == kPicked) {
                add(c.rows, "grande");
                ASSERT_EQ(w.list().Count(), 1u);
                dialogs.boxes.clear();
                for (int pane : {30, 31, 32}) d->paneOf(pane)->dc().clearRecords();
                d->pick(150, 1);
            }
            if (c.solutionOverflow) {
                ASSERT_EQ(dialogs.boxes.size(), 1u);
                EXPECT_EQ(dialogs.boxes[0].caption, "Desbordamiento");
                EXPECT_EQ(dialogs.boxes[0].text,
                          "La solución no cabe en fracciones de 32 bits. Los rangos y la "
                          "conclusión son exactos.");
                EXPECT_EQ(dialogs.boxes[0].style & 0xF0, unsigned(kMbIconExclamation));
            } else {
                EXPECT_TRUE(dialogs.boxes.empty());
            }
            const std::string rank = std::to_string(c.rows.size());
            EXPECT_EQ(GetItemText(*d, 200), "rango A' = " + rank);
            EXPECT_EQ(GetItemText(*d, 201), "rango A = " + rank);
            EXPECT_EQ(GetItemTextMax(*d, 250), c.conclusion);
            EXPECT_TRUE(IsItemEnabled(*d, 15));
            EXPECT_FALSE(texts(30).empty());
            for (auto [pane, right, hasNote] :
                 {std::tuple{31, 335, c.augmentedNote}, std::tuple{32, 289, c.coefficientsNote}}) {
                const std::vector<std::string> drawn = texts(pane);
                EXPECT_EQ(std::count(drawn.begin(), drawn.end(), note), hasNote ? 1 : 0) << pane;
                EXPECT_EQ(std::count(drawn.begin(), drawn.end(), "->"), 1) << pane;
                const DeviceContext& dc = d->paneOf(pane)->dc();
                std::vector<test::Box> boxes = test::TextBoxes(dc);
                const std::vector<test::Box> bars = test::UprightLines(dc);
                boxes.insert(boxes.end(), bars.begin(), bars.end());
                EXPECT_EQ(test::Outside(boxes, 6, 21, right, 111), "") << pane;
                EXPECT_EQ(test::Overlaps(boxes), "") << pane;
            }
            d->paint();
            EXPECT_EQ(dialogs.boxes.size(), c.solutionOverflow ? 1u : 0u)
                << "once, not at repaints";
            // "<<" adds it without a word more.
            SetItemText(*d, InnerChild(*d, 150), "otro");
            d->click(15);
            EXPECT_EQ(w.list().Count(), way == kPicked ? 2u : 1u);
            EXPECT_EQ(dialogs.boxes.size(), c.solutionOverflow ? 1u : 0u);
            TearDown();
        }
    }
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
