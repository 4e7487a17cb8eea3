// The "Pasos" window: the steps of a computation, each a line of notation and
// the matrix it leaves, drawn between bars as the store draws its matrices,
// in a scrolling pane. "Copiar" puts the steps on the clipboard as text,
// "Copiar LaTeX" as a LaTeX fragment. It is not modal: the window that
// opened it stays usable and hands it the steps of each new result while it
// is open.
#pragma once

#include <QPointer>
#include <memory>
#include <vector>

#include "matrix/steps.h"
#include "toolkit/template_dialog.h"

namespace velmora {

inline constexpr Colour kStepsFill = Rgb(255, 255, 231);    // as the matrix panel
inline constexpr Colour kStepsMatrix = Rgb(0, 0, 200);      // its matrices
inline constexpr Colour kStepsNotation = Rgb(200, 0, 100);  // its letters

class StepsWindow : public DialogHandler {
  public:
    // Controls of "Pasos".
    enum : int { kClose = kCommandEscape, kCopy = 10, kCopyLatex = 11, kPane = 20 };

    // owner: the window it stays in front of; it is never disabled.
    explicit StepsWindow(QWidget* owner);
    ~StepsWindow() override;
    StepsWindow(const StepsWindow&) = delete;
    StepsWindow& operator=(const StepsWindow&) = delete;

    // Shows these steps and brings the window to the front.
    void open(std::vector<Step> steps);
    // Shows these steps instead, if the window is open.
    void follow(std::vector<Step> steps);
    // Shown: not closed (hidden), nor gone with its owner.
    bool isOpen() const;
    const std::vector<Step>& steps() const { return steps_; }
    // nullptr once closed with its owner gone.
    TemplateDialog* window() const { return window_; }

    void onCommand(TemplateDialog& d, int id, int notification) override;

  private:
    void draw();
    void drawOn(DrawingPane& pane);

    std::vector<Step> steps_;
    QPointer<TemplateDialog> window_;
};

// A window's "Pasos": opens it with the steps (again, if it had been
// closed: the window is kept), or hands the steps to the one open.
class StepsWindowSlot {
  public:
    void open(QWidget* owner, std::vector<Step> steps);
    // The steps of a new result, for the window if it is open.
    void follow(std::vector<Step> steps);
    bool isOpen() const { return window_ && window_->isOpen(); }
    StepsWindow* window() const { return window_.get(); }
    // Closes the window: before its owner goes.
    void close() { window_.reset(); }

  private:
    std::unique_ptr<StepsWindow> window_;
};

}  // namespace velmora
