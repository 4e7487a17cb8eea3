#include "gui/toolkit/template_dialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <stdexcept>

#include <gtest/gtest.h>

#include "core/arith/fraction.h"
#include "gui/toolkit/dialog_helpers.h"
#include "support/demo_dialog.h"
#include "support/scripted_dialogs.h"

namespace velmora {
namespace {

using test::DemoColours;
using test::DemoTemplate;
using test::RecordingHandler;
using Strings = std::vector<std::string>;

void SendKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

TEST(TemplateDialogTest, MainWindowTemplateTitleSizeAndPlaces) {
    RecordingHandler h;
    TemplateDialog d(res::PrincipalTemplate(), h);
    EXPECT_EQ(d.windowTitle().toStdString(), "Cálculos con matrices  ");
    EXPECT_EQ(d.client()->size(), QSize(810, 480));
    EXPECT_EQ(d.pos(), QPoint(140, 76));
    ASSERT_NE(d.menuBar(), nullptr);
    EXPECT_EQ(d.popups().size(), 4u);

    struct Place {
        int id;
        QRect pixels;
    };
    const Place places[] = {
        {4, {240, 448, 60, 24}},     // "Reset"
        {51, {580, 24, 32, 16}},     // first row radio
        {54, {682, 24, 32, 16}},     // 290 + 17 * 3 units
        {59, {716, 42, 32, 16}},     // fifth column radio
        {151, {484, 80, 56, 20}},    // cell (1, 1)
        {170, {724, 152, 56, 20}},   // cell (4, 5)
        {205, {626, 260, 168, 20}},  // "diagonal (Gauss-Jordan)"
        {12, {480, 380, 320, 72}},   // group "Operación matrices"
        {7, {744, 410, 24, 20}},
    };
    for (const Place& p : places) {
        EXPECT_EQ(d.itemRect(p.id), p.pixels) << "id " << p.id;
    }
    // The count box closes to one line.
    EXPECT_EQ(d.itemRect(103).topLeft(), QPoint(424, 448));
    EXPECT_LT(d.itemRect(103).height(), 144);
    EXPECT_EQ(d.itemRect(141), QRect(506, 68, 10, 10));
}

// A button reached with the keyboard wears a ring that stands out on the
// dialog's blue: dozens of dark pixels more than without the focus.
TEST(TemplateDialogTest, TheKeyboardFocusRingStandsOut) {
    RecordingHandler h;
    TemplateDialog d(res::PrincipalTemplate(), h, {Rgb(96, 127, 240), Rgb(96, 127, 240), {}, {}});
    d.start();
    d.activateWindow();
    QApplication::processEvents();
    QWidget* rnd = d.item(3);
    const auto dark = [rnd] {
        const QImage image = rnd->grab().toImage();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += qGray(image.pixel(x, y)) < 64;
        return n;
    };
    const int before = dark();
    SendKey(d.item(151), Qt::Key_Tab);  // from now on the keyboard moves the focus
    rnd->setFocus(Qt::TabFocusReason);
    EXPECT_GE(dark() - before, (rnd->width() + rnd->height()) / 2);
}

TEST(TemplateDialogTest, EveryTemplateControlSitsAtItsUnitsTimesScale) {
    for (const res::DialogTemplate* t : {&res::PrincipalTemplate(), &res::SistEqTemplate(),
                                         &res::DlgToolsTemplate(), &DemoTemplate()}) {
        RecordingHandler h;
        TemplateDialog d(*t, h);
        for (std::size_t i = 0; i < t->controls.size(); ++i) {
            const res::ControlTemplate& c = t->controls[i];
            QWidget* w = d.itemAt(static_cast<int>(i));
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(w->x(), d.unitsToPixelsX(c.x)) << t->name << " #" << i;
            EXPECT_EQ(w->y(), d.unitsToPixelsY(c.y)) << t->name << " #" << i;
            EXPECT_EQ(w->width(), d.unitsToPixelsX(c.x + c.w) - d.unitsToPixelsX(c.x))
                << t->name << " #" << i;
        }
    }
}

TEST(TemplateDialogTest, ArialDialogUsesItsOwnUnits) {
    RecordingHandler h;
    TemplateDialog d(res::DlgToolsTemplate(), h);
    // x units of 1.5 px, y units of 1.875 px.
    EXPECT_EQ(d.itemRect(40), QRect(8, 19, 127, 178));
    EXPECT_EQ(d.client()->font().family().toStdString(), "Arial");
    EXPECT_EQ(d.menuBar(), nullptr);
}

TEST(TemplateDialogTest, ControlsAreFoundByIdAndDrawingAreasHavePanes) {
    RecordingHandler h;
    TemplateDialog d(res::SistEqTemplate(), h);
    for (int id : {30, 31, 32}) {
        DrawingPane* pane = d.paneOf(id);
        ASSERT_NE(pane, nullptr) << id;
        EXPECT_EQ(pane->geometry(), d.itemRect(id));
        EXPECT_EQ(pane->image().size(), d.itemRect(id).size());
    }
    EXPECT_EQ(d.paneOf(50), nullptr);
    EXPECT_EQ(d.item(999), nullptr);
    // Two buttons share id 2; the first one answers to it.
    EXPECT_EQ(d.item(2), d.itemAt(35));

    TemplateDialog main(res::PrincipalTemplate(), h);
    ASSERT_NE(main.paneOf(0), nullptr);
    EXPECT_EQ(main.paneOf(0)->size(), QSize(460, 440));
    EXPECT_EQ(main.paneOf(10), nullptr);
}

TEST(TemplateDialogTest, InitialisationComesOnceWithTheHookBeforeIt) {
    RecordingHandler h;
    TemplateDialog d(DemoTemplate(), h);
    d.start();
    d.initialise();
    EXPECT_EQ(h.log, (Strings{"before", "init", "before"}));
    EXPECT_TRUE(d.isVisible());
}

TEST(TemplateDialogTest, EnterAndEscapeKeysAreCommandsOneAndTwo) {
    RecordingHandler h;
    h.endOnEscape = false;
    TemplateDialog d(DemoTemplate(), h);
    d.start();
    SetFocusItem(d, 101);
    SendKey(d.item(101), Qt::Key_Return);
    SendKey(d.item(150), Qt::Key_Enter);
    SendKey(d.item(1), Qt::Key_Return);  // a focused button does not click itself
    SendKey(d.item(250), Qt::Key_Return);
    SendKey(d.item(101), Qt::Key_Escape);
    EXPECT_EQ(h.events(), (Strings{"init", "command 1 0", "command 1 0", "command 1 0",
                                   "command 1 0", "command 2 0"}));
    EXPECT_TRUE(d.isVisible()) << "command 2 does not close by itself";
    EXPECT_EQ(GetItemText(d, 250), "");
}

TEST(TemplateDialogTest, CloseBoxIsCommandTwoAndTheWindowDecides) {
    RecordingHandler h;
    h.endOnEscape = false;
    TemplateDialog d(DemoTemplate(), h);
    d.start();
    d.close();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(h.events().back(), "command 2 0");

    h.endOnEscape = true;
    d.close();
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(d.ended());
    EXPECT_EQ(d.endResult(), 0);
}

TEST(TemplateDialogTest, TheHookRunsBeforeEveryEvent) {
    RecordingHandler h;
    TemplateDialog d(DemoTemplate(), h);
    d.start();
    h.log.clear();
    d.click(1);
    d.paint();
    d.mouseDown(3, 4);
    d.scroll(80, kScrollLineDown, 0);
    d.command(9);
    const Strings expected{"before",        "command 1 0", "before",    "before",      "paint",
                           "before",        "before",      "mouse 3 4", "before",      "before",
                           "scroll 80 1 0", "before",      "before",    "command 9 0", "before"};
    EXPECT_EQ(h.log, expected);
}

TEST(TemplateDialogTest, ButtonsRadiosAndCheckBoxesSendClicked) {
    RecordingHandler h;
    TemplateDialog d(DemoTemplate(), h);
    d.start();
    d.click(52);
    d.click(54);
    d.click(60);
    EXPECT_EQ(h.events(), (Strings{"init", "command 52 0", "command 54 0", "command 60 0"}));
    EXPECT_FALSE(IsItemChecked(d, 52)) << "radio buttons of one group exclude each other";
    EXPECT_TRUE(IsItemChecked(d, 54));
    EXPECT_TRUE(IsItemChecked(d, 60));
    EXPECT_EQ(FocusedItem(d), 60) << "a click takes the focus";

    EnableItem(d, 1, false);
    d.click(1);
    EXPECT_EQ(h.events().size(), 4u) << "a disabled button cannot be clicked";
}

TEST(TemplateDialogTest, UserSelectionsSendSelectionChangedButProgramChangesDoNot) {
    RecordingHandler h;
    TemplateDialog d(DemoTemplate(), h);
    d.start();
    ComboAddList(d, 150, "uno;dos;tres");
    ListAdd(d, 160, "a");
    ListAdd(d, 160, "b");
    ComboSetSelection(d, 150, 2);
    ListSetSelection(d, 160, 1);
    EXPECT_EQ(h.events(), (Strings{"init"}));

    d.pick(150, 3);
    static_cast<QComboBox*>(d.item(150))->activated(0);        // what a click in the list emits
    static_cast<QListWidget*>(d.item(160))->setCurrentRow(1);  // a click or arrow key in the list
    EXPECT_EQ(h.events(), (Strings{"init", "command 150 1", "command 150 1", "command 160 1"}));
    EXPECT_EQ(ComboGetSelection(d, 150), 3);
}

// A handler that fails: the event ends in a box, the window rolls back what
// it kept at the outermost event, and the dialog goes on.
class FailingHandler : public DialogHandler {
  public:
    int checkpoints = 0;
    int rollbacks = 0;
    void checkpoint(TemplateDialog&) override { ++checkpoints; }
    void rollback(TemplateDialog&) override { ++rollbacks; }
    void onCommand(TemplateDialog& d, int id, int) override {
        switch (id) {
            case 10:
                throw ArithmeticOverflow();
            case 11:
                throw std::runtime_error("roto");
            case 12:
                throw 12;
            case 13:
                d.command(11);
                break;  // fails inside an event that goes on
            case 14: {
                // Opens a modeless window, in whose loop the user gives a
                // command here that fails.
                test::RecordingHandler other;
                TemplateDialog modeless(DemoTemplate(), other);
                QTimer::singleShot(0, &d, [&] {
                    d.command(10);
                    modeless.end(0);
                });
                modeless.runModeless();
                break;
            }
            default:
                break;
        }
    }
    bool failPaints = false;
    void onPaint(TemplateDialog&) override {
        if (failPaints) throw std::logic_error("pintura");
    }
};

TEST(TemplateDialogTest, AnExceptionEndsInABoxAndTheWindowPutsItsStateBack) {
    test::ScriptedDialogs boxes;
    FailingHandler h;
    TemplateDialog d(DemoTemplate(), h);
    d.start();
    struct Case {
        int id;
        const char* caption;
        const char* text;
        int rollbacks;
    };
    const Case cases[] = {
        {10, "Desbordamiento",
         "El resultado no cabe en fracciones de 32 bits. No se ha cambiado nada.", 1},
        {11, "Error", "La orden no se ha podido completar (roto). No se ha cambiado nada.", 1},
        {12, "Error", "La orden no se ha podido completar. No se ha cambiado nada.", 1},
        {13, "Error", "La orden no se ha podido completar (roto). No se ha cambiado nada.", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        boxes.boxes.clear();
        h.checkpoints = h.rollbacks = 0;
        d.command(c.id);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, c.caption);
        EXPECT_EQ(boxes.boxes[0].text, c.text);
        EXPECT_EQ(boxes.boxes[0].style, static_cast<unsigned>(kMbIconExclamation));
        EXPECT_EQ(h.checkpoints, 1) << "only the outermost event";
        EXPECT_EQ(h.rollbacks, c.rollbacks);
        EXPECT_FALSE(d.ended());
    }
    // A command that comes through a modeless window's loop opened by an
    // event is the user's own: its own checkpoint, and its own rollback.
    boxes.boxes.clear();
    h.checkpoints = h.rollbacks = 0;
    d.command(14);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Desbordamiento");
    EXPECT_EQ(h.checkpoints, 2);
    EXPECT_EQ(h.rollbacks, 1);

    boxes.boxes.clear();
    h.failPaints = true;
    d.paint();
    d.paint();
    ASSERT_EQ(boxes.boxes.size(), 1u) << "a paint that keeps failing is reported once";
    EXPECT_EQ(boxes.boxes[0].text,
              "La orden no se ha podido completar (pintura). No se ha cambiado nada.");
}

TEST(TemplateDialogTest, EnterInADropDownIsCommandOneAndAddsNoEntry) {
    RecordingHandler h;
    TemplateDialog d(DemoTemplate(), h);
    d.start();
    ComboAddList(d, 150, "J+K;J^3");
    SetFocusItem(d, 150);
    QKeyEvent j(QEvent::KeyPress, Qt::Key_J, Qt::ShiftModifier, QStringLiteral("J"));
    QApplication::sendEvent(static_cast<QComboBox*>(d.item(150))->lineEdit(), &j);
    EXPECT_EQ(GetItemText(d, 150), "J");
    EXPECT_EQ(ComboCount(d, 150), 2);
    SendKey(d.item(150), Qt::Key_Return);
    EXPECT_EQ(ComboCount(d, 150), 2) << "Enter adds nothing to the list";
    EXPECT_EQ(h.events().back(), "command 1 0");
}

TEST(TemplateDialogTest, MenuItemsDeliverTheirIds) {
    RecordingHandler h;
    h.endOnEscape = false;
    TemplateDialog d(res::PrincipalTemplate(), h);
    d.start();
    MenuPopup(d, 2)->actions()[2]->trigger();  // "Inversa"
    MenuAppendItem(MenuPopup(d, 4), 531, "Editor");
    MenuPopup(d, 4)->actions()[2]->trigger();
    EXPECT_EQ(h.events(), (Strings{"init", "command 203 0", "command 531 0"}));
}

TEST(TemplateDialogTest, ScrollBarsReportAndLeaveThePositionToTheWindow) {
    RecordingHandler h;
    TemplateDialog d(DemoTemplate(), h);
    d.start();
    ScrollSetRange(d, 80, 2, 4);
    ScrollSetPos(d, 80, 3);
    auto* bar = static_cast<QScrollBar*>(d.item(80));
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(ScrollGetPos(d, 80), 3) << "the bar waits for the window";
    bar->setSliderDown(true);
    bar->setSliderPosition(4);  // a drag of the thumb
    bar->setSliderDown(false);
    const Strings expected{"init",          "scroll 80 1 3", "scroll 80 0 3",
                           "scroll 80 3 3", "scroll 80 2 3", "scroll 80 5 4"};
    EXPECT_EQ(h.events(), expected);
    ScrollSetPos(d, 80, 9);
    EXPECT_EQ(ScrollGetPos(d, 80), 4) << "kept within the range";
}

TEST(TemplateDialogTest, MouseDownArrivesInClientPixelsAndMapsIntoPanes) {
    RecordingHandler h;
    TemplateDialog d(DemoTemplate(), h);
    d.start();
    // Over group box 30 (at 10, 10 px): the group box and its pane let the click through.
    const QPointF at(60, 70);
    QMouseEvent press(QEvent::MouseButtonPress, at, d.client()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(d.client(), &press);
    EXPECT_EQ(h.events().back(), "mouse 60 70");
    EXPECT_EQ(d.toPane(30, QPoint(60, 70)), QPoint(50, 60));
    EXPECT_EQ(d.toPane(31, QPoint(60, 140)), QPoint(50, 4));
}

TEST(TemplateDialogTest, InvalidateDeliversOnePaintFromTheEventLoop) {
    RecordingHandler h;
    TemplateDialog d(DemoTemplate(), h);
    d.start();  // showing asks for a paint
    d.invalidate();
    d.invalidate();
    EXPECT_EQ(h.events(), (Strings{"init"}));
    QApplication::processEvents();
    EXPECT_EQ(h.events(), (Strings{"init", "paint"}));
}

TEST(TemplateDialogTest, RunIsModalAndReturnsTheResultGivenToEnd) {
    RecordingHandler h;
    TemplateDialog d(DemoTemplate(), h);
    QTimer::singleShot(0, &d, [&d] {
        EXPECT_EQ(QApplication::activeModalWidget(), &d);
        d.pressEnter();
        d.end(7);
    });
    EXPECT_EQ(d.run(), 7);
    EXPECT_EQ(h.events(), (Strings{"init", "command 1 0"}));
}

TEST(TemplateDialogTest, RunModelessKeepsOtherWindowsUsable) {
    RecordingHandler h;
    TemplateDialog d(DemoTemplate(), h);
    QTimer::singleShot(0, &d, [&d] {
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        d.pressEscape();  // the handler ends with 0
    });
    EXPECT_EQ(d.runModeless(), 0);
    EXPECT_FALSE(d.isVisible());
}

TEST(TemplateDialogTest, EndingDuringInitialisationNeverShowsTheDialog) {
    RecordingHandler h;
    h.onInitAction = [](TemplateDialog& d) { d.end(3); };
    TemplateDialog d(DemoTemplate(), h);
    EXPECT_EQ(d.run(), 3);
    EXPECT_FALSE(d.isVisible());
}

TEST(TemplateDialogTest, ColoursGoToDialogStaticsEditsAndScrollBars) {
    RecordingHandler h;
    TemplateDialog d(DemoTemplate(), h, DemoColours());
    const QColor blue(0, 123, 255);
    const QColor cream(250, 250, 220);
    EXPECT_EQ(d.client()->palette().color(QPalette::Window), blue);
    EXPECT_TRUE(d.client()->autoFillBackground());
    EXPECT_EQ(d.item(40)->palette().color(QPalette::Window), blue);
    EXPECT_EQ(d.item(51)->palette().color(d.item(51)->backgroundRole()), blue);
    EXPECT_EQ(d.item(102)->palette().color(QPalette::Base), blue)
        << "a read-only edit counts as a static";
    EXPECT_EQ(d.item(101)->palette().color(QPalette::Base), cream);
    EXPECT_EQ(d.item(150)->palette().color(QPalette::Base), cream);
    EXPECT_EQ(d.item(80)->palette().color(QPalette::Window), QColor(0, 236, 140));
    EXPECT_EQ(d.item(101)->palette().color(QPalette::Disabled, QPalette::Base), blue)
        << "a disabled edit counts as a static";
}

}  // namespace
}  // namespace velmora
