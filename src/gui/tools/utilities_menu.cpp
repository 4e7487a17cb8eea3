#include "gui/tools/utilities_menu.h"

#include <QMenu>
#include <QPointer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/toolkit/files.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/toolkit/dialog_helpers.h"
#include "gui/tools/utilities_editor.h"

namespace velmora {

namespace {

constexpr int kEditUtilitiesId = 501;
constexpr const char* kLaunchCaption = "Utilidades";

// The popup that installUtilitiesMenu found; it goes away with its dialog.
QPointer<QMenu> utilitiesSubmenu;

QMenu* SubmenuOf(TemplateDialog& mainDialog, int popupPosition) {
    const int n = MenuPopupCount(mainDialog);
    if (n < 1) return nullptr;
    return MenuPopup(mainDialog, std::min(popupPosition, n));
}

bool ChangeDirectory(const std::filesystem::path& directory, std::string& why) {
    std::error_code ec;
    std::filesystem::current_path(directory, ec);
    if (ec) why = ec.message();
    return !ec;
}

}  // namespace

UtilityList& Utilities() {
    static UtilityList list;
    return list;
}

void installUtilitiesMenu(TemplateDialog& mainDialog, int popupPosition) {
    utilitiesSubmenu = SubmenuOf(mainDialog, popupPosition);
    if (utilitiesSubmenu && Utilities().loadUtilities()) {
        rebuildUtilitiesMenu(utilitiesSubmenu, Utilities());
    }
}

void rebuildUtilitiesMenu(QMenu* submenu, const UtilityList& list, int firstId) {
    if (submenu == nullptr) return;
    for (int last = MenuItemCount(submenu); last >= 1 && MenuItemId(submenu, last) > firstId;
         --last) {
        MenuDeleteItem(submenu, last);
    }
    for (std::size_t i = 1; i <= list.count(); ++i) {
        MenuAppendItem(submenu, firstId + static_cast<int>(i), list.get(i).name);
    }
}

bool handleUtilitiesCommand(TemplateDialog& mainDialog, int id) {
    if (id == kEditUtilitiesId) {
        if (runUtilitiesEditor(Utilities(), &mainDialog) == 1) {
            QMenu* submenu = utilitiesSubmenu ? utilitiesSubmenu.data() : SubmenuOf(mainDialog, 4);
            rebuildUtilitiesMenu(submenu, Utilities());
        }
        return true;
    }
    const int first = kFirstUtilityId + 1;
    const int last = kFirstUtilityId + static_cast<int>(kMaxUtilities);
    if (id >= first && id <= last) {
        // The editor's "esc" puts the list back as it was, so the menu and the
        // list agree; an id past the end is a stale item and opens nothing.
        const auto index = static_cast<std::size_t>(id - kFirstUtilityId);
        if (index <= Utilities().count()) launchUtility(Utilities().get(index));
        return true;
    }
    return false;
}

void launchUtility(const Utility& utility) {
    std::error_code ec;
    const std::filesystem::path saved = std::filesystem::current_path(ec);
    const bool haveSaved = !ec;
    const bool moved = !utility.directory.empty();
    if (moved) {
        if (!FolderExists(utility.directory)) {
            ShowMessageStyled("No trobat directori...", utility.directory, kMbIconExclamation);
            return;
        }
        std::string why;
        if (!ChangeDirectory(NativePath(utility.directory), why)) {
            ShowMessageStyled(kLaunchCaption,
                              "No se puede entrar en el directorio de trabajo " +
                                  utility.directory + " (" + why + "). No se abre " + utility.file +
                                  ".",
                              kMbIconExclamation);
            return;
        }
    }
    const uint16_t code = OpenDocument(utility.file);
    std::string why = "el directorio actual ya no existe";
    if (moved && (!haveSaved || !ChangeDirectory(saved, why))) {
        ShowMessageStyled(kLaunchCaption,
                          "No se ha podido volver al directorio " + saved.string() + " (" + why +
                              "). El directorio actual es ahora " + utility.directory + ".",
                          kMbIconExclamation);
    }
    if (code > 32) return;
    ShowMessageStyled(
        kLaunchCaption,
        utility.file.empty()
            ? "La utilidad " + utility.name + " no indica ningún fichero."
            : "No se ha podido abrir " + utility.file + ": " + LaunchFailureReason(code) + ".",
        kMbIconExclamation);
}

}  // namespace velmora
