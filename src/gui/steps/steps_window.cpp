#include "gui/steps/steps_window.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "core/check/check_text.h"
#include "gui/drawing/matrix_drawing.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"

namespace velmora {

namespace {

using K = res::ControlKind;

// Laid out in pixels; placed beside the window it belongs to when it opens.
const res::DialogTemplate kPasos{
    "Pasos",
    "Pasos",
    0,
    0,
    600,
    440,
    false,
    res::kPixelUnits,
    nullptr,
    {
        // As wide as the longest line of a system's steps, so that only a
        // wide matrix needs the horizontal scroll bar.
        {StepsWindow::kPane, K::Pane, "", 8, 8, 584, 392, res::kVScroll},
        // "Comprobar mis pasos": the working on the left, its marks on the right.
        {StepsWindow::kWorking, K::MultiLineEdit, "", 8, 8, 236, 392, res::kWantReturn},
        {StepsWindow::kMarks, K::Pane, "", 252, 8, 340, 392, res::kVScroll},
        {StepsWindow::kCopy, K::Button, "Copiar", 8, 408, 90, 24},
        {StepsWindow::kCopyLatex, K::Button, "Copiar LaTeX", 106, 408, 110, 24},
        {StepsWindow::kOpen, K::Button, "Abrir...", 106, 408, 80, 24},
        {StepsWindow::kSave, K::Button, "Guardar...", 194, 408, 80, 24},
        {StepsWindow::kCheck, K::Button, "Comprobar mis pasos", 282, 408, 150, 24},
        {StepsWindow::kClose, K::Button, "Cerrar", 502, 408, 90, 24},
    }};

// The same without the student's working, with the buttons of a result
// before "Cerrar": "Pasos..." and "<-".
res::DialogTemplate ResultTemplate() {
    res::DialogTemplate t = kPasos;
    t.name = t.title = "Resultado";
    std::erase_if(t.controls, [](const res::ControlTemplate& c) {
        return c.id == StepsWindow::kWorking || c.id == StepsWindow::kMarks ||
               c.id == StepsWindow::kOpen || c.id == StepsWindow::kSave ||
               c.id == StepsWindow::kCheck;
    });
    t.controls.insert(t.controls.end() - 1,
                      {{StepsWindow::kSteps, K::Button, "Pasos...", 224, 408, 90, 24},
                       {StepsWindow::kStore, K::Button, "<-", 322, 408, 50, 24}});
    return t;
}
const res::DialogTemplate kResult = ResultTemplate();

// Distances in the pane, in pixels of the usual 16 x 6 font.
constexpr int kMargin = 8;
constexpr int kLineHeight = 18;  // a line of notation and the gap under it
constexpr int kMatrixIndent = 20;
constexpr int kGap = 12;  // after a matrix
// Coordinates of the drawing are 16-bit: the steps past this height are
// left out, an ellipsis saying so (Copiar still gives them all).
constexpr int kMostHeight = 30000;

// A case's steps are drawn one indent further right than its condition,
// with a guide line down their left; the condition wears its disclosure mark.
constexpr int kCaseIndent = 24;
constexpr int kMarkWidth = 16;
constexpr int kGuide = 5;  // the guide line, right of the mark's left
constexpr Colour kStepsGuide = Rgb(200, 170, 190);
constexpr Colour kStepsFocus = Rgb(90, 90, 90);

int IndentOf(const Step& s) {
    return s.depth * kCaseIndent;
}

}  // namespace

std::vector<bool> HiddenSteps(const std::vector<Step>& steps, const std::vector<bool>& collapsed) {
    std::vector<bool> hidden(steps.size(), false);
    for (std::size_t k = 0; k < steps.size() && k < collapsed.size(); ++k) {
        if (hidden[k] || !steps[k].branch || !collapsed[k]) continue;
        for (std::size_t j = k + 1; j < steps.size() && steps[j].depth > steps[k].depth; ++j)
            hidden[j] = true;
    }
    return hidden;
}

StepsWindow::StepsWindow(QWidget* owner, std::string_view title, StepsWindowExtras extras)
    : extras_(std::move(extras)),
      owner_(owner),
      window_(new TemplateDialog(extras_.isResult() ? kResult : kPasos, *this, DialogColours{},
                                 owner)) {
    window_->setObjectName(QStringLiteral("Pasos"));
    window_->setWindowModality(Qt::NonModal);
    SetWindowTitle(*window_, title);
    if (extras_.isResult()) {
        ShowItemIf(*window_, kSteps, static_cast<bool>(extras_.steps));
        ShowItemIf(*window_, kStore, static_cast<bool>(extras_.store));
    }
}

StepsWindow::~StepsWindow() {
    delete window_.data();  // unless its owner has taken it along already
}

void StepsWindow::open(std::vector<Step> steps, std::string whyNone) {
    if (window_ == nullptr) return;
    const bool shown = isOpen();
    if (!shown) placeBesideOwner();
    window_->start();  // a window shown anew comes to the front by itself
    show(std::move(steps), std::move(whyNone));
    if (shown) {
        window_->raise();
        window_->activateWindow();
    }
}

void StepsWindow::follow(std::vector<Step> steps, std::string whyNone) {
    if (isOpen()) show(std::move(steps), std::move(whyNone));
}

// From the top, with the copy buttons for steps only.
void StepsWindow::show(std::vector<Step> steps, std::string whyNone) {
    steps_ = std::move(steps);
    whyNone_ = std::move(whyNone);
    collapsed_.assign(steps_.size(), false);  // every case open
    current_ = -1;
    keyboard_ = false;
    draw();
    ScrollSetPos(*window_, kPane, 0);
    enableButtons();
}

QPoint BesideOwner(const QRect& owner, const QSize& size, const QRect& screen) {
    int x = owner.right() + 1;
    if (x + size.width() - 1 > screen.right())
        x = std::max(screen.left(), owner.left() - size.width());
    const int y =
        std::max(screen.top(), std::min(owner.top(), screen.bottom() + 1 - size.height()));
    return {x, y};
}

// The window's frame is not there before it is first shown: the owner's
// stands for it, and until then Qt places the inside where it is told.
void StepsWindow::placeBesideOwner() {
    if (owner_ == nullptr || owner_->screen() == nullptr) return;
    const QRect ownerFrame = owner_->frameGeometry();
    const QMargins frame(owner_->geometry().left() - ownerFrame.left(),
                         owner_->geometry().top() - ownerFrame.top(),
                         ownerFrame.right() - owner_->geometry().right(),
                         ownerFrame.bottom() - owner_->geometry().bottom());
    const QSize size = window_->sizeHint().grownBy(frame);
    const QPoint at = BesideOwner(ownerFrame, size, owner_->screen()->availableGeometry());
    const bool framed = window_->frameGeometry() != window_->geometry();
    window_->move(framed ? at : at + QPoint(frame.left(), frame.top()));
}

void StepsWindow::enableStore(bool enable) {
    if (window_ != nullptr && extras_.store) EnableItem(*window_, kStore, enable);
}

bool StepsWindow::isOpen() const {
    return window_ != nullptr && window_->isVisible();
}

void StepsWindow::onCommand(TemplateDialog& d, int id, int notification) {
    switch (id) {
        case kCopy:
            SetClipboardText(checking_ ? MarkedWorkingText(check_, working_) : StepsText(steps_));
            break;
        case kCheck:
            showChecking(!checking_);
            break;
        case kWorking:
            if (notification == kNotifyEditChange) {
                GetItemTextAlloc(d, kWorking, working_);
                recheck();
            }
            break;
        case kOpen:
            openWorking();
            break;
        case kSave:
            saveWorking();
            break;
        case kCopyLatex:
            SetClipboardText(StepsLatex(steps_));
            break;
        case kSteps:
            if (extras_.steps) extras_.steps();
            break;
        case kStore:
            if (extras_.store) extras_.store();
            break;
        case kClose:  // also Esc and the close box
            // Hidden, not ended: opening it again shows it at once.
            d.hide();
            break;
        default:
            break;
    }
}

// Every step in one surface as tall as they are (the pane scrolls it): its
// line in the colour of the panel's letters, its matrix under it in the
// colour of the panel's matrices.
void StepsWindow::draw() {
    DrawingPane* pane = window_->paneOf(kPane);
    if (pane == nullptr) return;
    DeviceContext* before = CurrentDC;
    CurrentDC = &pane->dc();
    drawOn(*pane);
    CurrentDC = before;
}

void StepsWindow::drawOn(DrawingPane& pane) {
    DrawingSize usual({16, 6});
    SelectFont(CurrentDC);
    places_.clear();
    if (steps_.empty()) {
        drawWhyNone(pane);
        return;
    }
    // Measure first: the surface is made once, to size.
    const std::vector<bool> hidden = HiddenSteps(steps_, collapsed_);
    int y = kMargin;
    int width = 0;
    bool cut = false;
    for (std::size_t k = 0; k < steps_.size(); ++k) {
        if (hidden[k]) continue;
        const Step& s = steps_[k];
        const int height = kLineHeight + (s.matrix.empty() ? 0 : s.matrix.rows * 16 + kGap);
        if (y + height > kMostHeight) {
            cut = true;
            break;
        }
        places_.push_back({k, y, y + kLineHeight});
        const int indent = IndentOf(s) + (s.branch ? kMarkWidth : 0);
        width = std::max(width, kMargin + indent + TextWidth(StepText(s)) * 3 / 2);
        if (!s.matrix.empty())
            width = std::max(width, kMatrixIndent + IndentOf(s) + MatrixDrawingWidth(s.matrix));
        y += height;
    }
    const QSize viewport = PaneViewSize(*window_, kPane);
    pane.resizeSurface(QSize(std::max(width + kMargin, viewport.width()),
                             std::max(y + (cut ? kLineHeight : 0) + kMargin, viewport.height())),
                       kStepsFill);
    SetBackColour(kStepsFill);
    drawGuides(y);
    SetTextColour(kStepsMatrix);
    for (const Placed& p : places_) {
        const Step& s = steps_[p.index];
        if (s.matrix.empty()) continue;
        uint16_t right = 0;
        uint16_t bottom = 0;
        DrawMatrix(s.matrix, kMatrixIndent + IndentOf(s), static_cast<uint16_t>(p.matrixTop), right,
                   bottom);
    }
    // The lines in the face's own width, wider than the entries', so that
    // the arrows read well.
    DrawingSize natural({16, 0});
    SetTextAlignment(kAlignLeftTop);
    SetTextColour(kStepsNotation);
    for (const Placed& p : places_) {
        const Step& s = steps_[p.index];
        const int x = kMargin + IndentOf(s);
        if (!s.branch) {
            DrawText(x, p.top, StepText(s));
            continue;
        }
        DrawText(x, p.top, collapsed_[p.index] ? "▸" : "▾");
        DrawText(x + kMarkWidth, p.top, StepText(s));
        if (keyboard_ && static_cast<int>(p.index) == current_) {
            // The case the keys act on: a ring round its condition.
            CurrentDC->setPenColour(kStepsFocus);
            const int right = x + kMarkWidth + TextWidth(StepText(s)) + 4;
            MoveTo(x - 3, p.top - 1);
            DrawLineTo(right, p.top - 1);
            DrawLineTo(right, p.top + kLineHeight - 3);
            DrawLineTo(x - 3, p.top + kLineHeight - 3);
            DrawLineTo(x - 3, p.top - 1);
        }
    }
    if (cut) DrawText(kMargin, y, "…");
}

// Down the left of every open case, from under its condition to the end of
// its last step drawn.
void StepsWindow::drawGuides(int end) {
    const Colour pen = CurrentDC->penColour();
    CurrentDC->setPenColour(kStepsGuide);
    for (std::size_t n = 0; n < places_.size(); ++n) {
        const Step& s = steps_[places_[n].index];
        if (!s.branch || collapsed_[places_[n].index]) continue;
        std::size_t last = n + 1;
        while (last < places_.size() && steps_[places_[last].index].depth > s.depth) ++last;
        if (last == n + 1) continue;
        const int bottom = last < places_.size() ? places_[last].top - 4 : end - 4;
        const int x = kMargin + IndentOf(s) + kGuide;
        MoveTo(x, places_[n].top + kLineHeight - 2);
        DrawLineTo(x, bottom);
    }
    CurrentDC->setPenColour(pen);
}

// --- the cases: collapsed and expanded by a click on their condition, or
// from the keyboard on the pane ---

void StepsWindow::toggleCase(std::size_t k) {
    if (k >= steps_.size() || !steps_[k].branch) return;
    collapsed_[k] = !collapsed_[k];
    current_ = static_cast<int>(k);
    redrawKeepingPlace();
}

void StepsWindow::redrawKeepingPlace() {
    const int pos = ScrollGetPos(*window_, kPane);
    draw();
    ScrollSetPos(*window_, kPane, pos);
}

int StepsWindow::lineTop(std::size_t k) const {
    for (const Placed& p : places_)
        if (p.index == k) return p.top;
    return -1;
}

void StepsWindow::onMouseDown(TemplateDialog& d, int x, int y) {
    QWidget* area = d.item(kPane);
    DrawingPane* pane = d.paneOf(kPane);
    if (checking_ || area == nullptr || pane == nullptr) return;
    const QPoint client(x, y);
    if (!area->rect().contains(area->mapFrom(d.client(), client))) return;
    const QPoint at = pane->mapFrom(d.client(), client);
    for (const Placed& p : places_) {
        if (at.y() >= p.top && at.y() < p.top + kLineHeight && steps_[p.index].branch &&
            at.x() >= kMargin + IndentOf(steps_[p.index]) - kGuide) {
            keyboard_ = false;
            toggleCase(p.index);
            return;
        }
    }
}

// Up and Down go from one case's condition to the next drawn; Enter and
// Space open or close it, Left closes and Right opens it.
bool StepsWindow::onKey(TemplateDialog& /*d*/, int id, int key) {
    constexpr int kCaseKeys[] = {Qt::Key_Down,  Qt::Key_Up,   Qt::Key_Return, Qt::Key_Enter,
                                 Qt::Key_Space, Qt::Key_Left, Qt::Key_Right};
    if (id != kPane || checking_ || std::ranges::find(kCaseKeys, key) == std::end(kCaseKeys))
        return false;
    std::vector<std::size_t> heads;
    for (const Placed& p : places_)
        if (steps_[p.index].branch) heads.push_back(p.index);
    if (heads.empty()) return false;
    const auto at = std::find(heads.begin(), heads.end(), static_cast<std::size_t>(current_));
    const bool onOne = at != heads.end();
    const std::size_t here = onOne ? *at : heads.front();
    keyboard_ = true;
    switch (key) {
        case Qt::Key_Down:
        case Qt::Key_Up: {
            std::size_t next = here;
            if (onOne && key == Qt::Key_Down && at + 1 != heads.end()) next = *(at + 1);
            if (onOne && key == Qt::Key_Up && at != heads.begin()) next = *(at - 1);
            current_ = static_cast<int>(next);
            redrawKeepingPlace();
            showLine(next);
            return true;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            toggleCase(here);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (collapsed_[here] != (key == Qt::Key_Left)) {
                toggleCase(here);
            } else {
                current_ = static_cast<int>(here);
                redrawKeepingPlace();
            }
            return true;
        default:
            return false;
    }
}

// Scrolls as little as needed to show the line of step k.
void StepsWindow::showLine(std::size_t k) {
    const int top = lineTop(k);
    if (top < 0) return;
    const int pos = ScrollGetPos(*window_, kPane);
    const int view = PaneViewSize(*window_, kPane).height();
    if (top < pos) ScrollSetPos(*window_, kPane, top - kMargin);
    if (top + kLineHeight + kMargin > pos + view)
        ScrollSetPos(*window_, kPane, top + kLineHeight + kMargin - view);
}

// Its lines, in the colour of the notation, where the steps would start.
void StepsWindow::drawWhyNone(DrawingPane& pane) {
    pane.resizeSurface(PaneViewSize(*window_, kPane), kStepsFill);
    DrawingSize natural({16, 0});
    SetBackColour(kStepsFill);
    SetTextAlignment(kAlignLeftTop);
    SetTextColour(kStepsNotation);
    int y = kMargin;
    std::size_t start = 0;
    while (start <= whyNone_.size()) {
        const std::size_t end = std::min(whyNone_.find('\n', start), whyNone_.size());
        DrawText(kMargin, y, whyNone_.substr(start, end - start));
        y += kLineHeight;
        start = end + 1;
    }
}

void StepsWindowSlot::open(QWidget* owner, std::vector<Step> steps, std::string whyNone) {
    if (!window_ || window_->window() == nullptr) {
        if (window_) working_ = window_->workingText();
        window_ = std::make_unique<StepsWindow>(owner, title_, extras_);
        window_->setWorkingText(working_);
        window_->checkFrom(start_, noStart_);
    }
    window_->open(std::move(steps), std::move(whyNone));
}

void StepsWindowSlot::checkFrom(std::optional<Matrix> start, std::string whyNot) {
    start_ = std::move(start);
    noStart_ = std::move(whyNot);
    if (window_) window_->checkFrom(start_, noStart_);
}

void StepsWindowSlot::close() {
    if (window_) working_ = window_->workingText();
    window_.reset();
}

void StepsWindowSlot::follow(std::vector<Step> steps, std::string whyNone) {
    if (isOpen()) window_->follow(std::move(steps), std::move(whyNone));
}

void StepsWindowSlot::followIfChanged(std::vector<Step> steps, std::string whyNone) {
    if (isOpen() && (steps != window_->steps() || whyNone != window_->whyNone()))
        window_->follow(std::move(steps), std::move(whyNone));
}

}  // namespace velmora
