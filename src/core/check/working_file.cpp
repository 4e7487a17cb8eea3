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
    if (!CheckWritable(path, error)) return false;
    const SafeWrite written = WriteBeside(path, [&](std::FILE* file) {
        return std::fwrite(text.data(), 1, text.size(), file) == text.size();
    });
    if (written != SafeWrite::Written)
        error =
            "No se ha podido guardar " + path + ". El fichero anterior se conserva sin cambios.";
    return written == SafeWrite::Written;
}

}  // namespace velmora
