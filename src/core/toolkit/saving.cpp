#include "core/toolkit/saving.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

bool HasWriteBit(const fs::path& p) {
    std::error_code ec;
    const fs::perms perms = fs::status(p, ec).permissions();
    if (ec) return true;  // the real write reports what is wrong
    return (perms & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) !=
           fs::perms::none;
}

}  // namespace

fs::path TemporaryBeside(const fs::path& target) {
    for (int k = 0;; ++k) {
        fs::path candidate = target;
        candidate.replace_filename("." + target.filename().string() + ".tmp" + std::to_string(k));
        std::error_code ec;
        if ((!fs::exists(candidate, ec) && !ec) || k > 1000) return candidate;
    }
}

bool CheckWritable(const fs::path& target, std::string& error) {
    std::error_code ec;
    if (fs::exists(target, ec) && !HasWriteBit(target)) {
        error = "No se puede escribir en " + target.string() + ": el fichero es de solo lectura.";
        return false;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!HasWriteBit(folder)) {
        error = "No se puede escribir en " + target.string() + ": la carpeta " + folder.string() +
                " es de solo lectura.";
        return false;
    }
    return true;
}

SafeWrite WriteBeside(const fs::path& target, const std::function<bool(std::FILE* file)>& write) {
    const fs::path temporary = TemporaryBeside(target);
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return SafeWrite::NotCreated;
    bool written = write(file);
    written = std::fclose(file) == 0 && written;
    std::error_code ec;
    if (written) {
        fs::rename(temporary, target, ec);
        written = !ec;
    }
    if (!written) fs::remove(temporary, ec);
    return written ? SafeWrite::Written : SafeWrite::NotWritten;
}

}  // namespace velmora
