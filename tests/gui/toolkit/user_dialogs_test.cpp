#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "gui/toolkit/qt_text.h"
#include "gui/toolkit/qt_user_dialogs.h"
#include "support/scripted_dialogs.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

TEST(ScriptedDialogsTest, BoxesCarryTheirButtonSetsAndIcons) {
    test::ScriptedDialogs user;
    user.answers = {kIdOk, kIdOk, kIdYes, kIdNo, kIdCancel};
    EXPECT_EQ(ShowMessage("Error", "texto"), kIdOk);
    EXPECT_EQ(ShowMessageStyled("factor inválido", "Solo enteros o fracciones", kMbIconExclamation),
              kIdOk);
    EXPECT_EQ(AskYesNo("a", "b"), kIdYes);
    EXPECT_EQ(
        AskYesNoStyled("Confirmar reset", "¿Eliminar todos los sistemas?", kMbIconExclamation),
        kIdNo);
    EXPECT_EQ(AskYesNoCancel("c", "d"), kIdCancel);
    ASSERT_EQ(user.boxes.size(), 5u);
    const unsigned styles[] = {0x00, 0x30, 0x04, 0x34, 0x03};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(user.boxes[i].style, styles[i]) << i;
    EXPECT_EQ(user.boxes[1].caption, "factor inválido");
    EXPECT_EQ(user.boxes[3].text, "¿Eliminar todos los sistemas?");
}

TEST(ScriptedDialogsTest, CaptionsAndTextsAreCutTo255Characters) {
    test::ScriptedDialogs user;
    std::string longText;
    for (int i = 0; i < 300; ++i) longText += "é";
    ShowMessage(longText, longText);
    EXPECT_EQ(user.boxes[0].caption.size(), 255u * 2);
    EXPECT_EQ(user.boxes[0].text.size(), 255u * 2);
}

TEST(ScriptedDialogsTest, ACancelledFileDialogKeepsThePreset) {
    test::ScriptedDialogs user;
    user.files = {"", "/tmp/otro.sts"};
    std::string name = "./*.sts";
    EXPECT_FALSE(AskOpenFile(name));
    EXPECT_EQ(name, "./*.sts");
    EXPECT_TRUE(AskSaveFile(name));
    EXPECT_EQ(name, "/tmp/otro.sts");
    EXPECT_EQ(user.filePresets, (std::vector<std::string>{"./*.sts", "./*.sts"}));
}

// Runs `act` on the modal dialog once it is up.
void WhenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        act(w);
    });
}

QAbstractButton* ButtonOf(QMessageBox* box, const QString& text) {
    for (QAbstractButton* b : box->buttons()) {
        if (b->text() == text) return b;
    }
    return nullptr;
}

std::vector<std::string> ButtonTexts(QMessageBox* box) {
    std::vector<std::string> texts;
    for (QAbstractButton* b : box->buttons()) texts.push_back(FromQString(b->text()));
    std::sort(texts.begin(), texts.end());
    return texts;
}

void PressEscape(QWidget* w) {
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &esc);
}

class QtDialogsTest : public ::testing::Test {
  protected:
    QtUserDialogs provider;
    UserDialogs* previous = nullptr;
    void SetUp() override { previous = SetUserDialogs(&provider); }
    void TearDown() override { SetUserDialogs(previous); }
};

TEST_F(QtDialogsTest, YesNoBoxIgnoresEscapeAndTheCloseBox) {
    std::vector<std::string> buttons;
    bool stillOpen = false;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        buttons = ButtonTexts(box);
        EXPECT_EQ(box->windowTitle().toStdString(), "Confirmar eliminar");
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        PressEscape(box);
        PressEscape(ButtonOf(box, QStringLiteral("No")));  // passed on to the box by the button
        box->close();
        QApplication::processEvents();
        stillOpen = box->isVisible();
        ButtonOf(box, QStringLiteral("Sí"))->click();
    });
    EXPECT_EQ(AskYesNoStyled("Confirmar eliminar", "Eliminar K ?", kMbIconExclamation), kIdYes);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(buttons, (std::vector<std::string>{"No", "Sí"}));
}

// A question whose safe answer is "No": it is the default, for Enter, and
// Esc gives it too.
TEST_F(QtDialogsTest, YesNoBoxWithNoAsDefaultAnswersNoToEnterAndEscape) {
    for (const int key : {int(Qt::Key_Return), int(Qt::Key_Escape)}) {
        WhenModal([key](QWidget* w) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(w, &press);
            if (w->isVisible()) qobject_cast<QMessageBox*>(w)->buttons().front()->click();
        });
        EXPECT_EQ(AskYesNoStyled("Salir", "¿Salir?", kMbDefButton2), kIdNo) << key;
    }
}

TEST_F(QtDialogsTest, YesNoCancelBoxAnswersCancelToEscape) {
    std::vector<std::string> buttons;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        buttons = ButtonTexts(box);
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        PressEscape(box);
    });
    EXPECT_EQ(AskYesNoCancel("Lista modificada", "¿Guardarla?"), kIdCancel);
    EXPECT_EQ(buttons, (std::vector<std::string>{"Cancelar", "No", "Sí"}));
}

TEST_F(QtDialogsTest, MessageBoxHasOneAcceptButton) {
    std::vector<std::string> buttons;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        buttons = ButtonTexts(box);
        EXPECT_EQ(box->text().toStdString(), "Solo enteros positivos");
        PressEscape(box);
    });
    EXPECT_EQ(ShowMessageStyled("Exponente inválido", "Solo enteros positivos", kMbIconExclamation),
              kIdOk);
    EXPECT_EQ(buttons, (std::vector<std::string>{"Aceptar"}));

    WhenModal([&](QWidget* w) {
        ButtonOf(qobject_cast<QMessageBox*>(w), QStringLiteral("No"))->click();
    });
    EXPECT_EQ(AskYesNo("a", "b"), kIdNo);
}

// However long the caption, the box leaves room for all of it in a title bar
// (bold, with the frame's icon and buttons), whatever the text.
TEST_F(QtDialogsTest, ABoxIsAsWideAsItsTitle) {
    const char* const captions[] = {"Lista de sistemas modificada", "Confirmar eliminar",
                                    "Un título bastante más largo que el texto de la caja"};
    for (const char* caption : captions) {
        SCOPED_TRACE(caption);
        int width = 0;
        WhenModal([&](QWidget* w) {
            width = w->width();
            PressEscape(w);
        });
        AskYesNoCancel(caption, "¿Guardarla?");
        QFont bold = QApplication::font("QMdiSubWindowTitleBar");
        bold.setBold(true);
        EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance(QString::fromUtf8(caption)) + 100);
    }
}

// What the program's start-up installs: Qt's own texts in Spanish.
TEST(QtTextsTest, SpanishAfterStartUp) {
    const QLocale before;
    QTranslator* translator = InstallSpanishQtTexts();
    ASSERT_NE(translator, nullptr) << "qtbase_es.qm (qt6-translations-l10n, scripts/setup)";
    auto plain = [](QString text) {
        return text.left(text.indexOf(QLatin1Char('\t'))).remove(QLatin1Char('&')).toStdString();
    };
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    std::vector<std::string> items;
    for (QAction* a : menu->actions()) {
        if (!a->isSeparator()) items.push_back(plain(a->text()));
    }
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    std::vector<std::string> texts{dialog.windowTitle().toStdString()};
    for (const char* label : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
        texts.push_back(plain(dialog.findChild<QLabel*>(QString::fromLatin1(label))->text()));
    }
    auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    for (int c = 0; c < 4; ++c) {
        texts.push_back(tree->model()->headerData(c, Qt::Horizontal).toString().toStdString());
    }
    for (QAbstractButton* b : dialog.findChild<QDialogButtonBox*>()->buttons()) {
        texts.push_back(plain(b->text()));
    }
    QCoreApplication::removeTranslator(translator);
    delete translator;
    QLocale::setDefault(before);

    EXPECT_EQ(items, (std::vector<std::string>{"Deshacer", "Rehacer", "Cortar", "Copiar", "Pegar",
                                               "Borrar", "Seleccionar todo"}));
    EXPECT_EQ(texts, (std::vector<std::string>{"Guardar como", "Ver en:", "Nombre de fichero:",
                                               "Ficheros de tipo:", "Nombre", "Tamaño", "Tipo",
                                               "Última modificación", "Guardar", "Cancelar"}));
}

class QtFileDialogsTest : public QtDialogsTest {
  protected:
    fs::path dir;
    QString before;
    void SetUp() override {
        QtDialogsTest::SetUp();
        before = QDir::currentPath();
        char pattern[] = "/tmp/velmora-dialogs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = fs::canonical(pattern);
        fs::create_directory(dir / "otra");
        for (const char* f : {"uno.sts", "dos.sts", "notas.txt", "otra/tres.sts"})
            std::ofstream(dir / f) << std::string(50000, 'x');
        // The dialogs remember their column widths; each test starts afresh.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString((dir / "settings").string()));
    }
    void TearDown() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        QDir::setCurrent(before);
        fs::remove_all(dir);
        QtDialogsTest::TearDown();
    }
    // The file names the dialog lists in its folder, once it has read `expected` of them.
    static QStringList Listed(QFileDialog* dialog, int expected) {
        auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
        for (int i = 0; i < 1000 && view->model()->rowCount(view->rootIndex()) < expected; ++i) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        QStringList names;
        for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r) {
            names << view->model()->index(r, 0, view->rootIndex()).data().toString();
        }
        names.sort();
        return names;
    }
};

TEST_F(QtFileDialogsTest, APresetPatternListsTheMatchingFilesOfItsFolder) {
    QDir::setCurrent(QString::fromStdString(dir.string()));
    QStringList listed;
    QString folder;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        folder = dialog->directory().absolutePath();
        listed = Listed(dialog, 3);
        dialog->reject();
    });
    std::string name = "./*.sts";
    EXPECT_FALSE(AskOpenFile(name));
    EXPECT_EQ(name, "./*.sts") << "a cancel leaves the preset";
    EXPECT_EQ(folder.toStdString(), dir.string());
    EXPECT_EQ(listed, (QStringList{"dos.sts", "otra", "uno.sts"}));
}

// In Spanish, every column but the name (which takes the room left) is as
// wide as its heading and its entries.
TEST_F(QtFileDialogsTest, ColumnsShowTheirWholeTexts) {
    QTranslator* translator = InstallSpanishQtTexts();
    QDir::setCurrent(QString::fromStdString(dir.string()));
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        Listed(dialog, 4);
        auto* tree = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        QApplication::processEvents();
        const QAbstractItemModel* model = tree->model();
        for (int c = 1; c < tree->header()->count(); ++c) {
            SCOPED_TRACE(model->headerData(c, Qt::Horizontal).toString().toStdString());
            const int width = tree->header()->sectionSize(c);
            EXPECT_GE(width, tree->header()->sectionSizeHint(c));
            for (int r = 0; r < model->rowCount(tree->rootIndex()); ++r) {
                const QString text = model->index(r, c, tree->rootIndex()).data().toString();
                EXPECT_GE(width, tree->fontMetrics().horizontalAdvance(text) + 6) << r;
            }
        }
        dialog->reject();
    });
    std::string name = "./*";
    AskOpenFile(name);
    if (translator != nullptr) QCoreApplication::removeTranslator(translator);
    delete translator;
    QLocale::setDefault(QLocale::c());
}

// The filter that shows every file is named in Spanish, and sizes and dates
// are written in the program's language whatever the desktop's.
TEST_F(QtFileDialogsTest, FiltersSizesAndDatesInSpanish) {
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    QDir::setCurrent(QString::fromStdString(dir.string()));
    QFile tres(QStringLiteral("otra/tres.sts"));  // alone in its folder
    ASSERT_TRUE(tres.open(QIODevice::ReadWrite));
    tres.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7)), QFileDevice::FileModificationTime);
    QStringList shown;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        auto* tree = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        Listed(dialog, 1);
        shown = dialog->nameFilters();
        for (int c : {1, 3})
            shown << tree->model()->index(0, c, tree->rootIndex()).data().toString();
        dialog->reject();
    });
    std::string name = "./otra/*.sts";
    AskOpenFile(name);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(shown, (QStringList{"*.sts", "Todos los ficheros (*)", "48,83 KiB", "5/3/24 14:07"}));
}

TEST_F(QtFileDialogsTest, StsDialogsLeaveTheCurrentFolderWhereTheFileIs) {
    QDir::setCurrent(QString::fromStdString(dir.string()));
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        dialog->selectFile(QString::fromStdString((dir / "otra" / "tres.sts").string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    std::string name = "./*.sts";
    EXPECT_TRUE(AskOpenFile(name));
    EXPECT_EQ(name, (dir / "otra" / "tres.sts").string());
    EXPECT_EQ(QDir::currentPath().toStdString(), (dir / "otra").string());

    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        dialog->selectFile(QString::fromStdString((dir / "nuevo").string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_TRUE(AskSaveFile(name));
    EXPECT_EQ(name, (dir / "nuevo").string()) << "no extension is added";
}

TEST_F(QtFileDialogsTest, ProgramDialogRestoresTheCurrentFolder) {
    QDir::setCurrent(QString::fromStdString(dir.string()));
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        QDir::setCurrent(QString::fromStdString((dir / "otra").string()));  // as browsing may do
        dialog->selectFile(QString::fromStdString((dir / "otra" / "tres.sts").string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    std::string name;
    EXPECT_TRUE(AskProgramFile(name));
    EXPECT_EQ(name, (dir / "otra" / "tres.sts").string());
    EXPECT_EQ(QDir::currentPath().toStdString(), dir.string());
}

}  // namespace
}  // namespace velmora
