// TemplateDialog: the events delivered to its handler, the way a failure is
// undone, running it, and the keys, clicks and scrolling of its controls.
// It is built from its template in template_dialog_controls.cpp.
#include "gui/toolkit/template_dialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <string>

#include "core/arith/fraction.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/qt_text.h"

namespace velmora {

using res::ControlKind;

TemplateDialog::TemplateDialog(const res::DialogTemplate& tmpl, DialogHandler& handler,
                               DialogColours colours, QWidget* parent)
    : QDialog(parent), tmpl_(tmpl), handler_(handler), colours_(colours) {
    build();
    RegisterWindowDC(this, &ownPane_->dc());
}

TemplateDialog::~TemplateDialog() {
    UnregisterWindowDC(this);
    if (CurrentDC != nullptr) {
        // A pane of this dialog must not stay the current device context.
        if (CurrentDC == &ownPane_->dc()) CurrentDC = nullptr;
        for (const Control& c : controls_) {
            if (c.pane != nullptr && CurrentDC == &c.pane->dc()) CurrentDC = nullptr;
        }
    }
}

void WarnOverflow() {
    ShowMessageStyled("Desbordamiento",
                      "El resultado no cabe en fracciones de 32 bits. No se ha cambiado nada.",
                      kMbIconExclamation);
}

void WarnUnexpectedError(std::string_view what) {
    std::string text = "La orden no se ha podido completar";
    if (!what.empty()) text += " (" + std::string(what) + ")";
    ShowMessageStyled("Error", text + ". No se ha cambiado nada.", kMbIconExclamation);
}

namespace {

// Modeless loops running now (runModeless): while one runs, the other
// windows take the user's commands inside the event that opened it.
int modelessLoops = 0;

}  // namespace

template <typename F>
void TemplateDialog::deliver(F&& f, bool painting) {
    // Outermost: no event of this dialog is being delivered, or the user's
    // command came through a modeless loop started inside one (a paint there
    // still belongs to the event it interrupts).
    const bool outer = depth_ == 0 || (!painting && modelessLoops != outerLoops_);
    const int loopsBefore = outerLoops_;
    if (outer) outerLoops_ = modelessLoops;
    ++depth_;
    try {
        if (outer) handler_.checkpoint(*this);
        handler_.beforeEvent(*this);
        f();
        if (!ended_) handler_.beforeEvent(*this);
    } catch (...) {
        --depth_;
        outerLoops_ = loopsBefore;
        failed(std::current_exception(), outer, painting);
        return;
    }
    --depth_;
    outerLoops_ = loopsBefore;
}

void ReportFailure(std::exception_ptr error) {
    static bool reporting = false;
    if (reporting) return;
    reporting = true;
    try {
        try {
            std::rethrow_exception(error);
        } catch (const ArithmeticOverflow&) {
            WarnOverflow();
        } catch (const std::exception& e) {
            WarnUnexpectedError(e.what());
        } catch (...) {
            WarnUnexpectedError({});
        }
    } catch (...) {
        // The box itself failed (no memory left): nothing more to show.
    }
    reporting = false;
}

// An event failed. The window puts its state back (only for an outermost
// event: one delivered inside another is part of that other's work), and the
// user is told; a paint that fails again is not reported again.
void TemplateDialog::failed(std::exception_ptr error, bool outer, bool painting) {
    try {
        if (outer) handler_.rollback(*this);
        if (!ended_) handler_.beforeEvent(*this);
    } catch (...) {
        // Nothing more can be done; the box below still tells the user.
    }
    if (painting && paintReported_) return;
    if (painting) paintReported_ = true;
    ReportFailure(error);
}

void TemplateDialog::initialise() {
    if (initialised_) return;
    initialised_ = true;
    deliver([this] { handler_.onInit(*this); });
}

int TemplateDialog::run() {
    initialise();
    if (ended_) return result_;
    exec();
    return result_;
}

int TemplateDialog::runModeless() {
    initialise();
    if (ended_) return result_;
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    if (!ended_) {
        ++modelessLoops;
        loop.exec();
        --modelessLoops;
    }
    return result_;
}

void TemplateDialog::start() {
    initialise();
    if (!ended_) show();
}

void TemplateDialog::end(int result) {
    ended_ = true;
    result_ = result;
    done(result);
}

void TemplateDialog::command(int id, int notification) {
    deliver([&] { handler_.onCommand(*this, id, notification); });
}

void TemplateDialog::click(int id) {
    QWidget* w = item(id);
    auto* b = qobject_cast<QAbstractButton*>(w);
    if (b == nullptr || !b->isEnabled()) return;
    b->setFocus(Qt::MouseFocusReason);
    b->click();  // checks radio buttons and check boxes, then the command arrives
}

void TemplateDialog::pick(int id, int position) {
    QWidget* w = item(id);
    beginQuiet();
    if (auto* box = qobject_cast<QComboBox*>(w)) box->setCurrentIndex(position - 1);
    if (auto* list = qobject_cast<QListWidget*>(w)) list->setCurrentRow(position - 1);
    endQuiet();
    command(id, kNotifySelChange);
}

void TemplateDialog::paint() {
    deliver([this] { handler_.onPaint(*this); }, true);
}

void TemplateDialog::invalidate() {
    if (paintPending_) return;
    paintPending_ = true;
    QTimer::singleShot(0, this, [this] {
        paintPending_ = false;
        if (!ended_) paint();
    });
}

void TemplateDialog::mouseDown(int x, int y) {
    deliver([&] { handler_.onMouseDown(*this, x, y); });
}

void TemplateDialog::contextMenu(int x, int y) {
    deliver([&] { handler_.onContextMenu(*this, x, y); });
}

void TemplateDialog::scroll(int id, int code, int pos) {
    deliver([&] { handler_.onScroll(*this, id, code, pos); });
}

void TemplateDialog::onScrollAction(int id, int action) {
    auto* bar = qobject_cast<QScrollBar*>(item(id));
    if (bar == nullptr) return;
    const int dragged = bar->sliderPosition();
    // The bar does not move by itself: the window sets the new position.
    bar->setSliderPosition(bar->value());
    int code = -1;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            code = kScrollLineUp;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            code = kScrollLineDown;
            break;
        case QAbstractSlider::SliderPageStepSub:
            code = kScrollPageUp;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            code = kScrollPageDown;
            break;
        case QAbstractSlider::SliderMove:
            code = kScrollThumbTrack;
            break;
        default:
            return;
    }
    scroll(id, code, code == kScrollThumbTrack ? dragged : bar->value());
}

QWidget* TemplateDialog::item(int id) const {
    if (id >= kInnerEditBase) id -= kInnerEditBase;
    for (const Control& c : controls_) {
        if (c.id == id) return c.widget;
    }
    return nullptr;
}

QWidget* TemplateDialog::itemAt(int index) const {
    return index >= 0 && index < static_cast<int>(controls_.size()) ? controls_[index].widget
                                                                    : nullptr;
}

int TemplateDialog::idOf(const QWidget* widget) const {
    if (widget == nullptr) return 0;
    for (const Control& c : controls_) {
        if (c.widget == widget || (c.kind == ControlKind::DropDown &&
                                   static_cast<const QComboBox*>(c.widget)->lineEdit() == widget)) {
            return c.kind == ControlKind::DropDown ? c.id + kInnerEditBase : c.id;
        }
    }
    return 0;
}

DrawingPane* TemplateDialog::paneOf(int id) const {
    for (const Control& c : controls_) {
        if (c.id == id && c.pane != nullptr) return c.pane;
    }
    return nullptr;
}

QRect TemplateDialog::itemRect(int id) const {
    QWidget* w = item(id);
    return w == nullptr ? QRect() : w->geometry();
}

QPoint TemplateDialog::toPane(int id, QPoint clientPoint) const {
    DrawingPane* pane = paneOf(id);
    return pane == nullptr ? clientPoint : clientPoint - pane->pos();
}

int TemplateDialog::shortcutCommand(const QKeyEvent& key) const {
    const QKeySequence pressed(key.keyCombination());
    for (const QMenu* popup : popups_) {
        for (const QAction* a : popup->actions()) {
            if (a->isEnabled() && !a->shortcut().isEmpty() &&
                a->shortcut().matches(pressed) == QKeySequence::ExactMatch) {
                return a->data().toInt();
            }
        }
    }
    return 0;
}

namespace {

// A one-line edit takes pasted text without its line breaks (a
// spreadsheet's cell comes with one). True when it has taken it so.
bool PasteOneLine(QObject* watched) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit == nullptr || edit->isReadOnly()) return false;
    QString text = QGuiApplication::clipboard()->text();
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'))) return false;
    edit->insert(text.remove(QLatin1Char('\r')).remove(QLatin1Char('\n')));
    return true;
}

}  // namespace

bool TemplateDialog::eventFilter(QObject* watched, QEvent* event) {
    // Text that can only be read keeps Ctrl+C for what is selected in it; the
    // menu's Copiar has it when nothing is.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* text = qobject_cast<QPlainTextEdit*>(watched);
        if (text != nullptr && text->isReadOnly() && text->textCursor().hasSelection() &&
            static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
            // A menu shortcut reaches a control only when the control takes
            // the key itself (an edit's copy and paste); the window may want
            // its command instead.
            const int id = shortcutCommand(*key);
            const int control = id == 0 ? 0 : idOf(qobject_cast<QWidget*>(watched));
            bool instead = false;
            try {
                instead = control != 0 && handler_.commandOverControl(*this, id, control);
            } catch (...) {
                // The control keeps the key.
            }
            if (instead) {
                command(id);
                return true;
            }
        }
        if (key->matches(QKeySequence::Paste) && PasteOneLine(watched)) return true;
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return QDialog::eventFilter(watched, event);
        if (paneKey(watched, key->key())) return true;
        const bool breaksLines =
            std::any_of(controls_.begin(), controls_.end(), [watched](const Control& c) {
                return c.widget == watched && (c.style & res::kWantReturn);
            });
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !breaksLines) {
            pressEnter();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            pressEscape();
            return true;
        }
    }
    if (watched == client_ && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint p = mouse->position().toPoint();
        if (mouse->button() == Qt::LeftButton) {
            mouseDown(p.x(), p.y());
            return true;
        }
        if (mouse->button() == Qt::RightButton) {
            contextMenu(p.x(), p.y());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TemplateDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        pressEnter();
    } else if (event->key() == Qt::Key_Escape) {
        pressEscape();
    } else if (!scrollPaneByKey(event->key())) {
        QDialog::keyPressEvent(event);
    }
}

bool TemplateDialog::paneKey(QObject* watched, int key) {
    for (const Control& c : controls_) {
        if (c.widget != watched || c.kind != ControlKind::Pane) continue;
        bool taken = false;
        deliver([&] { taken = handler_.onKey(*this, c.id, key); });
        return taken;
    }
    return false;
}

// The keys of a page: the first scrolling pane moves a page, or to its top
// or bottom.
bool TemplateDialog::scrollPaneByKey(int key) {
    QAbstractSlider::SliderAction action = QAbstractSlider::SliderNoAction;
    switch (key) {
        case Qt::Key_PageUp:
            action = QAbstractSlider::SliderPageStepSub;
            break;
        case Qt::Key_PageDown:
            action = QAbstractSlider::SliderPageStepAdd;
            break;
        case Qt::Key_Home:
            action = QAbstractSlider::SliderToMinimum;
            break;
        case Qt::Key_End:
            action = QAbstractSlider::SliderToMaximum;
            break;
        default:
            return false;
    }
    for (const Control& c : controls_) {
        if (c.kind != ControlKind::Pane || !(c.style & res::kVScroll)) continue;
        static_cast<QScrollArea*>(c.widget)->verticalScrollBar()->triggerAction(action);
        return true;
    }
    return false;
}

void TemplateDialog::closeEvent(QCloseEvent* event) {
    // The close box is command 2; the window decides whether to end.
    event->ignore();
    if (!ended_) pressEscape();
}

void TemplateDialog::reject() {
    if (!ended_) pressEscape();
}

void TemplateDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (tmpl_.centred) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    invalidate();
}

}  // namespace velmora
