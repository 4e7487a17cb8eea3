#include "core/tools/utilities.h"

#include <cstdio>
#include <stdexcept>

#include "core/toolkit/encoding.h"
#include "core/toolkit/files.h"
#include "core/toolkit/saving.h"
#include "core/toolkit/strings.h"
#include "core/toolkit/user_dialogs.h"

namespace velmora {

namespace {

constexpr const char* kCaption = "Utilidades";

BlockWriter& Writer() {
    static BlockWriter writer;
    return writer;
}

// The lines of a file: CR LF or LF ends a line; a last line without an end
// counts too.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos) end = bytes.size();
        std::size_t stop = end;
        if (stop > start && bytes[stop - 1] == '\r') --stop;
        lines.push_back(bytes.substr(start, stop - start));
        start = next;
    }
    return lines;
}

// Where each utility starts. A utility is four lines; a blank line where a
// name is expected is either an empty name or a stray line (a separator the
// user typed, a trailing blank line). Of all the ways to read the file, the
// one taken ends on a whole utility if any does, then has the fewest
// utilities without a name, then skips the fewest lines. The program writes
// no utility without a name, so its files read back as written, and a stray
// blank line never shifts the fields of the utilities after it. (A file from
// before that rule, with a nameless utility, keeps it where that is the only
// way to end on a whole utility.)
std::vector<std::size_t> UtilityStarts(const std::vector<std::string_view>& lines) {
    struct Cost {
        std::size_t incomplete = 0, nameless = 0, skipped = 0;
        auto operator<=>(const Cost&) const = default;
    };
    const std::size_t n = lines.size();
    std::vector<Cost> best(n + 1);
    std::vector<bool> skip(n + 1, false);
    for (std::size_t p = n; p-- > 0;) {
        const bool blank = IsBlank(lines[p]);
        Cost record = p + 4 <= n ? best[p + 4] : Cost{1, 0, 0};
        record.nameless += blank ? 1 : 0;
        best[p] = record;
        if (blank) {
            Cost skipped = best[p + 1];
            ++skipped.skipped;
            if (skipped < record) {
                best[p] = skipped;
                skip[p] = true;
            }
        }
    }
    std::vector<std::size_t> starts;
    for (std::size_t p = 0; p < n;) {
        if (skip[p]) {
            ++p;
        } else {
            starts.push_back(p);
            p += 4;
        }
    }
    return starts;
}

std::string FieldFromLine(std::string_view line) {
    return FromWindows1252(line.substr(0, kMaxUtilityField));
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
    std::string bytes;
    switch (ReadFileBounded(path.string(), kMaxUtilitiesFileSize, bytes)) {
        case BoundedRead::Ok:
            loadUtilitiesFromBytes(bytes);
            return true;
        case BoundedRead::TooLarge:
            ShowMessageStyled(kCaption,
                              path.string() +
                                  " pasa de 1 MiB; no se ha leído y el menú "
                                  "Utilidades queda sin utilidades.",
                              kMbIconExclamation);
            return false;
        case BoundedRead::NotOpened:
        case BoundedRead::ReadError:
            break;  // a missing or unreadable file: no utilities
    }
    return false;
}

void UtilityList::loadUtilitiesFromBytes(std::string_view bytes) {
    const std::vector<std::string_view> lines = SplitLines(bytes);
    const std::vector<std::size_t> starts = UtilityStarts(lines);
    std::vector<Utility> read;
    for (const std::size_t first : starts) {
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
    // Blank lines skipped before the last utility were out of place; those
    // after it end the file and add nothing.
    const std::size_t strays = starts.empty() ? 0 : starts.back() - 4 * (starts.size() - 1);
    if (strays > 0) {
        const std::string where = " donde debería empezar una utilidad; ";
        ShowMessageStyled(
            kCaption,
            "Tools.rel tiene " + (strays == 1 ? "una línea en blanco" + where + "se ha saltado."
                                              : IntToText(int64_t(strays)) + " líneas en blanco" +
                                                    where + "se han saltado."),
            kMbIconExclamation);
    }
    records_ = std::move(read);
}

bool UtilityList::saveUtilities(const std::filesystem::path& path) const {
    std::string bytes;
    for (std::size_t i = 1; i <= records_.size(); ++i) {
        const Utility& u = records_[i - 1];
        // A blank name line is where a reader of the file looks for stray blank
        // lines; a utility without a name would make the file ambiguous.
        if (IsBlank(u.name)) {
            ShowMessageStyled(kCaption,
                              "La utilidad " + IntToText(int64_t(i)) +
                                  " no tiene nombre. Póngale uno o elimínela.",
                              kMbIconExclamation);
            return false;
        }
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

    std::string error;
    const bool written =
        CheckWritable(path, error) &&
        WriteBeside(path, [&](std::FILE* out) {
            // Line by line, so that a disk that fills up fails part-way.
            for (std::size_t at = 0; at < bytes.size();) {
                const std::size_t end = bytes.find('\n', at) + 1;
                if (!Writer().Write(out, bytes.data() + at, end - at)) return false;
                at = end;
            }
            return true;
        }) == SafeWrite::Written;
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
