// The ordered, commented list of systems of the system window and its
// commands on .sts files. Questions, reports and file choices go through the
// UserDialogs provider (toolkit/user_dialogs.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/systems/linear_system.h"
#include "core/systems/sts_file.h"

namespace velmora {

// Preset of every file dialog of the list: all .sts files of the current folder.
inline constexpr const char* kStsFilePreset = "./*.sts";


class SystemList {
public:
    // Appends the system with the first 64 characters of the comment; sets
    // `modified`. Refused with a message (false, nothing changed) when the
    // list already holds 1024 systems, when a comment character has no
    // Windows-1252 code, or when the matrix is not a system the window can
    // show (1..4 equations, 1..5 columns, no zero denominator).
    bool Add(const Matrix& augmented, std::string_view comment);
    // Positions are 1-based; std::out_of_range outside 1..Count(). Deleting,
    // renaming and clearing set `modified` too: they are work that a save
    // keeps and closing would lose.
    void Delete(std::size_t k);
    // False with a message when a character has no Windows-1252 code.
    bool SetComment(std::size_t k, std::string_view comment);
    void Clear();
    const LinearSystem& Get(std::size_t k) const;
    std::size_t Count() const { return items_.size(); }

    bool Modified() const { return modified_; }
    // The name of the last file chosen (the preset after a cancel).
    const std::string& FileName() const { return fileName_; }

    // "Guardar" (replace) and "Añadir a fichero" (append). True when written;
    // false after a cancelled dialog or a failure, which is reported; the list
    // and `modified` then stay as they were.
    bool Save(SaveMode mode);
    // "Abrir". Asks "¿Guardarla?" first when the list is modified. The whole
    // file is read and checked before it replaces the list; what could not be
    // used is reported. True when at least one system was read and the list
    // now holds them; a file with none leaves the list as it was and says so.
    bool Load();

private:
    std::vector<LinearSystem> items_;
    bool modified_ = false;
    std::string fileName_ = kStsFilePreset;
};

}  // namespace velmora
