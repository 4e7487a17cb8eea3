// Any bytes as a Tools.rel file: at most 64 utilities, no field over 255
// characters.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "toolkit/strings.h"
#include "tools/utilities.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velmora::UtilityList list;
    list.loadUtilitiesFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(list.count() <= 64);
    for (std::size_t i = 1; i <= list.count(); ++i) {
        const velmora::Utility& u = list.get(i);
        for (const std::string* field : {&u.name, &u.file, &u.directory, &u.parameters})
            FUZZ_CHECK(velmora::Utf8Length(*field) <= 255);
    }
    return 0;
}
