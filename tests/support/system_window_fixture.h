// The real system window on a fresh dialog, with scripted answers, and the
// typing every system window test needs; the fixture of the window's own
// tests.
#pragma once

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/arith/random.h"
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

// The conclusion of the system 2x + y = 1, x - y = 0.
inline const std::string kDetermined =
    " rango A = rango A' => sistema COMPATIBLE\r\n"
    " rango = 2 = nº incógnitas => DETERMINADO  (S.C.D.)\r\n\r\n"
    " Solución:   x = 1/3    y = 1/3    \r\n"
    "   Posición: Las dos rectas se cortan en un punto";

// The system window's own tests: random systems from a fixed seed, and a
// system analysed or added as the user does it.
class SystemWindowTest : public SystemWindowFixture {
  protected:
    void SetUp() override {
        SystemWindowFixture::SetUp();
        SeedRandom(20261207);
    }
    void analyse(const Rows& rows) {
        type(rows);
        d->click(1);
    }
    void add(const Rows& rows, const std::string& comment) {
        analyse(rows);
        SetItemText(*d, InnerChild(*d, 150), comment);
        d->click(15);
    }
    std::vector<std::string> comboEntries() {
        std::vector<std::string> e;
        for (int k = 1; k <= ComboCount(*d, 150); ++k) e.push_back(ComboItemText(*d, 150, k));
        return e;
    }
};

}  // namespace velmora::test
