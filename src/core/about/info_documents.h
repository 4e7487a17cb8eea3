// The Info menu's documents, "Velmora.pdf" and "Orbenit.htm": looked for next
// to the program, then in the installation's share/velmora folder beside it,
// then in the current folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/toolkit/files.h"

namespace velmora {

inline constexpr std::string_view kHelpDocument = "Velmora.pdf";
inline constexpr std::string_view kMakerPage = "Orbenit.htm";

// The first place where the document is, as a path; empty when it is nowhere.
std::string FindInfoDocument(std::string_view name, std::string_view programPath = ProgramPath());

// Opens the document with its associated program and answers with the
// launch code (kLaunchFileNotFound when the document is nowhere); it shows
// nothing itself. An opener still at work after a moment answers later on
// `late` (OpenDocument).
uint16_t OpenInfoDocument(std::string_view name, int* late = nullptr);
// The same for a program installed at programPath.
uint16_t OpenInfoDocument(std::string_view name, std::string_view programPath, int* late = nullptr);

}  // namespace velmora
