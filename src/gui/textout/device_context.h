// Drawing surfaces with the state of a classic device context: text colour,
// background colour, text alignment, current position and the selected font.
// Every drawing lands on a persistent image at once, so a window can draw,
// fill or invert at any moment; the widget showing the image repaints it.
// Each context also keeps a record of what was drawn, for the tests.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QPainter;

namespace velmora {

// A colour value 0x00BBGGRR.
using Colour = uint32_t;
constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16;
}
constexpr unsigned RedOf(Colour c) {
    return c & 0xFF;
}
constexpr unsigned GreenOf(Colour c) {
    return (c >> 8) & 0xFF;
}
constexpr unsigned BlueOf(Colour c) {
    return (c >> 16) & 0xFF;
}

// The fields of a font description that the program sets or reads.
struct LogFont {
    int32_t lfHeight = 16;  // cell height in pixels
    int32_t lfWidth = 6;    // average character width in pixels; 0 = the face's own
    int32_t lfWeight = 0;   // 0 = normal, 400 normal, 700 bold
    std::string lfFaceName = "arial";
    friend bool operator==(const LogFont&, const LogFont&) = default;
};

// Font objects, named by handles. 0 is the null handle; kStockFont is the font
// every new device context starts with and cannot be deleted.
using FontHandle = int;
inline constexpr FontHandle kNullFont = 0;
inline constexpr FontHandle kStockFont = 1;

FontHandle CreateFontObject(const LogFont& description);
// Deleting the stock font, the null handle or a deleted font does nothing.
void DeleteFontObject(FontHandle font);
bool FontAlive(FontHandle font);
// The description a font was made from (the stock font's for a dead handle).
LogFont FontDescription(FontHandle font);
// The Qt font that draws with this font object.
QFont QtFont(FontHandle font);
// Number of font objects alive, the stock font not counted.
int LiveFontCount();

// Text alignment flags: 0 = left edge at x, 6 = centred on x; top edge at y.
inline constexpr unsigned kAlignLeftTop = 0;
inline constexpr unsigned kAlignCentreTop = 6;

struct DrawRecord {
    enum class Kind { Text, Line, Fill, Invert, Rectangle };
    Kind kind;
    std::string text;  // Text only
    int x, y;          // text position, line start, rectangle left-top
    int x2, y2;        // line end, rectangle right-bottom (exclusive)
    unsigned align;
    Colour textColour;
    Colour backColour;  // text cells and fills
    LogFont font;
};

class DeviceContext {
  public:
    explicit DeviceContext(QImage* surface = nullptr) : surface_(surface) {}
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // The surface with everything drawn so far on it. Drawing keeps one
    // painter open on the surface across calls (a panel repaint draws
    // hundreds of texts); asking for the surface finishes that painter.
    QImage* surface();
    // Finishes the open painter, if any (before the surface is shown or read).
    void flush();

    // Whether drawing calls are recorded for records() (on unless switched
    // off; the program switches it off, the tests read the records).
    static void setRecording(bool on);
    // Called after every drawing (the pane showing the surface repaints).
    void setChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }

    Colour textColour() const { return textColour_; }
    void setTextColour(Colour c) { textColour_ = c; }
    Colour backColour() const { return backColour_; }
    void setBackColour(Colour c) { backColour_ = c; }
    unsigned alignment() const { return align_; }
    void setAlignment(unsigned flags) { align_ = flags; }
    int posX() const { return posX_; }
    int posY() const { return posY_; }
    Colour penColour() const { return pen_; }
    void setPenColour(Colour c) { pen_ = c; }

    FontHandle selectedFont() const { return font_; }
    // Selects a font and returns the one it replaced.
    FontHandle selectFont(FontHandle font);

    // The text at (x, y) after the alignment, each character cell filled with
    // the background colour. Empty text draws nothing.
    void textOut(int x, int y, std::string_view text);
    // Width in pixels of a text in the selected font, as textOut draws it.
    int textWidth(std::string_view text) const;
    // Drawing reaches only left..right-1, top..bottom-1 until clearClip.
    void setClip(int left, int top, int right, int bottom);
    void clearClip();
    void moveTo(int x, int y);
    // A one-pixel line from the current position to (x, y), the end point not
    // drawn; (x, y) becomes the current position.
    void lineTo(int x, int y);
    // Fills left..right-1, top..bottom-1.
    void fillRect(int left, int top, int right, int bottom, Colour colour);
    // Inverts the colours of left..right-1, top..bottom-1.
    void invertRect(int left, int top, int right, int bottom);
    // Outline with the pen, inside filled with the given colour.
    void rectangle(int left, int top, int right, int bottom, Colour fill);

    const std::vector<DrawRecord>& records() const { return records_; }
    void clearRecords() { records_.clear(); }
    // The texts drawn, in order (a convenience for tests).
    std::vector<std::string> drawnTexts() const;

  private:
    void record(DrawRecord r);
    void notify();
    QPainter& painter();

    QImage* surface_;
    QPainter* painter_ = nullptr;
    QRect clip_;  // none while not valid
    std::function<void()> changed_;
    Colour textColour_ = 0;
    Colour backColour_ = Rgb(255, 255, 255);
    Colour pen_ = 0;
    unsigned align_ = kAlignLeftTop;
    int posX_ = 0;
    int posY_ = 0;
    FontHandle font_ = kStockFont;
    std::vector<DrawRecord> records_;
};

QColor ToQColor(Colour c);

}  // namespace velmora
