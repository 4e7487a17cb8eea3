#include "core/toolkit/user_dialogs.h"

#include "core/toolkit/strings.h"

namespace velmora {

namespace {

// Answers as a user who closes every box and cancels every file dialog.
class ClosingUser final : public UserDialogs {
public:
    int MessageBox(std::string_view, std::string_view, unsigned style) override {
        return (style & 0x0F) == kMbYesNo ? kIdNo : kIdCancel;
    }
    bool AskOpenFile(std::string&) override { return false; }
    bool AskSaveFile(std::string&) override { return false; }
    bool AskProgramFile(std::string&) override { return false; }
};

ClosingUser closingUser;
UserDialogs* current = &closingUser;

int Box(std::string_view caption, std::string_view text, unsigned style) {
    return current->MessageBox(Utf8Left(caption, 255), Utf8Left(text, 255), style);
}

}  // namespace

UserDialogs& CurrentUserDialogs() { return *current; }

UserDialogs* SetUserDialogs(UserDialogs* provider) {
    UserDialogs* previous = current;
    current = provider != nullptr ? provider : &closingUser;
    return previous;
}
int ChooseFromMenu(const std::vector<MenuChoice>& choices) {
    return current->ChooseFromMenu(choices);
}

bool AskText(std::string_view caption, std::string_view prompt, std::string& text) {
    return current->AskText(caption, prompt, text);
}

int ShowMessage(std::string_view caption, std::string_view text) {
    return Box(caption, text, kMbOk);
}
int ShowMessageStyled(std::string_view caption, std::string_view text, unsigned extraStyle) {
    return Box(caption, text, kMbOk | extraStyle);
}
int AskYesNo(std::string_view caption, std::string_view text) {
    return Box(caption, text, kMbYesNo);
}
int AskYesNoStyled(std::string_view caption, std::string_view text, unsigned extraStyle) {
    return Box(caption, text, kMbYesNo | extraStyle);
}
int AskYesNoCancel(std::string_view caption, std::string_view text) {
    return Box(caption, text, kMbYesNoCancel);
}
bool AskOpenFile(std::string& name) { return current->AskOpenFile(name); }
bool AskSaveFile(std::string& name) { return current->AskSaveFile(name); }
bool AskProgramFile(std::string& name) { return current->AskProgramFile(name); }

}  // namespace velmora
