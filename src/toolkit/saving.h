// What every file the program writes (.sts files, Tools.rel) shares: a new
// file is written beside the old one and renamed over it only when complete,
// and a file or folder the user made read-only is respected even when the
// process could write through it (as root can).
#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// A name beside `target` that no file uses yet.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target);

// False, with a Spanish `error` naming `target`, when `target` exists without
// any write permission or when its folder has none.
bool CheckWritable(const std::filesystem::path& target, std::string& error);

}  // namespace velmora
