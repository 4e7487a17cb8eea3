// The soak's message boxes and file dialogs: the provider seam of the
// windows, answered at random (Cancel included), with every box and every
// chosen file recorded for the checks.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/systems/linear_system.h"
#include "core/toolkit/user_dialogs.h"
#include "soak.h"

namespace velmora::soak {

struct Box {
    std::string caption;
    std::string text;
    unsigned style;
    int answer;
};

// What an open dialog is asked for.
enum class OpenPurpose { Load, Append, Other };

// A file a list was written to, with the list as it was at that moment.
struct SaveRecord {
    std::string path;
    bool append = false;
    std::vector<LinearSystem> list;
    std::string before;       // the file's bytes before an append
    std::size_t boxesBefore;  // boxes shown before the write
};

class SoakDialogs final : public UserDialogs {
  public:
    SoakDialogs(Rng& rng, std::filesystem::path scratch);

    // Names offered by the file dialogs (relative to the scratch folder,
    // which is the current folder, and a few absolute ones).
    static const std::vector<std::string>& FileNames();

    int MessageBox(std::string_view caption, std::string_view text, unsigned style) override;
    bool AskOpenFile(std::string& name) override;
    bool AskSaveFile(std::string& name) override;
    bool AskProgramFile(std::string& name) override;

    // Since the last clear: every box, every list written, every file loaded.
    std::vector<Box> boxes;
    std::vector<SaveRecord> saves;
    std::vector<std::string> loads;
    void clear();
    bool shown(std::string_view caption) const;
    // A box whose text holds `part` was shown.
    bool said(std::string_view part) const;

    OpenPurpose openPurpose = OpenPurpose::Other;
    // The run is ending: questions are answered so that windows close
    // without saving.
    bool closing = false;

  private:
    std::string chooseFile();
    Rng& rng_;
    std::filesystem::path scratch_;
};

}  // namespace velmora::soak
