// A UserDialogs provider for tests: records every box and file dialog and
// answers from a script given in advance.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "core/toolkit/user_dialogs.h"

namespace velmora::test {

struct ShownBox {
    std::string caption;
    std::string text;
    unsigned style;
};

class ScriptedDialogs final : public UserDialogs {
public:
    ScriptedDialogs() { previous_ = SetUserDialogs(this); }
    ~ScriptedDialogs() override { SetUserDialogs(previous_); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // Answers for the next boxes, in order; when they run out a box answers
    // Ok, Cancel (Yes/No/Cancel) or No (Yes/No).
    std::deque<int> answers;
    // Names for the next file dialogs, in order; an empty string cancels, and
    // so does a dialog with no name left. As the real save dialog does, a name
    // that exists is asked about (kReplaceCaption) and taken only after Yes;
    // No goes back to the choice, which takes the next name.
    std::deque<std::string> files;
    static constexpr const char* kReplaceCaption = "Guardar como";

    std::vector<ShownBox> boxes;
    std::vector<std::string> filePresets;  // the preset each file dialog was given
    // Pop-up menus: the ids chosen, in order (0, or none left, closes the
    // menu without a choice), and the texts of each menu shown.
    std::deque<int> menuChoices;
    std::vector<std::vector<std::string>> menus;
    // Lines typed into the next text boxes, in order (none left: cancelled).
    std::deque<std::string> typed;

    int MessageBox(std::string_view caption, std::string_view text, unsigned style) override {
        boxes.push_back({std::string(caption), std::string(text), style});
        if (!answers.empty()) {
            int a = answers.front();
            answers.pop_front();
            return a;
        }
        switch (style & 0x0F) {
            case kMbYesNo: return kIdNo;
            case kMbYesNoCancel: return kIdCancel;
            default: return kIdOk;
        }
    }
    bool AskOpenFile(std::string& name) override { return Answer(name); }
    bool AskSaveFile(std::string& name) override {
        filePresets.push_back(name);
        while (!files.empty() && !files.front().empty()) {
            const std::filesystem::path next = files.front();
            files.pop_front();
            if (!std::filesystem::exists(next) ||
                MessageBox(
                    kReplaceCaption,
                    "El fichero " + next.filename().string() + " ya existe.\n¿Desea reemplazarlo?",
                    kMbYesNo | kMbIconExclamation) == kIdYes) {
                name = next.string();
                return true;
            }
        }
        if (!files.empty()) files.pop_front();
        return false;
    }
    bool AskProgramFile(std::string& name) override { return Answer(name); }
    int ChooseFromMenu(const std::vector<MenuChoice>& choices) override {
        menus.emplace_back();
        for (const MenuChoice& c : choices) menus.back().push_back(c.text);
        if (menuChoices.empty()) return 0;
        const int id = menuChoices.front();
        menuChoices.pop_front();
        return id;
    }
    bool AskText(std::string_view, std::string_view, std::string& text) override {
        if (typed.empty()) return false;
        text = typed.front();
        typed.pop_front();
        return true;
    }

private:
    bool Answer(std::string& name) {
        filePresets.push_back(name);
        if (files.empty()) return false;
        std::string next = files.front();
        files.pop_front();
        if (next.empty()) return false;
        name = next;
        return true;
    }
    UserDialogs* previous_ = nullptr;
};

}  // namespace velmora::test
