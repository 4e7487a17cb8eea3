// A small dialog built from a template of the tests' own, with a handler that
// records every event it gets. Used by the window-layer tests and for the
// screenshot of the demonstration.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/toolkit/template_dialog.h"
#include "resources/templates.h"

namespace velmora::test {

const res::DialogTemplate& DemoTemplate();
DialogColours DemoColours();

// Records "before", "init", "command <id> <notification>", "paint",
// "mouse <x> <y>", "scroll <id> <code> <pos>"; ends the dialog with 0 on
// command 2 when endOnEscape is set.
class RecordingHandler : public DialogHandler {
  public:
    std::vector<std::string> log;
    bool endOnEscape = true;
    std::function<void(TemplateDialog&)> onInitAction;
    std::function<void(TemplateDialog&)> onPaintAction;

    void beforeEvent(TemplateDialog&) override { log.push_back("before"); }
    void onInit(TemplateDialog& d) override;
    void onCommand(TemplateDialog& d, int id, int notification) override;
    void onPaint(TemplateDialog& d) override;
    void onMouseDown(TemplateDialog&, int x, int y) override;
    void onScroll(TemplateDialog&, int id, int code, int pos) override;

    // The log without the "before" entries.
    std::vector<std::string> events() const;
};

// Draws the demonstration: a matrix with its bars in pane 30 and a system as
// equations in pane 31, through TextOutput and DrawMatrix.
void DrawDemo(TemplateDialog& d);

}  // namespace velmora::test
