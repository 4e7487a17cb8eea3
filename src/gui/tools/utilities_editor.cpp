#include "gui/tools/utilities_editor.h"

#include <algorithm>

#include "core/toolkit/strings.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/toolkit/dialog_helpers.h"
#include "gui/toolkit/language.h"
#include "resources/templates.h"

namespace velmora {

UtilitiesEditorTexts UtilitiesEditorTextsFor(int languageIndex) {
    switch (languageIndex) {
        case 2:
            return {"Edición útiles", "Útil"};
        case 0:
            return {"Edició eines", "Eina"};
        default:
            return {"", ""};
    }
}

void SplitChosenProgram(std::string_view chosen, std::string& file, std::string& directory) {
    const std::size_t p = std::max(LastCharPos('/', chosen), LastCharPos('\\', chosen));
    file = Utf8Left(chosen.substr(p), UtilitiesEditor::kMaxChosenFile);
    if (directory.empty() && p > 0) {
        // A file at the root keeps its root as the directory, not "no directory".
        directory = std::string(chosen.substr(0, p == 1 ? 1 : p - 1));
    }
}

UtilitiesEditor::UtilitiesEditor(UtilityList& list, QWidget* owner)
    : list_(list), original_(list), dialog_(res::DlgToolsTemplate(), *this, {}, owner) {}

void UtilitiesEditor::onInit(TemplateDialog& d) {
    EnableItem(d, kDelete, false);
    current_ = list_.count() + 1;
    const UtilitiesEditorTexts texts = UtilitiesEditorTextsFor(LanguageIndex);
    if (!texts.title.empty()) SetWindowTitle(d, texts.title);
    if (!texts.group.empty()) SetItemText(d, kGroup, texts.group);
    fillUtilityList();
}

void UtilitiesEditor::onCommand(TemplateDialog& d, int id, int notification) {
    switch (id) {
        case kCommandEnter:
            moveFocusOnEnter();
            break;
        case kEsc:
            list_ = original_;
            d.end(0);
            break;
        case kNew:
            clearUtilityFields();
            break;
        case kDelete:
            deleteCurrent();
            break;
        case kBrowse:
            chooseFile();
            break;
        case kPut:
            putIntoList();
            break;
        case kOk:
            // saveUtilities says why when it fails; the editor stays open.
            if (list_.saveUtilities()) d.end(1);
            break;
        case kList:
            if (notification == kNotifySelChange) listSelectionChanged();
            break;
        default:
            break;
    }
}

// Every action works on the highlighted utility. With none highlighted (a
// Ctrl+click takes the highlight away) the fields stay as they are and "<- ok"
// makes a new entry of them.
void UtilitiesEditor::listSelectionChanged() {
    const int picked = ListGetSelection(dialog_, kList);
    if (picked >= 1 && static_cast<std::size_t>(picked) <= list_.count()) {
        current_ = static_cast<std::size_t>(picked);
        showUtility(list_.get(current_));
        EnableItem(dialog_, kDelete, true);
    } else {
        current_ = list_.count() + 1;
        EnableItem(dialog_, kDelete, false);
    }
}

void UtilitiesEditor::moveFocusOnEnter() {
    switch (FocusedItem(dialog_)) {
        case kName:
            SetFocusItem(dialog_, kFile);
            break;
        case kFile:
            SetFocusItem(dialog_, kDirectory);
            break;
        case kDirectory:
            SetFocusItem(dialog_, kParameters);
            break;
        case kParameters:
            SetFocusItem(dialog_, kPut);
            break;
        case kPut:
            SetFocusItem(dialog_, kList);
            break;
        default:
            break;
    }
}

void UtilitiesEditor::fillUtilityList() {
    ListClear(dialog_, kList);
    for (std::size_t i = 1; i <= list_.count(); ++i) ListAdd(dialog_, kList, list_.get(i).name);
}

void UtilitiesEditor::showUtility(const Utility& record) {
    SetItemText(dialog_, kName, record.name);
    SetItemText(dialog_, kFile, record.file);
    SetItemText(dialog_, kDirectory, record.directory);
    SetItemText(dialog_, kParameters, record.parameters);
}

void UtilitiesEditor::readUtilityFields() {
    setUtility(scratch_, GetItemText(dialog_, kName), GetItemText(dialog_, kFile),
               GetItemText(dialog_, kDirectory), GetItemText(dialog_, kParameters));
}

void UtilitiesEditor::clearUtilityFields() {
    for (int id : {kName, kFile, kDirectory, kParameters}) SetItemText(dialog_, id, "");
    ListSetSelection(dialog_, kList, 0);  // a new entry: no utility highlighted
    EnableItem(dialog_, kDelete, false);
    current_ = list_.count() + 1;
}

void UtilitiesEditor::deleteCurrent() {
    if (current_ < 1 || current_ > list_.count()) return;
    const std::string question = "Eliminar \"" + list_.get(current_).name + "\"?";
    if (AskYesNoStyled("Confirmar eliminar", question, kMbIconQuestion) != kIdYes) return;
    list_.deleteUtility(current_);
    fillUtilityList();
    clearUtilityFields();
}

void UtilitiesEditor::chooseFile() {
    std::string chosen = GetItemText(dialog_, kFile);
    const std::string directory = GetItemText(dialog_, kDirectory);
    if (!directory.empty() && !chosen.empty()) chosen = directory + "/" + chosen;
    if (!AskProgramFile(chosen)) return;
    readUtilityFields();
    SplitChosenProgram(chosen, scratch_.file, scratch_.directory);
    showUtility(scratch_);
}

void UtilitiesEditor::putIntoList() {
    readUtilityFields();
    if (current_ > list_.count()) {
        // The 65th is refused by the list, with its message; nothing changes.
        if (!list_.newUtility()) return;
        current_ = list_.count();
    }
    list_.get(current_) = scratch_;
    fillUtilityList();
    clearUtilityFields();
}

int runUtilitiesEditor(UtilityList& list, QWidget* owner) {
    UtilitiesEditor editor(list, owner);
    return editor.run();
}

}  // namespace velmora
