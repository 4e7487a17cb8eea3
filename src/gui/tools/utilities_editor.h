// The utilities editor, dialog DlgTools: the list of utilities on the left,
// the four fields of one on the right. "<- ok" and "-" change the list at
// once; "Ok" saves Tools.rel and ends with 1; "esc" ends with 0 and puts the
// list back as it was when the editor opened.
#pragma once

#include <string_view>

#include "core/tools/utilities.h"
#include "gui/toolkit/template_dialog.h"

namespace velmora {

// Title and caption of group 150 for a LanguageIndex; an empty text keeps the
// template's own.
struct UtilitiesEditorTexts {
    std::string_view title;
    std::string_view group;
};
UtilitiesEditorTexts UtilitiesEditorTextsFor(int languageIndex);

class UtilitiesEditor : public DialogHandler {
  public:
    // Control ids of DlgTools.
    enum : int {
        kEsc = 2,
        kNew = 3,
        kDelete = 4,
        kBrowse = 10,
        kPut = 15,
        kOk = 20,
        kList = 40,
        kName = 100,
        kFile = 101,
        kDirectory = 102,
        kParameters = 103,
        kGroup = 150,
    };
    // The longest file name "···" puts into the file field.
    static constexpr std::size_t kMaxChosenFile = 99;

    explicit UtilitiesEditor(UtilityList& list, QWidget* owner = nullptr);
    UtilitiesEditor(const UtilitiesEditor&) = delete;
    UtilitiesEditor& operator=(const UtilitiesEditor&) = delete;

    TemplateDialog& dialog() { return dialog_; }
    // Runs the dialog modally: 1 after a successful save, 0 otherwise.
    int run() { return dialog_.run(); }

    // 1-based utility being edited; count + 1 for a new entry.
    std::size_t current() const { return current_; }

    void fillUtilityList();
    void showUtility(const Utility& record);
    void readUtilityFields();
    void clearUtilityFields();

    void onInit(TemplateDialog& d) override;
    void onCommand(TemplateDialog& d, int id, int notification) override;

  private:
    void listSelectionChanged();

    void moveFocusOnEnter();
    void deleteCurrent();
    void chooseFile();
    void putIntoList();

    UtilityList& list_;
    UtilityList original_;  // put back by "esc"
    Utility scratch_;
    std::size_t current_ = 1;
    TemplateDialog dialog_;
};

// Runs the editor on the list, modally: 1 when it saved Tools.rel.
int runUtilitiesEditor(UtilityList& list, QWidget* owner = nullptr);

// What "···" makes of a chosen path: the file field is the part after the last
// "/" or "\" (at most 99 characters); the working directory, when it was
// empty, the part before (a file at the root gives "/").
void SplitChosenProgram(std::string_view chosen, std::string& file, std::string& directory);

}  // namespace velmora
