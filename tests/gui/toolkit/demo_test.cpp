// The demonstration dialog drawn as a window would: a matrix with its bars and
// a system as equations. Set VELMORA_SHOT to a file name to keep a picture.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdlib>

#include <gtest/gtest.h>

#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"
#include "resources/templates.h"
#include "support/demo_dialog.h"

namespace velmora {
namespace {

TEST(DemoDialogTest, DrawsAMatrixWithBarsAndASystemAsEquations) {
    InitTextOutput();
    test::RecordingHandler h;
    h.onPaintAction = test::DrawDemo;
    h.onInitAction = [](TemplateDialog& d) {
        ComboAddList(d, 150, "primero;segundo");
        ListAdd(d, 160, "Calculadora");
        ListAdd(d, 160, "Editor");
        SetItemText(d, 101, "3/4");
        SetItemText(d, 102, "2");
        CheckItem(d, 52, true);
        CheckItem(d, 60, true);
        ScrollSetRange(d, 80, 2, 4);
        ScrollSetPos(d, 80, 3);
        AppendItemLine("Sistema compatible determinado", d, 250);
        AppendItemLine("x = 1, y = -1/2", d, 250);
    };
    TemplateDialog d(test::DemoTemplate(), h, test::DemoColours());
    d.start();
    QApplication::processEvents();
    ASSERT_EQ(h.events().back(), "paint");

    const QImage& matrix = d.paneOf(30)->image();
    // 2 x 3 matrix at (20, 30): "-12/7" widens its column; the left bar stays at 20.
    for (int y = 30; y < 62; ++y) EXPECT_EQ(matrix.pixelColor(20, y), QColor(Qt::black)) << y;
    EXPECT_EQ(matrix.pixelColor(5, 20), QColor(255, 255, 231)) << "panel fill";
    // Outside the fill the pane keeps the picture of what lies under it: the
    // dialog's colour, opaque.
    EXPECT_EQ(matrix.pixelColor(1, 1), QColor(0, 123, 255)) << "outside the fill the group box shows";
    const std::vector<std::string> system = d.paneOf(31)->dc().drawnTexts();
    EXPECT_EQ(std::vector<std::string>(system.begin(), system.begin() + 4),
              (std::vector<std::string>{"2x", "- y", " ", " = 5"}));

    if (const char* shot = std::getenv("VELMORA_SHOT")) {
        QApplication::processEvents();
        EXPECT_TRUE(d.grab().save(QString::fromLocal8Bit(shot)));
    }
    if (const char* hold = std::getenv("VELMORA_SHOT_HOLD_MS")) {
        // Keeps the window on a real screen a while, for a screen capture.
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < std::atoi(hold))
            QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    d.end(0);
    CurrentDC = nullptr;
}

// Pictures of the three real templates, for a look at their layout. Set
// VELMORA_SHOT_DIR to a folder to have them written.
TEST(DemoDialogTest, PicturesOfTheProgramTemplates) {
    const char* folder = std::getenv("VELMORA_SHOT_DIR");
    if (folder == nullptr) GTEST_SKIP() << "VELMORA_SHOT_DIR not set";
    const DialogColours mainColours{Rgb(96, 127, 240), Rgb(96, 127, 240), Rgb(230, 255, 250),
                                    std::nullopt};
    const DialogColours systemColours{Rgb(0, 123, 255), Rgb(0, 123, 255), Rgb(250, 250, 220),
                                      Rgb(0, 236, 140)};
    struct Shot {
        const res::DialogTemplate& tmpl;
        DialogColours colours;
    };
    for (const Shot& s :
         {Shot{res::PrincipalTemplate(), mainColours}, Shot{res::SistEqTemplate(), systemColours},
          Shot{res::DlgToolsTemplate(), DialogColours{}}}) {
        test::RecordingHandler h;
        TemplateDialog d(s.tmpl, h, s.colours);
        d.start();
        QApplication::processEvents();
        const QString file = QString::fromLocal8Bit(folder) + "/" +
                             QString::fromUtf8(s.tmpl.name.data(), qsizetype(s.tmpl.name.size())) +
                             ".png";
        EXPECT_TRUE(d.grab().save(file));
        d.end(0);
    }
}

}  // namespace
}  // namespace velmora
