// velmora: the desktop program. Start-up, then the main dialog "Principal"
// runs modally; when it ends the program ends, saving nothing.
#include <QApplication>
#include <chrono>
#include <cstdint>

#include "app/main_window.h"
#include "app/program_icon.h"
#include "arith/random.h"
#include "systems/system_window.h"
#include "textout/text_output.h"
#include "toolkit/language.h"
#include "toolkit/qt_user_dialogs.h"

int main(int argc, char** argv) {
    using namespace velmora;
    QApplication app(argc, argv);
    QApplication::setWindowIcon(ProgramIcon());
    InstallQtUserDialogs();

    InitTextOutput();
    // The window starts with an empty store, its fixed colours and a 3 x 3 editor.
    MainWindowHooks hooks;
    hooks.openSystemWindow = OpenSystemWindow;
    MainWindow window(hooks);
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch();
    SeedRandom(static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(ticks).count()));
    LanguageIndex = 2;
    window.run();
    return 0;
}
