// The user's list of external utilities and its file Tools.rel: four lines
// per utility (name, file, working directory, parameters), CR LF,
// Windows-1252, no header. The menu built from it belongs to the main window.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/toolkit/saving.h"

namespace velmora {

inline constexpr const char* kUtilitiesFile = "Tools.rel";
inline constexpr std::size_t kMaxUtilities = 64;
inline constexpr std::size_t kMaxUtilityField = 255;  // characters
inline constexpr int kFirstUtilityId = 530;           // utility i has menu id 530 + i
// A longer Tools.rel is refused unread: 64 utilities of four 255-character
// lines need about 64 KiB.
inline constexpr std::size_t kMaxUtilitiesFileSize = 1024 * 1024;

struct Utility {
    std::string name;
    std::string file;
    std::string directory;   // made current while the file is opened; may be empty
    std::string parameters;  // kept and edited, not passed when launching

    friend bool operator==(const Utility&, const Utility&) = default;
};

// Fills the four fields, each cut to 255 characters.
void setUtility(Utility& record, std::string_view name, std::string_view file,
                std::string_view directory, std::string_view parameters);

class UtilityList {
public:
    std::size_t count() const { return records_.size(); }
    // 1-based; std::out_of_range outside 1..count().
    Utility& get(std::size_t i);
    const Utility& get(std::size_t i) const;

    // Appends an empty record (the caller fills it with setUtility). The 65th
    // is refused with a message: false, nothing changed.
    bool newUtility();
    // Removes record i; the ones after it move down.
    void deleteUtility(std::size_t i);

    // Replaces the list with the file's contents. False when the file cannot
    // be opened or read, whatever it is (a folder, a device), and, with a
    // message, when it is longer than 1 MiB; the list is then unchanged.
    // Lines longer than 255 characters are cut; LF-only lines are accepted;
    // missing lines at the end give empty fields; a blank line where a
    // utility should start is skipped (with a message, unless it ends the
    // file) rather than shifting the fields of the utilities after it;
    // utilities after the 64th are left out, with a message.
    bool loadUtilities(const std::filesystem::path& path = kUtilitiesFile);
    // The same from the bytes of a file already read.
    void loadUtilitiesFromBytes(std::string_view bytes);
    // Writes a complete new file beside the old one and renames it over it.
    // False, with a message and no file changed, when a utility has no name
    // (blank), when a field holds a character without a Windows-1252 code or
    // a line break, or when writing fails.
    bool saveUtilities(const std::filesystem::path& path = kUtilitiesFile) const;

private:
    std::vector<Utility> records_;
};

// Test seam: every block of bytes written to Tools.rel goes through this
// function (true when all `size` bytes were written). Returns the previous
// one; an empty function restores plain fwrite.
using UtilitiesWriteFunction = WriteFunction;
UtilitiesWriteFunction SetUtilitiesWriteFunction(UtilitiesWriteFunction write);

}  // namespace velmora
