// The main window "Principal": the matrix panel with the store on the left,
// the matrix editor on the right, the operations and the expression box.
//
// One class owns the editing state (working matrix, its description, the
// committed flag, editor size, sub-matrix mode) and the store. Its helpers
// are split over four files: main_window.cpp (initialisation, dispatch,
// enable rules, operations), matrix_panel.cpp (store commands and the panel),
// matrix_editor.cpp (the grid) and matrix_clipboard.cpp (copy and paste).
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/matrix/branched_steps.h"
#include "core/matrix/matrix.h"
#include "core/matrix/parametric_cells.h"
#include "core/matrix/steps.h"
#include "core/store/matrix_store.h"
#include "gui/main/editor_state.h"
#include "gui/steps/steps_window.h"
#include "gui/textout/device_context.h"
#include "gui/toolkit/template_dialog.h"

namespace velmora {

class EquationWindow;

// Windows of other parts of the program, reached through these. An empty hook
// does nothing.
struct MainWindowHooks {
    // 206 ("Sistema >", "Hacer sistema") with a copy of the working matrix;
    // 210 ("Sistema de ecuaciones") with nullptr. Runs the system window modally.
    std::function<void(const Matrix* handedOver)> openSystemWindow;
    // 801 ("Respecto Velmora").
    std::function<void()> showAbout;
    // First step of the initialisation: fills the "Utilidades" popup.
    std::function<void(TemplateDialog&)> installUtilitiesMenu;
    // Offered every command first; true when it was a utilities command.
    std::function<bool(TemplateDialog&, int id)> handleUtilitiesCommand;
};

// The fixed colours of the main window.
inline constexpr Colour kPanelFill = Rgb(255, 255, 231);
inline constexpr Colour kMatrixText = Rgb(0, 0, 200);
inline constexpr Colour kSlotLetter = Rgb(200, 0, 100);
inline constexpr Colour kDialogBack = Rgb(96, 127, 240);
inline constexpr Colour kEditBack = Rgb(230, 255, 250);

// Control ids of "Principal".
namespace principal {
inline constexpr int kPanel = 0;
inline constexpr int kRnd = 3;
inline constexpr int kReset = 4;
inline constexpr int kEditorOk = 5;
inline constexpr int kSubM = 6;
inline constexpr int kExprOk = 7;
inline constexpr int kEditorGroup = 10;
inline constexpr int kDetLabel = 11;
inline constexpr int kExprGroup = 12;
inline constexpr int kRankLabel = 15;
inline constexpr int kMulFactor = 20;
inline constexpr int kPower = 25;
inline constexpr int kNewMatrix = 101;
inline constexpr int kGenerate = 102;
inline constexpr int kCountBox = 103;
inline constexpr int kStore = 104;
inline constexpr int kDelete = 105;
inline constexpr int kFactorBox = 120;
inline constexpr int kExponentBox = 125;
inline constexpr int kRankBox = 180;
inline constexpr int kDetBox = 182;
inline constexpr int kExpression = 190;
inline constexpr int kTranspose = 201;
inline constexpr int kCofactors = 202;
inline constexpr int kInverse = 203;
inline constexpr int kTriangular = 204;
inline constexpr int kDiagonal = 205;
inline constexpr int kToSystem = 206;
inline constexpr int kSteps = 207;     // menu "Pasos..."
inline constexpr int kEquation = 208;  // menu "Ecuación matricial..."
inline constexpr int kEigen = 209;     // menu "Valores propios..."
inline constexpr int kSystemWindow = 210;
inline constexpr int kSubstitute = 211;      // menu "Sustituir parámetro..."
inline constexpr int kUndoSubstitute = 212;  // menu "Deshacer sustitución", Ctrl+Z
inline constexpr int kPowerN = 213;          // menu "Potencia n-ésima..."
inline constexpr int kCopy = 311;
inline constexpr int kCopyLatex = 312;
inline constexpr int kPaste = 313;
inline constexpr int kInfo = 800;
inline constexpr int kAbout = 801;
inline constexpr int kContact = 802;
// Cell (r, c) of the grid, r = 1..4, c = 1..5.
constexpr int CellId(int r, int c) {
    return 150 + 5 * (r - 1) + c;
}
inline constexpr int kFirstCell = 151;
inline constexpr int kLastCell = 170;
}  // namespace principal

// Opens one of the program's documents ("Velmora.pdf", "Orbenit.htm") with
// its associated program; a document that is missing, or that nothing can
// open, is reported in a box naming it.
void OpenHelpDocument(std::string_view name);

// Caption and text of the question asked before the main window closes while
// the store holds matrices.
inline constexpr std::string_view kQuitCaption = "Salir";
inline constexpr std::string_view kQuitQuestion = "¿Salir? Las matrices guardadas se perderán.";
// The same while only the grid holds something.
inline constexpr std::string_view kQuitGridQuestion = "¿Salir? La matriz del editor se perderá.";

class MainWindow : public DialogHandler {
  public:
    explicit MainWindow(MainWindowHooks hooks = {});
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Runs "Principal" modally; returns when Esc or the close box ends it.
    int run();
    TemplateDialog& dialog() { return *dialog_; }

    // State, for the tests and the hooks.
    const EditorState& editor() const { return editor_; }
    const MatrixStore& store() const { return store_; }
    int editorRows() const { return rows_; }
    int editorCols() const { return cols_; }
    bool subMatrixMode() const { return subMatrix_; }

    // A slot's area on the panel (panel pixels, right and bottom exclusive),
    // as the last paint left it.
    struct Rect {
        int left = 0, top = 0, right = 0, bottom = 0;
        bool contains(int x, int y) const {
            return left <= x && x < right && top <= y && y < bottom;
        }
    };
    Rect hitRect(int slot) const { return hits_.at(slot); }
    // The "Pasos" window, while one has been opened.
    StepsWindow* stepsWindow() const { return stepsWindow_.window(); }
    // "Ecuación matricial...", once opened.
    EquationWindow* equationWindow() const { return equation_.get(); }
    // The "Discusión" window of a grid with a parameter, once opened.
    StepsWindow* discussionWindow() const { return discussionWindow_.window(); }
    // The grid holds the parameter: the committed matrix is this one, and
    // editor().working is only a matrix of zeros of its size.
    const ParametricCells* parametric() const { return parametric_ ? &*parametric_ : nullptr; }
    // "Valores propios..." and its "Pasos...", once opened.
    StepsWindow* eigenWindow() const { return eigenWindow_.window(); }
    StepsWindow* eigenStepsWindow() const { return eigenSteps_.window(); }
    // "Potencia n-ésima...", once opened.
    StepsWindow* powerWindow() const { return powerWindow_.window(); }

    // DialogHandler
    void checkpoint(TemplateDialog& d) override;
    void rollback(TemplateDialog& d) override;
    void beforeEvent(TemplateDialog& d) override;
    void onInit(TemplateDialog& d) override;
    void onCommand(TemplateDialog& d, int id, int notification) override;
    void onPaint(TemplateDialog& d) override;
    void onMouseDown(TemplateDialog& d, int x, int y) override;
    void onContextMenu(TemplateDialog& d, int x, int y) override;
    bool commandOverControl(TemplateDialog& d, int id, int control) override;

  private:
    // --- main window (main_window.cpp) ---
    void applyEnableRules();
    void enableGridCommands();
    bool operationEnabled(int id) const;
    void refuseOperation(int id);
    void close();
    void enterKey();
    void applyOperation(int id);
    int operandSlot() const;
    void handOverToSystem();
    void showResult(const Matrix& result);
    void showResult(const Matrix& result, const Description& origin);
    void multiplyByFactor();
    void raiseToPower();
    void evaluateCommand();
    // "Pasos...": the steps of the working matrix.
    std::vector<Step> workingSteps() const;
    std::string whyNoSteps() const;
    bool stepsAvailable() const;
    void openSteps();
    void followSteps();
    // "Comprobar mis pasos" starts from the matrix the steps start from.
    void checkFromEditor();
    void openEquation();
    // "Valores propios...": the eigenvalues of the working matrix, and the
    // eliminations behind its eigenspaces ("Pasos...").
    void openEigen();
    void followEigen();
    // "Potencia n-ésima...": A^n in closed form (main_window_power.cpp).
    void openPower();
    void followPower();

    // --- a parameter in the grid (main_window_parameter.cpp) ---
    CellTexts gridTexts(int rows, int cols);
    bool readParametric(int rows, int cols, bool& refused);
    void showParametric();
    void showGrid();
    void discuss(ParametricOperation operation, const mpq_class& factor = 1, int exponent = 1);
    // "Pasos..." with the parameter: the elimination of the grid by cases.
    BranchedSteps branchedSteps() const;
    void substituteParameter();
    void undoSubstitution();
    void putTexts(const CellTexts& texts);
    void enableParameterCommands();

    // --- store and panel (matrix_panel.cpp) ---
    void storeWorking();
    void selectAt(int x, int y);
    void unselect();
    // unselect() without the caption and the enable rules, for a command
    // whose showMatrix sets both: the caption then changes at most once, and
    // the editor group (every cell in it) is not repainted for nothing.
    void clearSelection();
    void deleteSelected();
    void resetStore();
    void generate();
    void updateCaption();
    void paintPanel();
    void refreshStore();
    void invertSlot(int slot);

    // --- editor (matrix_editor.cpp) ---
    void setEditorSize(int r, int c);
    bool applySize(int r, int c);
    void enableToSystem();
    void showGridSize(int r, int c);
    void enableCellsInUse();
    bool gridHoldsText();
    bool readCells(Matrix& m);
    void showRankAndDeterminant(const Matrix& m);
    bool readGrid();
    void showMatrix(Matrix m);
    void commitGrid();
    bool commitEdits();
    void randomGrid();
    void newMatrix();
    void toggleSubMatrix();
    void takeSubMatrix();
    void hideSubMatrixBoxes();

    // --- clipboard (matrix_clipboard.cpp) ---
    void copyMatrix(bool latex);
    void pasteMatrix();

    MainWindowHooks hooks_;
    std::unique_ptr<TemplateDialog> dialog_;
    EditorState editor_;
    MatrixStore store_;
    int rows_ = 3;
    int cols_ = 3;
    bool subMatrix_ = false;
    // The committed grid with the parameter (none for a matrix of numbers),
    // and the grid a substitution replaced, for as long as it can come back.
    std::optional<ParametricCells> parametric_;
    // Where the last operation on it was going: its steps go there too.
    BranchedGoal parametricGoal_ = BranchedGoal::Rank;
    std::optional<CellTexts> beforeSubstitution_;
    int expressionEdit_ = 0;  // the edit field inside box 190
    std::array<Rect, MatrixStore::kCapacity + 1> hits_{};
    Rect panel_;  // the filled part of the panel, in panel pixels

    // What rollback puts back after a command that failed half-way.
    struct Saved {
        EditorState editor;
        MatrixStore store;
        int rows = 3;
        int cols = 3;
        bool subMatrix = false;
        std::optional<ParametricCells> parametric;
        std::optional<CellTexts> beforeSubstitution;
        std::array<std::string, principal::kLastCell - principal::kFirstCell + 1> cells;
        std::string caption, rank, det;
        std::array<bool, 9> boxShown{}, boxChecked{};  // sub-matrix check boxes 141..149
    };
    std::unique_ptr<Saved> saved_;

    // The steps of the last elimination or inverse, for as long as the
    // working matrix is its result with its origin.
    struct OperationSteps {
        bool valid = false;
        Matrix result;
        Description origin;
        std::vector<Step> steps;
        Matrix operand;  // the matrix they start from
        // The editor's working matrix is this result, with its origin.
        bool made(const EditorState& editor) const;
    };
    OperationSteps operationSteps_;
    StepsWindowSlot stepsWindow_{"Pasos de la matriz"};  // after dialog_: it goes first
    std::unique_ptr<EquationWindow> equation_;           // the same
    // The same; a window of results, with nothing to check.
    StepsWindowSlot discussionWindow_{"Discusión", {{}, {}, true}};
    StepsWindowSlot eigenSteps_{"Pasos de los valores propios"};
    StepsWindowSlot eigenWindow_{"Valores propios", {[this] { openEigenSteps(); }, {}}};
    void openEigenSteps();
    StepsWindowSlot powerWindow_{"Potencia n-ésima", {{}, {}, true}};
};

}  // namespace velmora
