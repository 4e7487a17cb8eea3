// The real system window on a fresh dialog, with scripted answers, and the
// typing every system window test needs.
#pragma once

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gui/systems/system_window.h"
#include "gui/textout/text_output.h"
#include "gui/toolkit/dialog_helpers.h"
#include "support/scripted_dialogs.h"

namespace velmora::test {

// Rows of an augmented system: coefficients, then the right-hand side.
using Rows = std::vector<std::vector<std::string>>;

class SystemWindowFixture : public ::testing::Test {
  protected:
    void SetUp() override { InitTextOutput(); }
    void TearDown() override {
        if (d && !d->ended()) d->end(0);
        d.reset();
        CurrentDC = nullptr;
    }
    void open() {
        d = std::make_unique<TemplateDialog>(res::SistEqTemplate(), w, SystemWindowColours());
        d->start();
        QApplication::processEvents();  // the first paint
    }
    // Sets the counts and types the rows.
    void type(const Rows& rows) {
        d->scroll(50, kScrollThumbTrack, static_cast<int>(rows[0].size()) - 1);
        d->scroll(51, kScrollThumbTrack, static_cast<int>(rows.size()));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int n = static_cast<int>(rows[i].size()) - 1;
            for (int j = 1; j <= n; ++j) SetItemText(*d, CellId(int(i) + 1, j), rows[i][j - 1]);
            SetItemText(*d, CellId(int(i) + 1, 5), rows[i][n]);
        }
    }
    std::vector<std::string> texts(int pane) { return d->paneOf(pane)->dc().drawnTexts(); }
    std::string conclusion() {
        std::string text;
        GetItemTextAlloc(*d, 250, text);
        return text;
    }

    SystemWindow w;
    ScriptedDialogs dialogs;
    std::unique_ptr<TemplateDialog> d;
};

}  // namespace velmora::test
