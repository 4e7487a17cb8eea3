// Any bytes as a Tools.rel file: at most 64 utilities, no field over 255
// characters. And the bytes taken as the fields of utilities that have a
// name, written four lines each as the program writes them, read back as
// those utilities, with or without a stray blank line between two of them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/toolkit/encoding.h"
#include "core/toolkit/strings.h"
#include "core/tools/utilities.h"
#include "fuzz_check.h"

namespace {

// The input's lines, four to a utility, as a file of utilities with names.
std::vector<std::string> FieldsOf(std::string_view bytes) {
    std::vector<std::string> fields;
    std::string line;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\n') {
            if (bytes[i] != '\r') line += bytes[i];
            continue;
        }
        if (fields.size() % 4 == 0 && line.find_first_not_of(" \t") == std::string::npos)
            line.insert(0, "u");  // every utility the program writes has a name
        fields.push_back(line);
        line.clear();
    }
    while (fields.size() % 4 != 0) fields.emplace_back();
    if (fields.size() > 4 * velmora::kMaxUtilities) fields.resize(4 * velmora::kMaxUtilities);
    return fields;
}

void CheckReadsBack(const std::vector<std::string>& fields, std::size_t strayAfter) {
    std::string file;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        file += fields[k] + "\r\n";
        if (k + 1 == 4 * strayAfter) file += "\r\n";
    }
    velmora::UtilityList list;
    list.loadUtilitiesFromBytes(file);
    FUZZ_CHECK(list.count() == fields.size() / 4);
    for (std::size_t i = 1; i <= list.count(); ++i) {
        const velmora::Utility& u = list.get(i);
        const std::string* read[] = {&u.name, &u.file, &u.directory, &u.parameters};
        for (std::size_t f = 0; f < 4; ++f) {
            const std::string& written = fields[4 * (i - 1) + f];
            FUZZ_CHECK(*read[f] ==
                       velmora::FromWindows1252(std::string_view(written).substr(0, 255)));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    velmora::UtilityList list;
    list.loadUtilitiesFromBytes(bytes);
    FUZZ_CHECK(list.count() <= 64);
    for (std::size_t i = 1; i <= list.count(); ++i) {
        const velmora::Utility& u = list.get(i);
        for (const std::string* field : {&u.name, &u.file, &u.directory, &u.parameters})
            FUZZ_CHECK(velmora::Utf8Length(*field) <= 255);
    }

    const std::vector<std::string> fields = FieldsOf(bytes);
    const std::size_t utilities = fields.size() / 4;
    CheckReadsBack(fields, 0);
    CheckReadsBack(fields, utilities == 0 ? 0 : size % (utilities + 1));
    return 0;
}
