// Dialog and menu templates as plain data: what the dialog builder of the
// toolkit turns into windows. Places and sizes are dialog units; texts are UTF-8.
#pragma once

#include <string_view>
#include <vector>

namespace velmora::res {

// A control without an id of its own (most labels).
inline constexpr int kNoId = -1;

enum class ControlKind {
    Label,          // static text
    Button,         // push button
    GroupBox,       // frame with a caption
    Edit,           // one-line edit
    MultiLineEdit,  // several lines, lines separated by CR LF
    Radio,          // auto radio button
    CheckBox,       // auto check box
    DropDown,       // combo box with an edit field (editable drop-down)
    DropList,       // combo box without an edit field
    ListBox,
    HScrollBar,
    VScrollBar,
    Pane,  // a bare drawing surface (a window painted by hand)
};

enum ControlStyle : unsigned {
    kGroupStart = 1u << 0,  // starts a group (radio groups, tab groups)
    kReadOnly = 1u << 1,
    kCentred = 1u << 2,     // text centred in an edit
    kAutoScroll = 1u << 3,  // the edit scrolls horizontally as the user types
    kNoTabStop = 1u << 4,
    kNotify = 1u << 5,   // list box: reports selection changes
    kVScroll = 1u << 6,  // list or combo: vertical scroll bar; pane: scrolling contents
    kHScroll = 1u << 7,
    kBorder = 1u << 8,
    kSorted = 1u << 9,        // list or combo keeps its entries sorted
    kDrawingArea = 1u << 10,  // group box the window draws into (gets a drawing pane)
    kWantReturn = 1u << 11,   // multi-line edit: Enter breaks the line, it is no command
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string_view text;
    int x, y, w, h;
    unsigned style = 0;
};

// A menu item; id 0 with an empty text is a separator. A tab in the text
// starts the item's shortcut key: "Copiar\tCtrl+C".
struct MenuItemTemplate {
    int id;
    std::string_view text;
};

struct PopupTemplate {
    std::string_view text;
    std::vector<MenuItemTemplate> items;
};

struct MenuTemplate {
    std::string_view name;
    std::vector<PopupTemplate> popups;
};

// The font of a dialog and the pixel size of its dialog units. Dialogs in the
// system font use 2 px per unit both ways.
struct DialogFont {
    std::string_view face;  // empty: the program's dialog face
    int pixelSize;
    double pxPerUnitX;
    double pxPerUnitY;
};

struct DialogTemplate {
    std::string_view name;
    std::string_view title;
    int x, y, w, h;  // place of the window and size of its client area
    bool centred;    // centred on the screen; x, y unused
    DialogFont font;
    const MenuTemplate* menu;  // nullptr: no menu
    std::vector<ControlTemplate> controls;
};

extern const DialogFont kSystemFont;
extern const DialogFont kArial9;
// For windows laid out in pixels (one unit is one pixel), in the dialog face.
extern const DialogFont kPixelUnits;

const DialogTemplate& PrincipalTemplate();
const DialogTemplate& SistEqTemplate();
const DialogTemplate& DlgToolsTemplate();
const MenuTemplate& MnuPrinMenu();
const MenuTemplate& MnuSistMenu();

// By resource name ("Principal", "SistEq", "DlgTools", "MnuPrin", "MNUSIST");
// nullptr when there is none of that name.
const DialogTemplate* FindDialogTemplate(std::string_view name);
const MenuTemplate* FindMenuTemplate(std::string_view name);

}  // namespace velmora::res
