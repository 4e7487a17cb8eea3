// The soak driver's actions on the main window.
#include "driver.h"

#include <QtTest/QTest>

#include "core/tools/utilities.h"
#include "gui/about/about_window.h"
#include "gui/main/main_window.h"
#include "gui/systems/system_window.h"
#include "gui/toolkit/dialog_helpers.h"
#include "gui/tools/utilities_menu.h"
#include "texts.h"

namespace velmora::soak {

// --- the main window ---

void Driver::actOnMain() {
    MainWindow& w = *main_;
    TemplateDialog& d = w.dialog();
    // A command that fails, or refuses the grid, leaves everything as it was.
    const MainSnapshot before = Snapshot(w);
    const int kind = Choose(rng_, {8, 25, 10, 3, 16, 8, 6, 4, 4, 6, 3, 3, 3, 1, 1, 1, 1, 1});
    actOnMain(kind);
    const bool otherWindow = kind == 12 || kind == 13 || kind == 16;
    if (main_ != nullptr && !d.ended() && !otherWindow &&
        (dialogs_.said("No se ha cambiado nada") ||
         (kind != 2 && dialogs_.shown("Celda no válida")))) {
        // Enter in the expression box may have gone to a cell (kind 9).
        CheckUnchanged(before, Snapshot(w), "the last action",
                       !dialogs_.said("No se ha cambiado nada") && kind == 9);
    }
}

void Driver::actOnMain(int kind) {
    using namespace principal;
    MainWindow& w = *main_;
    TemplateDialog& d = w.dialog();
    const int rows = w.editorRows();
    const int cols = w.editorCols();
    const auto anyCell = [&] {
        return principal::CellId(rng_.between(1, rows), rng_.between(1, cols));
    };
    switch (kind) {
        case 0: {
            const int id = rng_.chance(50) ? rng_.between(51, 54) : rng_.between(55, 59);
            note("main", "size button " + std::to_string(id));
            click(d, id);
            break;
        }
        case 1: {
            const int id = anyCell();
            note("main", "type into cell " + std::to_string(id));
            typeInto(d, id, rng_.chance(10) ? PasteText(rng_) : NumberText(rng_));
            grid_.dirty = true;
            break;
        }
        case 2: {
            // Enter where the focus is, or in a cell clicked first. Enter in
            // the last cell commits what the grid shows.
            QWidget* focus = d.focusWidget();
            if (focus == nullptr || focus->window() != &d || rng_.chance(30)) {
                const int id = anyCell();
                note("main", "click cell " + std::to_string(id));
                click(d, id);
                focus = d.focusWidget();
            }
            const int id = d.idOf(focus);
            note("main", "Enter in " + std::to_string(id));
            const bool last = id == principal::CellId(rows, cols);
            const auto texts = GridTexts(w);
            const Matrix before = w.editor().working;
            key(focus != nullptr ? focus : &d, Qt::Key_Return);
            if (last) {
                if (dialogs_.shown("Celda no válida")) {
                    if (!(w.editor().working == before))
                        Fail("a refused grid changed the working matrix");
                } else if (!w.editor().committed ||
                           (w.parametric() == nullptr && !GridShows(w.editor().working, texts))) {
                    Fail("Enter in the last cell did not commit what the grid showed");
                }
            }
            break;
        }
        case 3: {
            const bool back = rng_.chance(30);
            note("main", back ? "Shift+Tab" : "Tab");
            QWidget* focus = d.focusWidget();
            key(focus != nullptr ? focus : &d, back ? Qt::Key_Backtab : Qt::Key_Tab,
                back ? static_cast<int>(Qt::ShiftModifier) : 0);
            break;
        }
        case 4: {
            const std::vector<int> ids = {kRnd,     kReset,      kEditorOk, kEditorOk,  kSubM,
                                          kExprOk,  kMulFactor,  kPower,    kNewMatrix, kGenerate,
                                          kStore,   kStore,      kDelete,   kTranspose, kCofactors,
                                          kInverse, kTriangular, kDiagonal};
            const int id = rng_.pick(ids);
            note("main", "button " + std::to_string(id));
            const bool sub = w.subMatrixMode();
            const auto texts = GridTexts(w);
            const Matrix before = w.editor().working;
            click(d, id);
            if (id == kEditorOk && !sub) {
                if (dialogs_.shown("Celda no válida")) {
                    if (!(w.editor().working == before))
                        Fail("a refused grid changed the working matrix");
                } else if (!w.editor().committed ||
                           (w.parametric() == nullptr && !GridShows(w.editor().working, texts))) {
                    Fail("Ok did not commit what the grid showed");
                }
            }
            if (id == kRnd && (!w.editor().committed || dialogs_.shown("Celda no válida"))) {
                Fail("Rnd did not commit its random grid");
            }
            break;
        }
        case 5: {
            // With the steps and the clipboard: Pasos..., Copiar, Copiar LaTeX, Pegar.
            const int id = rng_.pick(
                std::vector<int>{101, 102, 105, 201, 202, 203, 204, 205, 207, 311, 312, 313});
            note("main", "menu " + std::to_string(id));
            menu(d, id);
            break;
        }
        case 6: {
            // A click on the panel: on a stored matrix, or anywhere.
            DrawingPane* pane = d.paneOf(kPanel);
            QPoint p(rng_.below(pane->width()), rng_.below(pane->height()));
            if (w.store().count() > 0 && rng_.chance(70)) {
                const MainWindow::Rect r = w.hitRect(rng_.between(1, w.store().count()));
                if (r.right > r.left && r.bottom > r.top) {
                    p = QPoint(rng_.between(r.left, r.right - 1),
                               rng_.between(r.top, r.bottom - 1));
                }
            }
            const QPoint at = d.itemRect(kPanel).topLeft() + p;
            QWidget* target = d.client()->childAt(at);
            if (target == nullptr) target = d.client();
            note("main",
                 "click the panel at " + std::to_string(p.x()) + ", " + std::to_string(p.y()));
            QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier,
                              target->mapFrom(d.client(), at));
            break;
        }
        case 7: {
            note("main", "factor");
            typeInto(d, kFactorBox, NumberText(rng_));
            if (rng_.chance(70)) click(d, kMulFactor);
            break;
        }
        case 8: {
            const std::string exponent =
                rng_.chance(70)
                    ? std::to_string(rng_.between(0, 6))
                    : rng_.pick(std::vector<std::string>{"", "-1", "31", "64", "1000", "2147483647",
                                                         "2147483648", "$10", "%111", "x", " 2 "});
            note("main", "exponent");
            typeInto(d, kExponentBox, exponent);
            if (rng_.chance(70)) click(d, kPower);
            break;
        }
        case 9: {
            const int inner = InnerChild(d, kExpression);
            note("main", "expression");
            typeInto(d, inner, ExpressionText(rng_));
            if (rng_.chance(50)) {
                note("main", "expression Ok");
                click(d, kExprOk);
            } else if (rng_.chance(80)) {
                note("main", "Enter in the expression");
                key(d.item(kExpression), Qt::Key_Return);
                QWidget* focus = d.focusWidget();
                if (focus != nullptr && d.idOf(focus) == inner) key(focus, Qt::Key_Return);
            }
            break;
        }
        case 10: {
            if (rng_.chance(60)) {
                const int k = rng_.between(1, 9);
                note("main", "pick count " + std::to_string(k));
                d.pick(kCountBox, k);
            } else {
                note("main", "type a count");
                typeInto(d, InnerChild(d, kCountBox),
                         rng_.pick(std::vector<std::string>{"0", "1", "3", "9", "14", "15", "-2",
                                                            "x", ""}));
            }
            note("main", "Generar");
            if (rng_.chance(50)) {
                click(d, kGenerate);
            } else {
                menu(d, kGenerate);
            }
            break;
        }
        case 11: {
            if (!w.subMatrixMode()) {
                note("main", "SubM");
                click(d, kSubM);
                break;
            }
            const int step = Choose(rng_, {6, 3, 1});
            if (step == 0) {
                for (int n = rng_.between(1, 3); n > 0; --n) {
                    const int id = rng_.between(141, 149);
                    if (!IsItemShown(d, id)) continue;
                    note("main", "sub-matrix box " + std::to_string(id));
                    click(d, id);
                }
            } else {
                note("main", step == 1 ? "Ok (sub-matrix)" : "SubM off");
                click(d, step == 1 ? kEditorOk : kSubM);
            }
            break;
        }
        case 12: {
            const int how = rng_.below(3);
            note("main", how == 0   ? "button Sistema >"
                         : how == 1 ? "menu Hacer sistema"
                                    : "menu Sistema de ecuaciones");
            if (how == 0) {
                click(d, kToSystem);
            } else {
                menu(d, how == 1 ? kToSystem : kSystemWindow);
            }
            break;
        }
        case 13:
            note("main", "menu Edición utilidades");
            menu(d, 501);
            break;
        case 14: {
            const int id =
                kFirstUtilityId + rng_.between(1, static_cast<int>(Utilities().count()) + 1);
            note("main", "menu utility " + std::to_string(id));
            menu(d, id);
            break;
        }
        case 15: {
            const int id = rng_.chance(50) ? kInfo : kContact;
            note("main", "menu " + std::to_string(id));
            menu(d, id);
            break;
        }
        case 16:
            note("main", "menu Respecto Velmora");
            menu(d, kAbout);
            break;
        default: {
            const bool box = rng_.chance(50);
            note("main", box ? "close box" : "Esc");
            if (box) {
                d.close();
            } else {
                QWidget* focus = d.focusWidget();
                key(focus != nullptr && focus->window() == &d ? focus : &d, Qt::Key_Escape);
            }
            break;
        }
    }
}

}  // namespace velmora::soak
