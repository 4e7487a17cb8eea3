// The "Pasos" window: the steps of a computation, each a line of notation and
// the matrix it leaves, drawn between bars as the store draws its matrices,
// in a scrolling pane. "Copiar" puts the steps on the clipboard as text,
// "Copiar LaTeX" as a LaTeX fragment; with no steps the pane says why and
// both are greyed. It is not modal: the window that opened it stays usable
// and hands it the steps of each new result while it is open. It opens
// beside that window, and PgUp, PgDn, Home and End scroll it.
//
// Steps that branch on a parameter are drawn with each case indented under
// its condition line ("si a ≠ 1:"), which a click collapses or expands (▾/▸);
// on the pane Up and Down pick a condition, Enter or Space toggles it, Left
// collapses and Right expands it. The copies hold every case.
//
// "Comprobar mis pasos" turns it into a pane where the student writes their
// own working from the matrix the steps start from (the owner hands it
// over): on the left what they type or paste, on the right each step marked
// as they type (core/check), their matrices drawn as the steps draw theirs.
// "Copiar" then copies the working with its marks, "Abrir..." and
// "Guardar..." read and write it as a text file, "Ver los pasos" goes back.
// The text stays while the window is open, and in the slot while it is not.
#pragma once

#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/check/checker.h"
#include "core/matrix/steps.h"
#include "gui/toolkit/template_dialog.h"

namespace velmora {

inline constexpr Colour kStepsFill = Rgb(255, 255, 231);    // as the matrix panel
inline constexpr Colour kStepsMatrix = Rgb(0, 0, 200);      // its matrices
inline constexpr Colour kStepsNotation = Rgb(200, 0, 100);  // its letters

// Buttons a result window adds to those of the steps: "Pasos..." (the steps
// behind the result) and "<-" (keeps it in the store), each shown when set.
// A window of results only (`result`, or either button set) has no "Comprobar
// mis pasos": there is no working of one's own to check against it.
struct StepsWindowExtras {
    std::function<void()> steps;
    std::function<void()> store;
    bool result = false;
    bool isResult() const { return result || steps || store; }
};

class StepsWindow : public DialogHandler {
  public:
    // Controls of "Pasos".
    enum : int {
        kClose = kCommandEscape,
        kCopy = 10,
        kCopyLatex = 11,
        kCheck = 12,  // "Comprobar mis pasos", and back: "Ver los pasos"
        kOpen = 13,
        kSave = 14,
        kSteps = 15,  // a result's "Pasos..."
        kStore = 16,  // a result's "<-"
        kPane = 20,
        kWorking = 21,  // the student's working
        kMarks = 22,    // its marks
    };

    // owner: the window it stays in front of and opens beside; it is never
    // disabled. title: the window's own, telling the windows' steps apart.
    StepsWindow(QWidget* owner, std::string_view title, StepsWindowExtras extras = {});
    ~StepsWindow() override;
    StepsWindow(const StepsWindow&) = delete;
    StepsWindow& operator=(const StepsWindow&) = delete;

    // Shows these steps (none: whyNone in their place) and brings the
    // window to the front; one that was not on show opens beside its owner.
    void open(std::vector<Step> steps, std::string whyNone = {});
    // Shows these steps instead, if the window is open.
    void follow(std::vector<Step> steps, std::string whyNone = {});
    // Shown: not closed (hidden), nor gone with its owner.
    bool isOpen() const;
    const std::vector<Step>& steps() const { return steps_; }
    // Why there are no steps, shown in the pane while there are none.
    const std::string& whyNone() const { return whyNone_; }
    // nullptr once closed with its owner gone.
    TemplateDialog* window() const { return window_; }
    // "<-" usable or greyed (a result that cannot be stored).
    void enableStore(bool enable);

    // The matrix a working starts from; none: why there is none.
    void checkFrom(std::optional<Matrix> start, std::string whyNot = {});
    // The pane of the student's working is on show.
    bool checking() const { return checking_; }
    const std::string& workingText() const { return working_; }
    void setWorkingText(std::string text);
    // The working checked (from no matrix: nothing).
    const WorkingCheck& workingCheck() const { return check_; }

    // A case's condition line (Step::branch): its steps hidden or shown
    // again. Every case is open when steps are shown.
    void toggleCase(std::size_t k);
    bool collapsed(std::size_t k) const { return k < collapsed_.size() && collapsed_[k]; }
    // The top of step k's line in the pane; -1 when it is not drawn.
    int lineTop(std::size_t k) const;

    void onInit(TemplateDialog& d) override;
    void onCommand(TemplateDialog& d, int id, int notification) override;
    void onMouseDown(TemplateDialog& d, int x, int y) override;
    bool onKey(TemplateDialog& d, int id, int key) override;

  private:
    // Where a step is drawn: the top of its line, and of its matrix.
    struct Placed {
        std::size_t index;
        int top;
        int matrixTop;
    };

    void show(std::vector<Step> steps, std::string whyNone);
    void draw();
    void drawOn(DrawingPane& pane);
    void drawGuides(int end);
    void redrawKeepingPlace();
    void showLine(std::size_t k);
    void drawWhyNone(DrawingPane& pane);
    void placeBesideOwner();
    // steps_window_check.cpp
    void showChecking(bool checking);
    void recheck();
    void drawMarks();
    void openWorking();
    void saveWorking();
    void enableButtons();

    std::vector<Step> steps_;
    std::string whyNone_;
    std::vector<bool> collapsed_;  // by step: a case's condition closed
    std::vector<Placed> places_;   // the steps drawn
    int current_ = -1;             // the condition the keys act on, once they have
    bool keyboard_ = false;        // the keys were used last: its ring is shown
    bool checking_ = false;
    std::optional<Matrix> start_;
    std::string noStart_;
    std::string working_;
    std::string saved_;  // the text last opened or saved
    WorkingCheck check_;
    StepsWindowExtras extras_;
    QPointer<QWidget> owner_;
    QPointer<TemplateDialog> window_;
};

// The steps the collapsed cases hide: those after a collapsed condition line
// that are deeper than it, up to the next step at its depth or less.
std::vector<bool> HiddenSteps(const std::vector<Step>& steps, const std::vector<bool>& collapsed);

// Where a window of `size` (frame included) opens beside `owner` (its frame)
// on `screen`: on the owner's right when it fits there, else on its left;
// where neither fits, at the screen's left edge, so that it covers the
// owner's left part and never its right, where the editors are. Its top is
// the owner's, moved up as far as needed to stay on the screen.
QPoint BesideOwner(const QRect& owner, const QSize& size, const QRect& screen);

// A window's "Pasos": opens it with the steps (again, if it had been
// closed: the window is kept), or hands the steps to the one open.
class StepsWindowSlot {
  public:
    explicit StepsWindowSlot(std::string title = "Pasos", StepsWindowExtras extras = {})
        : title_(std::move(title)), extras_(std::move(extras)) {}
    void open(QWidget* owner, std::vector<Step> steps, std::string whyNone = {});
    // The steps of a new result, for the window if it is open.
    void follow(std::vector<Step> steps, std::string whyNone = {});
    // The same, unless the window already shows these steps: then it keeps
    // where it was scrolled to and which cases were closed.
    void followIfChanged(std::vector<Step> steps, std::string whyNone = {});
    // The matrix a student's working starts from (StepsWindow::checkFrom),
    // for the window now and for one opened later.
    void checkFrom(std::optional<Matrix> start, std::string whyNot = {});
    bool isOpen() const { return window_ && window_->isOpen(); }
    StepsWindow* window() const { return window_.get(); }
    // Closes the window: before its owner goes. The student's working stays
    // for the next one.
    void close();

  private:
    std::string title_;
    StepsWindowExtras extras_;
    std::unique_ptr<StepsWindow> window_;
    std::optional<Matrix> start_;
    std::string noStart_;
    std::string working_;
};

}  // namespace velmora
