#include "core/about/info_documents.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace velmora {

namespace fs = std::filesystem;

std::string FindInfoDocument(std::string_view name, std::string_view programPath) {
    if (name.empty()) return {};
    std::vector<fs::path> places;
    if (!programPath.empty()) {
        const fs::path folder = fs::path(programPath).parent_path();
        places.push_back(folder / name);
        places.push_back((folder / ".." / "share" / "velmora" / name).lexically_normal());
    }
    places.push_back(fs::path(name));
    for (const fs::path& place : places) {
        std::error_code ec;
        if (fs::is_regular_file(place, ec)) return place.string();
    }
    return {};
}

uint16_t OpenInfoDocument(std::string_view name, int* late) {
    return OpenInfoDocument(name, ProgramPath(), late);
}

uint16_t OpenInfoDocument(std::string_view name, std::string_view programPath, int* late) {
    const std::string path = FindInfoDocument(name, programPath);
    if (path.empty()) return kLaunchFileNotFound;
    // OpenDocument reads a blank as the start of parameters and ".exe" as a
    // program: a path with either is opened by its name from its own folder.
    if (path.find(' ') == std::string::npos && path.find(".exe") == std::string::npos) {
        return OpenDocument(path, late);
    }
    std::error_code ec;
    const fs::path saved = fs::current_path(ec);
    if (ec) return kLaunchFailed;
    fs::current_path(
        fs::path(path).parent_path().empty() ? fs::path(".") : fs::path(path).parent_path(), ec);
    const uint16_t code =
        ec ? kLaunchPathNotFound : OpenDocument(fs::path(path).filename().string(), late);
    fs::current_path(saved, ec);
    return code;
}

}  // namespace velmora
