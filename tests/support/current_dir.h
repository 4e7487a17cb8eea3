// Puts the current directory back at the end of a test, whatever the test did.
#pragma once

#include <filesystem>

namespace velmora::test {

class CurrentDirGuard {
  public:
    CurrentDirGuard() : saved_(std::filesystem::current_path()) {}
    explicit CurrentDirGuard(const std::filesystem::path& enter) : CurrentDirGuard() {
        std::filesystem::current_path(enter);
    }
    ~CurrentDirGuard() {
        std::error_code ec;
        std::filesystem::current_path(saved_, ec);
    }
    CurrentDirGuard(const CurrentDirGuard&) = delete;
    CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

  private:
    std::filesystem::path saved_;
};

}  // namespace velmora::test
