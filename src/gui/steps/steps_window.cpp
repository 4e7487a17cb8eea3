#include "gui/steps/steps_window.h"

#include <QScreen>
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

// Where each step goes: the top of its line, and of its matrix.
struct Placed {
    int top;
    int matrixTop;
};

}  // namespace

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
    if (steps_.empty()) {
        drawWhyNone(pane);
        return;
    }
    // Measure first: the surface is made once, to size.
    std::vector<Placed> places;
    int y = kMargin;
    int width = 0;
    std::size_t shown = 0;
    for (const Step& s : steps_) {
        const int height = kLineHeight + (s.matrix.empty() ? 0 : s.matrix.rows * 16 + kGap);
        if (y + height > kMostHeight) break;
        places.push_back({y, y + kLineHeight});
        width = std::max(width, kMargin + TextWidth(StepText(s)) * 3 / 2);
        if (!s.matrix.empty())
            width = std::max(width, kMatrixIndent + MatrixDrawingWidth(s.matrix));
        y += height;
        ++shown;
    }
    const bool cut = shown < steps_.size();
    const QSize viewport = PaneViewSize(*window_, kPane);
    pane.resizeSurface(QSize(std::max(width + kMargin, viewport.width()),
                             std::max(y + (cut ? kLineHeight : 0) + kMargin, viewport.height())),
                       kStepsFill);
    SetBackColour(kStepsFill);
    SetTextColour(kStepsMatrix);
    for (std::size_t k = 0; k < shown; ++k) {
        const Step& s = steps_[k];
        if (s.matrix.empty()) continue;
        uint16_t right = 0;
        uint16_t bottom = 0;
        DrawMatrix(s.matrix, kMatrixIndent, static_cast<uint16_t>(places[k].matrixTop), right,
                   bottom);
    }
    // The lines in the face's own width, wider than the entries', so that
    // the arrows read well.
    DrawingSize natural({16, 0});
    SetTextAlignment(kAlignLeftTop);
    SetTextColour(kStepsNotation);
    for (std::size_t k = 0; k < shown; ++k) DrawText(kMargin, places[k].top, StepText(steps_[k]));
    if (cut) DrawText(kMargin, y, "…");
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

}  // namespace velmora
