// velmora: the desktop program. Start-up, then the main dialog "Principal"
// runs modally; when it ends the program ends, saving nothing.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <exception>

#include "core/arith/random.h"
#include "gui/about/about_window.h"
#include "gui/main/main_window.h"
#include "gui/main/program_icon.h"
#include "gui/systems/system_window.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/language.h"
#include "gui/toolkit/qt_user_dialogs.h"
#include "gui/tools/utilities_menu.h"

namespace {

// Each window catches what escapes its own events; whatever still reaches the
// event loop (a widget's own handler) ends here, in a box, and the program
// goes on.
class Application final : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            velmora::ReportFailure(std::current_exception());
            return false;
        }
    }
};

// Start-up measurements (bench/startup.sh) end the program as soon as the
// main window has been painted once.
class EndAfterFirstPaint : public QObject {
  public:
    explicit EndAfterFirstPaint(velmora::TemplateDialog& dialog) : dialog_(dialog) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &dialog_ && event->type() == QEvent::Paint && !done_) {
            done_ = true;
            QTimer::singleShot(0, &dialog_, [this] { dialog_.end(0); });
        }
        return false;
    }

  private:
    velmora::TemplateDialog& dialog_;
    bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora;
    Application app(argc, argv);
    try {
        QApplication::setWindowIcon(ProgramIcon());
        // Ties the windows to the installed desktop entry (and its icon) on Wayland.
        QGuiApplication::setDesktopFileName("example.orbenit.velmora");
        InstallQtUserDialogs();
        InstallSpanishQtTexts();

        InitTextOutput();
        DeviceContext::setRecording(false);  // the drawing records are for the tests
        // The window starts with an empty store, its fixed colours and a 3 x 3 editor.
        MainWindowHooks hooks;
        hooks.openSystemWindow = OpenSystemWindow;
        hooks.showAbout = [] { ShowAbout(kAboutDescription, kContactMail); };
        hooks.installUtilitiesMenu = [](TemplateDialog& d) { installUtilitiesMenu(d, 4); };
        hooks.handleUtilitiesCommand = handleUtilitiesCommand;
        MainWindow window(hooks);
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch();
        SeedRandom(static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(ticks).count()));
        LanguageIndex = 2;
        EndAfterFirstPaint measuring(window.dialog());
        if (qEnvironmentVariableIsSet("VELMORA_END_AFTER_FIRST_PAINT")) {
            window.dialog().installEventFilter(&measuring);
        }
        window.run();
    } catch (...) {
        // Nothing of the program's own is left to save: say why, and end.
        ReportFailure(std::current_exception());
        return 1;
    }
    return 0;
}
