// The "Utilidades" menu of the main window: one item per utility of the
// program-wide list, ids 531.., after "Edición utilidades" and its separator;
// and the launching of a utility in its working directory.
#pragma once

#include <string_view>

#include "core/tools/utilities.h"

class QMenu;

namespace velmora {

class TemplateDialog;

// The program's one list of utilities.
UtilityList& Utilities();

// Main window initialisation: the utilities popup is the one at
// min(popupPosition, number of popups) (1-based); when Tools.rel of the
// current directory loads, its utilities are added to it. A missing or
// unreadable file leaves the popup as the template has it.
void installUtilitiesMenu(TemplateDialog& mainDialog, int popupPosition = 4);

// Deletes, from the last item backwards, every item with an id above firstId,
// up to the first one that is not (the separator); then appends one item per
// utility of the list with id firstId + i.
void rebuildUtilitiesMenu(QMenu* submenu, const UtilityList& list = Utilities(),
                          int firstId = kFirstUtilityId);

// Offered every command of the main window before its own dispatch: 501 runs
// the editor (and rebuilds the menu when it saved), 531..594 launch. True when
// the command was one of these.
bool handleUtilitiesCommand(TemplateDialog& mainDialog, int id);

// Opens the utility's file with OpenDocument, its working directory (when it
// has one) current meanwhile. A missing directory stops the launch with the
// "No trobat directori..." warning; a directory that cannot be entered, the
// previous one not restored, or a file that could not be opened (missing, or
// nothing to open it with) is reported in a warning box.
void launchUtility(const Utility& utility);

}  // namespace velmora
