// Saving when the disk or the user says no: a read-only folder, a read-only
// file, and a write that fails part-way. Whatever happens, the user is told,
// the previous file keeps every byte, and the list in memory is unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "core/systems/system_list.h"
#include "core/tools/utilities.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::ScriptedDialogs;
using test::TempDir;
using test::WriteBytes;

enum class Writer { StsReplace, StsAppend, ToolsRel };
enum class Fault { ReadOnlyFolder, ReadOnlyFile, FailsAtStart, FailsPartWay };

const char* Name(Writer w) {
    switch (w) {
        case Writer::StsReplace: return "sts replace";
        case Writer::StsAppend: return "sts append";
        case Writer::ToolsRel: return "Tools.rel";
    }
    return "";
}

// Lets `budget` bytes through, then writes part of the block and fails, as a
// disk that fills up does.
std::function<bool(std::FILE*, const void*, std::size_t)> FailAfter(std::size_t budget) {
    return [budget](std::FILE* f, const void* data, std::size_t size) mutable {
        const std::size_t n = std::min(size, budget);
        const std::size_t done = std::fwrite(data, 1, n, f);
        budget -= done;
        return done == size;
    };
}

// The previous file: two systems, or two utilities.
std::string PreviousFile(Writer w) {
    if (w == Writer::ToolsRel) return "Uno\r\nuno.sh\r\n\r\n\r\nDos\r\ndos.sh\r\n/tmp\r\n-v\r\n";
    std::string bytes;
    for (int k = 1; k <= 2; ++k) {
        const StsRecord r = EncodeRecord({Matrix::FromRows({{k, 1, 3}, {1, -1, k}}), "previo"});
        bytes.append(reinterpret_cast<const char*>(r.data()), r.size());
    }
    return bytes;
}

class SaveFaultsTest : public ::testing::TestWithParam<std::tuple<Writer, Fault>> {};

TEST_P(SaveFaultsTest, ReportKeepFileKeepList) {
    const auto [writer, fault] = GetParam();
    TempDir dir;
    const fs::path folder = dir.path() / "datos";
    fs::create_directory(folder);
    const std::string path = (folder / (writer == Writer::ToolsRel ? "Tools.rel" : "lista.sts")).string();
    const std::string previous = PreviousFile(writer);
    WriteBytes(path, previous);

    SystemList list;
    ASSERT_TRUE(list.Add(Matrix::FromRows({{2, 1, 1}, {1, -1, 0}}), "nuevo"));
    UtilityList utilities;
    ASSERT_TRUE(utilities.newUtility());
    setUtility(utilities.get(1), "Calculadora", "calc.sh", "", "");

    ScriptedDialogs dialogs;
    dialogs.files.push_back(path);
    if (writer == Writer::StsReplace) dialogs.answers.push_back(kIdYes);  // replace it, when asked
    StsWriteFunction oldSts;
    UtilitiesWriteFunction oldTools;
    switch (fault) {
        case Fault::ReadOnlyFolder:
            fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
            break;
        case Fault::ReadOnlyFile: fs::permissions(path, fs::perms::owner_read); break;
        case Fault::FailsAtStart:
        case Fault::FailsPartWay: {
            // The new content is one record, or one utility of 26 bytes.
            const std::size_t written = writer == Writer::ToolsRel ? 26 : kStsRecordSize;
            const std::size_t budget = fault == Fault::FailsAtStart ? 0 : written / 2;
            oldSts = SetStsWriteFunction(FailAfter(budget));
            oldTools = SetUtilitiesWriteFunction(FailAfter(budget));
            break;
        }
    }

    bool saved = true;
    switch (writer) {
        case Writer::StsReplace: saved = list.Save(SaveMode::Replace); break;
        case Writer::StsAppend: saved = list.Save(SaveMode::Append); break;
        case Writer::ToolsRel: saved = utilities.saveUtilities(path); break;
    }
    SetStsWriteFunction(oldSts);
    SetUtilitiesWriteFunction(oldTools);
    fs::permissions(folder, fs::perms::owner_all);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    if (writer == Writer::StsReplace) {
        ASSERT_FALSE(dialogs.boxes.empty());
        EXPECT_EQ(dialogs.boxes[0].caption, ScriptedDialogs::kReplaceCaption);
        dialogs.boxes.erase(dialogs.boxes.begin());
    }

    EXPECT_FALSE(saved) << Name(writer);
    ASSERT_EQ(dialogs.boxes.size(), 1u) << Name(writer);
    EXPECT_EQ(dialogs.boxes[0].style & 0xF0u, unsigned(kMbIconExclamation));
    EXPECT_NE(dialogs.boxes[0].text.find(path), std::string::npos) << dialogs.boxes[0].text;
    EXPECT_EQ(ReadBytes(path), previous) << Name(writer) << ": the previous file must stay intact";
    EXPECT_EQ(test::TempDir::EntriesOf(folder), 1u) << "no temporary file is left behind";
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_TRUE(list.Modified());
    EXPECT_EQ(utilities.count(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    AllWritersAllFaults, SaveFaultsTest,
    ::testing::Combine(::testing::Values(Writer::StsReplace, Writer::StsAppend, Writer::ToolsRel),
                       ::testing::Values(Fault::ReadOnlyFolder, Fault::ReadOnlyFile,
                                         Fault::FailsAtStart, Fault::FailsPartWay)));

}  // namespace
}  // namespace velmora
