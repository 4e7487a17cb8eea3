#include "core/check/working_file.h"

#include <cstdio>
#include <filesystem>

#include "core/toolkit/encoding.h"
#include "core/toolkit/files.h"
#include "core/toolkit/saving.h"

namespace velmora {

bool ReadWorkingFile(const std::string& path, std::string& text, std::string& error) {
    std::error_code ec;
    std::string bytes;
    const BoundedRead read = std::filesystem::is_directory(path, ec)
                                 ? BoundedRead::ReadError
                                 : ReadFileBounded(path, kMostWorkingBytes, bytes);
    switch (read) {
        case BoundedRead::Ok:
            break;
        case BoundedRead::NotOpened:
            error = "No se ha podido abrir el fichero " + path + ".";
            return false;
        case BoundedRead::TooLarge:
            error = "El fichero " + path + " es demasiado largo para unos pasos (más de 1 MB).";
            return false;
        case BoundedRead::ReadError:
            error = "No se ha podido leer el fichero " + path + ".";
            return false;
    }
    text = WorkingText(std::move(bytes));
    return true;
}

std::string WorkingText(std::string bytes) {
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    return IsUtf8(bytes) ? bytes : FromWindows1252(bytes);
}

bool WriteWorkingFile(const std::string& path, std::string_view text, std::string& error) {
    namespace fs = std::filesystem;
    if (!CheckWritable(path, error)) return false;
    const fs::path temporary = TemporaryBeside(path);
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    bool written = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file != nullptr) written = std::fclose(file) == 0 && written;
    std::error_code ec;
    if (written) {
        fs::rename(temporary, path, ec);
        written = !ec;
    }
    if (!written) {
        fs::remove(temporary, ec);
        error =
            "No se ha podido guardar " + path + ". El fichero anterior se conserva sin cambios.";
    }
    return written;
}

}  // namespace velmora
