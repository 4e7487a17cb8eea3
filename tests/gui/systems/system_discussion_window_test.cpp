// The system window with the parameter a in its grid: the discussion typed,
// drawn, refused, kept from the list and copied, through the real dialog.
#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/matrix/branched_steps.h"
#include "core/systems/discussion.h"
#include "core/systems/discussion_text.h"
#include "core/systems/system_text.h"
#include "gui/steps/steps_window.h"
#include "gui/systems/system_window.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"
#include "support/drawn_boxes.h"
#include "support/system_window_fixture.h"

namespace velmora {
namespace {

using test::Rows;

// The system of the issue: det A = (a - 1)^2 (a + 2).
const Rows kExample{{"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}};
const std::string kExampleConclusion =
    "Para a ≠ -2, a ≠ 1: rango A = 3, rango A' = 3 => sistema COMPATIBLE DETERMINADO  (S.C.D.)\r\n"
    "   x = (-a - 1)/(a + 2)    y = 1/(a + 2)    z = (a^2 + 2a + 1)/(a + 2)    \r\n"
    "   Posición: Los tres planos se cortan en un punto\r\n"
    "Para a = -2: rango A = 2, rango A' = 3 => sistema INCOMPATIBLE\r\n"
    "   Posición: Los planos se cortan dos a dos en tres rectas paralelas (prisma)\r\n"
    "Para a = 1: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  (S.C.I.)\r\n"
    "   Solución:   x = 1 - λ - μ    y = λ    z = μ    \r\n"
    "   para todo λ, μ\r\n"
    "   Posición: Los tres planos son coincidentes";
// Wider than any area: its triangular forms give way to a note.
const Rows kWide{{"3a^2-a+1", "2a", "1", "a+1", "1"},
                 {"1", "a^2", "2", "1-a", "a"},
                 {"a", "1", "a", "3", "2"},
                 {"1", "(a+1)/2", "1", "1", "2/3a"}};
const std::string kTooWide = "forma triangular demasiado ancha";

class SystemDiscussionTest : public test::SystemWindowFixture {
  protected:
    void SetUp() override {
        SystemWindowFixture::SetUp();
        open();
    }
    // Types the rows and presses Enter in the last cell, which analyses.
    void analyse(const Rows& rows) {
        type(rows);
        SetFocusItem(*d, CellId(static_cast<int>(rows.size()), 5));
        d->pressEnter();
    }
};

// The conclusion box holds the discussion's lines, those velmora-calc discuss
// prints; the equations are drawn with their polynomial coefficients; the
// ranks are those of a general a. A system of numbers typed after it is
// analysed as ever.
TEST_F(SystemDiscussionTest, ShowsEveryCaseOfA) {
    const struct {
        Rows rows;
        std::string ranks;  // A', A
        std::vector<std::string> firstEquation;
        const char* numbers;  // the conclusion of a system of numbers
    } cases[] = {
        {kExample, "3 3", {"ax", "+ y", "+ z", " = 1"}, nullptr},
        {{{"1", " A ", "1"}, {"a", "2", "1"}}, "2 2", {"x", "+ ay", " = 1"}, nullptr},
        {{{"a+1", "1-a", "2"}, {"1", "1", "a"}}, "2 2", {"(a + 1)x", "-(a - 1)y", " = 2"}, nullptr},
        {{{"2", "1", "1"}, {"1", "-1", "0"}},
         "2 2",
         {"2x", "+ y", " = 1"},
         " rango A = rango A' => sistema COMPATIBLE\r\n"
         " rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)\r\n\r\n"
         " Solución:   x = 1/3    y = 1/3    \r\n"
         "   Posición: Las dos rectas se cortan en un punto"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows[0][0]);
        d->paneOf(30)->dc().clearRecords();
        analyse(c.rows);
        EXPECT_TRUE(dialogs.boxes.empty());
        EXPECT_EQ(w.discussing(), c.numbers == nullptr);
        std::string discussion;
        for (const std::string& line : DiscussionLines(DiscussCells(c.rows).discussion))
            discussion += (discussion.empty() ? "" : "\r\n") + line;
        EXPECT_EQ(conclusion(), c.numbers == nullptr ? discussion : c.numbers);
        EXPECT_EQ(GetItemText(*d, 200) + " " + GetItemText(*d, 201),
                  "rango A' = " + c.ranks.substr(0, 1) + " rango A = " + c.ranks.substr(2));
        const std::vector<std::string> drawn = texts(30);
        ASSERT_GE(drawn.size(), c.firstEquation.size());
        EXPECT_EQ(std::vector<std::string>(drawn.begin(), drawn.begin() + c.firstEquation.size()),
                  c.firstEquation);
        EXPECT_TRUE(IsItemEnabled(*d, 15));
        EXPECT_TRUE(IsMenuItemEnabled(*d, 220)) << "Pasos";
        if (c.numbers != nullptr) d->command(220);
    }
    ASSERT_TRUE(w.stepsWindow() != nullptr);
    ASSERT_FALSE(w.stepsWindow()->steps().empty());
    // An open Pasos follows to the elimination by cases of A'; opened anew, it shows it.
    const auto byCases = [](const Rows& rows) {
        return BranchedElimination(DiscussCells(rows).discussion.augmented, BranchedGoal::System);
    };
    for (const Rows& rows : {kWide, kExample}) {
        analyse(rows);
        EXPECT_EQ(w.stepsWindow()->steps(), byCases(rows).steps);
    }
    EXPECT_EQ(conclusion(), kExampleConclusion);
    w.closeSteps();
    d->command(220);
    EXPECT_TRUE(w.stepsWindow()->isOpen());
    EXPECT_EQ(w.stepsWindow()->steps(), byCases(kExample).steps);
}

// Polynomials are drawn like fractions: inside their areas, no text meeting
// another or a bar; a triangular form too wide for its area gives way to a
// note. A count change clears the displays; the repaint draws it all again.
// Their font stays readable: a form too wide for its area at 14 px gives way
// to the note rather than shrink further.
TEST_F(SystemDiscussionTest, DrawingsStayInsideTheirAreasAndNeverMeet) {
    const Rows degreeFour{{"a^4 - 3a^3 + 2", "(1/2)a^2", "1"}, {"1", "-a^4 + a", "a^3"}};
    const Rows fourByFive{{"a", "1", "1", "1", "1"},
                          {"1", "a", "1", "1", "a"},
                          {"1", "1", "a", "1", "a^2"},
                          {"1", "1", "1", "a", "a^3"}};
    const struct {
        const Rows* rows;
        std::vector<int> notes;  // the areas whose form gives way to the note
    } cases[] = {{&kExample, {}}, {&degreeFour, {31}}, {&kWide, {31, 32}}, {&fourByFive, {31, 32}}};
    const struct { int pane, right; } areas[] = {{30, 227}, {31, 335}, {32, 289}};
    for (const auto& c : cases) {
        for (const bool repaint : {false, true}) {
            SCOPED_TRACE((*c.rows)[0][0] + (repaint ? " repainted" : ""));
            for (const auto& a : areas) d->paneOf(a.pane)->dc().clearRecords();
            if (repaint) {
                d->scroll(50, kScrollLineDown, 0);
                EXPECT_TRUE(texts(30).empty());
                d->paint();
            } else {
                analyse(*c.rows);
            }
            for (const auto& a : areas) {
                const DeviceContext& dc = d->paneOf(a.pane)->dc();
                std::vector<test::Box> boxes = test::TextBoxes(dc);
                const std::vector<test::Box> bars = test::UprightLines(dc);
                boxes.insert(boxes.end(), bars.begin(), bars.end());
                EXPECT_FALSE(boxes.empty()) << a.pane;
                EXPECT_EQ(test::Outside(boxes, a.pane == 30 ? 9 : 6, 21, a.right, 111), "")
                    << a.pane;
                EXPECT_EQ(test::Overlaps(boxes), "") << a.pane;
                for (const DrawRecord& r : dc.records())
                    EXPECT_GE(r.font.lfHeight, 14) << a.pane << " '" << r.text << "'";
                if (a.pane != 30) {
                    const std::vector<std::string> drawn = texts(a.pane);
                    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), kTooWide),
                              std::count(c.notes.begin(), c.notes.end(), a.pane))
                        << a.pane;
                }
            }
        }
    }
}

// A cell is refused as any cell is, named, with the reason of its reading;
// so is a null equation and a system too large to discuss. Nothing is shown.
TEST_F(SystemDiscussionTest, RefusesCellsAndSystemsItCannotDiscuss) {
    const std::string cell = "La celda de la ecuación 2, columna 1 ";
    // A row of 20 unlike prime denominators: more than 512 bits once scaled to integers.
    const long primes[] = {2147483647, 2147483629, 2147483587, 2147483579, 2147483563,
                           2147483549, 2147483543, 2147483497, 2147483489, 2147483477,
                           2147483423, 2147483399, 2147483353, 2147483323, 2147483269,
                           2147483249, 2147483237, 2147483179, 2147483171, 2147483137};
    std::vector<std::string> big(5);
    for (int k = 0; k < 20; ++k)
        big[k / 4] += "+ (1/" + std::to_string(primes[k]) + ")a^" + std::to_string(4 - k % 4);
    const struct {
        Rows rows;
        std::string text;
    } cases[] = {
        {{{"a", "1", "1"}, {"1/a", "1", "1"}}, cell + "tiene el parámetro en un denominador."},
        {{{"a", "1", "1"}, {"a^5", "1", "1"}}, cell + "pasa del grado 4 en el parámetro."},
        {{{"a", "1", "1"}, {"2a3", "1", "1"}}, cell + "no es un número ni un polinomio en el parámetro."},
        {{{"a", "1", "1"}, {"a - a", "", "0"}},
         "No se ha definido o contiene filas nulas o no numéricas"},
        {{big, {"1", "1", "1", "1", "a"}},
         "No se puede discutir el sistema: los números del sistema son demasiado grandes para "
         "discutirlo."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows[1][0]);
        analyse(kExample);
        dialogs.boxes.clear();
        d->paneOf(30)->dc().clearRecords();
        analyse(c.rows);
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].caption, "Error sistema");
        EXPECT_EQ(dialogs.boxes[0].text, c.text);
        EXPECT_EQ(dialogs.boxes[0].style & 0xF0, unsigned(kMbIconExclamation));
        EXPECT_EQ(GetItemText(*d, CellId(2, 1)), c.rows[1][0]) << "cells keep their text";
        EXPECT_EQ(GetItemText(*d, 250), "");
        EXPECT_EQ(GetItemText(*d, 200), "Rango A' =");
        EXPECT_FALSE(IsItemEnabled(*d, 15));
        EXPECT_TRUE(texts(30).empty());
        d->scroll(50, kScrollLineUp, 0);
        d->paint();
        EXPECT_TRUE(texts(30).empty()) << "nothing comes back";
    }
}

// "<<" keeps systems of numbers only: with an a it says so and keeps
// nothing, the discussion stays on show. Numbers typed after it are kept,
// and a system picked from the list is shown as numbers.
TEST_F(SystemDiscussionTest, AddKeepsOnlySystemsOfNumbers) {
    analyse(kExample);
    SetItemText(*d, InnerChild(*d, 150), "con a");
    d->click(15);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Sistema con parámetro");
    EXPECT_EQ(dialogs.boxes[0].text,
              "Solo se pueden añadir a la lista sistemas de números: un fichero .sts guarda "
              "fracciones, no polinomios. La lista no ha cambiado.");
    EXPECT_EQ(w.list().Count(), 0u);
    EXPECT_EQ(GetItemText(*d, CellId(3, 5)), "a^2");
    EXPECT_EQ(conclusion(), kExampleConclusion);

    analyse({{"1", "1", "2"}, {"1", "-1", "0"}});
    SetItemText(*d, InnerChild(*d, 150), "sin a");
    d->click(15);
    ASSERT_EQ(w.list().Count(), 1u);
    EXPECT_EQ(w.list().Get(1).augmented, Matrix::FromRows({{1, 1, 2}, {1, -1, 0}}));
    analyse(kExample);
    d->pick(150, 1);
    EXPECT_FALSE(w.discussing());
    EXPECT_EQ(GetItemText(*d, 200), "rango A' = 2");
    EXPECT_NE(conclusion().find("x = 1    y = 1"), std::string::npos);
}

// "Copiar" copies the equations with their polynomial coefficients and the
// discussion; "Copiar LaTeX" the same in LaTeX.
TEST_F(SystemDiscussionTest, CopiesTheDiscussion) {
    analyse(kExample);
    ASSERT_TRUE(w.discussing());
    d->command(311);
    EXPECT_EQ(ClipboardText(),
              "ax + y + z = 1\n"
              "x + ay + z = a\n"
              "x + y + az = a^2\n"
              "\n"
              "Para a ≠ -2, a ≠ 1: rango A = 3, rango A' = 3 => sistema COMPATIBLE DETERMINADO  "
              "(S.C.D.)\n"
              "   x = (-a - 1)/(a + 2)    y = 1/(a + 2)    z = (a^2 + 2a + 1)/(a + 2)\n"
              "   Posición: Los tres planos se cortan en un punto\n"
              "Para a = -2: rango A = 2, rango A' = 3 => sistema INCOMPATIBLE\n"
              "   Posición: Los planos se cortan dos a dos en tres rectas paralelas (prisma)\n"
              "Para a = 1: rango A = 1, rango A' = 1 => sistema COMPATIBLE INDETERMINADO  "
              "(S.C.I.)\n"
              "   Solución:   x = 1 - λ - μ    y = λ    z = μ\n"
              "   para todo λ, μ\n"
              "   Posición: Los tres planos son coincidentes\n");
    d->command(312);
    EXPECT_EQ(ClipboardText(), DiscussionLatex(*w.discussion));
    EXPECT_NE(ClipboardText().find("x + y + az & = & a^{2}"), std::string::npos);
    EXPECT_TRUE(dialogs.boxes.empty());
}

// "Sustituir parámetro..." puts the system for one value in the grid and
// analyses it, an equation 0 = 0 or 0 = c included; "Ok" analyses it again
// as it is, and Ctrl+Z brings the system with the parameter back. The same
// null equation typed is refused.
TEST_F(SystemDiscussionTest, SubstitutesAValueAndUndoesIt) {
    const struct {
        Rows rows;
        const char* value;
        const char* second;  // equation 2 after the substitution: x's coefficient = c
        const char* conclusion;
    } cases[] = {
        {{{"1", "1", "1"}, {"k", "k", "k^2"}}, "0", "0 = 0", "INDETERMINADO"},
        {{{"1", "1", "1"}, {"k", "k", "1"}}, "0", "0 = 1", "INCOMPATIBLE"},
        {{{"1", "1", "1"}, {"m", "m", "m^2"}}, "1/2", "1/2 = 1/4", "INCOMPATIBLE"},
    };
    const auto second = [&] {
        return GetItemText(*d, CellId(2, 1)) + " = " + GetItemText(*d, CellId(2, 5));
    };
    for (const auto& c : cases) {
        analyse(c.rows);
        ASSERT_TRUE(w.discussing());
        dialogs.typed.push_back(c.value);
        d->command(sisteq::kSubstitute);
        EXPECT_EQ(second(), c.second) << c.value;
        EXPECT_FALSE(w.discussing());
        EXPECT_NE(conclusion().find(c.conclusion), std::string::npos) << conclusion();
        SetFocusItem(*d, CellId(2, 5));
        d->pressEnter();
        EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.boxes.back().text;
        EXPECT_NE(conclusion().find(c.conclusion), std::string::npos) << conclusion();
        QKeyEvent ctrlZ(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
        QApplication::sendEvent(d->item(CellId(1, 1)), &ctrlZ);
        EXPECT_TRUE(w.discussing());
        EXPECT_EQ(second(), c.rows[1][0] + " = " + c.rows[1][2]);
    }
    analyse({{"1", "1", "1"}, {"0", "0", "0"}});
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "No se ha definido o contiene filas nulas o no numéricas");
}

}  // namespace
}  // namespace velmora
