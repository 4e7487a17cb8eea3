// The main window on Qt's offscreen platform, driven by control id as a user
// would drive it, with every message box answered by the scripted provider.
#pragma once

#include <QPoint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/arith/random.h"
#include "gui/main/main_window.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"
#include "support/scripted_dialogs.h"

namespace velmora::test {

using Grid = std::vector<std::vector<std::string>>;

class MainWindowTest : public ::testing::Test {
  protected:
    ScriptedDialogs boxes;
    MainWindowHooks hooks;
    std::unique_ptr<MainWindow> window;
    TemplateDialog* d = nullptr;

    void SetUp() override { open(); }

    void open() {
        InitTextOutput();
        SeedRandom(1234);
        window = std::make_unique<MainWindow>(hooks);
        d = &window->dialog();
        d->start();
    }

    // Sets the editor size with the radio buttons and types the cells.
    void type(const Grid& rows) {
        const int r = static_cast<int>(rows.size());
        const int c = static_cast<int>(rows[0].size());
        d->click(50 + r);
        d->click(54 + c);
        for (int i = 1; i <= r; ++i) {
            for (int j = 1; j <= c; ++j) {
                SetItemText(*d, principal::CellId(i, j), rows[i - 1][j - 1]);
            }
        }
    }
    // Types and presses the editor's "Ok ".
    void commit(const Grid& rows) {
        type(rows);
        d->click(principal::kEditorOk);
    }
    // "Nueva ", types, "Ok ", "<-": appends a matrix to the store.
    void append(const Grid& rows) {
        if (IsItemEnabled(*d, principal::kNewMatrix)) d->click(principal::kNewMatrix);
        commit(rows);
        d->click(principal::kStore);
    }

    // The cell texts of the editor's used part.
    Grid shown() {
        Grid g;
        for (int i = 1; i <= window->editorRows(); ++i) {
            g.emplace_back();
            for (int j = 1; j <= window->editorCols(); ++j) {
                g.back().push_back(GetItemText(*d, principal::CellId(i, j)));
            }
        }
        return g;
    }
    std::string caption() { return GetItemText(*d, principal::kEditorGroup); }

    DrawingPane& pane() { return *d->paneOf(principal::kPanel); }
    // A panel point as a click on the dialog's client area.
    void clickPanel(int x, int y) {
        const QPoint p = d->itemRect(principal::kPanel).topLeft() + QPoint(x, y);
        d->mouseDown(p.x(), p.y());
    }
    void clickSlot(int slot) {
        const MainWindow::Rect r = window->hitRect(slot);
        clickPanel(r.left + 1, r.top + 1);
    }

    void evaluate(const std::string& text) {
        SetItemText(*d, principal::kExpression, text);
        d->click(principal::kExprOk);
    }
};

}  // namespace velmora::test
