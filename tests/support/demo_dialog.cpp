#include "support/demo_dialog.h"

#include "gui/drawing/matrix_drawing.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"

namespace velmora::test {

namespace {

using K = res::ControlKind;

const res::MenuTemplate kDemoMenu{
    "MnuDemo",
    {{"Archivo", {{9, "&Nuevo"}, {0, ""}, {2, "Salir"}}}, {"Ayuda", {{800, "Info"}}}},
};

const res::DialogTemplate kDemo{
    "Demo",
    "Demostración  ",
    20,
    20,
    200,
    150,
    false,
    res::kSystemFont,
    &kDemoMenu,
    {
        {30, K::GroupBox, "Matriz", 5, 5, 120, 60, res::kDrawingArea},
        {31, K::GroupBox, "Sistema", 5, 68, 120, 52, res::kDrawingArea},
        {40, K::Label, "Etiqueta", 130, 5, 60, 8},
        {101, K::Edit, "", 130, 15, 40, 10, res::kGroupStart},
        {102, K::Edit, "", 172, 15, 20, 10, res::kReadOnly | res::kCentred},
        {51, K::Radio, "1", 130, 28, 16, 8, res::kGroupStart},
        {52, K::Radio, "2", 147, 28, 16, 8},
        {53, K::Radio, "3", 164, 28, 16, 8},
        {54, K::Radio, "4", 181, 28, 16, 8},
        {60, K::CheckBox, "Marca", 130, 38, 40, 8, res::kGroupStart},
        {61, K::CheckBox, "", 175, 39, 5, 5},
        {150, K::DropDown, "", 130, 48, 64, 60, res::kVScroll},
        {160, K::ListBox, "", 130, 62, 58, 30, res::kNotify | res::kVScroll | res::kBorder},
        {81, K::VScrollBar, "", 190, 62, 6, 30},
        {80, K::HScrollBar, "", 130, 96, 66, 5},
        {250, K::MultiLineEdit, "", 5, 123, 120, 24},
        {1, K::Button, "Ok", 130, 136, 30, 10},
        {2, K::Button, "Salir", 165, 136, 30, 10, res::kNoTabStop},
    },
};

std::string Format(const char* what, std::initializer_list<int> values) {
    std::string s = what;
    for (int v : values) {
        s += ' ';
        s += std::to_string(v);
    }
    return s;
}

}  // namespace

const res::DialogTemplate& DemoTemplate() {
    return kDemo;
}

DialogColours DemoColours() {
    return {Rgb(0, 123, 255), Rgb(0, 123, 255), Rgb(250, 250, 220), Rgb(0, 236, 140)};
}

void RecordingHandler::onInit(TemplateDialog& d) {
    log.push_back("init");
    if (onInitAction) onInitAction(d);
}

void RecordingHandler::onCommand(TemplateDialog& d, int id, int notification) {
    log.push_back(Format("command", {id, notification}));
    if (id == kCommandEscape && endOnEscape) d.end(0);
}

void RecordingHandler::onPaint(TemplateDialog& d) {
    log.push_back("paint");
    if (onPaintAction) onPaintAction(d);
}

void RecordingHandler::onMouseDown(TemplateDialog&, int x, int y) {
    log.push_back(Format("mouse", {x, y}));
}

void RecordingHandler::onScroll(TemplateDialog&, int id, int code, int pos) {
    log.push_back(Format("scroll", {id, code, pos}));
}

std::vector<std::string> RecordingHandler::events() const {
    std::vector<std::string> e;
    for (const std::string& s : log) {
        if (s != "before") e.push_back(s);
    }
    return e;
}

void DrawDemo(TemplateDialog& d) {
    DrawingPane* matrixPane = d.paneOf(30);
    DrawingPane* systemPane = d.paneOf(31);
    if (matrixPane == nullptr || systemPane == nullptr) return;
    const int mw = matrixPane->width();
    const int mh = matrixPane->height();
    matrixPane->dc().fillRect(4, 18, mw - 6, mh - 8, Rgb(255, 255, 231));
    CurrentDC = &matrixPane->dc();
    SelectFont(CurrentDC);
    SetBackColour(Rgb(255, 255, 231));
    SetTextColour(Rgb(0, 0, 200));
    DrawMatrixAt(Matrix::FromRows({{Fraction(-12, 7), 1, 3}, {0, 5, -1}}), 20, 30);
    DrawColouredText(150, 30, "K", Rgb(200, 0, 100));
    DrawMatrixAt(Matrix::FromRows({{2, 0}, {-1, Fraction(3, 4)}}), 170, 30);

    const int sw = systemPane->width();
    const int sh = systemPane->height();
    systemPane->dc().rectangle(8, 20, sw - 8, sh - 6, Rgb(255, 255, 231));
    CurrentDC = &systemPane->dc();
    SelectFont(CurrentDC);
    SetBackColour(Rgb(255, 255, 231));
    SetTextColour(Rgb(0, 0, 0));
    DrawMatrixAt(Matrix::FromRows({{2, -1, 0, 5}, {1, Fraction(3, 2), -3, -4}, {0, 1, 1, 0}}), 20,
                 30, {.equations = true});
    SetTextAlignment(kAlignLeftTop);
    CurrentDC = &d.dc();
}

}  // namespace velmora::test
