#include "gui/textout/text_output.h"

#include <QApplication>
#include <algorithm>
#include <vector>

#include "core/toolkit/strings.h"

namespace velmora {

DeviceContext* CurrentDC = nullptr;
LogFont CurrentFont;
FontHandle LastFont = kNullFont;

namespace {

struct WindowDC {
    const QWidget* window;
    DeviceContext* dc;
};

std::vector<WindowDC>& Windows() {
    static std::vector<WindowDC> windows;
    return windows;
}

// Selects a new font made from `description` into dc; returns the replaced one.
FontHandle SelectNew(DeviceContext* dc, const LogFont& description) {
    if (dc == nullptr) return kNullFont;
    return dc->selectFont(CreateFontObject(description));
}

}  // namespace

void InitTextOutput() {
    CurrentFont = LogFont{};
    CurrentDC = nullptr;
    LastFont = kNullFont;
}

void RegisterWindowDC(const QWidget* window, DeviceContext* dc) {
    UnregisterWindowDC(window);
    Windows().push_back({window, dc});
}

void UnregisterWindowDC(const QWidget* window) {
    auto& w = Windows();
    w.erase(std::remove_if(w.begin(), w.end(),
                           [window](const WindowDC& e) { return e.window == window; }),
            w.end());
}

DeviceContext* ActiveWindowDC() {
    const QWidget* active = QApplication::activeWindow();
    for (const WindowDC& e : Windows()) {
        if (e.window == active) return e.dc;
    }
    for (auto it = Windows().rbegin(); it != Windows().rend(); ++it) {
        if (it->window->isVisible()) return it->dc;
    }
    return nullptr;
}

void BeginTextOnActiveWindow() {
    CurrentDC = ActiveWindowDC();
    LastFont = SelectNew(CurrentDC, CurrentFont);
}

void SelectFont(DeviceContext* dc) {
    DeleteFontObject(LastFont);
    LastFont = SelectNew(dc, CurrentFont);
}

void ReselectFont() {
    SelectFont(CurrentDC);
}

void SetFontWidth(int32_t width) {
    CurrentFont.lfWidth = width;
    ReselectFont();
}

void SetFontBold(DeviceContext* dc, bool bold) {
    CurrentFont.lfWeight = bold ? 700 : 400;
    SelectFont(dc);
}

void SetBold(bool bold) {
    SetFontBold(CurrentDC, bold);
}

void SetTextColour(Colour colour) {
    if (CurrentDC != nullptr) CurrentDC->setTextColour(colour);
}

void SetBackColour(Colour colour) {
    if (CurrentDC != nullptr) CurrentDC->setBackColour(colour);
}

void SetTextAlignment(uint16_t flags) {
    if (CurrentDC != nullptr) CurrentDC->setAlignment(flags);
}

void DrawTextAt(DeviceContext* dc, int x, int y, std::string_view text) {
    if (dc != nullptr) dc->textOut(x, y, Utf8Left(text, 255));
}

void DrawText(int x, int y, std::string_view text) {
    DrawTextAt(CurrentDC, x, y, text);
}

void DrawColouredText(int x, int y, std::string_view text, Colour colour) {
    if (CurrentDC == nullptr) return;
    Colour before = CurrentDC->textColour();
    CurrentDC->setTextColour(colour);
    DrawText(x, y, text);
    CurrentDC->setTextColour(before);
}

int TextWidth(std::string_view text) {
    if (CurrentDC == nullptr) return 0;
    return text.size() <= 255 ? CurrentDC->textWidth(text)
                              : CurrentDC->textWidth(Utf8Left(text, 255));
}

void MoveTo(int x, int y) {
    if (CurrentDC != nullptr) CurrentDC->moveTo(x, y);
}

void DrawLineTo(int x, int y) {
    if (CurrentDC != nullptr) CurrentDC->lineTo(x, y);
}

void TextFont::Init(DeviceContext* dc) {
    dc_ = dc;
    font_ = std::make_unique<LogFont>();
    last_ = kNullFont;
}

void TextFont::SetSize(int32_t height, int32_t width) {
    if (!font_) return;
    font_->lfHeight = height;
    font_->lfWidth = width;
    Apply();
}

void TextFont::SetFace(std::string_view face) {
    if (!font_) return;
    font_->lfFaceName = Utf8Left(face, 31);
    Apply();
}

void TextFont::SetBold(bool bold) {
    if (!font_) return;
    font_->lfWeight = bold ? 700 : 400;
    Apply();
}

void TextFont::Apply() {
    if (!font_) return;
    DeleteFontObject(last_);
    last_ = SelectNew(dc_, *font_);
}

void TextFont::Done() {
    font_.reset();
    DeleteFontObject(last_);
    last_ = kNullFont;
}

}  // namespace velmora
