#include "checks.h"

#include <gmpxx.h>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <algorithm>
#include <sstream>
#include <vector>

#include "core/systems/discussion_text.h"
#include "core/systems/sts_file.h"
#include "core/toolkit/strings.h"
#include "core/tools/utilities.h"
#include "gui/main/main_window.h"
#include "gui/systems/system_window.h"
#include "gui/toolkit/dialog_helpers.h"
#include "gui/tools/utilities_menu.h"

namespace velmora::soak {

namespace {

// Rank and determinant by plain elimination over GMP's rationals: a
// reference that shares nothing with the engine's fraction-free steps.
struct Reference {
    int rank = 0;
    mpq_class det;  // of the leading rows x rows block, for a square matrix
};

Reference Analyse(const Matrix& m, int rows, int cols) {
    std::vector<std::vector<mpq_class>> a(static_cast<std::size_t>(rows),
                                          std::vector<mpq_class>(static_cast<std::size_t>(cols)));
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) {
            const Fraction f = m.at(i + 1, j + 1);
            mpq_class q(mpz_class(f.num), mpz_class(f.den));
            q.canonicalize();
            a[i][j] = q;
        }
    }
    Reference r;
    mpq_class det = 1;
    int row = 0;
    for (int col = 0; col < cols && row < rows; ++col) {
        int pivot = row;
        while (pivot < rows && a[pivot][col] == 0) ++pivot;
        if (pivot == rows) {
            det = 0;
            continue;
        }
        if (pivot != row) {
            std::swap(a[pivot], a[row]);
            det = -det;
        }
        det *= a[row][col];
        for (int i = row + 1; i < rows; ++i) {
            if (a[i][col] == 0) continue;
            const mpq_class f = a[i][col] / a[row][col];
            for (int j = col; j < cols; ++j) a[i][j] -= f * a[row][j];
        }
        ++row;
    }
    r.rank = row;
    r.det = rows == cols && row == rows ? det : mpq_class(0);
    return r;
}

bool Fits32(const mpq_class& q) {
    static const mpz_class lo(-2147483647L - 1), hi(2147483647L);
    return q.get_num() >= lo && q.get_num() <= hi && q.get_den() <= hi;
}

std::string Text(const mpq_class& q) {
    return q.get_den() == 1 ? q.get_num().get_str()
                            : q.get_num().get_str() + "/" + q.get_den().get_str();
}

std::string Describe(const Matrix& m) {
    std::ostringstream out;
    out << m;
    return out.str();
}

// Cells in lowest terms with a positive denominator, the size within the
// editor's, and the cached square flag and determinant right.
void CheckMatrix(const Matrix& m, const std::string& what, int maxRows, int maxCols) {
    if (m.rows < 1 || m.rows > maxRows || m.cols < 1 || m.cols > maxCols) {
        Fail(what + " has size " + std::to_string(m.rows) + " x " + std::to_string(m.cols));
    }
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            const Fraction f = m.at(i, j);
            if (!f.IsNormal() || f.den <= 0) {
                Fail(what + ": cell (" + std::to_string(i) + ", " + std::to_string(j) + ") is " +
                     std::to_string(f.num) + "/" + std::to_string(f.den) + ", not in lowest terms");
            }
        }
    }
    if (m.square != (m.rows == m.cols)) Fail(what + ": the square flag is wrong");
    if (!m.square) return;
    const Reference r = Analyse(m, m.rows, m.cols);
    if (Fits32(r.det) == m.detOverflow) {
        Fail(what + " " + Describe(m) + ": determinant " + Text(r.det) + " but detOverflow is " +
             (m.detOverflow ? "set" : "clear"));
    }
    if (!m.detOverflow && mpq_class(mpz_class(m.det.num), mpz_class(m.det.den)) != r.det) {
        Fail(what + " " + Describe(m) + ": cached determinant " + m.det.ToText() +
             ", the matrix's is " + Text(r.det));
    }
}

std::vector<std::string> ComboEntries(TemplateDialog& d, int id) {
    std::vector<std::string> e;
    for (int k = 1; k <= ComboCount(d, id); ++k) e.push_back(ComboItemText(d, id, k));
    return e;
}

bool SameSystems(const std::vector<LinearSystem>& a, const std::vector<LinearSystem>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (!(a[k].augmented == b[k].augmented) || a[k].comment != b[k].comment) return false;
    }
    return true;
}

std::vector<LinearSystem> ListItems(const SystemList& list) {
    std::vector<LinearSystem> items;
    for (std::size_t k = 1; k <= list.Count(); ++k) items.push_back(list.Get(k));
    return items;
}

bool BoxAfter(const SoakDialogs& dialogs, std::size_t from, std::string_view caption) {
    for (std::size_t k = from; k < dialogs.boxes.size(); ++k) {
        if (dialogs.boxes[k].caption == caption) return true;
    }
    return false;
}

}  // namespace

std::array<std::string, 20> GridTexts(MainWindow& window) {
    std::array<std::string, 20> texts;
    for (int id = principal::kFirstCell; id <= principal::kLastCell; ++id) {
        GetItemTextAlloc(window.dialog(), id, texts[id - principal::kFirstCell]);
    }
    return texts;
}

bool GridShows(const Matrix& m, const std::array<std::string, 20>& texts) {
    for (int i = 1; i <= m.rows; ++i) {
        for (int j = 1; j <= m.cols; ++j) {
            Fraction f;
            if (ReadCell(texts[principal::CellId(i, j) - principal::kFirstCell], f) !=
                    NumberReading::Ok ||
                !(f == m.at(i, j))) {
                return false;
            }
        }
    }
    return true;
}

namespace {

std::string DescriptionText(const Description& d) {
    return std::to_string(static_cast<int>(d.kind)) + "/" + std::to_string(d.operation) + "/" +
           std::to_string(d.source) + "/" + d.text;
}

}  // namespace

MainSnapshot Snapshot(MainWindow& window) {
    MainSnapshot s;
    const MatrixStore& store = window.store();
    for (int i = 1; i <= store.count(); ++i) {
        s.store.push_back(Describe(store.matrix(i)) + " " + DescriptionText(store.description(i)));
    }
    s.selected = store.selected();
    const EditorState& e = window.editor();
    s.working = Describe(e.working) + " " + DescriptionText(e.current) +
                (e.committed ? " committed" : "") + " " + std::to_string(window.editorRows()) +
                "x" + std::to_string(window.editorCols()) + (window.subMatrixMode() ? " sub" : "");
    s.cells = GridTexts(window);
    s.rank = GetItemText(window.dialog(), principal::kRankBox);
    s.det = GetItemText(window.dialog(), principal::kDetBox);
    return s;
}

SystemSnapshot Snapshot(TemplateDialog& d) {
    const SystemWindow& w = TheSystemWindow();
    SystemSnapshot s;
    for (const LinearSystem& item : ListItems(w.list()))
        s.list += Describe(item.augmented) + item.comment + ";";
    s.state = "selected " + std::to_string(w.selected()) + (w.hasSystem() ? " shown " : " ") +
              (w.currentHoldsSystem ? Describe(w.current) : std::string("-")) + " " +
              std::to_string(ScrollGetPos(d, 50)) + "x" + std::to_string(ScrollGetPos(d, 51));
    for (int id = CellId(1, 1); id <= CellId(4, 5); ++id) {
        s.cells.push_back(GetItemText(d, id) + (IsItemEnabled(d, id) ? "" : " (disabled)"));
    }
    for (int id : {200, 201, 250}) {
        std::string text;
        GetItemTextAlloc(d, id, text);
        s.texts.push_back(text);
    }
    s.texts.push_back(GetItemText(d, InnerChild(d, 150)));
    for (const std::string& e : ComboEntries(d, 150)) s.texts.push_back(e);
    return s;
}

namespace {

void CheckSameTexts(const std::vector<std::string>& a, const std::vector<std::string>& b,
                    const std::string& what) {
    for (std::size_t k = 0; k < std::min(a.size(), b.size()); ++k) {
        if (a[k] != b[k]) Fail(what + "'" + a[k] + "' became '" + b[k] + "'");
    }
    if (a.size() != b.size()) Fail(what + "the comment box changed");
}

}  // namespace

void CheckUnchanged(const MainSnapshot& a, const MainSnapshot& b, const std::string& action,
                    bool entered) {
    Tally("check: the main window unchanged after a refusal");
    const std::string what = action + " said nothing was changed, but ";
    if (a.store != b.store || a.selected != b.selected) Fail(what + "the store changed");
    if (a.working != b.working)
        Fail(what + "the working matrix went from " + a.working + " to " + b.working);
    for (std::size_t k = 0; k < a.cells.size(); ++k) {
        if (a.cells[k] != b.cells[k] && !(entered && a.cells[k].empty() && b.cells[k] == "0")) {
            Fail(what + "cell " + std::to_string(principal::kFirstCell + k) + " went from '" +
                 a.cells[k] + "' to '" + b.cells[k] + "'");
        }
    }
    if (a.rank != b.rank || a.det != b.det) Fail(what + "rank or determinant changed");
}

void CheckUnchanged(const SystemSnapshot& a, const SystemSnapshot& b, const std::string& action) {
    Tally("check: the system window unchanged after a refusal");
    const std::string what = action + " said nothing was changed, but ";
    if (a.list != b.list) Fail(what + "the list went from " + a.list + " to " + b.list);
    if (a.state != b.state) Fail(what + "the window went from " + a.state + " to " + b.state);
    CheckSameTexts(a.cells, b.cells, what);
    CheckSameTexts(a.texts, b.texts, what);
}

void CheckRefusedGrid(const SystemSnapshot& a, const SystemSnapshot& b, bool typed, bool entered) {
    Tally("check: a refused system grid");
    const std::string what = "the grid was refused, but ";
    if (a.list != b.list) Fail(what + "the list went from " + a.list + " to " + b.list);
    if (TheSystemWindow().hasSystem()) Fail(what + "a system is on show");
    if (typed) return;
    std::vector<std::string> expected = a.cells;
    for (std::size_t k = 0; entered && k < expected.size(); ++k) {
        if (expected[k].empty() && b.cells[k] == "0") expected[k] = "0";
    }
    CheckSameTexts(expected, b.cells, what);
}

void CheckMainWindow(MainWindow& window, GridState& grid) {
    using namespace principal;
    TemplateDialog& d = window.dialog();
    const MatrixStore& store = window.store();
    const EditorState& editor = window.editor();

    if (store.count() < 0 || store.count() > MatrixStore::kCapacity) {
        Fail("the store holds " + std::to_string(store.count()) + " matrices");
    }
    if (store.selected() < 0 || store.selected() > store.count()) {
        Fail("slot " + std::to_string(store.selected()) + " selected of " +
             std::to_string(store.count()));
    }
    for (int i = 1; i <= store.count(); ++i) {
        const std::string letter = slotLetter(i);
        if (letter != std::string(1, static_cast<char>('I' + i)))
            Fail("slot " + std::to_string(i) + " is " + letter);
        CheckMatrix(store.matrix(i), "stored matrix " + letter, 4, 5);
        const Description& origin = store.description(i);
        if (origin.kind == Description::Kind::Operation &&
            (origin.source < 0 || origin.source > store.count())) {
            Fail("stored matrix " + letter + " names slot " + std::to_string(origin.source) +
                 " as its origin");
        }
    }

    const int rows = window.editorRows();
    const int cols = window.editorCols();
    CheckMatrix(editor.working, "the working matrix", 4, 5);
    // The grid and the working matrix have one size (a pasted block is
    // committed as it comes).
    if (editor.working.rows != rows || editor.working.cols != cols) {
        Fail("the working matrix is " + std::to_string(editor.working.rows) + " x " +
             std::to_string(editor.working.cols) + ", the editor " + std::to_string(rows) + " x " +
             std::to_string(cols));
    }
    if (CheckedRadio(d, 51, 54) != rows || CheckedRadio(d, 55, 59) != cols) {
        Fail("the size buttons show " + std::to_string(CheckedRadio(d, 51, 54)) + " x " +
             std::to_string(CheckedRadio(d, 55, 59)) + ", the editor is " + std::to_string(rows) +
             " x " + std::to_string(cols));
    }
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 5; ++c) {
            if (IsItemEnabled(d, principal::CellId(r, c)) != (r <= rows && c <= cols)) {
                Fail("cell (" + std::to_string(r) + ", " + std::to_string(c) + ") enabled wrongly");
            }
        }
    }

    // Rank and determinant: the engine's values for the working matrix; with
    // a parameter in the grid, the working matrix only has its size and the
    // rank is given by cases.
    const std::string rankBox = GetItemText(d, kRankBox);
    const std::string detBox = GetItemText(d, kDetBox);
    if (const ParametricCells* p = window.parametric()) {
        const std::string says = "según " + std::string(1, p->letter());
        if (editor.committed && rankBox != says)
            Fail("rank box " + rankBox + " for a grid with the parameter: not " + says);
        return;
    }
    const Reference ref = Analyse(editor.working, editor.working.rows, editor.working.cols);
    if (editor.committed) {
        if (rankBox != std::to_string(ref.rank)) {
            Fail("rank box " + rankBox + ", rank of " + Describe(editor.working) + " is " +
                 std::to_string(ref.rank));
        }
        std::string det;
        if (editor.working.square)
            det = Fits32(ref.det) ? Utf8Left(Text(ref.det), 30) : "fuera de rango";
        if (detBox != det) {
            Fail("determinant box '" + detBox + "', determinant of " + Describe(editor.working) +
                 " is " + Text(ref.det));
        }
    } else if (!rankBox.empty() || !detBox.empty()) {
        Fail("rank or determinant shown for a matrix not committed: " + rankBox + " / " + detBox);
    }

    // A committed matrix is what the grid shows, unless the user has typed since.
    const bool shows = editor.working.rows == rows && editor.working.cols == cols &&
                       GridShows(editor.working, GridTexts(window));
    if (shows) {
        grid.dirty = false;
    } else if (editor.committed && !grid.dirty) {
        Fail("the grid does not show the committed working matrix " + Describe(editor.working));
    }

    // Enable rules that follow from the state.
    const bool square = editor.committed && editor.working.rows == editor.working.cols;
    const auto expect = [&](int id, bool enabled, const char* name) {
        if (IsItemEnabled(d, id) != enabled)
            Fail(std::string(name) + (enabled ? " disabled" : " enabled"));
    };
    expect(kExprOk, store.count() > 0, "expression Ok");
    expect(kDelete, store.selected() > 0, "X");
    // "<-" also takes numbers typed since "Nueva ".
    const std::array<std::string, 20> texts = GridTexts(window);
    bool typed = false;
    for (int k = 0; k < 20; ++k)
        typed = typed || (k / 5 < rows && k % 5 < cols && !texts[k].empty());
    expect(kStore, editor.committed || typed, "<-");
    expect(kCofactors, square, "adjuntos");
    expect(kInverse, square && ref.det != 0, "inversa");
    expect(kToSystem, editor.committed && editor.working.rows >= 2 && editor.working.cols >= 3,
           "Sistema >");
    if (!window.subMatrixMode()) {
        for (int id = 141; id <= 149; ++id) {
            if (IsItemShown(d, id)) Fail("a sub-matrix box is shown outside sub-matrix mode");
        }
    }
}

void CheckSystems(TemplateDialog* d) {
    SystemWindow& w = TheSystemWindow();
    const SystemList& list = w.list();
    if (list.Count() > kMaxSystems) Fail("the system list holds " + std::to_string(list.Count()));
    for (std::size_t k = 1; k <= list.Count(); ++k) {
        const LinearSystem& s = list.Get(k);
        CheckMatrix(s.augmented, "listed system " + std::to_string(k), 4, 5);
        if (Utf8Length(s.comment) > kMaxCommentLength || !IsUtf8(s.comment)) {
            Fail("listed comment " + std::to_string(k) + " is '" + s.comment + "'");
        }
    }
    if (d == nullptr) return;

    const std::vector<std::string> entries = ComboEntries(*d, 150);
    if (entries.size() != list.Count()) {
        Fail("the comment box lists " + std::to_string(entries.size()) +
             " entries, the list holds " + std::to_string(list.Count()));
    }
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (entries[k] != list.Get(k + 1).comment) {
            Fail("comment box entry " + std::to_string(k + 1) + " is '" + entries[k] +
                 "', the list's comment '" + list.Get(k + 1).comment + "'");
        }
    }
    if (w.selected() > list.Count()) Fail("system " + std::to_string(w.selected()) + " selected");
    for (int bar : {50, 51}) {
        const int pos = ScrollGetPos(*d, bar);
        if (pos < 2 || pos > 4)
            Fail("scroll bar " + std::to_string(bar) + " at " + std::to_string(pos));
    }
    if (w.currentHoldsSystem) CheckMatrix(w.current, "the current system", 4, 5);

    // Ranks on show are those of the current system.
    const std::string augmented = GetItemText(*d, 200);
    const std::string coefficients = GetItemText(*d, 201);
    if (augmented != "Rango A' =") {
        if (!w.hasSystem()) Fail("ranks shown without a system: " + augmented);
    }
    if (augmented != "Rango A' =" && w.discussing()) {
        // A system with a parameter: the ranks for a general a, every case.
        const Discussion& s = *w.discussion;
        const std::string ranks =
            "rango A' = " + std::to_string(s.cases.front().rankAugmented) +
            " / rango A = " + std::to_string(s.cases.front().rankCoefficients);
        if (augmented + " / " + coefficients != ranks)
            Fail("'" + augmented + "' and '" + coefficients + "' shown for a discussion");
        std::string shown;
        std::string lines;
        GetItemTextAlloc(*d, 250, shown);
        for (const std::string& line : DiscussionLines(s))
            lines += (lines.empty() ? "" : "\r\n") + line;
        if (shown != lines) Fail("conclusion of a discussion: '" + shown + "'");
    } else if (augmented != "Rango A' =") {
        const Matrix& m = w.current;
        const int ra = Analyse(m, m.rows, m.cols).rank;
        const int rc = Analyse(m, m.rows, m.cols - 1).rank;
        if (augmented != "rango A' = " + std::to_string(ra) ||
            coefficients != "rango A = " + std::to_string(rc)) {
            Fail("'" + augmented + "' and '" + coefficients + "' shown for " + Describe(m));
        }
        const std::string conclusion = GetItemText(*d, 250);
        const bool incompatible = conclusion.find("INCOMPATIBLE") != std::string::npos;
        if (incompatible != (ra != rc)) Fail("conclusion '" + conclusion + "' for " + Describe(m));
    } else if (coefficients != "Rango A =") {
        Fail("rank of A shown without the rank of A': " + coefficients);
    }

    const auto expect = [&](int id, bool enabled, const char* name) {
        if (IsItemEnabled(*d, id) != enabled)
            Fail(std::string(name) + (enabled ? " disabled" : " enabled"));
    };
    expect(15, w.hasSystem(), "<<");
    expect(16, list.Count() > 0, "reset");
    expect(17, w.selected() > 0, "system X");
    expect(18, w.selected() > 0, "system rename Ok");
    if (IsMenuItemEnabled(*d, 210) != (list.Count() > 0)) Fail("Guardar enabled wrongly");
}

void CheckFiles(const SoakDialogs& dialogs) {
    for (const SaveRecord& s : dialogs.saves) {
        if (BoxAfter(dialogs, s.boxesBefore, "Error al guardar")) continue;  // refused, said so
        const StsReadResult read = ReadStsFile(s.path);
        if (!read.opened || read.SkippedSomething()) {
            Fail("the list saved to " + s.path + " does not read back whole");
        }
        std::vector<LinearSystem> expected;
        if (s.append) {
            const StsReadResult before = ParseStsBytes(s.before);
            expected = before.systems;
        }
        expected.insert(expected.end(), s.list.begin(), s.list.end());
        Tally(s.append ? "check: a list appended to a file" : "check: a list saved to a file");
        if (!SameSystems(read.systems, expected)) {
            Fail("the file " + s.path + " holds " + std::to_string(read.systems.size()) +
                 " systems, not the " + std::to_string(expected.size()) + " saved" +
                 (s.append ? " (appended)" : ""));
        }
    }
    for (const std::string& path : dialogs.loads) {
        const StsReadResult read = ReadStsFile(path);
        if (!read.opened || read.tooLarge || read.readError || read.systems.empty()) continue;
        Tally("check: a list loaded from a file");
        if (!SameSystems(ListItems(TheSystemWindow().list()), read.systems)) {
            Fail("the list loaded from " + path + " is not what the file holds");
        }
    }
}

void CheckUtilities(MainWindow& window) {
    const UtilityList& list = Utilities();
    if (list.count() > kMaxUtilities)
        Fail("the utilities list holds " + std::to_string(list.count()));
    QMenu* menu = MenuPopup(window.dialog(), 4);
    if (menu == nullptr) Fail("no Utilidades menu");
    std::vector<std::string> shown;
    for (int k = 1; k <= MenuItemCount(menu); ++k) {
        const int id = MenuItemId(menu, k);
        if (id > kFirstUtilityId) {
            if (id != kFirstUtilityId + 1 + static_cast<int>(shown.size())) {
                Fail("utility menu item " + std::to_string(id) + " out of order");
            }
            shown.push_back(MenuItemText(menu, k));
        }
    }
    if (shown.size() != list.count()) {
        Fail("the Utilidades menu shows " + std::to_string(shown.size()) +
             " utilities, the list holds " + std::to_string(list.count()));
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] != list.get(i + 1).name) {
            Fail("utility menu item " + std::to_string(i + 1) + " is '" + shown[i] +
                 "', the list's '" + list.get(i + 1).name + "'");
        }
    }
}

void CheckNoStrayWindows() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        if (qobject_cast<QMessageBox*>(w) != nullptr || qobject_cast<QFileDialog*>(w) != nullptr) {
            Fail("a message box or file dialog is left open");
        }
        if (auto* dialog = qobject_cast<QDialog*>(w)) {
            auto* ours = qobject_cast<TemplateDialog*>(dialog);
            if (ours == nullptr)
                Fail("a dialog of unknown kind is open: " + w->objectName().toStdString());
            if (ours->ended())
                Fail("the ended dialog " + std::string(ours->dialogTemplate().name) +
                     " is still shown");
        }
    }
}

}  // namespace velmora::soak
