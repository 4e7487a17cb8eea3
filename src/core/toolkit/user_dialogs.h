// Questions, warnings and file choices go through one replaceable provider.
// The desktop program installs one that shows Qt dialogs; tests install one
// that records every caption and text and answers from a script. The core
// (SystemList, the utilities list) reaches the user only through here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Answers, with the codes of the classic message box.
enum Answer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// An entry of a pop-up menu: the id its choice returns, and its text.
struct MenuChoice {
    int id;
    std::string text;
};

// Button sets and icons; a style is one button set plus at most one icon,
// and for a Yes/No box the default button.
enum MessageStyle : unsigned {
    kMbOk = 0x00,
    kMbYesNoCancel = 0x03,
    kMbYesNo = 0x04,
    kMbIconQuestion = 0x20,
    kMbIconExclamation = 0x30,
    // A Yes/No box whose default is "No": Enter answers No, and so does Esc.
    kMbDefButton2 = 0x100,
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // Shows a modal box; returns one of Answer. Caption and text are UTF-8 and
    // at most 255 characters (longer ones arrive cut).
    virtual int MessageBox(std::string_view caption, std::string_view text, unsigned style) = 0;
    // File choices. `name` holds the preset on entry (it may hold wildcards,
    // such as "./*.sts") and the chosen name on a true return; after a cancel
    // it still holds the preset. AskSaveFile asks before it takes the name of
    // a file that exists (a No goes back to the choice).
    virtual bool AskOpenFile(std::string& name) = 0;
    virtual bool AskSaveFile(std::string& name) = 0;
    virtual bool AskProgramFile(std::string& name) = 0;
    // A pop-up menu of the choices where the mouse is (a context menu);
    // returns the id chosen, 0 when the menu was closed without a choice.
    virtual int ChooseFromMenu(const std::vector<MenuChoice>& /*choices*/) { return 0; }
    // A modal box asking for one line of text below `prompt`; true with the
    // line typed in `text` after "Aceptar", false (text untouched) after
    // "Cancelar", Esc or the close box.
    virtual bool AskText(std::string_view /*caption*/, std::string_view /*prompt*/,
                         std::string& /*text*/) {
        return false;
    }
};

// The provider in use. Until one is installed, every box answers as if the
// user closed it (Cancel, or No for a Yes/No box) and every file dialog is
// cancelled.
UserDialogs& CurrentUserDialogs();
// Installs a provider (not owned; nullptr restores the default) and returns the previous one.
UserDialogs* SetUserDialogs(UserDialogs* provider);

int ShowMessage(std::string_view caption, std::string_view text);
int ShowMessageStyled(std::string_view caption, std::string_view text, unsigned extraStyle);
int AskYesNo(std::string_view caption, std::string_view text);
int AskYesNoStyled(std::string_view caption, std::string_view text, unsigned extraStyle);
int AskYesNoCancel(std::string_view caption, std::string_view text);
bool AskOpenFile(std::string& name);
bool AskSaveFile(std::string& name);
bool AskProgramFile(std::string& name);
int ChooseFromMenu(const std::vector<MenuChoice>& choices);
bool AskText(std::string_view caption, std::string_view prompt, std::string& text);

}  // namespace velmora
