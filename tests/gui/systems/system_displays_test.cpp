// What the system window shows: the ranks and the conclusion box, the
// equations, A' and A with their triangular forms, whatever their numbers.
#include "gui/systems/system_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "core/systems/system_text.h"
#include "gui/toolkit/dialog_helpers.h"
#include "support/drawn_boxes.h"
#include "support/system_window_fixture.h"

namespace velmora {
namespace {

using test::kDetermined;
using test::Rows;
using test::SystemWindowTest;

// The conclusion is the program's: seven whole lines in view, keys change
// nothing, and what is selected in it is what Ctrl+C copies.
TEST_F(SystemWindowTest, TheConclusionShowsWholeAndIsReadNotTyped) {
    open();
    analyse({{"1", "0", "2", "1"}, {"0", "2", "-1", "6"}, {"1", "2", "1", "7"}});  // seven lines
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
         "   para todo λ\r\n"
         "   Posición: Las dos rectas son coincidentes"},
        {{{"1", "1", "1"}, {"1", "1", "2"}},
         "rango A' = 2",
         "rango A = 1",
         "rango A <> rango A' => sistema INCOMPATIBLE\r\n"
         "   Posición: Las dos rectas son paralelas"},
        {{{"0", "0", "5"}, {"1", "1", "1"}},
         "rango A' = 2",
         "rango A = 1",
         "rango A <> rango A' => sistema INCOMPATIBLE\r\n"
         "   Posición: Una de las ecuaciones es imposible: no hay ningún punto común"},
        {{{"1", "1", "2"}, {"1", "-1", "0"}, {"2", "2", "4"}},
         "rango A' = 2",
         "rango A = 2",
         " rango A = rango A' => sistema COMPATIBLE\r\n"
         " rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)\r\n\r\n"
         " Solución:   x = 1    y = 1    \r\n"
         "   Posición: Dos rectas son coincidentes y la tercera las corta en un punto"},
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

// Lines longer than the box is wide are there whole; more lines than the
// box holds scroll.
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
    // Seven lines now fit: a discussion of three cases, each with its
    // position, takes nine.
    analyse({{"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}});
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
    const std::string kLinesCut = "   Posición: Las dos rectas se cortan en un punto";
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
         determined2 + "\r\n\r\n" + kSolutionOutOfRange + "\r\n" + kLinesCut,
         true,
         false,
         false},
        {"the entries that once overflowed the rank",
         {{"100000", "3", "1"}, {"7", "100001", "5"}},
         determined2 + "\r\n\r\n" + kSolutionOutOfRange + "\r\n" + kLinesCut,
         true,
         true,
         false},
        {"entries near 2000000000",
         {{"1999999994", "-1999999991", "5", "-13"},
          {"1999999994", "-1999999992", "-2", "2"},
          {"1", "-5", "-2", "8"}},
         determined3 + "x = -1    y = -1    z = -2    \r\n"
                       "   Posición: Los tres planos se cortan en un punto",
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

}  // namespace
}  // namespace velmora
