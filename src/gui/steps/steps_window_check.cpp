// "Comprobar mis pasos" in the "Pasos" window: the student's working on the
// left, checked as they type; on the right the matrix it starts from, each
// step with the matrix they wrote and its marks, and the form of the last
// matrix, lines wrapped to the pane.
#include <algorithm>

#include "core/check/check_text.h"
#include "core/check/working_file.h"
#include "core/toolkit/strings.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/drawing/matrix_drawing.h"
#include "gui/steps/steps_window.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"

namespace velmora {

namespace {

constexpr Colour kRightMark = Rgb(0, 128, 0);
constexpr Colour kWrongMark = Rgb(200, 0, 0);
constexpr Colour kUnreadMark = Rgb(128, 128, 128);
constexpr const char* kWorkingFiles = "./*.txt";

constexpr int kMargin = 8;
constexpr int kLineHeight = 18;
constexpr int kMatrixIndent = 20;
constexpr int kGap = 12;
constexpr int kReasonIndent = 16;

// What the pane shows, top to bottom: lines of text, each after its mark
// if it has one, and matrices.
struct Item {
    std::string text;
    Colour colour = kStepsNotation;
    StepMatrix matrix;  // drawn instead of the text when not empty
    std::string mark;   // "✓", "✗" or "?" before the text, in its own colour
    int indent = 0;
};

int Height(const Item& item) {
    if (!item.matrix.empty()) return item.matrix.rows * 16 + kGap;
    return item.text.empty() ? kLineHeight / 2 : kLineHeight;
}

Colour MarkColour(std::string_view mark) {
    if (mark == "✓") return kRightMark;
    return mark == "✗" ? kWrongMark : kUnreadMark;
}

// The text in lines no wider than `width` (as TextWidth measures them now),
// broken at blanks; the lines after the first indented.
std::vector<std::string> Wrapped(const std::string& text, int width) {
    if (TextWidth(text) <= width) return {text};
    std::vector<std::string> lines;
    std::string line;
    for (const std::string_view word : SplitAt(text, " ")) {
        const std::string longer =
            line.empty() ? std::string(word) : line + " " + std::string(word);
        if (!line.empty() && TextWidth(longer) > width) {
            lines.push_back(line);
            line = "   " + std::string(word);
        } else {
            line = longer;
        }
    }
    lines.push_back(line);
    return lines;
}

void AddText(std::vector<Item>& items, const std::string& text, int width, Colour colour,
             int indent = 0) {
    for (std::string& line : Wrapped(text, width - indent))
        items.push_back({std::move(line), colour, {}, {}, indent});
}

// A heading after the mark of its lines (the first wrong one's, if any),
// the matrix written, then the lines' reasons under it in the mark's colour.
void AddMarked(std::vector<Item>& items, const std::string& heading, const Matrix* written,
               const std::vector<std::string>& marks, int width) {
    std::string mark = "✓";
    for (const std::string& line : marks) {
        const std::string first = line.substr(0, line.find(' '));
        if (mark != "✗") mark = first;
    }
    const std::size_t from = items.size();
    AddText(items, heading, width - TextWidth(mark + " "), kStepsNotation);
    items[from].mark = mark;
    if (written) items.push_back({{}, kStepsMatrix, StepMatrix::Of(*written), {}});
    for (const std::string& line : marks) {
        const std::size_t blank = line.find(' ');
        if (blank == std::string::npos) continue;  // a bare mark says it all
        const std::string first = line.substr(0, blank);
        AddText(items, line.substr(blank + 1), width, MarkColour(first), kReasonIndent);
    }
    items.emplace_back();  // a gap before the next
}

// The items of a checked working, in the order of the working.
std::vector<Item> CheckItems(const WorkingCheck& check, int width) {
    std::vector<Item> items;
    std::size_t claim = 0;
    const auto claimsUpTo = [&](std::size_t part) {
        while (claim < check.claims.size() && check.claims[claim].part <= part) {
            const std::size_t line = check.claims[claim].part;
            std::vector<std::string> marks;
            for (; claim < check.claims.size() && check.claims[claim].part == line; ++claim)
                for (std::string& m : ClaimMarkLines(check.claims[claim])) marks.push_back(m);
            AddMarked(items, PartHeading(check.parts[line]), nullptr, marks, width);
        }
    };
    for (const CheckedStep& step : check.steps) {
        claimsUpTo(step.part);
        AddMarked(items, StepHeading(check, step), step.written ? &*step.written : nullptr,
                  StepMarkLines(check, step), width);
    }
    claimsUpTo(SIZE_MAX);
    if (!check.steps.empty()) AddText(items, FormLine(check.form), width, kStepsNotation);
    return items;
}

}  // namespace

void StepsWindow::onInit(TemplateDialog&) {
    showChecking(checking_);
}

void StepsWindow::checkFrom(std::optional<Matrix> start, std::string whyNot) {
    if (start == start_ && whyNot == noStart_) return;
    start_ = std::move(start);
    noStart_ = std::move(whyNot);
    recheck();
}

void StepsWindow::setWorkingText(std::string text) {
    if (window_ == nullptr) return;
    SetItemTextZ(*window_, kWorking, text);
    GetItemTextAlloc(*window_, kWorking, working_);  // with the edit's line breaks
    recheck();
}

void StepsWindow::showChecking(bool checking) {
    checking_ = checking;
    TemplateDialog& d = *window_;
    ShowItemIf(d, kPane, !checking);
    ShowItemIf(d, kCopyLatex, !checking);
    for (const int id : {kWorking, kMarks, kOpen, kSave}) ShowItemIf(d, id, checking);
    SetItemText(d, kCheck, checking ? "Ver los pasos" : "Comprobar mis pasos");
    if (checking) {
        drawMarks();
        SetFocusItem(d, kWorking);
    }
    enableButtons();
}

void StepsWindow::enableButtons() {
    TemplateDialog& d = *window_;
    EnableItem(d, kCopy, checking_ ? !Trim(working_).empty() : !steps_.empty());
    EnableItem(d, kCopyLatex, !steps_.empty());
    EnableItem(d, kSave, !working_.empty());
}

void StepsWindow::recheck() {
    check_ = start_ ? CheckWorking(*start_, working_) : WorkingCheck{};
    if (window_ == nullptr) return;
    drawMarks();
    enableButtons();
}

void StepsWindow::drawMarks() {
    DrawingPane* pane = window_->paneOf(kMarks);
    if (pane == nullptr) return;
    const int scrolled = ScrollGetPos(*window_, kMarks);
    DeviceContext* before = CurrentDC;
    CurrentDC = &pane->dc();
    DrawingSize natural({16, 0});
    SelectFont(CurrentDC);
    const QSize view = PaneViewSize(*window_, kMarks);
    const int width = view.width() - 2 * kMargin;
    std::vector<Item> items;
    if (!start_) {
        AddText(items, noStart_, width, kStepsNotation);
    } else {
        items.push_back({"matriz de partida:", kStepsNotation, {}, {}});
        items.push_back({{}, kStepsMatrix, StepMatrix::Of(*start_), {}});
        if (check_.steps.empty() && check_.claims.empty()) {
            for (const char* line :
                 {"Escribe a la izquierda tus pasos desde esta matriz, uno por bloque: una "
                  "operación y la matriz que da, o solo la matriz.",
                  "   F2 ← F2 - 3F1     F1 ↔ F3     F2 ← F2 / 5",
                  "   (también F2 <- F2 - 3F1, F1 <-> F3)", "Al final, si quieres, la conclusión:",
                  "   rango = 2     S.C.D.     x = 1, y = 2"})
                AddText(items, line, width, kStepsNotation);
        }
        std::vector<Item> steps = CheckItems(check_, width);
        std::move(steps.begin(), steps.end(), std::back_inserter(items));
    }
    // Measured first: the surface is made once, to size.
    int height = kMargin;
    int widest = 0;
    {
        DrawingSize usual({16, 6});
        for (const Item& item : items) {
            height += Height(item);
            if (!item.matrix.empty())
                widest = std::max(widest, kMatrixIndent + MatrixDrawingWidth(item.matrix));
        }
    }
    pane->resizeSurface(
        QSize(std::max(widest + kMargin, view.width()), std::max(height + kMargin, view.height())),
        kStepsFill);
    SetBackColour(kStepsFill);
    SetTextAlignment(kAlignLeftTop);
    int y = kMargin;
    for (const Item& item : items) {
        if (item.matrix.empty()) {
            int x = kMargin + item.indent;
            if (!item.mark.empty()) {
                SetTextColour(MarkColour(item.mark));
                DrawText(x, y, item.mark);
                x += TextWidth(item.mark + " ");
            }
            SetTextColour(item.colour);
            DrawText(x, y, item.text);
            y += Height(item);
            continue;
        }
        DrawingSize usual({16, 6});
        SetTextColour(item.colour);
        uint16_t right = 0;
        uint16_t bottom = 0;
        DrawMatrix(item.matrix, kMatrixIndent, static_cast<uint16_t>(y), right, bottom);
        y += item.matrix.rows * 16 + kGap;
    }
    CurrentDC = before;
    ScrollSetPos(*window_, kMarks, scrolled);
}

void StepsWindow::openWorking() {
    if (!working_.empty() && working_ != saved_ &&
        AskYesNoStyled("Abrir pasos",
                       "Los pasos escritos no se han guardado. ¿Cambiarlos por los del fichero?",
                       kMbIconQuestion | kMbDefButton2) != kIdYes) {
        return;
    }
    std::string name = kWorkingFiles;
    if (!AskOpenFile(name)) return;
    std::string text;
    std::string error;
    if (!ReadWorkingFile(name, text, error)) {
        ShowMessageStyled("Abrir pasos", error, kMbIconExclamation);
        return;
    }
    setWorkingText(std::move(text));
    saved_ = working_;
    SetFocusItem(*window_, kWorking);
}

void StepsWindow::saveWorking() {
    std::string name = kWorkingFiles;
    if (!AskSaveFile(name)) return;
    std::string text;  // the edit's CR LF written as LF
    for (const std::string_view line : TextLines(working_)) text += std::string(line) + "\n";
    text.pop_back();
    std::string error;
    if (!WriteWorkingFile(name, text, error)) {
        ShowMessageStyled("Guardar pasos", error, kMbIconExclamation);
        return;
    }
    saved_ = working_;
}

}  // namespace velmora
