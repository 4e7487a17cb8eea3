#include "gui/toolkit/dialog_helpers.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "core/arith/fraction.h"
#include "core/toolkit/strings.h"
#include "core/toolkit/user_dialogs.h"
#include "gui/toolkit/qt_text.h"

namespace velmora {

namespace {
constexpr std::string_view kSubstituteCaption = "Sustituir parámetro";
}  // namespace

namespace {

// Multi-line edits hold "\n" inside; the program sees CR LF.
QString ToLines(std::string_view text) {
    return ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
std::string FromLines(const QString& text) {
    QString t = text;
    return FromQString(t.replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

std::string ReadText(TemplateDialog& d, int id) {
    QWidget* w = d.item(id);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return FromQString(e->text());
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return FromLines(e->toPlainText());
    if (auto* box = qobject_cast<QComboBox*>(w)) return FromQString(box->currentText());
    if (auto* l = qobject_cast<QLabel*>(w)) return FromQString(l->text());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return FromQString(b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) return FromQString(g->title());
    return {};
}

QAction* FindMenuAction(TemplateDialog& d, int id) {
    for (QMenu* popup : d.popups()) {
        for (QAction* a : popup->actions()) {
            if (!a->isSeparator() && a->data().toInt() == id) return a;
        }
    }
    return nullptr;
}

QAction* ActionAt(QMenu* menu, int position) {
    if (menu == nullptr) return nullptr;
    const QList<QAction*> actions = menu->actions();
    return position >= 1 && position <= actions.size() ? actions[position - 1] : nullptr;
}

}  // namespace

void SetWindowTitle(QWidget& window, std::string_view text) {
    window.setWindowTitle(ToQString(Utf8Left(text, 255)));
}

void SetItemText(TemplateDialog& d, int id, std::string_view text) {
    SetItemTextZ(d, id, Utf8Left(text, 255));
}

void SetItemTextZ(TemplateDialog& d, int id, std::string_view text) {
    QWidget* w = d.item(id);
    const QString t = ToQString(text);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() == t) return;  // nothing to repaint
        e->setText(t);
        e->setCursorPosition(0);
    } else if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        const QString lines = ToLines(text);
        d.beginQuiet();  // the program's change, not the user's
        if (e->toPlainText() != lines) e->setPlainText(lines);
        d.endQuiet();
    } else if (auto* box = qobject_cast<QComboBox*>(w)) {
        if (box->isEditable()) box->setEditText(t);
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(t);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(t);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(t);
    }
}

std::string GetItemText(TemplateDialog& d, int id) {
    return Utf8Left(ReadText(d, id), 254);
}

std::string GetItemTextMax(TemplateDialog& d, int id) {
    return Utf8Left(ReadText(d, id), 255);
}

std::size_t GetItemTextAlloc(TemplateDialog& d, int id, std::string& out) {
    out = ReadText(d, id);
    return Utf8Length(out);
}

std::string GetItemSelection(TemplateDialog& d, int id) {
    QWidget* w = d.item(id);
    if (auto* box = qobject_cast<QComboBox*>(w)) w = box->lineEdit();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return FromQString(e->selectedText());
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        return FromLines(e->textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n'));
    }
    return {};
}

int32_t GetItemInteger(TemplateDialog& d, int id, bool& error) {
    const std::string text = Trim(GetItemText(d, id));
    error = false;
    if (text.empty()) return 0;
    int32_t value = 0;
    error = !ParseInteger(text, value);
    return error ? 0 : value;
}

void AppendItemLine(std::string_view text, TemplateDialog& d, int id) {
    std::string content = ReadText(d, id);
    if (!content.empty()) content += "\r\n";
    content += Utf8Left(text, 255);
    SetItemTextZ(d, id, content);
}

void ComboClear(TemplateDialog& d, int id) {
    if (auto* box = qobject_cast<QComboBox*>(d.item(id))) {
        d.beginQuiet();
        box->clear();
        d.endQuiet();
    }
}

void ComboAdd(TemplateDialog& d, int id, std::string_view text) {
    if (auto* box = qobject_cast<QComboBox*>(d.item(id))) {
        d.beginQuiet();
        const QString t = ToQString(Utf8Left(text, 255));
        const QString edit = box->currentText();
        const int selected = box->currentIndex();
        box->addItem(t);
        // Adding never changes the selection or the edit field.
        box->setCurrentIndex(selected);
        if (box->isEditable()) box->setEditText(edit);
        d.endQuiet();
    }
}

void ComboAddList(TemplateDialog& d, int id, std::string_view list) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string_view::npos) end = list.size();
        if (end > start) ComboAdd(d, id, list.substr(start, end - start));
        start = end + 1;
    }
}

int ComboGetSelection(TemplateDialog& d, int id) {
    auto* box = qobject_cast<QComboBox*>(d.item(id));
    return box == nullptr ? 0 : box->currentIndex() + 1;
}

void ComboSetSelection(TemplateDialog& d, int id, int position) {
    if (auto* box = qobject_cast<QComboBox*>(d.item(id))) {
        d.beginQuiet();
        box->setCurrentIndex(position >= 1 && position <= box->count() ? position - 1 : -1);
        d.endQuiet();
    }
}

int ComboCount(TemplateDialog& d, int id) {
    auto* box = qobject_cast<QComboBox*>(d.item(id));
    return box == nullptr ? 0 : box->count();
}

std::string ComboItemText(TemplateDialog& d, int id, int position) {
    auto* box = qobject_cast<QComboBox*>(d.item(id));
    if (box == nullptr || position < 1 || position > box->count()) return {};
    return FromQString(box->itemText(position - 1));
}

void ComboDropDown(TemplateDialog& d, int id) {
    auto* box = qobject_cast<QComboBox*>(d.item(id));
    // Only a box on the screen can show its list.
    if (box != nullptr && box->isVisible() && box->count() > 0) box->showPopup();
}

void ListClear(TemplateDialog& d, int id) {
    if (auto* list = qobject_cast<QListWidget*>(d.item(id))) {
        d.beginQuiet();
        list->clear();
        d.endQuiet();
    }
}

void ListAdd(TemplateDialog& d, int id, std::string_view text) {
    if (auto* list = qobject_cast<QListWidget*>(d.item(id))) {
        d.beginQuiet();
        list->addItem(ToQString(Utf8Left(text, 255)));
        d.endQuiet();
    }
}

int ListGetSelection(TemplateDialog& d, int id) {
    auto* list = qobject_cast<QListWidget*>(d.item(id));
    if (list == nullptr || list->selectedItems().isEmpty()) return 0;
    return list->row(list->selectedItems().front()) + 1;
}

void ListSetSelection(TemplateDialog& d, int id, int position) {
    if (auto* list = qobject_cast<QListWidget*>(d.item(id))) {
        d.beginQuiet();
        if (position >= 1 && position <= list->count()) {
            list->setCurrentRow(position - 1);
        } else {
            list->clearSelection();
            list->setCurrentRow(-1);
        }
        d.endQuiet();
    }
}

int ListCount(TemplateDialog& d, int id) {
    auto* list = qobject_cast<QListWidget*>(d.item(id));
    return list == nullptr ? 0 : list->count();
}

std::string ListItemText(TemplateDialog& d, int id, int position) {
    auto* list = qobject_cast<QListWidget*>(d.item(id));
    if (list == nullptr || position < 1 || position > list->count()) return {};
    return FromQString(list->item(position - 1)->text());
}

QWidget* ItemHandle(TemplateDialog& d, int id) {
    return d.item(id);
}

int InnerChild(TemplateDialog& d, int id) {
    auto* box = qobject_cast<QComboBox*>(d.item(id));
    return box != nullptr && box->isEditable() ? id + kInnerEditBase : 0;
}

uint16_t CheckedRadio(TemplateDialog& d, int first, int last) {
    uint16_t found = 0;
    for (int id = first; id <= last; ++id) {
        if (IsItemChecked(d, id)) found = static_cast<uint16_t>(id - first + 1);
    }
    return found;
}

bool IsItemChecked(TemplateDialog& d, int id) {
    auto* b = qobject_cast<QAbstractButton*>(d.item(id));
    return b != nullptr && b->isChecked();
}

void CheckItem(TemplateDialog& d, int id, bool checked) {
    auto* b = qobject_cast<QAbstractButton*>(d.item(id));
    if (b == nullptr) return;
    // An exclusive group refuses to clear its checked button; lift it meanwhile.
    QButtonGroup* group = b->group();
    const bool exclusive = group != nullptr && group->exclusive();
    if (exclusive && !checked) group->setExclusive(false);
    b->setChecked(checked);
    if (exclusive && !checked) group->setExclusive(true);
}

void ShowItem(TemplateDialog& d, int id) {
    ShowItemIf(d, id, true);
}
void HideItem(TemplateDialog& d, int id) {
    ShowItemIf(d, id, false);
}

void ShowItemIf(TemplateDialog& d, int id, bool show) {
    if (QWidget* w = d.item(id)) w->setVisible(show);
}

bool IsItemShown(TemplateDialog& d, int id) {
    QWidget* w = d.item(id);
    return w != nullptr && !w->isHidden();
}

void EnableItem(TemplateDialog& d, int id, bool enable) {
    if (QWidget* w = d.item(id)) w->setEnabled(enable);
}

bool IsItemEnabled(TemplateDialog& d, int id) {
    QWidget* w = d.item(id);
    return w != nullptr && w->isEnabled();
}

int FocusedItem(TemplateDialog& d) {
    return d.idOf(d.focusWidget());
}

void SetFocusItem(TemplateDialog& d, int id) {
    if (QWidget* w = d.item(id)) w->setFocus(Qt::OtherFocusReason);
}

QSize PaneViewSize(TemplateDialog& d, int id) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(d.item(id)))
        return area->viewport()->size();
    DrawingPane* pane = d.paneOf(id);
    return pane == nullptr ? QSize() : pane->size();
}

namespace {

// A scroll bar control, or the vertical bar of a scrolling pane.
QScrollBar* ScrollBarOf(TemplateDialog& d, int id) {
    QWidget* w = d.item(id);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) return area->verticalScrollBar();
    return qobject_cast<QScrollBar*>(w);
}

}  // namespace

void ScrollSetRange(TemplateDialog& d, int id, int min, int max) {
    if (auto* bar = ScrollBarOf(d, id)) bar->setRange(min, max);
}

void ScrollSetPos(TemplateDialog& d, int id, int pos) {
    if (auto* bar = ScrollBarOf(d, id)) bar->setValue(pos);
}

int ScrollGetPos(TemplateDialog& d, int id) {
    auto* bar = ScrollBarOf(d, id);
    return bar == nullptr ? 0 : bar->value();
}

void EnableMenuItem(TemplateDialog& d, int id, bool enable) {
    if (QAction* a = FindMenuAction(d, id)) a->setEnabled(enable);
}

bool IsMenuItemEnabled(TemplateDialog& d, int id) {
    QAction* a = FindMenuAction(d, id);
    return a != nullptr && a->isEnabled();
}

int MenuPopupCount(TemplateDialog& d) {
    return static_cast<int>(d.popups().size());
}

QMenu* MenuPopup(TemplateDialog& d, int position) {
    return position >= 1 && position <= MenuPopupCount(d) ? d.popups()[position - 1] : nullptr;
}

int MenuItemCount(QMenu* menu) {
    return menu == nullptr ? 0 : static_cast<int>(menu->actions().size());
}

int MenuItemId(QMenu* menu, int position) {
    QAction* a = ActionAt(menu, position);
    return a == nullptr || a->isSeparator() ? 0 : a->data().toInt();
}

std::string MenuItemText(QMenu* menu, int position) {
    QAction* a = ActionAt(menu, position);
    if (a == nullptr) return {};
    // As the user reads it: "&&" is one "&", a single "&" marks the mnemonic.
    QString shown;
    const QString text = a->text();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return FromQString(shown);
}

void MenuDeleteItem(QMenu* menu, int position) {
    if (QAction* a = ActionAt(menu, position)) {
        menu->removeAction(a);
        delete a;
    }
}

void MenuAppendItem(QMenu* menu, int id, std::string_view text) {
    // The text is the user's (a utility's name): an "&" in it is shown, not a mnemonic.
    QString shown = ToQString(Utf8Left(text, 255));
    shown.replace(u'&', QStringLiteral("&&"));
    if (menu != nullptr) menu->addAction(shown)->setData(id);
}

void SetClipboardText(std::string_view text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

std::string ClipboardText() {
    return FromQString(QGuiApplication::clipboard()->text());
}

namespace {

// The clipboard's text read by `read`; what it refuses is said in a box.
template <class Read>
bool ReadClipboard(Read read) {
    const std::string text = ClipboardText();
    std::string error = "el portapapeles no tiene texto";
    if (!IsBlankLines(text) && read(text, error)) return true;
    ShowMessageStyled("Pegar", "No se ha pegado nada: " + error + ".", kMbIconExclamation);
    return false;
}

}  // namespace

bool ClipboardMatrix(const BlockLimits& limits, Matrix& m) {
    return ReadClipboard([&](const std::string& text, std::string& error) {
        return ReadPastedMatrix(text, limits, m, error);
    });
}

bool ClipboardCells(const BlockLimits& limits, TextMatrix& cells) {
    return ReadClipboard([&](const std::string& text, std::string& error) {
        return ReadPastedCells(text, limits, true, cells, error);
    });
}

bool ClipboardKeyTakesMatrix(TemplateDialog& d, int cell, bool copy) {
    return copy ? GetItemSelection(d, cell).empty() : !IsSingleValue(ClipboardText());
}

bool AskParameterValue(char letter, Fraction& value) {
    const std::string k(1, letter);
    std::string text;
    if (!AskText(kSubstituteCaption, "Valor de " + k + " (entero o fracción):", text)) return false;
    const NumberReading reading = ReadNumber(text, value);
    if (reading == NumberReading::Ok) return true;
    ShowMessageStyled(kSubstituteCaption,
                      reading == NumberReading::NotANumber
                          ? "El valor de " + k + " ha de ser un entero o una fracción."
                          : "El valor de " + k + " " + NumberReadingText(reading) + ".",
                      kMbIconExclamation);
    return false;
}

}  // namespace velmora
