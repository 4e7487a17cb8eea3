// The thin layer through which windows read and write their controls, named
// by dialog and control id. Texts are UTF-8; every limit counts characters.
// An id that names no control does nothing: reads give an empty text or 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/matrix/matrix.h"
#include "core/matrix/matrix_text.h"
#include "gui/toolkit/template_dialog.h"

class QMenu;
class QSize;
class QWidget;

namespace velmora {

// Window title, cut to 255 characters.
void SetWindowTitle(QWidget& window, std::string_view text);

// Control texts. Multi-line edits separate their lines with CR LF.
void SetItemText(TemplateDialog& d, int id, std::string_view text);   // cut to 255
void SetItemTextZ(TemplateDialog& d, int id, std::string_view text);  // any length
std::string GetItemText(TemplateDialog& d, int id);                   // at most 254
std::string GetItemTextMax(TemplateDialog& d, int id);                // at most 255
// The whole text into `out`; returns its length in characters.
std::size_t GetItemTextAlloc(TemplateDialog& d, int id, std::string& out);
// The trimmed text read as an integer (sign, "$" hex, "%" binary). An empty
// text gives 0 with the flag clear; a text that is no integer gives 0 with it set.
int32_t GetItemInteger(TemplateDialog& d, int id, bool& error);
// The text selected inside an edit; empty when nothing is selected.
std::string GetItemSelection(TemplateDialog& d, int id);
// old text + CR LF (when old is not empty) + text cut to 255.
void AppendItemLine(std::string_view text, TemplateDialog& d, int id);

// Combo boxes; positions are 1-based and 0 means none.
void ComboClear(TemplateDialog& d, int id);
void ComboAdd(TemplateDialog& d, int id, std::string_view text);
// Adds every non-empty piece between ";" separators, in order.
void ComboAddList(TemplateDialog& d, int id, std::string_view list);
int ComboGetSelection(TemplateDialog& d, int id);
void ComboSetSelection(TemplateDialog& d, int id, int position);
int ComboCount(TemplateDialog& d, int id);
std::string ComboItemText(TemplateDialog& d, int id, int position);
// Drops the list of a combo box down (the system window's comment box 150).
void ComboDropDown(TemplateDialog& d, int id = 150);

// List boxes; positions are 1-based and 0 means none.
void ListClear(TemplateDialog& d, int id);
void ListAdd(TemplateDialog& d, int id, std::string_view text);
int ListGetSelection(TemplateDialog& d, int id);
void ListSetSelection(TemplateDialog& d, int id, int position);
int ListCount(TemplateDialog& d, int id);
std::string ListItemText(TemplateDialog& d, int id, int position);

QWidget* ItemHandle(TemplateDialog& d, int id);
// The size a drawing pane shows: for a scrolling pane, that of its view
// (less than its place by the frame and the scroll bars); empty for none.
QSize PaneViewSize(TemplateDialog& d, int id);
// The id of the edit field inside editable drop-down box `id` (kInnerEditBase
// + id); 0 for a control without one.
int InnerChild(TemplateDialog& d, int id);

// 1-based offset of the last checked button among ids first..last; 0 if none.
uint16_t CheckedRadio(TemplateDialog& d, int first, int last);
bool IsItemChecked(TemplateDialog& d, int id);
// Checks or clears a check box or radio button (other radio buttons untouched).
void CheckItem(TemplateDialog& d, int id, bool checked);

void ShowItem(TemplateDialog& d, int id);
void HideItem(TemplateDialog& d, int id);
void ShowItemIf(TemplateDialog& d, int id, bool show);
bool IsItemShown(TemplateDialog& d, int id);
void EnableItem(TemplateDialog& d, int id, bool enable);
bool IsItemEnabled(TemplateDialog& d, int id);

// Keyboard focus by id (inner edit ids included); 0 when no control has it.
int FocusedItem(TemplateDialog& d);
void SetFocusItem(TemplateDialog& d, int id);

// Scroll bars, and the vertical bar of a scrolling pane (in pixels of its
// contents). A position is kept within the range.
void ScrollSetRange(TemplateDialog& d, int id, int min, int max);
void ScrollSetPos(TemplateDialog& d, int id, int pos);
int ScrollGetPos(TemplateDialog& d, int id);

// Menus. Items are found by id anywhere in the menu bar; popups and items by
// 1-based position. A separator has id 0.
void EnableMenuItem(TemplateDialog& d, int id, bool enable);
bool IsMenuItemEnabled(TemplateDialog& d, int id);
int MenuPopupCount(TemplateDialog& d);
QMenu* MenuPopup(TemplateDialog& d, int position);
int MenuItemCount(QMenu* menu);
int MenuItemId(QMenu* menu, int position);
// The item's text as shown, without its mnemonic mark.
std::string MenuItemText(QMenu* menu, int position);
void MenuDeleteItem(QMenu* menu, int position);
// Appends an item showing `text` as it is: an "&" in it is not a mnemonic.
void MenuAppendItem(QMenu* menu, int id, std::string_view text);

// The system clipboard's text (UTF-8; line breaks as they come).
void SetClipboardText(std::string_view text);
std::string ClipboardText();
// The clipboard's matrix, read by ReadPastedMatrix within `limits`. A
// clipboard without one is refused in a box (caption "Pegar") that says what
// is wrong; then m is untouched and the result false.
bool ClipboardMatrix(const BlockLimits& limits, Matrix& m);
// The same as the texts of the cells, for a grid whose cells may be
// polynomials in a (ReadPastedCells with the parameter).
bool ClipboardCells(const BlockLimits& limits, TextMatrix& cells);
// Ctrl+C (copy) or Ctrl+V in a grid cell, for the windows' grids: true when
// the key copies or pastes the whole matrix, false when it stays the cell's
// own. Copy takes the matrix while nothing is selected in the cell; paste
// while the clipboard holds more than one value.
bool ClipboardKeyTakesMatrix(TemplateDialog& d, int cell, bool copy);

// "Sustituir parámetro...": asks a value of the parameter `letter`, an
// integer or a fraction. False when cancelled, or refused in a box that says
// why; value is then untouched.
bool AskParameterValue(char letter, Fraction& value);

}  // namespace velmora
