// "Vista": the picture of the system on show, its lines in the plane or its
// planes in space, each in its own colour with its equation beside it, and
// the common point or line drawn strong. The planes are turned with the
// mouse; "Restablecer" puts the view back. For a discussion, the system at a
// value of a picked from the cases or typed. Not modal: the system window
// hands it every new system while it is open.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "core/systems/discussion.h"
#include "core/systems/linear_system.h"
#include "core/systems/space_view.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace velmora {

// The drawing: the box, the shapes, the common part and the legend.
class ViewCanvas : public QWidget {
  public:
    explicit ViewCanvas(QWidget* parent);
    // The system to draw; none leaves the canvas empty but for `why`.
    void setSystem(std::optional<SystemAnalysis> analysis, std::string why = {});
    void resetCamera();
    const std::optional<SystemAnalysis>& system() const { return analysis_; }
    const Camera& camera() const { return camera_; }
    // What was drawn last, in the canvas's coordinates.
    Scene scene() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    std::optional<SystemAnalysis> analysis_;
    std::string why_;
    Camera camera_;
    QPoint dragFrom_;
};

class ViewWindow : public QWidget {
  public:
    // owner: the window it opens beside and closes with.
    explicit ViewWindow(QWidget* owner);
    // A system of numbers.
    void showSystem(const Matrix& augmented);
    // A discussion: the system at the first case's value.
    void showDiscussion(std::shared_ptr<const Discussion> discussion);
    // Nothing to draw, and why.
    void showNothing(const std::string& why);
    const std::shared_ptr<const Discussion>& shownDiscussion() const { return discussion_; }
    ViewCanvas* canvas() const { return canvas_; }
    QComboBox* cases() const { return cases_; }
    QLineEdit* value() const { return value_; }

  private:
    void showValue(const mpq_class& value);
    void pickCase(int index);
    void typeValue();

    std::shared_ptr<const Discussion> discussion_;
    ViewCanvas* canvas_;
    QComboBox* cases_;
    QLineEdit* value_;
    QLabel* valueLabel_;
};

}  // namespace velmora
