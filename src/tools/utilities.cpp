#include "tools/utilities.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "toolkit/encoding.h"
#include "toolkit/saving.h"
#include "toolkit/strings.h"
#include "toolkit/user_dialogs.h"

namespace velmora {

namespace {

constexpr const char* kCaption = "Utilidades";

BlockWriter& Writer() {
    static BlockWriter writer;
    return writer;
}

// The lines of a file: CR LF or LF ends a line; a last line without an end
// counts too.
std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos) end = bytes.size();
        std::size_t stop = end;
        if (stop > start && bytes[stop - 1] == '\r') --stop;
        lines.emplace_back(bytes.substr(start, stop - start));
        start = next;
    }
    return lines;
}

std::string FieldFromLine(const std::string& line) {
    return FromWindows1252(std::string_view(line).substr(0, kMaxUtilityField));
}

// The field in Windows-1252, or a Spanish reason why it cannot be written.
bool EncodeField(const Utility& u, const std::string& field, std::string& out, std::string& why) {
    if (field.find_first_of("\r\n") != std::string::npos) {
        why = "La utilidad \"" + u.name + "\" tiene un salto de línea dentro de un campo.";
        return false;
    }
    if (!ToWindows1252(field, out)) {
        const std::string bad = FirstUnencodable(field);
        why = bad.empty() ? "La utilidad \"" + u.name + "\" tiene texto no válido."
                          : "El carácter \"" + bad + "\" de la utilidad \"" + u.name +
                                "\" no se puede guardar en Tools.rel.";
        return false;
    }
    return true;
}

}  // namespace

void setUtility(Utility& record, std::string_view name, std::string_view file,
                std::string_view directory, std::string_view parameters) {
    record.name = Utf8Left(name, kMaxUtilityField);
    record.file = Utf8Left(file, kMaxUtilityField);
    record.directory = Utf8Left(directory, kMaxUtilityField);
    record.parameters = Utf8Left(parameters, kMaxUtilityField);
}

Utility& UtilityList::get(std::size_t i) {
    if (i < 1 || i > records_.size()) throw std::out_of_range("UtilityList::get");
    return records_[i - 1];
}

const Utility& UtilityList::get(std::size_t i) const {
    if (i < 1 || i > records_.size()) throw std::out_of_range("UtilityList::get");
    return records_[i - 1];
}

bool UtilityList::newUtility() {
    if (records_.size() >= kMaxUtilities) {
        ShowMessageStyled(kCaption, "La lista ya tiene 64 utilidades; no se puede añadir ninguna más.",
                          kMbIconExclamation);
        return false;
    }
    records_.emplace_back();
    return true;
}

void UtilityList::deleteUtility(std::size_t i) {
    if (i < 1 || i > records_.size()) throw std::out_of_range("UtilityList::deleteUtility");
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(i - 1));
}

bool UtilityList::loadUtilities(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    loadUtilitiesFromBytes(bytes);
    return true;
}

void UtilityList::loadUtilitiesFromBytes(std::string_view bytes) {
    const std::vector<std::string> lines = SplitLines(bytes);
    std::vector<Utility> read;
    for (std::size_t first = 0; first < lines.size(); first += 4) {
        if (read.size() == kMaxUtilities) {
            ShowMessageStyled(kCaption,
                              "Tools.rel tiene más de 64 utilidades; solo se usan las 64 primeras.",
                              kMbIconExclamation);
            break;
        }
        auto line = [&](std::size_t k) {
            return first + k < lines.size() ? FieldFromLine(lines[first + k]) : std::string();
        };
        Utility u;
        setUtility(u, line(0), line(1), line(2), line(3));
        read.push_back(std::move(u));
    }
    records_ = std::move(read);
}

bool UtilityList::saveUtilities(const std::filesystem::path& path) const {
    std::string bytes;
    for (const Utility& u : records_) {
        for (const std::string* field : {&u.name, &u.file, &u.directory, &u.parameters}) {
            std::string encoded;
            std::string why;
            if (!EncodeField(u, *field, encoded, why)) {
                ShowMessageStyled(kCaption, why, kMbIconExclamation);
                return false;
            }
            bytes += encoded + "\r\n";
        }
    }

    namespace fs = std::filesystem;
    std::error_code ec;
    std::string error;
    bool written = CheckWritable(path, error);
    const fs::path temporary = TemporaryBeside(path);
    if (written) {
        std::FILE* out = std::fopen(temporary.c_str(), "wb");
        written = out != nullptr;
        // Line by line, so that a disk that fills up fails part-way.
        for (std::size_t at = 0; written && at < bytes.size();) {
            const std::size_t end = bytes.find('\n', at) + 1;
            written = Writer().Write(out, bytes.data() + at, end - at);
            at = end;
        }
        if (out != nullptr) written = std::fclose(out) == 0 && written;
        if (written) {
            fs::rename(temporary, path, ec);
            written = !ec;
        }
        if (!written) fs::remove(temporary, ec);
    }
    if (!written) {
        ShowMessageStyled(kCaption,
                          "No se ha podido guardar " + path.string() + ". " +
                              (error.empty() ? "" : error + " ") +
                              "El fichero anterior se conserva sin cambios.",
                          kMbIconExclamation);
        return false;
    }
    return true;
}

UtilitiesWriteFunction SetUtilitiesWriteFunction(UtilitiesWriteFunction write) {
    return Writer().Replace(std::move(write));
}

}  // namespace velmora
