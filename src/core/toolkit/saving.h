// What every file the program writes (.sts files, Tools.rel) shares: a new
// file is written beside the old one and renamed over it only when complete,
// and a file or folder the user made read-only is respected even when the
// process could write through it (as root can).
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace velmora {

// Writes one block of bytes; true when all `size` bytes were written.
using WriteFunction = std::function<bool(std::FILE* file, const void* data, std::size_t size)>;

// The one place a file format's bytes go through: plain fwrite, unless a test
// installs its own function (to make writing fail part-way).
class BlockWriter {
  public:
    bool Write(std::FILE* file, const void* data, std::size_t size) const {
        return write_ ? write_(file, data, size) : std::fwrite(data, 1, size, file) == size;
    }
    // Installs `write` (empty: plain fwrite again) and returns the previous one.
    WriteFunction Replace(WriteFunction write) {
        WriteFunction previous = std::move(write_);
        write_ = std::move(write);
        return previous;
    }

  private:
    WriteFunction write_;
};

// A name beside `target` that no file uses yet.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target);

// False, with a Spanish `error` naming `target`, when `target` exists without
// any write permission or when its folder has none.
bool CheckWritable(const std::filesystem::path& target, std::string& error);

enum class SafeWrite { Written, NotCreated, NotWritten };
// Writes `target` through `write` into a new file beside it and renames that
// over `target` only when `write` and closing succeed; otherwise the new file
// is removed and `target` is as it was. NotCreated: the new file could not be
// made (nothing was written).
SafeWrite WriteBeside(const std::filesystem::path& target,
                      const std::function<bool(std::FILE* file)>& write);

}  // namespace velmora
