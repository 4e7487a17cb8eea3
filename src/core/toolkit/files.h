// Files, paths, and starting other programs.
//
// Paths use "/"; in texts the user typed "\" is accepted as a separator too.
// Starting a program or opening a document answers with a code: above 32
// means it was started, 32 or less that it was not (2: no such file, 31: no
// program to open it with).
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr uint16_t kLaunchStarted = 33;
inline constexpr uint16_t kLaunchFileNotFound = 2;
inline constexpr uint16_t kLaunchPathNotFound = 3;
inline constexpr uint16_t kLaunchAccessDenied = 5;
inline constexpr uint16_t kLaunchBadFormat = 11;
inline constexpr uint16_t kLaunchNoAssociation = 31;
inline constexpr uint16_t kLaunchFailed = 0;

// Why a launch with this code (32 or less) failed, in words for a message:
// "no existe", "no hay ningún programa que sepa abrirlo", ...
std::string LaunchFailureReason(uint16_t code);

// The path with every "\" turned into "/".
std::string NativePath(std::string_view path);

// True when a file that is not a folder matches the name (wildcards * ? [ ] allowed).
bool FileExists(std::string_view name);
// True when the name (wildcards allowed) matches a folder.
bool FolderExists(std::string_view name);
// False, the stream untouched, when no file matches the name. Streams are
// binary: what is read and written is byte for byte what is on disk.
bool OpenTextForReading(std::string_view name, std::ifstream& file);
// Creates the file or empties an existing one; true when it could.
bool CreateTextFile(std::string_view name, std::ofstream& file);

// Reading a whole file of a format whose files are small. A device or a FIFO
// (/dev/zero) has no size to check first: the bound is what ends the reading,
// so no file can exhaust memory.
enum class BoundedRead {
    Ok,
    NotOpened,  // no such file, or no permission
    TooLarge,   // more than `limit` bytes; `bytes` is then cleared
    ReadError,  // opened but not readable to its end (a folder, an input error)
};
// Every byte of the file at `path`, when there are at most `limit` of them.
// Opening never waits for a FIFO's writer (one without a writer reads empty).
BoundedRead ReadFileBounded(const std::string& path, std::size_t limit, std::string& bytes);
// The same from an open file, from its current position to its end.
BoundedRead ReadStreamBounded(std::FILE* file, std::size_t limit, std::string& bytes);

// The part after the last separator; the whole path when it has none.
std::string NameOfPath(std::string_view path);
// NameOfPath without the part from its last "." on.
std::string BaseName(std::string_view path);
// Full path of the running program, and its BaseName.
std::string ProgramPath();
std::string ProgramName();
// The year of the last change of the first file matching the name, in
// decimal; empty when no file matches.
std::string FileYear(std::string_view name);

// Starts a command line (program and arguments separated by blanks; double
// quotes group a word) without waiting for it.
uint16_t RunProgram(std::string_view commandLine);
// A text containing ".exe" is run as a command line. Anything else is a file
// (up to the first blank) and parameters (after it): an executable file is
// started with the parameters; any other file or address is handed to the
// desktop's opener, which picks the associated program. The opener is
// watched for a moment: when it gives up (no program for that kind of file,
// or no opener at all) the answer is kLaunchNoAssociation.
uint16_t OpenDocument(std::string_view command);
// The same; when the opener is still at work after that moment, `late`
// receives a descriptor on which its answer comes later: readable once the
// opener has ended (or given up), for TakeLateReport. Untouched otherwise.
uint16_t OpenDocument(std::string_view command, int* late);
// The late answer of an opener, once its descriptor is readable: the code of
// its failure, or kLaunchStarted when it ended well. Closes the descriptor.
uint16_t TakeLateReport(int fd);
// The opener of documents, "xdg-open" unless changed (tests use their own).
void SetDocumentOpener(std::string program);

}  // namespace velmora
