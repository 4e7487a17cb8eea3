// A student's working on disk: a plain text file, as typed (UTF-8, the
// arrows and marks included). The one place such files are read and written.
// More than kMostWorkingBytes is no working.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

inline constexpr std::size_t kMostWorkingBytes = 1 << 20;

// The text of the file. A file that is not UTF-8 is read as Windows-1252
// (as older editors write), a UTF-8 byte-order mark is dropped. False, with
// a Spanish `error` naming the file, when it cannot be read or is too long
// to be a working (more than 1 MB).
bool ReadWorkingFile(const std::string& path, std::string& text, std::string& error);
// The text of a working's bytes (a file's, or those velmora-calc reads): as
// ReadWorkingFile takes them.
std::string WorkingText(std::string bytes);
// Writes the text beside the old file and renames it over it once complete:
// a failure leaves the old file as it was. False, with `error`, on failure.
bool WriteWorkingFile(const std::string& path, std::string_view text, std::string& error);

}  // namespace velmora
