// The soak's driver: one action per turn of the event loop, on whichever of
// the program's windows is on top, then the invariants.
//
// Each turn is a single-shot timer that first arranges the next turn and then
// acts. An action that opens a modal window (the system window, the utilities
// editor) or the About window's own loop does not return until that window
// closes; the next turn, already arranged, runs inside that window's loop and
// drives it, as a user's clicks would.
#pragma once

#include <chrono>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "checks.h"
#include "dialogs.h"
#include "soak.h"

class QWidget;

namespace velmora {
class MainWindow;
class TemplateDialog;
}  // namespace velmora

namespace velmora::soak {

// An index drawn with the given weights.
int Choose(Rng& rng, std::initializer_list<int> weights);

struct Limits {
    double seconds = 20;
    long actions = 0;  // 0: no limit
};

class Driver {
  public:
    Driver(uint64_t seed, Limits limits, std::filesystem::path scratch);
    // Opens the main window, as the program does, until the limits are
    // reached; a main window the user closes is opened again.
    void run();

    double elapsedSeconds() const;
    long restarts() const { return restarts_; }

  private:
    void schedule();
    void turn();
    bool timeUp() const;
    void checkAll();
    void closeStep();

    // Which window a user would be acting on now.
    TemplateDialog* modalDialog(const char* name) const;
    TemplateDialog* aboutWindow() const;

    void actOnMain();
    void actOnMain(int kind);
    void actOnSystem(TemplateDialog& d);
    void actOnSystem(TemplateDialog& d, int kind);
    void actOnTools(TemplateDialog& d);
    void meddleWithFiles();

    // Input as a user gives it.
    void click(TemplateDialog& d, int id);
    void clickWidget(QWidget* w);
    bool menu(TemplateDialog& d, int id);
    void key(QWidget* w, int key, int modifiers = 0);
    // Types `text` into edit `id` (an inner edit id for a drop-down box):
    // key by key, pasted, or set as the tests do; returns how.
    std::string typeInto(TemplateDialog& d, int id, const std::string& text);
    void note(const char* window, std::string text);

    Rng rng_;
    Limits limits_;
    std::filesystem::path scratch_;
    SoakDialogs dialogs_;
    GridState grid_;
    MainWindow* main_ = nullptr;
    TemplateDialog* about_ = nullptr;  // the About window last seen
    std::chrono::steady_clock::time_point start_;
    bool pending_ = false;
    bool stopping_ = false;
    int closeAttempts_ = 0;
    long restarts_ = 0;
};

}  // namespace velmora::soak
