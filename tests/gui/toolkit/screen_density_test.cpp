// Drawing panes at the screen's pixel density. The windows draw in the
// pixels of their layout; a pane's image holds ratio x ratio pixels for each
// of them, so drawings stay sharp at QT_SCALE_FACTOR=2. These tests also run
// at that scale (see tests/CMakeLists.txt).
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <cmath>

#include <gtest/gtest.h>

#include "gui/textout/device_context.h"
#include "gui/toolkit/template_dialog.h"
#include "resources/templates.h"
#include "support/demo_dialog.h"

namespace velmora {
namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kCyan = 0xFF00FFFF;
constexpr QRgb kWhite = 0xFFFFFFFF;

// An inversion covers exactly the pixels a fill of the same rectangle
// covers, however dense the surface; a transparent pixel inverts to white.
TEST(ScreenDensityTest, InvertCoversTheRectanglesDevicePixels) {
    for (const qreal ratio : {1.0, 2.0, 3.0}) {
        QImage image(QSize(20, 10) * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        DeviceContext dc(&image);
        dc.fillRect(2, 3, 8, 7, Rgb(255, 0, 0));
        dc.invertRect(2, 3, 8, 7);
        dc.invertRect(12, 0, 14, 2);
        dc.flush();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int lx = static_cast<int>(x / ratio);
                const int ly = static_cast<int>(y / ratio);
                const bool filled = lx >= 2 && lx < 8 && ly >= 3 && ly < 7;
                const bool bare = lx >= 12 && lx < 14 && ly < 2;
                const QRgb expected = filled ? kCyan : bare ? kWhite : 0;
                ASSERT_EQ(image.pixel(x, y), expected) << ratio << ": " << x << "," << y;
            }
        }
    }
}

// A dialog's panes have its density; the picture of what lies under a pane
// covers the whole pane, and the pane shows its image pixel for pixel.
TEST(ScreenDensityTest, PanesDrawAtTheWindowsDensity) {
    test::RecordingHandler handler;
    TemplateDialog d(res::SistEqTemplate(), handler);
    d.start();
    QApplication::processEvents();
    const qreal ratio = d.devicePixelRatioF();
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == QLatin1String("2")) {
        EXPECT_EQ(ratio, 2.0);
    }
    DrawingPane& pane = *d.paneOf(31);
    EXPECT_EQ(pane.image().size(), d.itemRect(31).size() * ratio);
    EXPECT_EQ(pane.image().devicePixelRatio(), ratio);

    pane.dc().fillRect(10, 20, 40, 40, Rgb(255, 0, 0));
    pane.dc().invertRect(10, 20, 20, 30);
    QApplication::processEvents();
    const QImage& image = pane.image();
    const QPoint corner(image.width() - 1, image.height() - 1);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 255) << "the picture under the pane";
    EXPECT_EQ(qAlpha(image.pixel(corner)), 255) << "covers all of it";
    const QImage shown = pane.grab().toImage();
    ASSERT_EQ(shown.size(), image.size());
    for (const QPoint p : {QPoint(10, 20), QPoint(19, 29), QPoint(20, 30), QPoint(39, 39)}) {
        const QPoint device(static_cast<int>(std::lround(p.x() * ratio)),
                            static_cast<int>(std::lround(p.y() * ratio)));
        const QRgb expected = p.x() < 20 && p.y() < 30 ? kCyan : kRed;
        EXPECT_EQ(image.pixel(device), expected) << p.x() << "," << p.y();
        EXPECT_EQ(shown.pixel(device), expected) << p.x() << "," << p.y();
        EXPECT_EQ(shown.pixel(device + QPoint(int(ratio) - 1, int(ratio) - 1)), expected);
    }
    d.end(0);
}

}  // namespace
}  // namespace velmora
