// How fast the windows answer: each main-window command on a 4 x 4 working
// matrix with fourteen matrices stored, followed by a full repaint of the
// panel and Qt's own repaint of what changed; and the system window reading,
// analysing and repainting a 4 x 4 system; and the "Pasos" window of a 4 x 5
// elimination, opened and scrolled. Runs on Qt's offscreen platform.
// Prints the median and the slowest of many runs of each, and the peak
// memory of the process at the end. Not a test: `make bench` runs it.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/arith/random.h"
#include "gui/main/main_window.h"
#include "gui/steps/steps_window.h"
#include "gui/systems/system_window.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"
#include "resources/templates.h"

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;
namespace p = principal;

int kRuns = 300;  // VELMORA_BENCH_RUNS changes it (profiling)

struct Figure {
    std::string what;
    double medianMs;
    double worstMs;
    double ownMedianMs;  // before Qt repaints the widgets
};

std::vector<Figure> figures;

// Runs `prepare` untimed, then times `work` followed by the repaints.
void Measure(const std::string& what, const std::function<void()>& prepare,
             const std::function<void()>& work) {
    // VELMORA_BENCH_ONLY=text measures only the figures whose name holds it (profiling).
    if (const char* only = std::getenv("VELMORA_BENCH_ONLY"); only && what.find(only) == std::string::npos) {
        return;
    }
    std::vector<double> ms;
    std::vector<double> own;
    for (int k = 0; k < kRuns; ++k) {
        prepare();
        QApplication::processEvents();
        const auto start = Clock::now();
        work();
        const auto ours = Clock::now();
        QApplication::processEvents();
        const auto end = Clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        own.push_back(std::chrono::duration<double, std::milli>(ours - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::sort(own.begin(), own.end());
    figures.push_back({what, ms[ms.size() / 2], ms.back(), own[own.size() / 2]});
}

void TypeMatrix(TemplateDialog& d, const int (&cells)[4][4]) {
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 4; ++c) SetItemText(d, p::CellId(r, c), std::to_string(cells[r - 1][c - 1]));
}

long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

void StepsFigures(MainWindow& window);

void MainWindowFigures() {
    MainWindow window;
    TemplateDialog& d = window.dialog();
    d.start();
    QApplication::processEvents();
    d.click(54);  // 4 rows
    d.click(58);  // 4 columns
    // Fourteen 4 x 4 matrices with small entries, so that products and powers stay in range.
    for (int k = 0; k < 14; ++k) {
        int cells[4][4];
        for (auto& row : cells)
            for (int& v : row) v = RandomInRange(-2, 3);
        TypeMatrix(d, cells);
        d.command(p::kEditorOk);
        d.command(p::kStore);
        d.command(p::kNewMatrix);
    }
    const int working[4][4] = {{2, 1, 0, 1}, {1, 1, 1, 0}, {0, 1, 2, 1}, {1, 0, 1, 1}};
    // Each command starts from the working matrix typed again: commands
    // repeated on their own result (cofactors of cofactors, M · 2/3 of
    // M · 2/3, ...) leave 32 bits within a few runs, and the figure would be
    // that of the refusal instead of the command's.
    const auto commit = [&] {
        TypeMatrix(d, working);
        d.command(p::kEditorOk);
    };
    commit();
    const auto repaint = [&] { d.paint(); };
    const auto command = [&](int id) {
        return [&d, id, &repaint] {
            d.command(id);
            repaint();
        };
    };
    Measure("commit (Ok)", [] {}, command(p::kEditorOk));
    Measure("trasp.", commit, command(p::kTranspose));
    Measure("adjuntos", commit, command(p::kCofactors));
    Measure("inversa", commit, command(p::kInverse));
    Measure("triangular (Gauss)", commit, command(p::kTriangular));
    Measure("diagonal (Gauss-Jordan)", commit, command(p::kDiagonal));
    SetItemText(d, p::kFactorBox, "2/3");
    Measure("M · 2/3", commit, command(p::kMulFactor));
    SetItemText(d, p::kExponentBox, "10");
    Measure("M ^ 10", commit, command(p::kPower));
    SetItemText(d, p::kExpression + kInnerEditBase, "(J+K)*L^3");
    Measure("(J+K)*L^3", commit, command(p::kExprOk));
    Measure("panel repaint alone", [] {}, repaint);
    StepsFigures(window);
    d.end(0);
}

// "Pasos..." after "triangular (Gauss)" of a 4 x 5 matrix: opening the
// window, which draws every step, and scrolling through the steps.
void StepsFigures(MainWindow& window) {
    TemplateDialog& d = window.dialog();
    d.click(59);  // 5 columns
    const int cells[4][5] = {{2, 1, -1, 3, 1}, {4, 3, 1, 0, 2}, {-2, 5, 3, 1, 0}, {6, 2, 0, 4, -3}};
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 5; ++c)
            SetItemText(d, p::CellId(r, c), std::to_string(cells[r - 1][c - 1]));
    d.command(p::kEditorOk);
    d.command(p::kTriangular);
    const auto close = [&window] {
        if (StepsWindow* s = window.stepsWindow(); s != nullptr && s->isOpen())
            s->window()->pressEscape();
    };
    Measure("Pasos: open, 4 x 5 elimination", close, [&d] { d.command(p::kSteps); });
    if (window.stepsWindow() == nullptr) return;  // not opened: VELMORA_BENCH_ONLY left it out
    TemplateDialog& steps = *window.stepsWindow()->window();
    int position = 0;
    Measure(
        "Pasos: scroll 120 px", [] {},
        [&] {
            position = (position + 120) % 600;
            ScrollSetPos(steps, StepsWindow::kPane, position);
        });
    close();
}

void SystemWindowFigures() {
    SystemWindow& window = TheSystemWindow();
    TemplateDialog d(res::SistEqTemplate(), window, SystemWindowColours());
    d.start();
    QApplication::processEvents();
    d.scroll(50, kScrollThumbTrack, 4);
    d.scroll(51, kScrollThumbTrack, 4);
    const int rows[4][5] = {{2, 1, 0, 1, 3}, {1, -1, 1, 0, 2}, {0, 1, 2, 1, -1}, {1, 0, 1, 3, 4}};
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) SetItemText(d, 100 + 5 * (i - 1) + j, std::to_string(rows[i - 1][j - 1]));
        SetItemText(d, 100 + 5 * (i - 1) + 5, std::to_string(rows[i - 1][4]));
    }
    Measure("system: read, analyse and draw 4 x 4", [] {}, [&] {
        d.click(1);
        d.paint();
    });
    Measure("system: repaint (analysis again)", [] {}, [&] { d.paint(); });
    d.end(0);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (const char* runs = std::getenv("VELMORA_BENCH_RUNS")) kRuns = std::max(1, std::atoi(runs));
    InitTextOutput();
    DeviceContext::setRecording(false);  // as the program runs
    SeedRandom(20261207);
    MainWindowFigures();
    SystemWindowFigures();
    std::printf("%-40s %10s %10s %16s\n", "command", "median ms", "slowest", "median before Qt");
    for (const Figure& f : figures)
        std::printf("%-40s %10.3f %10.3f %16.3f\n", f.what.c_str(), f.medianMs, f.worstMs, f.ownMedianMs);
    std::printf("peak memory (VmHWM) of this process: %ld kB\n", PeakKilobytes());
    return 0;
}
