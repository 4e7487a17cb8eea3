// TextOutput: the module-wide drawing state through which the program draws
// its own texts and lines, and TextFont, a self-contained font holder.
//
// Callers point CurrentDC at the device context of the pane they paint, adjust
// CurrentFont, colours and alignment, and draw. Every font change re-creates
// the whole font from CurrentFont and selects it. Each selection deletes the
// font that the selection before it replaced and remembers the one it
// replaces, so at most two fonts made here are alive per run of selections.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <string_view>

#include "gui/textout/device_context.h"

namespace velmora {

// Device context the module-level operations draw on; null until assigned.
// Operations on a null context do nothing.
extern DeviceContext* CurrentDC;
// The font description: height 16, width 6, weight 0, face "arial" at start.
extern LogFont CurrentFont;
// The font that the last selection replaced in its device context.
extern FontHandle LastFont;

// Module initialisation: the font description as at start, CurrentDC null,
// LastFont null.
void InitTextOutput();

// Windows register the device context of their client area, so that
// BeginTextOnActiveWindow can find the one in front.
void RegisterWindowDC(const QWidget* window, DeviceContext* dc);
void UnregisterWindowDC(const QWidget* window);
// The context of the active window; when no registered window is active, that
// of the most recently registered visible one; null when there is none.
DeviceContext* ActiveWindowDC();

// CurrentDC := the active window's context; a font made from CurrentFont is
// selected into it and the font it replaced kept in LastFont (the previous
// LastFont is not deleted).
void BeginTextOnActiveWindow();
void SelectFont(DeviceContext* dc);
void ReselectFont();
void SetFontWidth(int32_t width);
void SetFontBold(DeviceContext* dc, bool bold);
void SetBold(bool bold);
void SetTextColour(Colour colour);
void SetBackColour(Colour colour);
// 0: left edge at x; 6: centred on x; the top edge at y in both.
void SetTextAlignment(uint16_t flags);
// Texts are cut to 255 characters.
void DrawTextAt(DeviceContext* dc, int x, int y, std::string_view text);
void DrawText(int x, int y, std::string_view text);
// Draws in the given colour, then sets back the text colour that was set before.
void DrawColouredText(int x, int y, std::string_view text, Colour colour);
// Width in pixels of a text as DrawText would draw it on CurrentDC; 0 without one.
int TextWidth(std::string_view text);
void MoveTo(int x, int y);
void DrawLineTo(int x, int y);

// A font holder with its own device context and font description, for a
// window that keeps its own font apart from CurrentFont.
class TextFont {
  public:
    // Takes the window's device context; the description starts as 16, 6, "arial".
    // Selects nothing yet.
    void Init(DeviceContext* dc);
    void SetSize(int32_t height, int32_t width);
    // Names are cut to 31 characters.
    void SetFace(std::string_view face);
    void SetBold(bool bold);
    // Deletes the last font, selects a font made from the description and
    // keeps the one it replaced as the last font.
    void Apply();
    // Frees the description and deletes the last font.
    void Done();

    DeviceContext* dc() const { return dc_; }
    const LogFont* font() const { return font_.get(); }
    FontHandle lastFont() const { return last_; }

  private:
    DeviceContext* dc_ = nullptr;
    std::unique_ptr<LogFont> font_;
    FontHandle last_ = kNullFont;
};

}  // namespace velmora
