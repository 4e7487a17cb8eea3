// Any bytes as an .sts file: what is taken as a system is one the window can
// show, encodes back to a record that decodes to the same system, and can be
// analysed.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/systems/linear_system.h"
#include "core/systems/sts_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const velmora::StsReadResult read =
        velmora::ParseStsBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(read.systems.size() <= velmora::kMaxSystems);
    FUZZ_CHECK(read.trailingBytes < velmora::kStsRecordSize);
    FUZZ_CHECK(read.tooLarge == (size > velmora::kMaxStsFileSize));
    FUZZ_CHECK(read.systems.size() + read.invalidRecords == size / velmora::kStsRecordSize ||
               read.tooLarge);
    for (const velmora::LinearSystem& system : read.systems) {
        const velmora::Matrix& a = system.augmented;
        FUZZ_CHECK(a.rows >= 1 && a.rows <= 4 && a.cols >= 1 && a.cols <= 5);
        const velmora::StsRecord record = velmora::EncodeRecord(system);
        velmora::LinearSystem back;
        FUZZ_CHECK(velmora::DecodeRecord(record.data(), back));
        FUZZ_CHECK(back.augmented == a);
        if (!velmora::CheckRows(a) || a.cols < 2) continue;
        velmora::Matrix reduced = a;
        try {
            velmora::AnalyseSystem(reduced);
        } catch (const velmora::ArithmeticOverflow&) {
        }
    }
    return 0;
}
