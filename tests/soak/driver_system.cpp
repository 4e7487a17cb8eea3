// The soak driver's actions on the system window.
#include "driver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest/QTest>

#include "gui/main/main_window.h"
#include "gui/systems/system_window.h"
#include "gui/toolkit/dialog_helpers.h"
#include "texts.h"

namespace velmora::soak {

// --- the system window ---

void Driver::actOnSystem(TemplateDialog& d) {
    const SystemSnapshot before = Snapshot(d);
    const int kind = Choose(rng_, {25, 10, 5, 10, 6, 3, 8, 5, 2, 3, 3, 8, 3, 3, 2, 3, 1});
    actOnSystem(d, kind);
    if (d.ended()) return;
    if (dialogs_.said("No se ha cambiado nada")) {
        CheckUnchanged(before, Snapshot(d), "the last action");
    } else if (dialogs_.shown("Error sistema")) {
        CheckRefusedGrid(before, Snapshot(d), kind == 0, kind == 1);
    }
}

void Driver::actOnSystem(TemplateDialog& d, int kind) {
    // The comment box's list may be down (after "<<"): a user closes it or picks from it.
    if (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr && rng_.chance(50)) {
        note("system", "Esc on the dropped list");
        key(popup, Qt::Key_Escape);
        return;
    }
    auto* comments = qobject_cast<QComboBox*>(d.item(150));
    const int inner = InnerChild(d, 150);
    const auto enabledCell = [&]() {
        std::vector<int> cells;
        for (int id = CellId(1, 1); id <= CellId(4, 5); ++id) {
            if (IsItemEnabled(d, id)) cells.push_back(id);
        }
        return cells.empty() ? 0 : rng_.pick(cells);
    };
    switch (kind) {
        case 0: {
            const int id = enabledCell();
            note("system", "type into cell " + std::to_string(id));
            if (id != 0) typeInto(d, id, rng_.chance(10) ? PasteText(rng_) : NumberText(rng_));
            break;
        }
        case 1: {
            QWidget* focus = d.focusWidget();
            if (focus == nullptr || focus->window() != &d || rng_.chance(30)) {
                const int id = enabledCell();
                note("system", "click cell " + std::to_string(id));
                if (id != 0) click(d, id);
                focus = d.focusWidget();
            }
            note("system", "Enter in " + std::to_string(d.idOf(focus)));
            key(focus != nullptr ? focus : &d, Qt::Key_Return);
            break;
        }
        case 2:
            note("system", "Ok");
            click(d, 1);
            break;
        case 3: {
            const int id = rng_.chance(50) ? 50 : 51;
            auto* bar = qobject_cast<QScrollBar*>(d.item(id));
            switch (rng_.below(3)) {
                case 0: {
                    const QPoint at(rng_.below(bar->width()), rng_.below(bar->height()));
                    note("system", "click scroll bar " + std::to_string(id) + " at " +
                                       std::to_string(at.x()) + ", " + std::to_string(at.y()));
                    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, at);
                    break;
                }
                case 1: {
                    const QAbstractSlider::SliderAction actions[] = {
                        QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
                        QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub};
                    const int a = rng_.below(4);
                    note("system",
                         "scroll bar " + std::to_string(id) + " action " + std::to_string(a));
                    bar->triggerAction(actions[a]);
                    break;
                }
                default: {
                    const int to = rng_.between(0, 6);
                    note("system",
                         "drag scroll bar " + std::to_string(id) + " to " + std::to_string(to));
                    bar->setSliderPosition(to);
                    break;
                }
            }
            break;
        }
        case 4:
        case 5: {
            // "rnd" and "nuevo", as buttons or as menu items of the same id.
            const int id = kind == 4 ? 8 : 9;
            const bool viaMenu = rng_.chance(30);
            note("system",
                 std::string(viaMenu ? "menu " : "") +
                     (kind == 4 ? (viaMenu ? "Generar" : "rnd") : (viaMenu ? "Nuevo" : "nuevo")));
            if (viaMenu) {
                menu(d, id);
            } else {
                click(d, id);
            }
            break;
        }
        case 6: {
            if (rng_.chance(50)) {
                note("system", "comment");
                typeInto(d, inner, CommentText(rng_));
            }
            note("system", "<<");
            click(d, 15);
            break;
        }
        case 7:
            note("system", "comment");
            typeInto(d, inner, CommentText(rng_));
            break;
        case 8:
            note("system", "reset");
            click(d, 16);
            break;
        case 9:
            note("system", "X");
            click(d, 17);
            break;
        case 10:
            if (rng_.chance(60)) {
                note("system", "comment");
                typeInto(d, inner, CommentText(rng_));
            }
            note("system", "rename Ok");
            click(d, 18);
            break;
        case 11: {
            const int count = comments->count();
            const int how = rng_.below(3);
            if (how == 0 && count > 0) {
                const int k = rng_.between(1, count);
                note("system", "pick " + std::to_string(k));
                d.pick(150, k);
            } else if (how == 1) {
                const bool down = rng_.chance(70);
                note("system", down ? "Down in the comment box" : "Up in the comment box");
                clickWidget(comments->lineEdit());
                key(comments->lineEdit(), down ? Qt::Key_Down : Qt::Key_Up);
            } else {
                const int steps = rng_.between(0, 3);
                note("system", "drop the list, " + std::to_string(steps) + " x Down, Enter");
                if (QApplication::activePopupWidget() == nullptr) comments->showPopup();
                for (int k = 0; k < steps; ++k) key(comments->view(), Qt::Key_Down);
                key(comments->view(), Qt::Key_Return);
            }
            break;
        }
        case 12:
            note("system", "menu Abrir");
            dialogs_.openPurpose = OpenPurpose::Load;
            menu(d, 205);
            dialogs_.openPurpose = OpenPurpose::Other;
            break;
        case 13: {
            // Guardar, Pasos..., Vista, Copiar, Copiar LaTeX, Pegar.
            const int id = rng_.pick(std::vector<int>{210, 220, 221, 311, 312, 313});
            note("system", "menu " + std::to_string(id));
            menu(d, id);
            break;
        }
        case 14:
            note("system", "menu Añadir a fichero");
            dialogs_.openPurpose = OpenPurpose::Append;
            menu(d, 215);
            dialogs_.openPurpose = OpenPurpose::Other;
            break;
        case 15: {
            const int how = rng_.below(4);
            note("system", how == 0   ? "salir"
                           : how == 1 ? "Salir"
                           : how == 2 ? "Esc"
                                      : "close box");
            if (how == 0) {
                click(d, 2);
            } else if (how == 1) {
                // The second button with id 2.
                for (int k = 0; QWidget* w = d.itemAt(k); ++k) {
                    if (d.idOf(w) == 2 && w != d.item(2)) clickWidget(w);
                }
            } else if (how == 2) {
                QWidget* focus = d.focusWidget();
                key(focus != nullptr && focus->window() == &d ? focus : &d, Qt::Key_Escape);
            } else {
                d.close();
            }
            break;
        }
        default:
            meddleWithFiles();
            break;
    }
}

}  // namespace velmora::soak
