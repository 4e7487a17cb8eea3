// Pictures of the About window and of the utilities editor for the user's
// guide. Skipped unless VELMORA_SHOT_DIR names the folder to write them to
// (scripts/make-screenshots runs it under the program's own name).
#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "gui/about/about_window.h"
#include "gui/main/program_icon.h"
#include "gui/toolkit/dialog_helpers.h"
#include "gui/tools/utilities_editor.h"

namespace velmora {
namespace {

std::string ShotDir() {
    const char* dir = std::getenv("VELMORA_SHOT_DIR");
    return dir == nullptr ? std::string() : std::string(dir);
}

TEST(ScreenshotsTest, AboutWindowAndUtilitiesEditor) {
    const std::string dir = ShotDir();
    if (dir.empty()) GTEST_SKIP() << "VELMORA_SHOT_DIR not set";

    // The program sets its icon at start-up; the About window draws that one.
    const QIcon before = QApplication::windowIcon();
    QApplication::setWindowIcon(ProgramIcon());
    AboutWindow about{std::string(kAboutDescription), std::string(kContactMail)};
    about.open();
    SetItemText(about.window(), AboutWindow::kButton, "¡Oh!");
    ASSERT_TRUE(about.window().grab().save(QString::fromStdString(dir + "/about-window.png")));
    about.window().click(AboutWindow::kButton);
    QApplication::setWindowIcon(before);

    UtilityList list;
    const Utility samples[] = {{"Calculadora", "gnome-calculator", "/usr/bin", ""},
                               {"Gráficas", "gnuplot", "/usr/bin", ""},
                               {"Apuntes", "apuntes.pdf", "/home/ana/algebra", ""}};
    for (const Utility& u : samples) {
        ASSERT_TRUE(list.newUtility());
        list.get(list.count()) = u;
    }
    UtilitiesEditor editor(list);
    editor.dialog().initialise();
    editor.dialog().show();
    editor.dialog().pick(UtilitiesEditor::kList, 2);
    ASSERT_TRUE(editor.dialog().grab().save(QString::fromStdString(dir + "/utilities-editor.png")));
    editor.dialog().click(UtilitiesEditor::kEsc);
}

}  // namespace
}  // namespace velmora
