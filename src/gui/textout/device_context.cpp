#include "gui/textout/device_context.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QStaticText>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <unordered_map>

#include "gui/toolkit/qt_text.h"

namespace velmora {

namespace {

struct FontObject {
    LogFont description;
};

std::map<FontHandle, FontObject>& Fonts() {
    static std::map<FontHandle, FontObject> fonts;
    return fonts;
}

FontHandle nextHandle = kStockFont + 1;

const LogFont kStockDescription{16, 0, 700, "Liberation Sans"};

// "arial" and its relatives resolve to the metric-compatible Liberation Sans.
QString QtFamily(const std::string& face) {
    QString f = ToQString(face);
    if (f.compare(QStringLiteral("arial"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return f;
}

// A cell height (internal leading included) of lfHeight pixels, a weight and an
// average width of lfWidth pixels, measured as the width of "x".
QFont MakeQtFont(const LogFont& d) {
    QFont f(QtFamily(d.lfFaceName));
    // Plain Latin text needs no shaping; skipping it makes drawing much cheaper.
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferNoShaping));
    f.setWeight(d.lfWeight == 0 ? QFont::Normal
                                : static_cast<QFont::Weight>(std::clamp(d.lfWeight, 100, 900)));
    int height = d.lfHeight == 0 ? 16 : std::abs(d.lfHeight);
    f.setPixelSize(height);
    if (d.lfHeight > 0) {
        QFontMetrics m(f);
        int cell = m.ascent() + m.descent();
        if (cell > 0)
            f.setPixelSize(
                std::max(1, static_cast<int>(std::lround(double(height) * height / cell))));
    }
    if (d.lfWidth > 0) {
        int natural = QFontMetrics(f).horizontalAdvance(QLatin1Char('x'));
        if (natural > 0) {
            f.setStretch(
                std::clamp(static_cast<int>(std::lround(100.0 * d.lfWidth / natural)), 1, 4000));
        }
    }
    return f;
}

}  // namespace

FontHandle CreateFontObject(const LogFont& description) {
    FontHandle h = nextHandle++;
    Fonts()[h] = FontObject{description};
    return h;
}

void DeleteFontObject(FontHandle font) {
    if (font == kStockFont) return;
    Fonts().erase(font);
}

bool FontAlive(FontHandle font) {
    return font == kStockFont || Fonts().count(font) > 0;
}

LogFont FontDescription(FontHandle font) {
    auto it = Fonts().find(font);
    return it == Fonts().end() ? kStockDescription : it->second.description;
}

// Laid-out texts by their text, looked up by string_view without a copy.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using LaidOutTexts = std::unordered_map<std::string, QStaticText, TextHash, std::equal_to<>>;

// Font objects come and go at every selection while a panel is painted, but
// only a handful of descriptions are ever used: their Qt fonts, cell heights
// and laid-out texts are made once.
struct MadeFont {
    QFont font;
    int cellHeight;  // what a text fills below its top
    LaidOutTexts laidOut;
};

MadeFont& Made(const LogFont& d) {
    static std::map<std::tuple<std::string, int32_t, int32_t, int32_t>, MadeFont> made;
    const auto key = std::make_tuple(d.lfFaceName, d.lfHeight, d.lfWidth, d.lfWeight);
    auto it = made.find(key);
    if (it == made.end()) {
        QFont f = MakeQtFont(d);
        const int height = d.lfHeight > 0 ? d.lfHeight : QFontMetrics(f).height();
        it = made.emplace(key, MadeFont{f, height, {}}).first;
    }
    return it->second;
}

MadeFont& MadeOf(FontHandle font) {
    auto it = Fonts().find(font);
    return Made(it == Fonts().end() ? kStockDescription : it->second.description);
}

QFont QtFont(FontHandle font) {
    return MadeOf(font).font;
}

// A panel repainted whole does not shape the same few numbers again and again.
const QStaticText& LaidOut(MadeFont& made, std::string_view text) {
    LaidOutTexts& cache = made.laidOut;
    auto it = cache.find(text);
    if (it == cache.end()) {
        if (cache.size() > 4096) cache.clear();
        QStaticText st(ToQString(text));
        st.setTextFormat(Qt::PlainText);
        st.prepare(QTransform(), made.font);
        it = cache.emplace(std::string(text), std::move(st)).first;
    }
    return it->second;
}

int LiveFontCount() {
    return static_cast<int>(Fonts().size());
}

QColor ToQColor(Colour c) {
    return QColor(int(RedOf(c)), int(GreenOf(c)), int(BlueOf(c)));
}

FontHandle DeviceContext::selectFont(FontHandle font) {
    FontHandle old = font_;
    font_ = font;
    return old;
}

// The width textOut fills: that of the laid-out text, so that what a caller
// measures is what is drawn.
int DeviceContext::textWidth(std::string_view text) const {
    if (text.empty()) return 0;
    return qRound(LaidOut(MadeOf(font_), text).size().width());
}

void DeviceContext::setClip(int left, int top, int right, int bottom) {
    clip_ = QRect(left, top, right - left, bottom - top);
    if (painter_ != nullptr) painter_->setClipRect(clip_);
}

void DeviceContext::clearClip() {
    clip_ = QRect();
    if (painter_ != nullptr) painter_->setClipping(false);
}

namespace {
bool recording = true;
}  // namespace

void DeviceContext::setRecording(bool on) {
    recording = on;
}

DeviceContext::~DeviceContext() {
    flush();
}

QPainter& DeviceContext::painter() {
    if (painter_ == nullptr) {
        painter_ = new QPainter(surface_);
        if (clip_.isValid()) painter_->setClipRect(clip_);
    }
    return *painter_;
}

void DeviceContext::flush() {
    if (painter_ == nullptr) return;
    painter_->end();
    delete painter_;
    painter_ = nullptr;
}

QImage* DeviceContext::surface() {
    flush();
    return surface_;
}

void DeviceContext::textOut(int x, int y, std::string_view text) {
    if (recording) {
        record({DrawRecord::Kind::Text, std::string(text), x, y, x, y, align_, textColour_,
                backColour_, FontDescription(font_)});
    }
    if (surface_ == nullptr || text.empty()) return;
    MadeFont& made = MadeOf(font_);
    const QStaticText& laidOut = LaidOut(made, text);
    const int width = qRound(laidOut.size().width());
    int left = (align_ & kAlignCentreTop) == kAlignCentreTop ? x - width / 2 : x;
    QPainter& p = painter();
    p.fillRect(left, y, width, made.cellHeight, ToQColor(backColour_));
    p.setFont(made.font);
    p.setPen(ToQColor(textColour_));
    p.drawStaticText(left, y, laidOut);
    notify();
}

void DeviceContext::moveTo(int x, int y) {
    posX_ = x;
    posY_ = y;
}

void DeviceContext::lineTo(int x, int y) {
    record({DrawRecord::Kind::Line, "", posX_, posY_, x, y, align_, pen_, backColour_,
            FontDescription(font_)});
    if (surface_ != nullptr && (x == posX_ || y == posY_)) {
        // Upright and level lines (the bars of every matrix) are thin rectangles.
        const QRect r = QRect(QPoint(posX_, posY_), QPoint(x, y)).normalized();
        const QRect line = x == posX_
                               ? (y > posY_ ? r.adjusted(0, 0, 0, -1) : r.adjusted(0, 1, 0, 0))
                               : (x > posX_ ? r.adjusted(0, 0, -1, 0) : r.adjusted(1, 0, 0, 0));
        if (!line.isEmpty()) painter().fillRect(line, ToQColor(pen_));
        notify();
    } else if (surface_ != nullptr) {
        // Bresenham from the current position, stopping short of the end point.
        QPolygon points;
        int x0 = posX_, y0 = posY_;
        int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
        int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
        int err = dx + dy;
        while (x0 != x || y0 != y) {
            points << QPoint(x0, y0);
            int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
        // Each point a pixel of the layout, however dense the surface.
        QPainter& p = painter();
        for (const QPoint& point : points) p.fillRect(QRect(point, QSize(1, 1)), ToQColor(pen_));
        notify();
    }
    moveTo(x, y);
}

void DeviceContext::fillRect(int left, int top, int right, int bottom, Colour colour) {
    record({DrawRecord::Kind::Fill, "", left, top, right, bottom, align_, textColour_, colour,
            FontDescription(font_)});
    if (surface_ == nullptr || right <= left || bottom <= top) return;
    painter().fillRect(left, top, right - left, bottom - top, ToQColor(colour));
    notify();
}

void DeviceContext::invertRect(int left, int top, int right, int bottom) {
    record({DrawRecord::Kind::Invert, "", left, top, right, bottom, align_, textColour_,
            backColour_, FontDescription(font_)});
    if (surface_ == nullptr || right <= left || bottom <= top) return;
    flush();  // the pixels are read back
    // Every pixel of the surface that the rectangle covers: on a denser
    // surface, ratio x ratio of them for each pixel of the layout.
    const qreal ratio = surface_->devicePixelRatio();
    const auto device = [ratio](int v) { return static_cast<int>(std::lround(v * ratio)); };
    const QRect r =
        QRect(device(left), device(top), device(right) - device(left), device(bottom) - device(top))
            .intersected(surface_->rect());
    const bool premultiplied = surface_->format() == QImage::Format_ARGB32_Premultiplied;
    for (int yy = r.top(); yy <= r.bottom(); ++yy) {
        auto* line = reinterpret_cast<QRgb*>(surface_->scanLine(yy));
        for (int xx = r.left(); xx <= r.right(); ++xx) {
            if (!premultiplied) {
                const QRgb c = surface_->pixel(xx, yy);
                surface_->setPixel(xx, yy,
                                   qRgba(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c), 255));
                continue;
            }
            // What pixel() and setPixel() would do, without their checks.
            const QRgb c = qAlpha(line[xx]) == 255 ? line[xx] : qUnpremultiply(line[xx]);
            line[xx] = qRgba(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c), 255);
        }
    }
    notify();
}

void DeviceContext::rectangle(int left, int top, int right, int bottom, Colour fill) {
    record({DrawRecord::Kind::Rectangle, "", left, top, right, bottom, align_, pen_, fill,
            FontDescription(font_)});
    if (surface_ == nullptr || right - left < 2 || bottom - top < 2) return;
    QPainter& p = painter();
    p.fillRect(left, top, right - left, bottom - top, ToQColor(pen_));
    p.fillRect(left + 1, top + 1, right - left - 2, bottom - top - 2, ToQColor(fill));
    notify();
}

std::vector<std::string> DeviceContext::drawnTexts() const {
    std::vector<std::string> texts;
    for (const DrawRecord& r : records_) {
        if (r.kind == DrawRecord::Kind::Text) texts.push_back(r.text);
    }
    return texts;
}

void DeviceContext::record(DrawRecord r) {
    if (!recording) return;
    // A long-running window repaints often; the record only keeps recent history.
    constexpr std::size_t kKeep = 20000;
    if (records_.size() >= kKeep) records_.erase(records_.begin(), records_.begin() + kKeep / 2);
    records_.push_back(std::move(r));
}

void DeviceContext::notify() {
    if (changed_) changed_();
}

}  // namespace velmora
