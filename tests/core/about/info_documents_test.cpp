#include "core/about/info_documents.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "support/current_dir.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::CurrentDirGuard;
using test::ReadBytes;
using test::ScriptedDialogs;
using test::TempDir;
using test::WriteBytes;

enum Place : unsigned { kBin = 1, kShare = 2, kHere = 4, kNowhere = 0 };

TEST(InfoDocumentsTest, FoundNextToTheProgramThenInShareThenHere) {
    struct Case {
        unsigned present;
        Place expected;
    };
    const Case cases[] = {
        {kBin, kBin},         {kShare, kShare},
        {kHere, kHere},       {kBin | kShare | kHere, kBin},
        {kBin | kHere, kBin}, {kShare | kHere, kShare},
        {kNowhere, kNowhere},
    };
    for (const char* name : {"Velmora.pdf", "Orbenit.htm"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(name) + " present " + std::to_string(c.present));
            TempDir dir;
            fs::create_directories(dir.path() / "prefix/bin");
            fs::create_directories(dir.path() / "prefix/share/velmora");
            fs::create_directories(dir.path() / "cwd");
            CurrentDirGuard cwd(dir.path() / "cwd");
            const fs::path bin = dir.path() / "prefix/bin" / name;
            const fs::path share = dir.path() / "prefix/share/velmora" / name;
            if (c.present & kBin) WriteBytes(bin.string(), "x");
            if (c.present & kShare) WriteBytes(share.string(), "x");
            if (c.present & kHere) WriteBytes(name, "x");
            const std::string program = (dir.path() / "prefix/bin/velmora").string();
            std::string expected;
            if (c.expected == kBin) expected = bin.string();
            if (c.expected == kShare) expected = share.string();
            if (c.expected == kHere) expected = name;
            EXPECT_EQ(FindInfoDocument(name, program), expected);
        }
    }
}

TEST(InfoDocumentsTest, AFolderOfThatNameIsNoDocument) {
    TempDir dir;
    fs::create_directories(dir.path() / "bin/Velmora.pdf");
    CurrentDirGuard cwd(dir.path());
    WriteBytes("Velmora.pdf.txt", "x");
    EXPECT_EQ(FindInfoDocument("Velmora.pdf", (dir.path() / "bin/velmora").string()), "");
    EXPECT_EQ(FindInfoDocument("", (dir.path() / "bin/velmora").string()), "");
    WriteBytes("Velmora.pdf", "x");
    EXPECT_EQ(FindInfoDocument("Velmora.pdf", ""), "Velmora.pdf");
}

// The desktop's opener replaced by a script that writes down its folder and
// its argument.
class RecordingOpener {
  public:
    explicit RecordingOpener(const TempDir& dir) : out_(dir.file("opened.txt")) {
        const std::string script = dir.file("opener.sh");
        WriteBytes(script, "#!/bin/sh\n{ pwd; echo \"$1\"; } > '" + out_ + ".part'\nmv '" + out_ +
                               ".part' '" + out_ + "'\n");
        fs::permissions(script, fs::perms::owner_all);
        SetDocumentOpener(script);
    }
    ~RecordingOpener() { SetDocumentOpener("xdg-open"); }
    // "folder\nargument\n", or empty when nothing was opened within a while.
    std::string opened(int waitMs = 5000) const {
        for (int i = 0; i < waitMs / 10 && !fs::exists(out_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return fs::exists(out_) ? ReadBytes(out_) : std::string();
    }

  private:
    std::string out_;
};

TEST(InfoDocumentsTest, OpenHandsTheFoundDocumentToTheOpener) {
    struct Case {
        const char* prefix;  // folder of the installation
        bool byName;         // opened by its bare name from its own folder
    };
    const Case cases[] = {{"inst", false}, {"my apps", true}, {"tool.exe.d", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix);
        TempDir dir;
        ScriptedDialogs dialogs;
        RecordingOpener opener(dir);
        const fs::path share = dir.path() / c.prefix / "share/velmora";
        fs::create_directories(share);
        fs::create_directories(dir.path() / c.prefix / "bin");
        WriteBytes((share / "Orbenit.htm").string(), "<html></html>");
        CurrentDirGuard cwd(dir.path());
        EXPECT_GT(OpenInfoDocument("Orbenit.htm", (dir.path() / c.prefix / "bin/velmora").string()),
                  32);
        EXPECT_EQ(fs::current_path(), dir.path());
        const std::string expected =
            c.byName ? share.string() + "\nOrbenit.htm\n"
                     : dir.path().string() + "\n" + (share / "Orbenit.htm").string() + "\n";
        EXPECT_EQ(opener.opened(), expected);
        EXPECT_TRUE(dialogs.boxes.empty());
    }
}

// The main window says so; this only answers.
TEST(InfoDocumentsTest, AMissingDocumentOpensNothingAndAnswersNotFound) {
    TempDir dir;
    ScriptedDialogs dialogs;
    RecordingOpener opener(dir);
    CurrentDirGuard cwd(dir.path());
    EXPECT_EQ(OpenInfoDocument("Velmora.pdf", (dir.path() / "bin/velmora").string()),
              kLaunchFileNotFound);
    EXPECT_EQ(opener.opened(300), "");
    EXPECT_TRUE(dialogs.boxes.empty());
}

}  // namespace
}  // namespace velmora
