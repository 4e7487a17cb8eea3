// "Vista": it draws the system on show, every line or plane and the common
// part inside the view, and follows the window and the case picked.
#include <QComboBox>
#include <QImage>
#include <QLineEdit>

#include "core/systems/system_text.h"
#include "support/system_window_fixture.h"

namespace velmora {
namespace {

using test::Rows;
using test::SystemWindowTest;

// Every shape and the common point or line inside the canvas, and painted:
// the pixel at the common point is the strong black, and each shape's
// colour shows somewhere.
void ExpectDrawnInside(ViewCanvas& canvas, std::size_t shapes, std::size_t common) {
    const Scene s = canvas.scene();
    ASSERT_EQ(s.shapes.size(), shapes);
    EXPECT_EQ(s.common.size(), common);
    const QRectF view(0, 0, canvas.width(), canvas.height());
    for (const auto& shape : s.shapes) {
        ASSERT_FALSE(shape.empty());
        for (const Point2& p : shape) EXPECT_TRUE(view.contains(p.x, p.y)) << p.x << " " << p.y;
    }
    for (const Point2& p : s.common) EXPECT_TRUE(view.contains(p.x, p.y));
    const QImage image = canvas.grab().toImage();
    if (!s.common.empty()) {
        const QColor at = image.pixelColor(int(s.common[0].x), int(s.common[0].y));
        EXPECT_LT(at.red() + at.green() + at.blue(), 120) << "the common part is strong";
    }
}

TEST_F(SystemWindowTest, TheViewFollowsTheSystemAndTheCasePicked) {
    open();
    analyse({{"1", "0", "0", "1"}, {"0", "1", "0", "2"}, {"1", "1", "0", "3"}});  // a sheaf
    d->command(sisteq::kView);
    ViewWindow* view = w.viewWindow();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->isVisible());
    view->resize(520, 460);
    QApplication::processEvents();
    ViewCanvas& canvas = *view->canvas();
    ASSERT_TRUE(canvas.system());
    EXPECT_EQ(canvas.system()->position, Position::Sheaf);
    ExpectDrawnInside(canvas, 3, 2);

    // Lines in the plane, their point; the view follows without a command.
    analyse({{"1", "1", "2"}, {"1", "-1", "0"}, {"1", "0", "1"}});
    QApplication::processEvents();
    EXPECT_EQ(canvas.system()->position, Position::ThreeLinesCut);
    ExpectDrawnInside(canvas, 3, 1);
    EXPECT_FALSE(view->cases()->isVisible());

    // A discussion: the general case first, then a = -2 (a prism) and a
    // typed value.
    analyse({{"a", "1", "1", "1"}, {"1", "a", "1", "a"}, {"1", "1", "a", "a^2"}});
    QApplication::processEvents();
    ASSERT_TRUE(view->cases()->isVisible());
    ASSERT_EQ(view->cases()->count(), 3);
    EXPECT_EQ(view->cases()->itemText(0).toStdString(), "a = 0 (caso general)");
    EXPECT_EQ(canvas.system()->position, Position::ThreePlanesPoint);
    ExpectDrawnInside(canvas, 3, 1);
    view->cases()->setCurrentIndex(1);
    emit view->cases()->activated(1);
    EXPECT_EQ(canvas.system()->position, Position::Prism);
    ExpectDrawnInside(canvas, 3, 0);
    view->value()->setText("1");
    emit view->value()->editingFinished();
    EXPECT_EQ(canvas.system()->position, Position::ThreePlanesCoincident);
    EXPECT_EQ(view->cases()->currentIndex(), 2);

    // A value where the general case's lines turn parallel is offered too.
    analyse({{"1", "1", "2"}, {"1", "-1", "0"}, {"a", "1", "3"}});
    QApplication::processEvents();
    ASSERT_EQ(view->cases()->count(), 4);  // general, a = 2, a = -1, a = 1
    emit view->cases()->activated(3);
    EXPECT_EQ(canvas.system()->position, Position::TwoLinesParallelThirdCuts);
    // x = 0, y = 0, ax + y = 1: a triangle but for a = 0, so the general
    // case is drawn at a = 1.
    analyse({{"1", "0", "0"}, {"0", "1", "0"}, {"a", "1", "1"}});
    QApplication::processEvents();
    EXPECT_EQ(view->cases()->itemText(0).toStdString(), "a = 1 (caso general)");
    EXPECT_EQ(canvas.system()->position, Position::Triangle);
}

}  // namespace
}  // namespace velmora
