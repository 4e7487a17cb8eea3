// The invariants the soak checks after every action. Each check ends the run
// through Fail() when an invariant does not hold.
#pragma once

#include <array>
#include <string>
#include <vector>

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

// What a command that says "No se ha cambiado nada" must leave as it was.
struct MainSnapshot {
    std::vector<std::string> store;  // each slot: matrix and description
    int selected = 0;
    std::string working;  // matrix, description, committed, size, sub-matrix mode
    std::array<std::string, 20> cells;
    std::string rank, det;
};
MainSnapshot Snapshot(MainWindow& window);
struct SystemSnapshot {
    std::string list;                // the systems and their comments
    std::string state;               // selection, current system, counts
    std::vector<std::string> cells;  // the grid's texts
    std::vector<std::string> texts;  // ranks, conclusion, comment box
};
SystemSnapshot Snapshot(TemplateDialog& systemWindow);
// Fails naming what changed, when something did.
// `entered`: Enter went to a cell before a refused grid, and may have filled
// an empty one with 0.
void CheckUnchanged(const MainSnapshot& before, const MainSnapshot& after,
                    const std::string& action, bool entered = false);
void CheckUnchanged(const SystemSnapshot& before, const SystemSnapshot& after,
                    const std::string& action);
// A refused grid ("Error sistema") adds nothing to the list, shows no
// analysis, and keeps the cells' text unless the action typed into them
// (`typed`); Enter (`entered`) may only have filled an empty cell with 0.
void CheckRefusedGrid(const SystemSnapshot& before, const SystemSnapshot& after, bool typed,
                      bool entered);

// The grid's used cells as typed.
std::array<std::string, 20> GridTexts(MainWindow& window);
// Cell values of `m` match the texts read as the grid reads them.
bool GridShows(const Matrix& m, const std::array<std::string, 20>& texts);

}  // namespace velmora::soak
