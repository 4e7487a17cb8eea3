// The .sts file: a plain sequence of 890-byte records, one per system, no
// header. This is the only place that knows the record layout.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/systems/linear_system.h"
#include "core/toolkit/saving.h"

namespace velmora {

inline constexpr std::size_t kStsRecordSize = 890;
inline constexpr std::size_t kMaxSystems = 1024;
inline constexpr std::size_t kMaxCommentLength = 64;  // characters

using StsRecord = std::array<uint8_t, kStsRecordSize>;

// The record of one system. Bytes that carry no meaning are zero; `square`
// and the cached determinant are written as the matrix record holds them,
// except a determinant that does not fit 32 bits, written as 0/0 (no value).
// A comment character without a Windows-1252 code (only possible for a
// comment read from a damaged file, where it shows as U+FFFD) is written as
// '?'.
StsRecord EncodeRecord(const LinearSystem& system);

// Reads one record. False when it cannot be a system the window can show:
// no equation or more than 4, no column or more than 5, a zero denominator
// in a used cell, a comment length above 64, or a cell whose normal form
// does not fit (-2147483648/-1). The stored determinant is not read: the
// matrix's own is computed. Cells are brought to normal form.
bool DecodeRecord(const uint8_t* bytes, LinearSystem& system);

// A comment as it will be stored: the first 64 characters of `text`. False
// when one of them has no Windows-1252 code or is a control character (a
// comment is one line of the list: no line break, no tab); `bad` is then that
// character (or empty for text that is not valid UTF-8).
bool PrepareComment(std::string_view text, std::string& comment, std::string& bad);
// "un salto de línea", "un tabulador" or "un carácter de control" for a
// control character that PrepareComment refused; nullptr for any other.
const char* ControlCharacterName(std::string_view bad);

// The longest file that is read: 1024 records and a partial one. Anything
// longer is refused unread, so no file (not even /dev/zero) can exhaust memory.
inline constexpr std::size_t kMaxStsFileSize = kMaxSystems * kStsRecordSize + kStsRecordSize - 1;

// Everything read from one file. Nothing in it is trusted.
struct StsReadResult {
    bool opened = false;                // false: the file could not be opened
    bool readError = false;             // the file was opened but could not be read to its end
    bool tooLarge = false;              // longer than kMaxStsFileSize: nothing was read
    std::vector<LinearSystem> systems;  // at most 1024
    std::size_t invalidRecords = 0;     // records that cannot be systems
    std::size_t trailingBytes = 0;      // a partial record at the end

    bool SkippedSomething() const { return invalidRecords + trailingBytes > 0; }
};

StsReadResult ReadStsFile(const std::string& path);
// The records of a file already read into memory.
StsReadResult ParseStsBytes(std::string_view bytes);

// What was not used, in Spanish, for the message box; empty when nothing was
// skipped.
std::string SkippedRecordsText(const StsReadResult& result);
// Why a file that was opened was not read at all (a read error, or too long),
// in Spanish, naming `path`; empty when it was read.
std::string UnreadFileText(const StsReadResult& result, const std::string& path);

enum class SaveMode { Replace, Append };

enum class StsWrite {
    Done,
    NotAList,  // append: the file is not a list of systems, and was left alone
    Failed,    // cannot be created, opened or written; read-only; over 1024 systems
};

// Replace: the records go to a new file in the same folder, which is renamed
// over `path` only when it is complete; a read-only target is refused.
// Append: `path` must exist and be a list of systems (a whole number of
// records, each one a system, 1024 at most with the new ones); the records go
// at its end, and on failure the file gets its old length back. Anything but
// Done leaves the file as it was and says why in Spanish in `error`.
StsWrite WriteStsFile(const std::string& path, const std::vector<LinearSystem>& systems,
                      SaveMode mode, std::string& error);

// Test seam: every block of bytes written to an .sts file goes through this
// function (true when all `size` bytes were written). Returns the previous one;
// an empty function restores plain fwrite.
using StsWriteFunction = WriteFunction;
StsWriteFunction SetStsWriteFunction(StsWriteFunction write);

}  // namespace velmora
