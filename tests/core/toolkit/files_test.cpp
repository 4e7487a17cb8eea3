#include "core/toolkit/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

namespace velmora {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
  protected:
    fs::path dir;
    void SetUp() override {
        char pattern[] = "/tmp/velmora-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        SetDocumentOpener("xdg-open");
        fs::remove_all(dir);
    }
    std::string At(const std::string& name) const { return (dir / name).string(); }
    void Write(const std::string& name, const std::string& content) const {
        std::ofstream(At(name)) << content;
    }
    // A shell script that appends its arguments, one line, to `log`.
    std::string Script(const std::string& name, const std::string& log) const {
        Write(name, "#!/bin/sh\necho \"$@\" >> '" + At(log) + "'\n");
        chmod(At(name).c_str(), 0755);
        return At(name);
    }
    // Waits for a detached program to leave its mark.
    std::string WaitFor(const std::string& log) const {
        for (int i = 0; i < 1000; ++i) {
            std::ifstream in(At(log));
            std::string line;
            if (std::getline(in, line)) return line;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "(nothing)";
    }
};

TEST(PathsTest, NameOfPathAndBaseName) {
    struct Case {
        const char* path;
        const char* name;
        const char* base;
    };
    const Case cases[] = {
        {"C:\\a\\b.c", "b.c", "b"},
        {"b.c", "b.c", "b"},
        {"C:\\a\\b.tar.gz", "b.tar.gz", "b.tar"},
        {"C:\\a\\readme", "readme", "readme"},
        {"/usr/share/doc/velmora.pdf", "velmora.pdf", "velmora"},
        {"/home/ana/dir.d/prog", "prog", "prog"},
        {"mixed/a\\b.txt", "b.txt", "b"},
        {"dir/", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NameOfPath(c.path), c.name) << c.path;
        EXPECT_EQ(BaseName(c.path), c.base) << c.path;
    }
    EXPECT_EQ(NativePath("C:\\a\\b"), "C:/a/b");
}

TEST(PathsTest, ProgramNameIsTheRunningTest) {
    EXPECT_EQ(ProgramName(), "velmora_core_tests");
    EXPECT_EQ(NameOfPath(ProgramPath()), "velmora_core_tests");
}

TEST_F(FilesTest, ExistenceWithWildcardsAndStrictFolders) {
    Write("uno.sts", "x");
    fs::create_directory(dir / "sub");
    EXPECT_TRUE(FileExists(At("uno.sts")));
    EXPECT_TRUE(FileExists(At("*.sts")));
    EXPECT_TRUE(FileExists(At("un?.sts")));
    EXPECT_FALSE(FileExists(At("*.rel")));
    EXPECT_FALSE(FileExists(At("sub"))) << "a folder is no file";
    EXPECT_TRUE(FolderExists(At("sub")));
    EXPECT_TRUE(FolderExists(dir.string() + "\\sub")) << "a typed backslash separates too";
    EXPECT_FALSE(FolderExists(At("uno.sts"))) << "a file is no folder";
    EXPECT_FALSE(FolderExists(At("nada")));
    EXPECT_FALSE(FileExists(""));
}

TEST_F(FilesTest, OpenForReadingAMissingFileLeavesTheStreamUnbound) {
    std::ifstream in;
    EXPECT_FALSE(OpenTextForReading(At("Tools.rel"), in));
    EXPECT_FALSE(in.is_open());
}

TEST_F(FilesTest, CreateEmptiesAndReadingGivesTheBytesBack) {
    Write("Tools.rel", "old content that must go");
    std::ofstream out;
    ASSERT_TRUE(CreateTextFile(At("Tools.rel"), out));
    out << "Calc\r\ngnome-calculator\r\n";
    out.close();
    std::ifstream in;
    ASSERT_TRUE(OpenTextForReading(At("Tools.rel"), in));
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "Calc\r\ngnome-calculator\r\n") << "CR LF kept byte for byte";

    std::ofstream nowhere;
    EXPECT_FALSE(CreateTextFile(At("no/such/folder/x"), nowhere));
}

TEST_F(FilesTest, FileYearOfTheLastChange) {
    Write("a.txt", "x");
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    EXPECT_EQ(FileYear(At("a.txt")), std::to_string(local.tm_year + 1900));
    EXPECT_EQ(FileYear(At("*.txt")), std::to_string(local.tm_year + 1900));
    EXPECT_EQ(FileYear(At("missing.exe")), "");
}

TEST_F(FilesTest, RunProgramStartsACommandLineDetached) {
    const std::string program = Script("tool", "ran.log");
    const uint16_t code = RunProgram(program + " uno \"dos tres\"");
    EXPECT_GT(code, 32);
    EXPECT_EQ(WaitFor("ran.log"), "uno dos tres");
}

TEST_F(FilesTest, RunProgramFailsWithACodeNotACrash) {
    EXPECT_LE(RunProgram(At("no-such-program") + " x"), 32);
    EXPECT_EQ(RunProgram(At("no-such-program")), kLaunchFileNotFound);
    EXPECT_LE(RunProgram("velmora-no-such-command-anywhere"), 32);
    EXPECT_LE(RunProgram(""), 32);
    Write("not-executable", "data");
    EXPECT_LE(RunProgram(At("not-executable")), 32);
    EXPECT_LE(RunProgram(dir.string()), 32) << "a folder is not a program";
}

TEST_F(FilesTest, OpenDocumentRunsExeTextsAsCommandLines) {
    const std::string program = Script("tool.exe", "exe.log");
    EXPECT_GT(OpenDocument(program + " readme.txt"), 32);
    EXPECT_EQ(WaitFor("exe.log"), "readme.txt");
}

TEST_F(FilesTest, OpenDocumentHandsOtherFilesToTheOpener) {
    SetDocumentOpener(Script("opener", "opened.log"));
    Write("a.EXE", "not a program");
    EXPECT_GT(OpenDocument(At("a.EXE")), 32) << "only lower-case .exe is a command line";
    EXPECT_EQ(WaitFor("opened.log"), At("a.EXE"));
}

// An opener that gives up, or no opener at all, means nothing can open the file.
TEST_F(FilesTest, OpenDocumentTellsWhenTheOpenerGivesUp) {
    Write("notes.odt", "");
    struct Case {
        const char* script;  // the opener's body; nullptr: there is no opener
        uint16_t code;
    };
    const Case cases[] = {
        {"exit 3", kLaunchNoAssociation},  // xdg-open: no tool for it
        {"exit 4", kLaunchNoAssociation},  // the tool failed
        {"exit 2", kLaunchFileNotFound},  {nullptr, kLaunchNoAssociation},
        {"exit 0", kLaunchStarted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script == nullptr ? "none" : c.script);
        if (c.script != nullptr) {
            Write("opener", std::string("#!/bin/sh\n") + c.script + "\n");
            chmod(At("opener").c_str(), 0755);
            SetDocumentOpener(At("opener"));
        } else {
            SetDocumentOpener(At("no-such-opener"));
        }
        EXPECT_EQ(OpenDocument(At("notes.odt")), c.code);
    }
    EXPECT_EQ(LaunchFailureReason(kLaunchNoAssociation), "no hay ningún programa que sepa abrirlo");
    EXPECT_EQ(LaunchFailureReason(kLaunchFileNotFound), "no existe");
}

TEST_F(FilesTest, OpenDocumentSplitsFileAndParametersAtTheFirstBlank) {
    SetDocumentOpener(Script("opener", "opened.log"));
    Write("page.htm", "<html></html>");
    EXPECT_GT(OpenDocument(At("page.htm") + " extra"), 32);
    EXPECT_EQ(WaitFor("opened.log"), At("page.htm"));
    EXPECT_EQ(OpenDocument(At("missing.pdf")), kLaunchFileNotFound);
    EXPECT_LE(OpenDocument(""), 32);
}

TEST_F(FilesTest, OpenDocumentStartsAnExecutableFileWithItsParameters) {
    SetDocumentOpener(At("must-not-be-used"));
    const std::string program = Script("prog", "prog.log");
    EXPECT_GT(OpenDocument(program + " a b"), 32);
    EXPECT_EQ(WaitFor("prog.log"), "a b");
}

}  // namespace
}  // namespace velmora
