#include "gui/toolkit/qt_user_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLibraryInfo>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QSplitter>
#include <QTranslator>
#include <QTreeView>
#include <algorithm>

#include "core/toolkit/files.h"
#include "core/toolkit/strings.h"
#include "gui/toolkit/qt_text.h"

namespace velmora {

namespace {

// The window the user is in. The main window runs modal, so the modal widget
// is the main window even while a window it owns (the matrix equation, a
// Pasos window) has the keyboard: a box owned by the main window would hand
// the keyboard back to it, not to the window the user was typing in.
QWidget* ActiveOwner() {
    QWidget* active = QApplication::activeWindow();
    return active != nullptr ? active : QApplication::activeModalWidget();
}

// Keeps a Yes/No box open against Esc and the close box until a button answers.
class NoEscape final : public QObject {
  public:
    bool answered = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            return true;
        }
        if (event->type() == QEvent::Close && !answered) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

QMessageBox::Icon IconOf(unsigned style) {
    switch (style & 0xF0) {
        case 0x10:
            return QMessageBox::Critical;
        case kMbIconQuestion:
            return QMessageBox::Question;
        case kMbIconExclamation:
            return QMessageBox::Warning;
        case 0x40:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// The width a window needs for its whole title: the text, in a bold title
// font somewhat larger than Qt's guess (window managers choose their own),
// and the room of the frame's icon and buttons.
int TitleWidth(const QString& title) {
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * 1.15);
    } else {
        font.setPixelSize(font.pixelSize() * 115 / 100);
    }
    return QFontMetrics(font).horizontalAdvance(title) + 140;
}

// A message box sizes itself for its text and buttons and gives its title a
// fixed allowance that real title bars outgrow ("Lista de sist… modificada").
// A spacer as wide as the title makes the layout, and so the box, that wide.
void KeepTitleWidth(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    grid->addItem(
        new QSpacerItem(TitleWidth(box.windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
        grid->rowCount(), 0, 1, grid->columnCount());
}

// The type column names a folder through Qt's translation, which carries
// the word under the file dialog's name only.
class FolderTypeInLanguage final : public QFileIconProvider {
  public:
    QString type(const QFileInfo& info) const override {
        return info.isDir() ? QCoreApplication::translate("QFileDialog", "Folder")
                            : QFileIconProvider::type(info);
    }
};

// Qt's file list writes sizes and dates in the system's locale, English
// where the desktop has none: here they are in the program's, as the rest
// of the dialog.
class InProgramLocale final : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (files == nullptr || role != Qt::DisplayRole || index.column() == 0 ||
            index.column() == 2) {
            return QIdentityProxyModel::data(index, role);
        }
        const QModelIndex file = mapToSource(index);
        const QLocale program;
        if (index.column() == 3)
            return program.toString(files->lastModified(file), QLocale::ShortFormat);
        return files->isDir(file) ? QIdentityProxyModel::data(index, role)
                                  : QVariant(program.formattedDataSize(files->size(file)));
    }
};

// The file dialog's columns show their whole texts (Spanish headings and
// sizes are longer than the default widths): the name column takes the room
// left by the others, the places on the left show their names.
void ShowWholeColumns(QFileDialog& dialog) {
    dialog.resize(std::max(dialog.width(), 860), std::max(dialog.height(), 480));
    if (auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = tree->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int c = 1; c < header->count(); ++c) {
            header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
        }
    }
    auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
    if (places != nullptr && splitter != nullptr && splitter->count() == 2) {
        // Before the dialog is shown the splitter has no size yet; it keeps
        // these proportions when it gets one.
        const int wanted = places->sizeHintForColumn(0) + 2 * places->frameWidth() + 8;
        splitter->setSizes({wanted, std::max(wanted, dialog.width() - wanted - 40)});
    }
}

// A preset "folder/pattern" with wildcards in its last part opens the folder
// and lists the files matching the pattern.
bool AskFile(std::string& name, bool save, bool keepFolder) {
    const std::string preset = Utf8Left(name, 255);
    const std::string path = NativePath(preset);
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    const bool pattern = file.find_first_of("*?") != std::string::npos;

    const QString before = QDir::currentPath();
    QFileDialog dialog(ActiveOwner(), QString(), ToQString(folder));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new InProgramLocale(&dialog));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setWindowModality(Qt::ApplicationModal);
    // "*.*" would hide files without an extension, which most programs here have.
    QStringList filters;
    if (pattern) filters << ToQString(file);
    filters << QStringLiteral("Todos los ficheros (*)");
    dialog.setNameFilters(filters);
    if (!pattern && !file.empty()) dialog.selectFile(ToQString(file));

    static FolderTypeInLanguage types;  // outlives every dialog that uses it
    dialog.setIconProvider(&types);
    ShowWholeColumns(dialog);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (chosen) {
        const QString selected = dialog.selectedFiles().front();
        name = FromQString(selected);
        if (keepFolder) QDir::setCurrent(QFileInfo(selected).absolutePath());
    } else {
        name = preset;
    }
    if (!keepFolder) QDir::setCurrent(before);
    return chosen;
}

}  // namespace

int QtUserDialogs::MessageBox(std::string_view caption, std::string_view text, unsigned style) {
    QMessageBox box(ActiveOwner());
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(ToQString(Utf8Left(caption, 255)));
    box.setText(ToQString(Utf8Left(text, 255)));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(IconOf(style));

    struct Choice {
        QAbstractButton* button;
        int answer;
    };
    std::vector<Choice> choices;
    NoEscape guard;
    const unsigned buttons = style & 0x0F;
    if (buttons == kMbYesNo || buttons == kMbYesNoCancel) {
        choices.push_back({box.addButton(QStringLiteral("Sí"), QMessageBox::YesRole), kIdYes});
        choices.push_back({box.addButton(QStringLiteral("No"), QMessageBox::NoRole), kIdNo});
        if (buttons == kMbYesNoCancel) {
            choices.push_back(
                {box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole), kIdCancel});
            box.setEscapeButton(choices.back().button);
        } else if (style & kMbDefButton2) {
            // A question whose safe answer is No: Esc and the close box give it.
            box.setEscapeButton(choices.back().button);
        } else {
            box.installEventFilter(&guard);
            QObject::connect(&box, &QMessageBox::buttonClicked, &box,
                             [&guard] { guard.answered = true; });
        }
    } else {
        choices.push_back(
            {box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole), kIdOk});
        box.setEscapeButton(choices.back().button);
    }
    const bool second = (style & kMbDefButton2) && choices.size() > 1;
    box.setDefaultButton(static_cast<QPushButton*>(choices[second ? 1 : 0].button));
    KeepTitleWidth(box);
    box.exec();
    for (const Choice& c : choices) {
        if (box.clickedButton() == c.button) return c.answer;
    }
    return buttons == kMbYesNo ? kIdNo : buttons == kMbOk ? kIdOk : kIdCancel;
}

bool QtUserDialogs::AskOpenFile(std::string& name) {
    return AskFile(name, false, true);
}
bool QtUserDialogs::AskSaveFile(std::string& name) {
    return AskFile(name, true, true);
}
bool QtUserDialogs::AskProgramFile(std::string& name) {
    return AskFile(name, false, false);
}

int QtUserDialogs::ChooseFromMenu(const std::vector<MenuChoice>& choices) {
    QMenu menu(ActiveOwner());
    for (const MenuChoice& c : choices) menu.addAction(ToQString(c.text))->setData(c.id);
    const QAction* chosen = menu.exec(QCursor::pos());
    return chosen != nullptr ? chosen->data().toInt() : 0;
}

bool QtUserDialogs::AskText(std::string_view caption, std::string_view prompt,
                            std::string& text) {
    QInputDialog box(ActiveOwner());
    box.setWindowTitle(ToQString(caption));
    box.setLabelText(ToQString(prompt));
    box.setOkButtonText(QStringLiteral("Aceptar"));
    box.setCancelButtonText(QStringLiteral("Cancelar"));
    // Wide enough for its caption in the title bar (the box takes the size
    // of what it holds).
    box.setTextValue(QString());
    if (auto* edit = box.findChild<QLineEdit*>())
        edit->setMinimumWidth(box.fontMetrics().horizontalAdvance(ToQString(caption)) + 140);
    if (box.exec() != QDialog::Accepted) return false;
    text = FromQString(box.textValue());
    return true;
}

void InstallQtUserDialogs() {
    static QtUserDialogs provider;
    SetUserDialogs(&provider);
}

QTranslator* InstallSpanishQtTexts() {
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    QLocale::setDefault(spanish);
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(spanish, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace velmora
