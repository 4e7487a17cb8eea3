// velmora-systems-preview: the system window on its own, for a look at it
// while the main window is not there to open it. Not installed.
//   velmora-systems-preview            opens it empty
//   velmora-systems-preview handover   hands over 2x + y - z = 1, x - y = 0, y + z = 3
//   velmora-systems-preview 3          opens it three times in a row, to see
//                                      what lives from one opening to the next
#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <string>

#include "core/arith/random.h"
#include "gui/systems/system_window.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/qt_user_dialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    velmora::InitTextOutput();
    velmora::InstallQtUserDialogs();
    velmora::SeedRandom(
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));

    bool handOver = false;
    int openings = 1;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "handover") {
            handOver = true;
        } else if (std::atoi(arg.c_str()) > 0) {
            openings = std::atoi(arg.c_str());
        }
    }
    const velmora::Matrix example =
        velmora::Matrix::FromRows({{2, 1, -1, 1}, {1, -1, 0, 0}, {0, 1, 1, 3}});
    for (int k = 0; k < openings; ++k)
        velmora::OpenSystemWindow(handOver && k == 0 ? &example : nullptr);
    return 0;
}
