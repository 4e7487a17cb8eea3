// The desktop provider of message boxes and file dialogs, on Qt.
#pragma once

#include "core/toolkit/user_dialogs.h"

class QTranslator;

namespace velmora {

// Message boxes with Spanish buttons ("Aceptar", "Sí", "No", "Cancelar"),
// modal to the active window; a Yes/No box cannot be dismissed with Esc or
// the close box, a Yes/No/Cancel box answers Cancel to them, an OK box OK.
// File dialogs offer every file; a preset with wildcards ("./*.sts") opens in
// its folder listing the matching files. A pop-up menu opens at the mouse. The .sts dialogs leave
// the current folder where the chosen file is; the program dialog restores it.
class QtUserDialogs final : public UserDialogs {
  public:
    int MessageBox(std::string_view caption, std::string_view text, unsigned style) override;
    bool AskOpenFile(std::string& name) override;
    bool AskSaveFile(std::string& name) override;
    bool AskProgramFile(std::string& name) override;
    int ChooseFromMenu(const std::vector<MenuChoice>& choices) override;
    bool AskText(std::string_view caption, std::string_view prompt, std::string& text) override;
};

// Makes a QtUserDialogs the provider for the rest of the run.
void InstallQtUserDialogs();

// Qt's own texts (file dialogs, the edit menu of a text field, ...) in
// Spanish: installs Qt's Spanish translation from Qt's translations folder
// and makes Spanish the default locale. Returns the translator, owned by the
// application, or nullptr when the translation is not installed (the texts
// then stay in English).
QTranslator* InstallSpanishQtTexts();

}  // namespace velmora
