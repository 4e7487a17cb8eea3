// The invariants the soak checks after every action. Each check ends the run
// through Fail() when an invariant does not hold.
#pragma once

#include <array>
#include <string>

#include "dialogs.h"

namespace velmora {
class MainWindow;
class TemplateDialog;
struct Matrix;
}  // namespace velmora

namespace velmora::soak {

// What the soak knows of the main window's grid: whether the user has typed
// into a used cell since the grid last showed the working matrix.
struct GridState {
    bool dirty = false;
};

// The store, the working matrix, the grid, rank and determinant, the enable
// rules of the main window.
void CheckMainWindow(MainWindow& window, GridState& grid);
// The system list (always) and, while the system window is open, its
// comment box, ranks and enable rules.
void CheckSystems(TemplateDialog* systemWindow);
// Files written and loaded during the last action hold what was written and
// what was loaded.
void CheckFiles(const SoakDialogs& dialogs);
// The utilities list against the main window's menu.
void CheckUtilities(MainWindow& window);
// No dialog of any kind is open but the soak's windows, and the modal one is
// the one on top.
void CheckNoStrayWindows();

// The grid's used cells as typed.
std::array<std::string, 20> GridTexts(MainWindow& window);
// Cell values of `m` match the texts read as the grid reads them.
bool GridShows(const Matrix& m, const std::array<std::string, 20>& texts);

}  // namespace velmora::soak
