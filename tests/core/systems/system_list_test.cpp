#include "core/systems/system_list.h"

#include <functional>

#include <gtest/gtest.h>

#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using test::ReadBytes;
using test::ScriptedDialogs;
using test::TempDir;
using test::WriteBytes;

std::string Comment(int k) { return std::string("sistema ").append(std::to_string(k)); }

Matrix System(int k) { return Matrix::FromRows({{k, 1, 2}, {1, -k, Fraction(k, 3)}}); }

void AddSystems(SystemList& list, int first, int last) {
    for (int k = first; k <= last; ++k) ASSERT_TRUE(list.Add(System(k), Comment(k)));
}

void ExpectSystems(const SystemList& list, const std::vector<int>& ks) {
    ASSERT_EQ(list.Count(), ks.size());
    for (std::size_t i = 0; i < ks.size(); ++i) {
        EXPECT_TRUE(list.Get(i + 1).augmented == System(ks[i])) << i;
        EXPECT_EQ(list.Get(i + 1).comment, Comment(ks[i]));
    }
}

TEST(SystemListTest, SaveAppendLoadRoundTrip) {
    ScriptedDialogs dialogs;
    TempDir dir;
    const std::string path = dir.file("lista.sts");

    SystemList list;
    AddSystems(list, 1, 3);
    dialogs.files = {path};
    ASSERT_TRUE(list.Save(SaveMode::Replace));
    EXPECT_FALSE(list.Modified());
    EXPECT_EQ(ReadBytes(path).size(), 2670u);
    EXPECT_EQ(dialogs.filePresets, std::vector<std::string>{"./*.sts"});

    SystemList loaded;
    dialogs.files = {path};
    ASSERT_TRUE(loaded.Load());
    ExpectSystems(loaded, {1, 2, 3});
    EXPECT_FALSE(loaded.Modified());

    SystemList more;
    AddSystems(more, 4, 5);
    dialogs.files = {path};
    ASSERT_TRUE(more.Save(SaveMode::Append));
    EXPECT_FALSE(more.Modified());
    EXPECT_EQ(ReadBytes(path).size(), 4450u);

    dialogs.files = {path};
    ASSERT_TRUE(loaded.Load());
    ExpectSystems(loaded, {1, 2, 3, 4, 5});
    EXPECT_TRUE(dialogs.boxes.empty());
}

// Every change a save would keep marks the list; only saving and loading
// make it unmodified again.
TEST(SystemListTest, ModifiedByEveryChangeUntilSavedOrLoaded) {
    ScriptedDialogs dialogs;
    TempDir dir;
    const std::string path = dir.file("a.sts");
    struct Case {
        const char* name;
        std::function<void(SystemList&)> change;
        bool modified;
    };
    const Case cases[] = {
        {"add", [](SystemList& l) { l.Add(System(9), "nueve"); }, true},
        {"delete", [](SystemList& l) { l.Delete(1); }, true},
        {"rename", [](SystemList& l) { l.SetComment(2, "otro"); }, true},
        {"rename to the same", [](SystemList& l) { l.SetComment(2, Comment(2)); }, false},
        {"clear", [](SystemList& l) { l.Clear(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SystemList list;
        AddSystems(list, 1, 2);
        dialogs.files = {path};
        dialogs.answers = {kIdYes};  // replacing the file of the previous case
        ASSERT_TRUE(list.Save(SaveMode::Replace));
        ASSERT_FALSE(list.Modified());
        c.change(list);
        EXPECT_EQ(list.Modified(), c.modified);
    }
    SystemList list;
    list.Clear();
    EXPECT_FALSE(list.Modified()) << "clearing an empty list changes nothing";
    // Not modified: "Abrir" asks nothing.
    dialogs.boxes.clear();
    dialogs.files = {path};
    EXPECT_TRUE(list.Load());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST(SystemListTest, DeleteMovesLaterItemsUpAndCommentsAreCut) {
    SystemList list;
    AddSystems(list, 1, 4);
    list.Delete(2);
    ExpectSystems(list, {1, 3, 4});
    EXPECT_THROW(list.Delete(4), std::out_of_range);
    EXPECT_THROW(list.Get(0), std::out_of_range);

    const std::string seventy = std::string(60, 'a') + "ñññññ" + "bbbbb";
    ASSERT_TRUE(list.Add(System(9), seventy));
    EXPECT_EQ(list.Get(4).comment, std::string(60, 'a') + "ññññ");
    ASSERT_TRUE(list.SetComment(1, seventy));
    EXPECT_EQ(list.Get(1).comment, std::string(60, 'a') + "ññññ");
}

TEST(SystemListTest, AskSaveBeforeLoadingAModifiedList) {
    struct Case {
        const char* name;
        std::deque<int> answers;
        bool saveDialogAnswered;
        bool loaded;        // the file's systems replaced the list
        bool stillModified;
    };
    const Case cases[] = {
        {"cancel", {kIdCancel}, false, false, true},
        {"no", {kIdNo}, false, true, false},
        {"yes, save cancelled", {kIdYes}, false, false, true},
        {"yes, saved", {kIdYes}, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        TempDir dir;
        const std::string source = dir.file("fuente.sts");
        {
            SystemList other;
            AddSystems(other, 7, 8);
            dialogs.files = {source};
            ASSERT_TRUE(other.Save(SaveMode::Replace));
        }
        dialogs.filePresets.clear();

        SystemList list;
        AddSystems(list, 1, 3);
        dialogs.answers = c.answers;
        dialogs.files.clear();
        if (c.saveDialogAnswered) dialogs.files.push_back(dir.file("guardada.sts"));
        else if (c.answers.front() == kIdYes) dialogs.files.push_back("");  // cancels the save
        dialogs.files.push_back(source);

        const bool result = list.Load();
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].caption, "Lista de sistemas modificada");
        EXPECT_EQ(dialogs.boxes[0].text, "¿Guardarla?");
        EXPECT_EQ(dialogs.boxes[0].style & 0x0F, static_cast<unsigned>(kMbYesNoCancel));
        EXPECT_EQ(result, c.loaded);
        if (c.loaded) {
            ExpectSystems(list, {7, 8});
        } else {
            ExpectSystems(list, {1, 2, 3});
        }
        EXPECT_EQ(list.Modified(), c.stillModified);
        if (c.saveDialogAnswered) {
            EXPECT_EQ(ReadBytes(dir.file("guardada.sts")).size(), 2670u);
        }
        if (c.answers.front() == kIdCancel) {
            EXPECT_TRUE(dialogs.filePresets.empty());
        }
    }
}

TEST(SystemListTest, LoadOfEmptyMissingAndDamagedFiles) {
    ScriptedDialogs dialogs;
    TempDir dir;
    SystemList list;
    AddSystems(list, 1, 2);
    dialogs.files = {dir.file("x.sts")};
    ASSERT_TRUE(list.Save(SaveMode::Replace));
    const std::string good = ReadBytes(dir.file("x.sts")).substr(0, 890);
    const std::string bad(890, '\xFF');

    // A file that cannot be opened: false, silently, nothing changes.
    dialogs.files = {dir.file("missing.sts")};
    EXPECT_FALSE(list.Load());
    ExpectSystems(list, {1, 2});
    EXPECT_TRUE(dialogs.boxes.empty());

    struct Case {
        const char* name;
        std::string bytes;
        std::size_t read;  // 0: the list stays as it was
        std::string said;  // the start of the message
    };
    std::string many;
    for (int k = 0; k < 1025; ++k) many += good;
    const Case cases[] = {
        {"empty", "", 0, "El fichero " + dir.file("f.sts") + " no contiene sistemas. La lista no"},
        {"only garbage", bad + bad, 0, "Sistemas leídos: 0. No se han usado: 2 registros"},
        {"damaged", good + bad + "tail", 1, "Sistemas leídos: 1. No se han usado: 1 registro "},
        {"four and a bad one", good + good + bad + good + good, 4, "Sistemas leídos: 4. "},
        {"over capacity", many, 0,
         "El fichero " + dir.file("f.sts") + " es demasiado largo para una lista de sistemas"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(dir.file("f.sts"), c.bytes);
        dialogs.boxes.clear();
        dialogs.files = {dir.file("f.sts")};
        EXPECT_EQ(list.Load(), c.read > 0);
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].caption, "Abrir sistemas");
        EXPECT_EQ(dialogs.boxes[0].style, kMbOk | kMbIconExclamation);
        EXPECT_EQ(dialogs.boxes[0].text.substr(0, c.said.size()), c.said);
        if (c.read == 0) {
            EXPECT_NE(dialogs.boxes[0].text.find("La lista no ha cambiado."), std::string::npos);
            EXPECT_EQ(list.Count(), 2u);
        } else {
            EXPECT_EQ(list.Count(), c.read);
            EXPECT_FALSE(list.Modified());
        }
        // Back to the two systems of x.sts for the next case.
        dialogs.files = {dir.file("x.sts")};
        ASSERT_TRUE(list.Load());
    }
}

// "Abrir" reads no file longer than 1024 records and a partial one, and
// "Añadir a fichero" adds only to a list of systems; both say why and change
// nothing.
TEST(SystemListTest, FilesThatAreNotListsAreNeitherOpenedNorAppendedTo) {
    TempDir dir;
    SystemList list;
    AddSystems(list, 1, 2);
    const std::string huge = dir.file("huge.sts");
    WriteBytes(huge, std::string(kMaxStsFileSize + 1, '\0'));
    for (const std::string& path : {std::string("/dev/zero"), huge}) {
        SCOPED_TRACE(path);
        ScriptedDialogs dialogs;
        dialogs.answers = {kIdNo};  // do not save the modified list first
        dialogs.files = {path};
        EXPECT_FALSE(list.Load());
        ExpectSystems(list, {1, 2});
        EXPECT_TRUE(list.Modified());
        ASSERT_EQ(dialogs.boxes.size(), 2u);
        EXPECT_EQ(dialogs.boxes[1].text, "El fichero " + path +
                                             " es demasiado largo para una lista de sistemas (más "
                                             "de 1024). La lista no ha cambiado.");
    }

    const std::string notes = dir.file("notes.txt");
    WriteBytes(notes, std::string(1050, 'n'));
    ScriptedDialogs dialogs;
    dialogs.files = {notes};
    EXPECT_FALSE(list.Save(SaveMode::Append));
    EXPECT_EQ(ReadBytes(notes), std::string(1050, 'n'));
    EXPECT_TRUE(list.Modified());
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Error al guardar");
    EXPECT_NE(dialogs.boxes[0].text.find("no es una lista de sistemas"), std::string::npos);
}

TEST(SystemListTest, FailedSaveIsReportedAndChangesNothing) {
    ScriptedDialogs dialogs;
    TempDir dir;
    const std::string path = dir.file("f.sts");
    WriteBytes(path, "old");
    SystemList list;
    AddSystems(list, 1, 2);
    StsWriteFunction previous =
        SetStsWriteFunction([](std::FILE*, const void*, std::size_t) { return false; });
    dialogs.files = {path};
    dialogs.answers = {kIdYes};  // replace "old"
    EXPECT_FALSE(list.Save(SaveMode::Replace));
    SetStsWriteFunction(previous);
    EXPECT_TRUE(list.Modified());
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(ReadBytes(path), "old");
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].caption, "Error al guardar");
    EXPECT_EQ(dialogs.boxes[1].style, kMbOk | kMbIconExclamation);

    // A cancelled dialog: nothing written, nothing said.
    dialogs.files.clear();
    EXPECT_FALSE(list.Save(SaveMode::Append));
    EXPECT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(list.FileName(), "./*.sts");
}

TEST(SystemListTest, RefusalsOfAdd) {
    ScriptedDialogs dialogs;
    SystemList list;
    for (int k = 0; k < 1024; ++k) ASSERT_TRUE(list.Add(System(1), ""));
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_FALSE(list.Add(System(2), "uno más"));
    EXPECT_EQ(list.Count(), 1024u);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Lista de sistemas llena");
    EXPECT_EQ(dialogs.boxes[0].style, kMbOk | kMbIconExclamation);

    struct Case {
        const char* name;
        Matrix m;
        std::string comment;
    };
    Matrix zeroDen = System(1);
    zeroDen.at(1, 1) = Fraction(1, 0);
    const Case refused[] = {
        {"character without a Windows-1252 code", System(1), "flecha →"},
        {"line break", System(1), "uno\ndos"},
        {"five equations", Matrix::Zero(5, 3), ""},
        {"six columns", Matrix::Zero(2, 6), ""},
        {"zero denominator", zeroDen, ""},
    };
    for (const Case& c : refused) {
        SystemList small;
        dialogs.boxes.clear();
        EXPECT_FALSE(small.Add(c.m, c.comment)) << c.name;
        EXPECT_EQ(small.Count(), 0u) << c.name;
        EXPECT_FALSE(small.Modified()) << c.name;
        EXPECT_EQ(dialogs.boxes.size(), 1u) << c.name;
    }
    SystemList small;
    ASSERT_TRUE(small.Add(System(1), "bien"));
    EXPECT_FALSE(small.SetComment(1, "mal →"));
    dialogs.boxes.clear();
    EXPECT_FALSE(small.SetComment(1, "mal\tseparado"));
    EXPECT_EQ(small.Get(1).comment, "bien");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text,
              "El comentario lleva un tabulador; en la lista y en un fichero .sts un comentario "
              "es una sola línea. Cámbielo, por favor.");
}

}  // namespace
}  // namespace velmora
