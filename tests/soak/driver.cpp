#include "driver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest/QTest>
#include <fstream>
#include <initializer_list>

#include "core/arith/random.h"
#include "core/systems/sts_file.h"
#include "core/tools/utilities.h"
#include "gui/about/about_window.h"
#include "gui/main/main_window.h"
#include "gui/systems/system_window.h"
#include "gui/toolkit/dialog_helpers.h"
#include "gui/toolkit/qt_text.h"
#include "gui/tools/utilities_editor.h"
#include "gui/tools/utilities_menu.h"
#include "texts.h"

namespace velmora::soak {

int Choose(Rng& rng, std::initializer_list<int> weights) {
    int total = 0;
    for (int w : weights) total += w;
    int r = rng.below(total);
    int k = 0;
    for (int w : weights) {
        if (r < w) return k;
        r -= w;
        ++k;
    }
    return k - 1;
}

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A system as another program may have written it.
LinearSystem RandomSystem(Rng& rng, int k) {
    const int rows = rng.between(1, 4);
    const int cols = rng.between(2, 5);
    Matrix m = Matrix::Zero(rows, cols);
    for (int i = 1; i <= rows; ++i) {
        for (int j = 1; j <= cols; ++j) m.at(i, j) = Fraction(rng.between(-9, 9));
    }
    m.Refresh();
    return {m, "g" + std::to_string(k)};
}

// How a text goes into an edit field.
enum class Typing { Keys, Paste, Set };

bool Typable(const std::string& text) {
    if (text.size() > 48) return false;
    for (char c : text) {
        if (c == '\t' || c == '\n' || c == '\r') return false;
    }
    return true;
}

}  // namespace

Driver::Driver(uint64_t seed, Limits limits, std::filesystem::path scratch)
    : rng_(seed), limits_(limits), scratch_(std::move(scratch)), dialogs_(rng_, scratch_) {}

double Driver::elapsedSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

bool Driver::timeUp() const {
    if (limits_.actions > 0) return Run().actions >= limits_.actions;
    return elapsedSeconds() >= limits_.seconds;
}

void Driver::run() {
    SetUserDialogs(&dialogs_);
    start_ = std::chrono::steady_clock::now();
    // The hooks as the program's start-up sets them.
    MainWindowHooks hooks;
    hooks.openSystemWindow = OpenSystemWindow;
    hooks.showAbout = [] { ShowAbout(kAboutDescription, kContactMail); };
    hooks.installUtilitiesMenu = [](TemplateDialog& d) { installUtilitiesMenu(d, 4); };
    hooks.handleUtilitiesCommand = handleUtilitiesCommand;
    while (!stopping_) {
        MainWindow window(hooks);
        main_ = &window;
        grid_ = {};
        schedule();
        window.run();
        main_ = nullptr;
        if (!stopping_) ++restarts_;
    }
    SetUserDialogs(nullptr);
}

void Driver::schedule() {
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, [this] { turn(); });
}

TemplateDialog* Driver::modalDialog(const char* name) const {
    auto* d = qobject_cast<TemplateDialog*>(QApplication::activeModalWidget());
    return d != nullptr && !d->ended() && d->dialogTemplate().name == name ? d : nullptr;
}

TemplateDialog* Driver::aboutWindow() const {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* d = qobject_cast<TemplateDialog*>(w);
        if (d != nullptr && d->isVisible() && !d->ended() &&
            d->dialogTemplate().name == "FerSobre") {
            return d;
        }
    }
    return nullptr;
}

void Driver::note(const char* window, std::string text) {
    if (*window != 0) {
        // By kind: the text up to its first number.
        const std::size_t digit = text.find_first_of("0123456789'");
        Tally(std::string(window) + ": " + text.substr(0, digit));
    }
    LogAction(window, std::move(text));
}

void Driver::turn() {
    pending_ = false;
    checkAll();
    dialogs_.clear();
    if (!stopping_ && timeUp()) stopping_ = true;
    if (stopping_) {
        closeStep();
        return;
    }
    schedule();
    ++Run().actions;
    // The About window reseeds the program's generator from the clock; the
    // soak reseeds it from its own, so that a seed replays.
    TemplateDialog* about = aboutWindow();
    if (about != nullptr && about != about_) SeedRandom(rng_.next());
    about_ = about;

    if (TemplateDialog* tools = modalDialog("DlgTools")) {
        actOnTools(*tools);
    } else if (TemplateDialog* system = modalDialog("SistEq")) {
        actOnSystem(*system);
    } else if (main_ == nullptr || main_->dialog().ended()) {
        // The main window has ended while the About window's loop runs.
        if (about != nullptr) {
            note("about", "button");
            click(*about, AboutWindow::kButton);
        }
    } else if (about != nullptr && rng_.chance(25)) {
        note("about", "button");
        click(*about, AboutWindow::kButton);
    } else if (rng_.chance(2)) {
        meddleWithFiles();
    } else {
        actOnMain();
    }
}

void Driver::checkAll() {
    CheckNoStrayWindows();
    const bool toolsOpen = modalDialog("DlgTools") != nullptr;
    if (main_ != nullptr && !main_->dialog().ended()) {
        CheckMainWindow(*main_, grid_);
        if (!toolsOpen) CheckUtilities(*main_);
    }
    CheckSystems(modalDialog("SistEq"));
    CheckFiles(dialogs_);
}

// The end of the run: every window closed as a user closes it, nothing saved.
void Driver::closeStep() {
    dialogs_.closing = true;
    if (++closeAttempts_ > 50) Fail("the windows do not close");
    if (TemplateDialog* d = modalDialog("DlgTools")) {
        note("tools", "closing: esc");
        click(*d, UtilitiesEditor::kEsc);
    } else if (TemplateDialog* d = modalDialog("SistEq")) {
        note("system", "closing: salir");
        click(*d, 2);
    } else if (TemplateDialog* a = aboutWindow()) {
        note("about", "closing: button");
        click(*a, AboutWindow::kButton);
    } else if (main_ != nullptr && !main_->dialog().ended()) {
        note("main", "closing: Esc");
        key(&main_->dialog(), Qt::Key_Escape);
        if (main_->dialog().ended()) return;  // the loop ends; nothing more to drive
    } else {
        return;
    }
    schedule();
}

// --- input ---

void Driver::clickWidget(QWidget* w) {
    if (w == nullptr) return;
    // Buttons with a box are hit on the box, the others in the middle.
    QPoint at = w->rect().center();
    if (qobject_cast<QAbstractButton*>(w) != nullptr && qobject_cast<QPushButton*>(w) == nullptr) {
        at = QPoint(std::min(5, w->width() - 1), w->height() / 2);
    }
    auto* radio = qobject_cast<QRadioButton*>(w);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
    if (radio != nullptr && radio->isEnabled() && !radio->isChecked() && dialogs_.boxes.empty())
        Tally("a click that missed its radio button");
}

void Driver::click(TemplateDialog& d, int id) {
    clickWidget(d.item(id));
}

bool Driver::menu(TemplateDialog& d, int id) {
    if (d.menuBar() == nullptr) return false;
    for (QMenu* popup : d.popups()) {
        for (QAction* a : popup->actions()) {
            if (!a->isSeparator() && a->data().toInt() == id) {
                a->trigger();  // nothing for a disabled item, as for a user
                return true;
            }
        }
    }
    return false;
}

void Driver::key(QWidget* w, int k, int modifiers) {
    if (w == nullptr) return;
    QTest::keyClick(w, static_cast<Qt::Key>(k), static_cast<Qt::KeyboardModifiers>(modifiers));
}

std::string Driver::typeInto(TemplateDialog& d, int id, const std::string& text) {
    QWidget* w = d.item(id);
    auto* edit = qobject_cast<QLineEdit*>(w);
    if (auto* box = qobject_cast<QComboBox*>(w)) edit = box->lineEdit();
    if (edit == nullptr || !edit->isEnabled()) return "(not typable)";
    Typing how = Typing::Set;
    const int r = rng_.below(100);
    if (Typable(text)) {
        how = r < 60 ? Typing::Keys : r < 80 ? Typing::Paste : Typing::Set;
    } else {
        how = r < 70 ? Typing::Paste : Typing::Set;
    }
    const bool replace = rng_.chance(80);
    note("", std::string(how == Typing::Keys    ? "keys"
                         : how == Typing::Paste ? "paste"
                                                : "set") +
                 (replace || how == Typing::Set ? "" : " after the old text") + " into " +
                 std::to_string(id) + ": '" + text + "'");
    if (how == Typing::Set) {
        // All at once, as an input method's text arrives.
        SetItemTextZ(d, id, text);
        emit edit->textEdited(edit->text());
        return "set";
    }
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, edit->rect().center());
    if (replace) {
        key(edit, Qt::Key_A, Qt::ControlModifier);
        if (text.empty()) key(edit, Qt::Key_Backspace);
    }
    if (how == Typing::Paste) {
        QGuiApplication::clipboard()->setText(ToQString(text));
        key(edit, Qt::Key_V, Qt::ControlModifier);
        return "paste";
    }
    // Key by key; a character outside the Basic Multilingual Plane comes as
    // one key with both halves of its text, as input methods send it.
    const QString q = ToQString(text);
    for (qsizetype k = 0; k < q.size(); ++k) {
        QString one(q[k]);
        if (q[k].isHighSurrogate() && k + 1 < q.size()) one += q[++k];
        const char ascii =
            one.size() == 1 && one[0].unicode() < 0x80 ? static_cast<char>(one[0].unicode()) : 0;
        if (ascii != 0) {
            QTest::keyClick(edit, ascii);
        } else {
            QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, one, Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, edit, Qt::Key_unknown, one, Qt::NoModifier);
        }
    }
    return "keys";
}

// --- the utilities editor ---

void Driver::actOnTools(TemplateDialog& d) {
    using E = UtilitiesEditor;
    auto* list = qobject_cast<QListWidget*>(d.item(E::kList));
    switch (Choose(rng_, {30, 8, 6, 5, 15, 15, 5, 4, 4})) {
        case 0: {
            const int id = rng_.between(E::kName, E::kParameters);
            note("tools", "field " + std::to_string(id));
            typeInto(d, id, UtilityFieldText(rng_, id - E::kName));
            break;
        }
        case 1:
            note("tools", "+");
            click(d, E::kNew);
            break;
        case 2:
            note("tools", "-");
            click(d, E::kDelete);
            break;
        case 3:
            note("tools", "···");
            click(d, E::kBrowse);
            break;
        case 4:
            note("tools", "<- ok");
            click(d, E::kPut);
            break;
        case 5: {
            const int n = list->count();
            const int how = rng_.below(3);
            if (how == 0 && n > 0) {
                const int k = rng_.below(n);
                const bool control = rng_.chance(15);
                note("tools", std::string(control ? "Ctrl+click" : "click") + " utility " +
                                  std::to_string(k + 1));
                QTest::mouseClick(list->viewport(), Qt::LeftButton,
                                  control ? Qt::ControlModifier : Qt::NoModifier,
                                  list->visualItemRect(list->item(k)).center());
            } else if (how == 1) {
                const bool down = rng_.chance(60);
                note("tools", down ? "Down in the list" : "Up in the list");
                key(list, down ? Qt::Key_Down : Qt::Key_Up);
            } else if (n > 0) {
                const int k = rng_.between(1, n);
                note("tools", "pick " + std::to_string(k));
                d.pick(E::kList, k);
            }
            break;
        }
        case 6: {
            QWidget* focus = d.focusWidget();
            note("tools", "Enter in " + std::to_string(d.idOf(focus)));
            key(focus != nullptr && focus->window() == &d ? focus : &d, Qt::Key_Return);
            break;
        }
        case 7: {
            note("tools", "Ok");
            click(d, E::kOk);
            if (d.ended() && d.endResult() == 1) {
                // Saved: the file reads back as the list.
                UtilityList back;
                if (!back.loadUtilities(kUtilitiesFile)) Fail("the saved Tools.rel does not load");
                const UtilityList& now = Utilities();
                bool same = back.count() == now.count();
                for (std::size_t i = 1; same && i <= now.count(); ++i)
                    same = back.get(i) == now.get(i);
                if (!same) Fail("the saved Tools.rel does not load back as the list");
            }
            break;
        }
        default: {
            const int how = rng_.below(3);
            note("tools", how == 0 ? "esc" : how == 1 ? "Esc" : "close box");
            if (how == 0) {
                click(d, E::kEsc);
            } else if (how == 1) {
                QWidget* focus = d.focusWidget();
                key(focus != nullptr && focus->window() == &d ? focus : &d, Qt::Key_Escape);
            } else {
                d.close();
            }
            break;
        }
    }
}

// --- the files, as other programs change them ---

void Driver::meddleWithFiles() {
    switch (rng_.below(6)) {
        case 0:
            note("files", "junk.sts rewritten");
            WriteFile(scratch_ / "junk.sts", JunkBytes(rng_));
            break;
        case 1: {
            const int n = rng_.pick(std::vector<int>{1, 50, 1023, 1024, 1025});
            const bool tail = rng_.chance(30);
            note("files", "grande.sts with " + std::to_string(n) + " systems" +
                              (tail ? " and a partial record" : ""));
            std::string bytes;
            for (int k = 1; k <= n; ++k) {
                const StsRecord r = EncodeRecord(RandomSystem(rng_, k));
                bytes.append(reinterpret_cast<const char*>(r.data()), r.size());
            }
            if (tail) bytes += std::string(static_cast<std::size_t>(rng_.between(1, 889)), '\1');
            WriteFile(scratch_ / "grande.sts", bytes);
            break;
        }
        case 2: {
            const std::string name =
                rng_.pick(std::vector<std::string>{"uno.sts", "dos.sts", "grande.sts"});
            note("files", name + " removed");
            std::error_code ec;
            fs::remove(scratch_ / name, ec);
            break;
        }
        case 3: {
            // Tools.rel as another copy of the program may leave it; read at
            // the next start of the main window.
            std::string bytes;
            const int n = rng_.pick(std::vector<int>{0, 1, 3, 64, 70});
            for (int k = 0; k < n; ++k) {
                for (int field = 0; field < 4; ++field) {
                    std::string text = UtilityFieldText(rng_, field);
                    if (field == 0 && text.empty()) text = "u" + std::to_string(k);
                    std::string encoded;
                    for (char c : text) encoded += static_cast<unsigned char>(c) < 0x80 ? c : 'z';
                    bytes += encoded + "\r\n";
                }
            }
            note("files", "Tools.rel rewritten with " + std::to_string(n) + " utilities");
            WriteFile(scratch_ / kUtilitiesFile, bytes);
            break;
        }
        case 4:
            note("files", "Velmora.pdf created");
            WriteFile(scratch_ / "Velmora.pdf", "%PDF-1.4\n");
            break;
        default: {
            note("files", "vacío.sts emptied");
            WriteFile(scratch_ / "vacío.sts", "");
            break;
        }
    }
}

}  // namespace velmora::soak
