// The system window: the modal dialog SistEq in which the user types a system
// of 2 to 4 linear equations in 2 to 4 unknowns, has it classified and solved,
// sees A' and A beside their triangular forms, and keeps systems in a
// commented list with its .sts files.
//
// One class in three files: system_window.cpp keeps the widgets, the
// commands and the list; system_grid.cpp reads and checks the grid;
// system_displays.cpp shows the analysis and draws the three areas.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/matrix/matrix.h"
#include "core/systems/discussion.h"
#include "core/systems/linear_system.h"
#include "core/systems/system_list.h"
#include "gui/steps/steps_window.h"
#include "gui/systems/view_window.h"
#include "gui/toolkit/template_dialog.h"

namespace velmora {

// Fixed colours of the window.
inline constexpr Colour kSystemDialogColour = Rgb(0, 123, 255);  // dialog and statics
inline constexpr Colour kSystemEditColour = Rgb(250, 250, 220);
inline constexpr Colour kSystemScrollColour = Rgb(0, 236, 140);
inline constexpr Colour kEquationsAreaColour = Rgb(255, 255, 231);  // drawing area 30
inline constexpr Colour kMatrixAreaColour = Rgb(255, 190, 211);     // drawing areas 31, 32

DialogColours SystemWindowColours();

// Id of the grid cell of equation i (1..4) and column j (1..5; 5 is the
// right-hand side).
constexpr int CellId(int i, int j) {
    return 100 + 5 * (i - 1) + j;
}

// Controls of SistEq, shared by the window's files.
namespace sisteq {
inline constexpr int kOk = 1;
inline constexpr int kClose = 2;
inline constexpr int kRandom = 8;
inline constexpr int kNew = 9;
inline constexpr int kFirstHeading = 10;  // "x"; "t" is 13
inline constexpr int kAdd = 15;
inline constexpr int kReset = 16;
inline constexpr int kDelete = 17;
inline constexpr int kRename = 18;
inline constexpr int kEquationsArea = 30;
inline constexpr int kAugmentedArea = 31;
inline constexpr int kCoefficientsArea = 32;
inline constexpr int kUnknownsBar = 50;
inline constexpr int kEquationsBar = 51;
inline constexpr int kCommentBox = 150;
inline constexpr int kRankAugmented = 200;
inline constexpr int kRankCoefficients = 201;
inline constexpr int kConclusion = 250;
// Menu MNUSIST ("&Nuevo" and "&Generar" are 9 and 8, as the buttons).
inline constexpr int kOpen = 205;
inline constexpr int kSave = 210;
inline constexpr int kAppend = 215;
inline constexpr int kSteps = 220;  // "Pasos..."
inline constexpr int kView = 221;   // "Vista"
inline constexpr int kSubstitute = 225;      // "Sustituir parámetro..."
inline constexpr int kUndoSubstitute = 226;  // "Deshacer sustitución", Ctrl+Z
inline constexpr int kCopy = 311;
inline constexpr int kCopyLatex = 312;
inline constexpr int kPaste = 313;

inline constexpr int kFirstCell = CellId(1, 1);
inline constexpr int kLastCell = CellId(4, 5);
inline constexpr int kRightHandSide = 5;
inline constexpr int kMinCount = 2;
inline constexpr int kMaxCount = 4;

// The counts of unknowns and of equations the scroll bars show.
int Unknowns(TemplateDialog& d);
int Equations(TemplateDialog& d);
}  // namespace sisteq

class SystemWindow : public DialogHandler {
  public:
    // --- kept for the whole program run; the window may open many times ---
    Matrix current;  // A' of the current system
    // The discussion of the current system when it holds the parameter a (a
    // grid with an a in it was read): then it is what the window shows, and
    // `current` is not used. None for a system of numbers.
    std::shared_ptr<const Discussion> discussion;
    // `current` has held a system at some time in the run (read, picked or
    // handed over), so a grid layout that keeps its text may show it again.
    bool currentHoldsSystem = false;
    int startEquations = 3;
    int startUnknowns = 3;
    bool handedOver = false;

    // What the main window does before opening: current := m, handedOver := true.
    void handOver(const Matrix& m);

    // --- one opening (read-only views for the tests) ---
    const SystemList& list() const { return list_; }
    std::size_t selected() const { return selected_; }
    bool hasSystem() const { return hasSystem_; }
    // The "Pasos" window, while one has been opened.
    StepsWindow* stepsWindow() const { return steps_.window(); }
    // Closes it: before the dialog that owns it goes.
    void closeSteps() { steps_.close(); }
    // The "Vista" window, while one is open.
    ViewWindow* viewWindow() const { return view_; }
    // The system on show is discussed by the values of a.
    bool discussing() const { return hasSystem_ && discussion != nullptr; }

    void checkpoint(TemplateDialog& d) override;
    void rollback(TemplateDialog& d) override;
    void beforeEvent(TemplateDialog& d) override;
    void onInit(TemplateDialog& d) override;
    void onCommand(TemplateDialog& d, int id, int notification) override;
    void onPaint(TemplateDialog& d) override;
    void onScroll(TemplateDialog& d, int id, int code, int pos) override;
    bool commandOverControl(TemplateDialog& d, int id, int control) override;

  private:
    void applyEnableRules(TemplateDialog& d);
    void layOutGrid(TemplateDialog& d, bool clear);
    std::vector<std::vector<std::string>> gridCells(TemplateDialog& d);
    void readGridAndAnalyse(TemplateDialog& d, bool reportOverflow = true);
    void substituteParameter(TemplateDialog& d);
    void undoSubstitution(TemplateDialog& d);
    bool readCell(TemplateDialog& d, const std::string& text, int i, int j, Fraction& f);
    void discussGrid(TemplateDialog& d, const std::vector<std::vector<std::string>>& cells);
    void showSystemInGrid(TemplateDialog& d);
    void analyseAndShow(TemplateDialog& d);
    void showDiscussion(TemplateDialog& d);
    void enterKey(TemplateDialog& d);
    struct Displays;
    void drawDisplays(TemplateDialog& d, const Displays& displays);
    void refuseGrid(TemplateDialog& d, const std::string& text);
    void clearDisplays(TemplateDialog& d);
    void randomSystem(TemplateDialog& d);
    void newSystem(TemplateDialog& d);
    void addCurrentSystem(TemplateDialog& d);
    void resetList(TemplateDialog& d);
    void deleteSelected(TemplateDialog& d);
    void renameSelected(TemplateDialog& d);
    void pickSystem(TemplateDialog& d);
    void openFile(TemplateDialog& d);
    void refillCommentBox(TemplateDialog& d);
    void closeWindow(TemplateDialog& d);
    // "Pasos...": the steps of the current analysis.
    void openSteps(TemplateDialog& d);
    std::vector<Step> analysisSteps() const;
    // With the parameter: the elimination of A' by cases, or why there is none.
    std::pair<std::vector<Step>, std::string> stepsByCases() const;
    void followSteps();
    // "Vista": the picture of the system on show, following it.
    void openView(TemplateDialog& d);
    void followView();
    // --- clipboard ---
    void copySystem(TemplateDialog& d, bool latex);
    void pasteSystem(TemplateDialog& d);

    // --- anew at each opening ---
    SystemList list_;
    std::size_t selected_ = 0;
    bool hasSystem_ = false;
    StepsWindowSlot steps_{"Pasos del sistema"};
    std::optional<Matrix> stepsShown_;  // the system whose steps the window shows
    std::shared_ptr<const Discussion> casesShown_;  // or the one with the parameter
    QPointer<ViewWindow> view_;         // a child of the dialog: it goes with it
    // The displays show the analysis of the system on show (not cleared
    // since, as "rnd" and a change of the counts clear them).
    bool analysisShown_ = false;
    // `current` was read, picked or handed over and not analysed since: a
    // solution that does not fit is still to be reported.
    bool overflowUnreported_ = false;
    // The grid with the parameter a substitution replaced, while it can come
    // back, and the system of numbers the substitution gave: that one is
    // analysed even with an equation 0 = 0, which a typed system may not hold.
    std::optional<std::vector<std::vector<std::string>>> beforeSubstitution_;
    std::optional<Matrix> substituted_;

    // What rollback puts back after a command that failed half-way.
    struct Saved {
        Matrix current;
        std::shared_ptr<const Discussion> discussion;
        bool currentHoldsSystem = false;
        int startEquations = 3, startUnknowns = 3;
        SystemList list;
        std::size_t selected = 0;
        bool hasSystem = false;
        int unknowns = 3, equations = 3;
        std::array<std::string, 20> cells;
        std::array<bool, 20> cellEnabled{};
        std::vector<std::string> comments;  // the comment box's entries
        std::string comment;                // and its edit field
        std::optional<std::vector<std::vector<std::string>>> beforeSubstitution;
        std::optional<Matrix> substituted;
    };
    std::unique_ptr<Saved> saved_;
};

// The one system window of the program run.
SystemWindow& TheSystemWindow();

// Opens the system window modally and returns when it is closed. nullptr
// opens it empty; a matrix is handed over as a system (rows = equations,
// columns - 1 = unknowns), analysed and drawn at once. The caller's matrix
// is copied, never changed.
void OpenSystemWindow(const Matrix* handedOver);

}  // namespace velmora
