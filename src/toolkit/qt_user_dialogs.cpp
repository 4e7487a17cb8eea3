#include "toolkit/qt_user_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "toolkit/files.h"
#include "toolkit/qt_text.h"
#include "toolkit/strings.h"

namespace velmora {

namespace {

QWidget* ActiveOwner() {
    QWidget* owner = QApplication::activeModalWidget();
    return owner != nullptr ? owner : QApplication::activeWindow();
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
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setWindowModality(Qt::ApplicationModal);
    // "*.*" would hide files without an extension, which most programs here have.
    QStringList filters;
    if (pattern) filters << ToQString(file);
    filters << QStringLiteral("All files (*)");
    dialog.setNameFilters(filters);
    if (!pattern && !file.empty()) dialog.selectFile(ToQString(file));

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
    box.setDefaultButton(static_cast<QPushButton*>(choices.front().button));
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

void InstallQtUserDialogs() {
    static QtUserDialogs provider;
    SetUserDialogs(&provider);
}

}  // namespace velmora
