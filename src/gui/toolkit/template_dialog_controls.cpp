// TemplateDialog: the dialog built from its template, its controls, menu
// and colours, and the drawing panes it places.
#include "gui/toolkit/template_dialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>
#include <string>

#include "core/arith/fraction.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/qt_text.h"

namespace velmora {

using res::ControlKind;

namespace {

// An image of `size` layout pixels at `ratio` device pixels each way.
QImage DenseImage(QSize size, qreal ratio) {
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    return image;
}

}  // namespace

DrawingPane::DrawingPane(QSize size, QWidget* parent)
    : QWidget(parent), image_(DenseImage(size, parent->devicePixelRatioF())), dc_(&image_) {
    image_.fill(Qt::transparent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(size);
    // Nothing to show until something is drawn: a hidden pane costs nothing
    // when the widgets under it repaint.
    hide();
    dc_.setChangeListener([this] {
        if (!opaque_) becomeOpaque();
        if (isHidden()) show();
        if (!updatePending_) update();  // one request until the next paint
        updatePending_ = true;
    });
}

// Once its window is on screen, the pane takes a picture of what lies under
// it (the group box's frame and caption, the dialog's colour), at its own
// density, and keeps drawing on top of that picture. An opaque pane repaints
// by copying pixels, and Qt no longer repaints the widgets under it.
void DrawingPane::becomeOpaque() {
    QWidget* under = parentWidget();
    if (under == nullptr || !window()->isVisible()) return;
    const bool shown = isVisible();
    if (shown) hide();
    dc_.flush();
    QImage picture = DenseImage(size(), image_.devicePixelRatio());
    picture.fill(Qt::transparent);
    under->render(&picture, QPoint(), QRegion(geometry()),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    QPainter p(&picture);
    p.drawImage(0, 0, image_);
    p.end();
    image_ = picture;
    setAttribute(Qt::WA_OpaquePaintEvent);
    opaque_ = true;
    if (shown) show();
}

void DrawingPane::resizeSurface(QSize size, Colour fill) {
    dc_.flush();
    image_ = DenseImage(size, image_.devicePixelRatio());
    image_.fill(ToQColor(fill));
    // Nothing shows through: no picture of what lies under it is needed.
    setAttribute(Qt::WA_OpaquePaintEvent);
    opaque_ = true;
    resize(size);
    if (isHidden()) show();
    update();
}

void DrawingPane::paintEvent(QPaintEvent* event) {
    updatePending_ = false;
    dc_.flush();
    QPainter p(this);
    if (opaque_) p.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect dirty = event->rect();
    // The image's own pixels of that part of the pane.
    const qreal ratio = image_.devicePixelRatio();
    p.drawImage(dirty, image_,
                ratio == 1 ? QRectF(dirty)
                           : QRectF(dirty.x() * ratio, dirty.y() * ratio, dirty.width() * ratio,
                                    dirty.height() * ratio));
}

namespace {

void SetBackground(QWidget* w, QPalette::ColorRole role, Colour c) {
    QPalette pal = w->palette();
    pal.setColor(role, ToQColor(c));
    w->setPalette(pal);
}

bool IsStatic(ControlKind k) {
    return k == ControlKind::Label || k == ControlKind::GroupBox || k == ControlKind::Radio ||
           k == ControlKind::CheckBox;
}

// The platform style's focus mark is a faint tint of the highlight colour,
// lost on the blue of the dialogs. Buttons, radio buttons and check boxes
// reached with the keyboard wear a black ring instead: inside a button's
// frame, around the text of the others.
class FocusRingStyle final : public QProxyStyle {
  public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const bool keyboard = (option->state & State_KeyboardFocusChange) != 0;
        if (element == PE_FrameFocusRect) {
            if (keyboard) Ring(painter, option->rect);
            return;
        }
        if (element == PE_PanelLineEdit && qobject_cast<const QLineEdit*>(widget) != nullptr) {
            FlatPanel(painter, *option);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (element == PE_PanelButtonCommand && keyboard && (option->state & State_HasFocus))
            Ring(painter, option->rect.adjusted(3, 3, -3, -3));
    }

  private:
    // A box for text drawn flat: its ground and a one-pixel frame in the
    // window's colour, darker (the platform style's), two pixels of the
    // highlight while it has the keyboard. The rounded, shaded frame
    // of the platform style costs as much again as the rest of the window
    // when a command rewrites the grid's twenty cells.
    static void FlatPanel(QPainter* painter, const QStyleOption& option) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->fillRect(option.rect, option.palette.brush(QPalette::Base));
        const bool focus = (option.state & State_HasFocus) != 0;
        const QColor outline = focus ? option.palette.color(QPalette::Highlight)
                                     : option.palette.color(QPalette::Window).darker(140);
        painter->setPen(outline);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        if (focus) painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
        painter->restore();
    }
    static void Ring(QPainter* painter, const QRect& rect) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(Qt::black, 1));
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

QStyle* FocusRing() {
    static QStyle* style = new FocusRingStyle;  // for the whole run, as the application's own
    return style;
}

// The room a one-line edit has for its text: its width less the frame and
// the margins the edit keeps on either side.
int TextRoom(const QLineEdit& edit) {
    const QMargins margins = edit.textMargins();
    return edit.width() - 2 * edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) -
           margins.left() - margins.right() - 4;
}

}  // namespace

int TemplateDialog::unitsToPixelsX(int units) const {
    return static_cast<int>(std::lround(units * tmpl_.font.pxPerUnitX));
}

int TemplateDialog::unitsToPixelsY(int units) const {
    return static_cast<int>(std::lround(units * tmpl_.font.pxPerUnitY));
}

void TemplateDialog::build() {
    setWindowTitle(ToQString(tmpl_.title));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    client_ = new QWidget(this);
    client_->setFixedSize(unitsToPixelsX(tmpl_.w), unitsToPixelsY(tmpl_.h));
    QFont font(tmpl_.font.face.empty() ? QStringLiteral("Liberation Sans")
                                       : ToQString(tmpl_.font.face));
    font.setPixelSize(tmpl_.font.pixelSize);
    client_->setFont(font);
    client_->installEventFilter(this);
    layout->addWidget(client_);

    ownPane_ = new DrawingPane(client_->size(), client_);

    if (tmpl_.menu != nullptr) buildMenu(*tmpl_.menu);

    QButtonGroup* radios = nullptr;
    for (const res::ControlTemplate& c : tmpl_.controls) {
        if (c.style & res::kGroupStart) radios = nullptr;
        QWidget* w = makeControl(c);
        if (c.kind == ControlKind::Radio) {
            // Radio buttons from one group start to the next exclude each other.
            if (radios == nullptr) {
                radios = new QButtonGroup(this);
                radios->setExclusive(true);
            }
            radios->addButton(static_cast<QAbstractButton*>(w));
        }
    }
    applyColours();

    if (!tmpl_.centred) move(unitsToPixelsX(tmpl_.x), unitsToPixelsY(tmpl_.y));
}

void TemplateDialog::buildMenu(const res::MenuTemplate& menu) {
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    layout()->setMenuBar(menuBar_);
    for (const res::PopupTemplate& p : menu.popups) {
        QMenu* popup = menuBar_->addMenu(ToQString(p.text));
        for (const res::MenuItemTemplate& item : p.items) {
            if (item.id == 0 && item.text.empty()) {
                popup->addSeparator()->setData(0);
                continue;
            }
            // "Copiar\tCtrl+C": the text, and the key that chooses the item.
            const std::size_t tab = item.text.find('\t');
            QAction* action = popup->addAction(ToQString(item.text.substr(0, tab)));
            action->setData(item.id);
            if (tab != std::string_view::npos) {
                action->setShortcut(QKeySequence(ToQString(item.text.substr(tab + 1))));
            }
        }
        connect(popup, &QMenu::triggered, this, [this](QAction* a) { command(a->data().toInt()); });
        popups_.push_back(popup);
    }
}

QWidget* TemplateDialog::makeControl(const res::ControlTemplate& c) {
    const QRect r(unitsToPixelsX(c.x), unitsToPixelsY(c.y),
                  unitsToPixelsX(c.x + c.w) - unitsToPixelsX(c.x),
                  unitsToPixelsY(c.y + c.h) - unitsToPixelsY(c.y));
    const QString text = ToQString(c.text);
    const int id = c.id;
    QWidget* w = nullptr;
    DrawingPane* pane = nullptr;
    switch (c.kind) {
        case ControlKind::Label: {
            auto* l = new QLabel(text, client_);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            l->setTextFormat(Qt::PlainText);
            l->setAttribute(Qt::WA_TransparentForMouseEvents);
            w = l;
            break;
        }
        case ControlKind::GroupBox: {
            auto* g = new QGroupBox(text, client_);
            g->setAttribute(Qt::WA_TransparentForMouseEvents);
            g->setFocusPolicy(Qt::NoFocus);
            w = g;
            break;
        }
        case ControlKind::Button: {
            auto* b = new QPushButton(text, client_);
            b->setStyle(FocusRing());
            b->setAutoDefault(false);
            b->setDefault(false);
            connect(b, &QPushButton::clicked, this, [this, id] { command(id); });
            w = b;
            break;
        }
        case ControlKind::Radio:
        case ControlKind::CheckBox: {
            QAbstractButton* b =
                c.kind == ControlKind::Radio
                    ? static_cast<QAbstractButton*>(new QRadioButton(text, client_))
                    : new QCheckBox(text, client_);
            b->setStyle(FocusRing());
            connect(b, &QAbstractButton::clicked, this, [this, id] { command(id); });
            w = b;
            break;
        }
        case ControlKind::Edit: {
            auto* e = new QLineEdit(client_);
            e->setStyle(FocusRing());
            e->setReadOnly(c.style & res::kReadOnly);
            if (c.style & res::kCentred) e->setAlignment(Qt::AlignCenter);
            e->setTextMargins(0, 0, 0, 0);
            connect(e, &QLineEdit::textEdited, this,
                    [this, id] { command(id, kNotifyEditChange); });
            // A text cut by the edit's width can still be read whole.
            connect(e, &QLineEdit::textChanged, e, [e](const QString& now) {
                e->setToolTip(e->fontMetrics().horizontalAdvance(now) > TextRoom(*e) ? now
                                                                                     : QString());
            });
            w = e;
            break;
        }
        case ControlKind::MultiLineEdit: {
            auto* e = new QPlainTextEdit(client_);
            e->setReadOnly(c.style & res::kReadOnly);
            // Read-only text can still be selected, with the mouse or the keys, and copied.
            if (c.style & res::kReadOnly)
                e->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
            e->setTabChangesFocus(true);
            // What the user types or pastes notifies; what the program sets does not.
            connect(e, &QPlainTextEdit::textChanged, this, [this, id] {
                if (!quiet()) command(id, kNotifyEditChange);
            });
            w = e;
            break;
        }
        case ControlKind::DropDown:
        case ControlKind::DropList: {
            auto* box = new QComboBox(client_);
            box->setEditable(c.kind == ControlKind::DropDown);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->setDuplicatesEnabled(true);
            connect(box, &QComboBox::activated, this,
                    [this, id] { command(id, kNotifySelChange); });
            if (box->lineEdit() != nullptr) {
                // Typed text stays as typed: no completion from the entries.
                box->setCompleter(nullptr);
                // A finished edit (the field losing the focus, as when the list
                // drops down) whose text matches an entry would otherwise count
                // as picking that entry: only a pick from the list picks.
                disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
                box->lineEdit()->installEventFilter(this);
            }
            w = box;
            break;
        }
        case ControlKind::ListBox: {
            auto* list = new QListWidget(client_);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            if (c.style & res::kSorted) list->setSortingEnabled(true);
            if (c.style & res::kNotify) {
                // Told once the selection has changed: a mouse click moves the
                // current row first and selects it after, so the current row's
                // signal would come while the old entry is still the selected one.
                connect(list, &QListWidget::itemSelectionChanged, this, [this, id] {
                    if (!quiet()) command(id, kNotifySelChange);
                });
            }
            w = list;
            break;
        }
        case ControlKind::HScrollBar:
        case ControlKind::VScrollBar: {
            auto* bar = new QScrollBar(
                c.kind == ControlKind::HScrollBar ? Qt::Horizontal : Qt::Vertical, client_);
            bar->setRange(0, 100);
            bar->setPageStep(1);
            bar->setFocusPolicy(Qt::NoFocus);
            connect(bar, &QScrollBar::actionTriggered, this,
                    [this, id](int action) { onScrollAction(id, action); });
            w = bar;
            break;
        }
        case ControlKind::Pane: {
            if (c.style & res::kVScroll) {
                // Contents taller than the place scroll; the window sizes the
                // surface with DrawingPane::resizeSurface.
                auto* area = new QScrollArea(client_);
                area->setFrameShape(QFrame::StyledPanel);
                area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
                area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
                const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
                const int frame = 2 * area->frameWidth();
                pane = new DrawingPane(QSize(r.width() - bar - frame, r.height() - frame),
                                       area->viewport());
                area->setWidget(pane);
                w = area;
            } else {
                pane = new DrawingPane(r.size(), client_);
                w = pane;
            }
            break;
        }
    }
    QRect place = r;
    if (c.kind == ControlKind::DropDown || c.kind == ControlKind::DropList) {
        // The template height includes the dropped list; the closed box is one line.
        place.setHeight(std::min(r.height(), unitsToPixelsY(11)));
        auto* box = static_cast<QComboBox*>(w);
        box->setMaxVisibleItems(
            std::max(1, (r.height() - place.height()) / std::max(1, box->fontMetrics().height())));
    }
    if (c.kind == ControlKind::CheckBox && c.text.empty()) {
        // A bare check box is all indicator, drawn to the template's size.
        const int side = std::min(place.width(), place.height()) - 1;
        w->setStyleSheet(
            QStringLiteral(
                "QCheckBox { spacing: 0px; } QCheckBox::indicator { width: %1px; height: %1px; }")
                .arg(side));
    }
    w->setGeometry(place);
    if (c.style & res::kNoTabStop) w->setFocusPolicy(Qt::ClickFocus);
    w->installEventFilter(this);
    if (c.style & res::kDrawingArea) {
        pane = new DrawingPane(r.size(), client_);
        pane->move(r.topLeft());
    }
    controls_.push_back({id, c.kind, c.style, w, pane});
    return w;
}

void TemplateDialog::setColours(const DialogColours& colours) {
    colours_ = colours;
    applyColours();
}

void TemplateDialog::applyColours() {
    if (colours_.dialog) {
        client_->setAutoFillBackground(true);
        SetBackground(client_, QPalette::Window, *colours_.dialog);
        SetBackground(this, QPalette::Window, *colours_.dialog);
    }
    for (const Control& c : controls_) {
        const bool readOnlyEdit = c.kind == ControlKind::Edit && (c.style & res::kReadOnly);
        if (colours_.statics && (IsStatic(c.kind) || readOnlyEdit)) {
            if (readOnlyEdit) {
                SetBackground(c.widget, QPalette::Base, *colours_.statics);
            } else {
                // Buttons paint their background in the Button role, the others in Window.
                c.widget->setAutoFillBackground(true);
                SetBackground(c.widget, c.widget->backgroundRole(), *colours_.statics);
            }
        }
        const bool edit = (c.kind == ControlKind::Edit && !readOnlyEdit) ||
                          c.kind == ControlKind::MultiLineEdit || c.kind == ControlKind::DropDown;
        if (colours_.edits && edit) SetBackground(c.widget, QPalette::Base, *colours_.edits);
        if (colours_.statics && edit) {
            // A disabled edit paints like a static, as in classic dialogs, so
            // the cells in use stand out from the others.
            QPalette pal = c.widget->palette();
            pal.setColor(QPalette::Disabled, QPalette::Base, ToQColor(*colours_.statics));
            c.widget->setPalette(pal);
        }
        if (colours_.scrollBars &&
            (c.kind == ControlKind::HScrollBar || c.kind == ControlKind::VScrollBar)) {
            for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base}) {
                SetBackground(c.widget, role, *colours_.scrollBars);
            }
        }
    }
}

}  // namespace velmora
