#include "gui/main/program_icon.h"

#include <QIcon>
#include <QWidget>

// The resources live in a static library; they have to be registered by hand.
static void RegisterProgramResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(velmora);
        return true;
    }();
    (void)done;
}

namespace velmora {

QIcon ProgramIcon() {
    RegisterProgramResources();
    return QIcon(QStringLiteral(":/velmora/Ic0.png"));
}

void SetProgramIcon(QWidget& window) {
    window.setWindowIcon(ProgramIcon());
}

}  // namespace velmora
