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

namespace {

namespace fs = std::filesystem;

// An index drawn with the given weights.
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

// --- the main window ---

void Driver::actOnMain() {
    MainWindow& w = *main_;
    TemplateDialog& d = w.dialog();
    // A command that fails, or refuses the grid, leaves everything as it was.
    const MainSnapshot before = Snapshot(w);
    const int kind = Choose(rng_, {8, 25, 10, 3, 16, 8, 6, 4, 4, 6, 3, 3, 3, 1, 1, 1, 1, 1});
    actOnMain(kind);
    const bool otherWindow = kind == 12 || kind == 13 || kind == 16;
    if (main_ != nullptr && !d.ended() && !otherWindow &&
        (dialogs_.said("No se ha cambiado nada") ||
         (kind != 2 && dialogs_.shown("Celda no válida")))) {
        // Enter in the expression box may have gone to a cell (kind 9).
        CheckUnchanged(before, Snapshot(w), "the last action",
                       !dialogs_.said("No se ha cambiado nada") && kind == 9);
    }
}

void Driver::actOnMain(int kind) {
    using namespace principal;
    MainWindow& w = *main_;
    TemplateDialog& d = w.dialog();
    const int rows = w.editorRows();
    const int cols = w.editorCols();
    const auto anyCell = [&] {
        return principal::CellId(rng_.between(1, rows), rng_.between(1, cols));
    };
    switch (kind) {
        case 0: {
            const int id = rng_.chance(50) ? rng_.between(51, 54) : rng_.between(55, 59);
            note("main", "size button " + std::to_string(id));
            click(d, id);
            break;
        }
        case 1: {
            const int id = anyCell();
            note("main", "type into cell " + std::to_string(id));
            typeInto(d, id, rng_.chance(10) ? PasteText(rng_) : NumberText(rng_));
            grid_.dirty = true;
            break;
        }
        case 2: {
            // Enter where the focus is, or in a cell clicked first. Enter in
            // the last cell commits what the grid shows.
            QWidget* focus = d.focusWidget();
            if (focus == nullptr || focus->window() != &d || rng_.chance(30)) {
                const int id = anyCell();
                note("main", "click cell " + std::to_string(id));
                click(d, id);
                focus = d.focusWidget();
            }
            const int id = d.idOf(focus);
            note("main", "Enter in " + std::to_string(id));
            const bool last = id == principal::CellId(rows, cols);
            const auto texts = GridTexts(w);
            const Matrix before = w.editor().working;
            key(focus != nullptr ? focus : &d, Qt::Key_Return);
            if (last) {
                if (dialogs_.shown("Celda no válida")) {
                    if (!(w.editor().working == before))
                        Fail("a refused grid changed the working matrix");
                } else if (!w.editor().committed || !GridShows(w.editor().working, texts)) {
                    Fail("Enter in the last cell did not commit what the grid showed");
                }
            }
            break;
        }
        case 3: {
            const bool back = rng_.chance(30);
            note("main", back ? "Shift+Tab" : "Tab");
            QWidget* focus = d.focusWidget();
            key(focus != nullptr ? focus : &d, back ? Qt::Key_Backtab : Qt::Key_Tab,
                back ? static_cast<int>(Qt::ShiftModifier) : 0);
            break;
        }
        case 4: {
            const std::vector<int> ids = {kRnd,     kReset,      kEditorOk, kEditorOk,  kSubM,
                                          kExprOk,  kMulFactor,  kPower,    kNewMatrix, kGenerate,
                                          kStore,   kStore,      kDelete,   kTranspose, kCofactors,
                                          kInverse, kTriangular, kDiagonal};
            const int id = rng_.pick(ids);
            note("main", "button " + std::to_string(id));
            const bool sub = w.subMatrixMode();
            const auto texts = GridTexts(w);
            const Matrix before = w.editor().working;
            click(d, id);
            if (id == kEditorOk && !sub) {
                if (dialogs_.shown("Celda no válida")) {
                    if (!(w.editor().working == before))
                        Fail("a refused grid changed the working matrix");
                } else if (!w.editor().committed || !GridShows(w.editor().working, texts)) {
                    Fail("Ok did not commit what the grid showed");
                }
            }
            if (id == kRnd && (!w.editor().committed || dialogs_.shown("Celda no válida"))) {
                Fail("Rnd did not commit its random grid");
            }
            break;
        }
        case 5: {
            // With the steps and the clipboard: Pasos..., Copiar, Copiar LaTeX, Pegar.
            const int id = rng_.pick(
                std::vector<int>{101, 102, 105, 201, 202, 203, 204, 205, 207, 311, 312, 313});
            note("main", "menu " + std::to_string(id));
            menu(d, id);
            break;
        }
        case 6: {
            // A click on the panel: on a stored matrix, or anywhere.
            DrawingPane* pane = d.paneOf(kPanel);
            QPoint p(rng_.below(pane->width()), rng_.below(pane->height()));
            if (w.store().count() > 0 && rng_.chance(70)) {
                const MainWindow::Rect r = w.hitRect(rng_.between(1, w.store().count()));
                if (r.right > r.left && r.bottom > r.top) {
                    p = QPoint(rng_.between(r.left, r.right - 1),
                               rng_.between(r.top, r.bottom - 1));
                }
            }
            const QPoint at = d.itemRect(kPanel).topLeft() + p;
            QWidget* target = d.client()->childAt(at);
            if (target == nullptr) target = d.client();
            note("main",
                 "click the panel at " + std::to_string(p.x()) + ", " + std::to_string(p.y()));
            QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier,
                              target->mapFrom(d.client(), at));
            break;
        }
        case 7: {
            note("main", "factor");
            typeInto(d, kFactorBox, NumberText(rng_));
            if (rng_.chance(70)) click(d, kMulFactor);
            break;
        }
        case 8: {
            const std::string exponent =
                rng_.chance(70)
                    ? std::to_string(rng_.between(0, 6))
                    : rng_.pick(std::vector<std::string>{"", "-1", "31", "64", "1000", "2147483647",
                                                         "2147483648", "$10", "%111", "x", " 2 "});
            note("main", "exponent");
            typeInto(d, kExponentBox, exponent);
            if (rng_.chance(70)) click(d, kPower);
            break;
        }
        case 9: {
            const int inner = InnerChild(d, kExpression);
            note("main", "expression");
            typeInto(d, inner, ExpressionText(rng_));
            if (rng_.chance(50)) {
                note("main", "expression Ok");
                click(d, kExprOk);
            } else if (rng_.chance(80)) {
                note("main", "Enter in the expression");
                key(d.item(kExpression), Qt::Key_Return);
                QWidget* focus = d.focusWidget();
                if (focus != nullptr && d.idOf(focus) == inner) key(focus, Qt::Key_Return);
            }
            break;
        }
        case 10: {
            if (rng_.chance(60)) {
                const int k = rng_.between(1, 9);
                note("main", "pick count " + std::to_string(k));
                d.pick(kCountBox, k);
            } else {
                note("main", "type a count");
                typeInto(d, InnerChild(d, kCountBox),
                         rng_.pick(std::vector<std::string>{"0", "1", "3", "9", "14", "15", "-2",
                                                            "x", ""}));
            }
            note("main", "Generar");
            if (rng_.chance(50)) {
                click(d, kGenerate);
            } else {
                menu(d, kGenerate);
            }
            break;
        }
        case 11: {
            if (!w.subMatrixMode()) {
                note("main", "SubM");
                click(d, kSubM);
                break;
            }
            const int step = Choose(rng_, {6, 3, 1});
            if (step == 0) {
                for (int n = rng_.between(1, 3); n > 0; --n) {
                    const int id = rng_.between(141, 149);
                    if (!IsItemShown(d, id)) continue;
                    note("main", "sub-matrix box " + std::to_string(id));
                    click(d, id);
                }
            } else {
                note("main", step == 1 ? "Ok (sub-matrix)" : "SubM off");
                click(d, step == 1 ? kEditorOk : kSubM);
            }
            break;
        }
        case 12: {
            const int how = rng_.below(3);
            note("main", how == 0   ? "button Sistema >"
                         : how == 1 ? "menu Hacer sistema"
                                    : "menu Sistema de ecuaciones");
            if (how == 0) {
                click(d, kToSystem);
            } else {
                menu(d, how == 1 ? kToSystem : kSystemWindow);
            }
            break;
        }
        case 13:
            note("main", "menu Edición utilidades");
            menu(d, 501);
            break;
        case 14: {
            const int id =
                kFirstUtilityId + rng_.between(1, static_cast<int>(Utilities().count()) + 1);
            note("main", "menu utility " + std::to_string(id));
            menu(d, id);
            break;
        }
        case 15: {
            const int id = rng_.chance(50) ? kInfo : kContact;
            note("main", "menu " + std::to_string(id));
            menu(d, id);
            break;
        }
        case 16:
            note("main", "menu Respecto Velmora");
            menu(d, kAbout);
            break;
        default: {
            const bool box = rng_.chance(50);
            note("main", box ? "close box" : "Esc");
            if (box) {
                d.close();
            } else {
                QWidget* focus = d.focusWidget();
                key(focus != nullptr && focus->window() == &d ? focus : &d, Qt::Key_Escape);
            }
            break;
        }
    }
}

// --- the system window ---

void Driver::actOnSystem(TemplateDialog& d) {
    const SystemSnapshot before = Snapshot(d);
    const int kind = Choose(rng_, {25, 10, 5, 10, 6, 3, 8, 5, 2, 3, 3, 8, 3, 3, 2, 3, 1});
    actOnSystem(d, kind);
    if (d.ended()) return;
    if (dialogs_.said("No se ha cambiado nada")) {
        CheckUnchanged(before, Snapshot(d), "the last action");
    } else if (dialogs_.shown("Error sistema")) {
        CheckRefusedGrid(before, Snapshot(d), kind == 0, kind == 1);
    }
}

void Driver::actOnSystem(TemplateDialog& d, int kind) {
    // The comment box's list may be down (after "<<"): a user closes it or picks from it.
    if (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr && rng_.chance(50)) {
        note("system", "Esc on the dropped list");
        key(popup, Qt::Key_Escape);
        return;
    }
    auto* comments = qobject_cast<QComboBox*>(d.item(150));
    const int inner = InnerChild(d, 150);
    const auto enabledCell = [&]() {
        std::vector<int> cells;
        for (int id = CellId(1, 1); id <= CellId(4, 5); ++id) {
            if (IsItemEnabled(d, id)) cells.push_back(id);
        }
        return cells.empty() ? 0 : rng_.pick(cells);
    };
    switch (kind) {
        case 0: {
            const int id = enabledCell();
            note("system", "type into cell " + std::to_string(id));
            if (id != 0) typeInto(d, id, rng_.chance(10) ? PasteText(rng_) : NumberText(rng_));
            break;
        }
        case 1: {
            QWidget* focus = d.focusWidget();
            if (focus == nullptr || focus->window() != &d || rng_.chance(30)) {
                const int id = enabledCell();
                note("system", "click cell " + std::to_string(id));
                if (id != 0) click(d, id);
                focus = d.focusWidget();
            }
            note("system", "Enter in " + std::to_string(d.idOf(focus)));
            key(focus != nullptr ? focus : &d, Qt::Key_Return);
            break;
        }
        case 2:
            note("system", "Ok");
            click(d, 1);
            break;
        case 3: {
            const int id = rng_.chance(50) ? 50 : 51;
            auto* bar = qobject_cast<QScrollBar*>(d.item(id));
            switch (rng_.below(3)) {
                case 0: {
                    const QPoint at(rng_.below(bar->width()), rng_.below(bar->height()));
                    note("system", "click scroll bar " + std::to_string(id) + " at " +
                                       std::to_string(at.x()) + ", " + std::to_string(at.y()));
                    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, at);
                    break;
                }
                case 1: {
                    const QAbstractSlider::SliderAction actions[] = {
                        QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
                        QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub};
                    const int a = rng_.below(4);
                    note("system",
                         "scroll bar " + std::to_string(id) + " action " + std::to_string(a));
                    bar->triggerAction(actions[a]);
                    break;
                }
                default: {
                    const int to = rng_.between(0, 6);
                    note("system",
                         "drag scroll bar " + std::to_string(id) + " to " + std::to_string(to));
                    bar->setSliderPosition(to);
                    break;
                }
            }
            break;
        }
        case 4:
        case 5: {
            // "rnd" and "nuevo", as buttons or as menu items of the same id.
            const int id = kind == 4 ? 8 : 9;
            const bool viaMenu = rng_.chance(30);
            note("system",
                 std::string(viaMenu ? "menu " : "") +
                     (kind == 4 ? (viaMenu ? "Generar" : "rnd") : (viaMenu ? "Nuevo" : "nuevo")));
            if (viaMenu) {
                menu(d, id);
            } else {
                click(d, id);
            }
            break;
        }
        case 6: {
            if (rng_.chance(50)) {
                note("system", "comment");
                typeInto(d, inner, CommentText(rng_));
            }
            note("system", "<<");
            click(d, 15);
            break;
        }
        case 7:
            note("system", "comment");
            typeInto(d, inner, CommentText(rng_));
            break;
        case 8:
            note("system", "reset");
            click(d, 16);
            break;
        case 9:
            note("system", "X");
            click(d, 17);
            break;
        case 10:
            if (rng_.chance(60)) {
                note("system", "comment");
                typeInto(d, inner, CommentText(rng_));
            }
            note("system", "rename Ok");
            click(d, 18);
            break;
        case 11: {
            const int count = comments->count();
            const int how = rng_.below(3);
            if (how == 0 && count > 0) {
                const int k = rng_.between(1, count);
                note("system", "pick " + std::to_string(k));
                d.pick(150, k);
            } else if (how == 1) {
                const bool down = rng_.chance(70);
                note("system", down ? "Down in the comment box" : "Up in the comment box");
                clickWidget(comments->lineEdit());
                key(comments->lineEdit(), down ? Qt::Key_Down : Qt::Key_Up);
            } else {
                const int steps = rng_.between(0, 3);
                note("system", "drop the list, " + std::to_string(steps) + " x Down, Enter");
                if (QApplication::activePopupWidget() == nullptr) comments->showPopup();
                for (int k = 0; k < steps; ++k) key(comments->view(), Qt::Key_Down);
                key(comments->view(), Qt::Key_Return);
            }
            break;
        }
        case 12:
            note("system", "menu Abrir");
            dialogs_.openPurpose = OpenPurpose::Load;
            menu(d, 205);
            dialogs_.openPurpose = OpenPurpose::Other;
            break;
        case 13: {
            // Guardar, Pasos..., Copiar, Copiar LaTeX, Pegar.
            const int id = rng_.pick(std::vector<int>{210, 220, 311, 312, 313});
            note("system", "menu " + std::to_string(id));
            menu(d, id);
            break;
        }
        case 14:
            note("system", "menu Añadir a fichero");
            dialogs_.openPurpose = OpenPurpose::Append;
            menu(d, 215);
            dialogs_.openPurpose = OpenPurpose::Other;
            break;
        case 15: {
            const int how = rng_.below(4);
            note("system", how == 0   ? "salir"
                           : how == 1 ? "Salir"
                           : how == 2 ? "Esc"
                                      : "close box");
            if (how == 0) {
                click(d, 2);
            } else if (how == 1) {
                // The second button with id 2.
                for (int k = 0; QWidget* w = d.itemAt(k); ++k) {
                    if (d.idOf(w) == 2 && w != d.item(2)) clickWidget(w);
                }
            } else if (how == 2) {
                QWidget* focus = d.focusWidget();
                key(focus != nullptr && focus->window() == &d ? focus : &d, Qt::Key_Escape);
            } else {
                d.close();
            }
            break;
        }
        default:
            meddleWithFiles();
            break;
    }
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
