#include "gui/toolkit/dialog_helpers.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QMenu>

#include <gtest/gtest.h>

#include "support/demo_dialog.h"

namespace velmora {
namespace {

using test::DemoTemplate;
using test::RecordingHandler;

class DialogHelpersTest : public ::testing::Test {
  protected:
    RecordingHandler handler;
    TemplateDialog d{DemoTemplate(), handler};
    void SetUp() override { d.start(); }
};

std::string Repeat(std::string_view piece, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += piece;
    return s;
}

TEST_F(DialogHelpersTest, GetItemIntegerTrimsAndFlagsWhatIsNoInteger) {
    struct Case {
        const char* text;
        int32_t value;
        bool error;
    };
    const Case cases[] = {
        {"  42 ", 42, false},    {"", 0, false},     {"   ", 0, false},
        {"4x", 0, true},         {"-7", -7, false},  {"2147483647", 2147483647, false},
        {"2147483648", 0, true}, {"1/2", 0, true},   {"- 3", 0, true},
        {"$FF", 255, false},     {"%101", 5, false}, {"\t8", 8, false},
    };
    for (const Case& c : cases) {
        SetItemText(d, 101, c.text);
        bool error = !c.error;
        EXPECT_EQ(GetItemInteger(d, 101, error), c.value) << "'" << c.text << "'";
        EXPECT_EQ(error, c.error) << "'" << c.text << "'";
    }
}

TEST_F(DialogHelpersTest, TextLimitsCountCharacters) {
    const std::string ascii = Repeat("a", 300);
    SetItemTextZ(d, 101, ascii);
    EXPECT_EQ(GetItemText(d, 101).size(), 254u);
    EXPECT_EQ(GetItemTextMax(d, 101).size(), 255u);
    std::string all;
    EXPECT_EQ(GetItemTextAlloc(d, 101, all), 300u);
    EXPECT_EQ(all, ascii);

    SetItemText(d, 101, ascii);
    EXPECT_EQ(GetItemTextMax(d, 101).size(), 255u) << "a short text is cut to 255";

    SetItemTextZ(d, 101, Repeat("ñ", 300));
    EXPECT_EQ(GetItemText(d, 101), Repeat("ñ", 254));
    EXPECT_EQ(GetItemTextAlloc(d, 101, all), 300u);
}

TEST_F(DialogHelpersTest, TextsOfLabelsButtonsAndGroupBoxes) {
    EXPECT_EQ(GetItemText(d, 40), "Etiqueta");
    SetItemText(d, 40, "rango A' = 2");
    EXPECT_EQ(GetItemText(d, 40), "rango A' = 2");
    SetItemText(d, 1, "Sí");
    EXPECT_EQ(GetItemText(d, 1), "Sí");
    SetItemText(d, 30, "Útil");
    EXPECT_EQ(GetItemText(d, 30), "Útil");
    SetWindowTitle(d, Repeat("x", 300));
    EXPECT_EQ(d.windowTitle().size(), 255);
}

TEST_F(DialogHelpersTest, AppendItemLineSeparatesWithCrLf) {
    AppendItemLine("a", d, 250);
    EXPECT_EQ(GetItemText(d, 250), "a") << "no line break in an empty box";
    AppendItemLine("b", d, 250);
    EXPECT_EQ(GetItemText(d, 250), "a\r\nb");
    AppendItemLine(Repeat("c", 300), d, 250);
    std::string all;
    EXPECT_EQ(GetItemTextAlloc(d, 250, all), 4u + 2u + 255u);

    SetItemText(d, 101, "x");
    AppendItemLine("y", d, 101);
    EXPECT_EQ(GetItemText(d, 101), "x\r\ny");
}

TEST_F(DialogHelpersTest, ComboAddListSkipsEmptyPieces) {
    struct Case {
        const char* list;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"1;2;3;4;5;6;7;8;9", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {";;a;", {"a"}},
        {"", {}},
        {"uno;;dos", {"uno", "dos"}},
        {" ; ", {" ", " "}},
    };
    for (const Case& c : cases) {
        ComboClear(d, 150);
        ComboAddList(d, 150, c.list);
        std::vector<std::string> got;
        for (int k = 1; k <= ComboCount(d, 150); ++k) got.push_back(ComboItemText(d, 150, k));
        EXPECT_EQ(got, c.entries) << "'" << c.list << "'";
    }
}

TEST_F(DialogHelpersTest, ComboPositionsAreOneBasedAndZeroIsNone) {
    ComboAddList(d, 150, "1;2;3");
    EXPECT_EQ(ComboGetSelection(d, 150), 0);
    EXPECT_EQ(GetItemText(d, 150), "") << "adding leaves the edit field alone";
    ComboSetSelection(d, 150, 1);
    EXPECT_EQ(ComboGetSelection(d, 150), 1);
    ComboSetSelection(d, 150, 3);
    EXPECT_EQ(ComboGetSelection(d, 150), 3);
    EXPECT_EQ(GetItemText(d, 150), "3");
    ComboSetSelection(d, 150, 0);
    EXPECT_EQ(ComboGetSelection(d, 150), 0);
    ComboAdd(d, 150, "4");
    EXPECT_EQ(ComboCount(d, 150), 4);
    EXPECT_EQ(ComboItemText(d, 150, 4), "4") << "unsorted: the entry goes last";
    SetItemText(d, 150, "tecleado");
    EXPECT_EQ(GetItemTextMax(d, 150), "tecleado");
    ComboClear(d, 150);
    EXPECT_EQ(ComboCount(d, 150), 0);
    EXPECT_EQ(ComboGetSelection(d, 150), 0);
}

TEST_F(DialogHelpersTest, ComboDropDownShowsTheList) {
    ComboAddList(d, 150, "a;b");
    ComboDropDown(d, 150);
    auto* box = static_cast<QComboBox*>(d.item(150));
    EXPECT_TRUE(box->view()->isVisible());
    box->hidePopup();
}

TEST_F(DialogHelpersTest, InnerChildNamesTheEditOfADropDown) {
    const int inner = InnerChild(d, 150);
    EXPECT_EQ(inner, 150 + kInnerEditBase);
    EXPECT_EQ(InnerChild(d, 101), 0) << "an edit has no inner control";
    SetFocusItem(d, 150);
    EXPECT_EQ(FocusedItem(d), inner);
    SetFocusItem(d, 101);
    EXPECT_EQ(FocusedItem(d), 101);
    SetFocusItem(d, inner);
    EXPECT_EQ(FocusedItem(d), inner);
    EXPECT_EQ(ItemHandle(d, inner), d.item(150));
}

TEST_F(DialogHelpersTest, CheckedRadioGivesTheOffsetOfTheLastChecked) {
    EXPECT_EQ(CheckedRadio(d, 51, 54), 0);
    CheckItem(d, 53, true);
    EXPECT_EQ(CheckedRadio(d, 51, 54), 3);
    CheckItem(d, 51, true);
    EXPECT_EQ(CheckedRadio(d, 51, 54), 1) << "one group: checking 51 clears 53";
    CheckItem(d, 51, false);
    EXPECT_EQ(CheckedRadio(d, 51, 54), 0);
    CheckItem(d, 60, true);
    CheckItem(d, 61, true);
    EXPECT_EQ(CheckedRadio(d, 60, 61), 2) << "independent check boxes: the last one counts";
}

TEST_F(DialogHelpersTest, ShowHideAndEnable) {
    HideItem(d, 101);
    EXPECT_FALSE(IsItemShown(d, 101));
    ShowItem(d, 101);
    EXPECT_TRUE(IsItemShown(d, 101));
    ShowItemIf(d, 101, false);
    EXPECT_FALSE(IsItemShown(d, 101));
    EnableItem(d, 1, false);
    EXPECT_FALSE(IsItemEnabled(d, 1));
    EnableItem(d, 1, true);
    EXPECT_TRUE(IsItemEnabled(d, 1));
}

TEST_F(DialogHelpersTest, AnIdWithoutControlReadsEmptyAndChangesNothing) {
    SetItemText(d, 999, "x");
    EXPECT_EQ(GetItemText(d, 999), "");
    bool error = true;
    EXPECT_EQ(GetItemInteger(d, 999, error), 0);
    EXPECT_FALSE(error);
    EXPECT_EQ(ComboGetSelection(d, 999), 0);
    EXPECT_EQ(ListGetSelection(d, 999), 0);
    EXPECT_EQ(CheckedRadio(d, 990, 999), 0);
    EXPECT_EQ(ScrollGetPos(d, 999), 0);
    EnableItem(d, 999, false);
    AppendItemLine("x", d, 999);
    ComboAddList(d, 999, "1;2");
    EXPECT_EQ(ItemHandle(d, 999), nullptr);
}

TEST_F(DialogHelpersTest, ListBoxes) {
    for (const char* name : {"editor", "calc", "web"}) ListAdd(d, 160, name);
    EXPECT_EQ(ListCount(d, 160), 3);
    EXPECT_EQ(ListGetSelection(d, 160), 0);
    ListSetSelection(d, 160, 2);
    EXPECT_EQ(ListGetSelection(d, 160), 2);
    EXPECT_EQ(ListItemText(d, 160, 2), "calc");
    ListClear(d, 160);
    EXPECT_EQ(ListCount(d, 160), 0);
    EXPECT_EQ(ListGetSelection(d, 160), 0);
    EXPECT_EQ(handler.events().size(), 1u) << "no notification for the program's own changes";
}

TEST_F(DialogHelpersTest, MenuItemsByIdAndByPosition) {
    EXPECT_EQ(MenuPopupCount(d), 2);
    QMenu* file = MenuPopup(d, 1);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(MenuPopup(d, 3), nullptr);
    EXPECT_EQ(MenuItemCount(file), 3);
    EXPECT_EQ(MenuItemId(file, 1), 9);
    EXPECT_EQ(MenuItemId(file, 2), 0) << "separator";
    EXPECT_EQ(MenuItemText(file, 3), "Salir");

    EnableMenuItem(d, 2, false);
    EXPECT_FALSE(IsMenuItemEnabled(d, 2));
    EnableMenuItem(d, 2, true);
    EXPECT_TRUE(IsMenuItemEnabled(d, 2));
    EXPECT_TRUE(IsMenuItemEnabled(d, 800)) << "items of every popup are found";

    MenuAppendItem(file, 531, "uno");
    MenuAppendItem(file, 532, "Pérez & Hijos");  // a user's name: the & is shown
    EXPECT_EQ(MenuItemCount(file), 5);
    EXPECT_EQ(MenuItemText(file, 5), "Pérez & Hijos");
    EXPECT_EQ(file->actions().back()->text().toStdString(), "Pérez && Hijos");
    // Deleting from the end backwards down to the separator, as a rebuild does.
    for (int pos = MenuItemCount(file); pos >= 1 && MenuItemId(file, pos) > 530; --pos)
        MenuDeleteItem(file, pos);
    EXPECT_EQ(MenuItemCount(file), 3);
    MenuDeleteItem(file, 9);  // no such position
    EXPECT_EQ(MenuItemCount(file), 3);
}

TEST_F(DialogHelpersTest, ScrollBarsKeepTheirPositionInRange) {
    ScrollSetRange(d, 81, 2, 4);
    ScrollSetPos(d, 81, 3);
    EXPECT_EQ(ScrollGetPos(d, 81), 3);
    ScrollSetPos(d, 81, 1);
    EXPECT_EQ(ScrollGetPos(d, 81), 2);
    ScrollSetPos(d, 81, 13);
    EXPECT_EQ(ScrollGetPos(d, 81), 4);
}

TEST_F(DialogHelpersTest, ClipboardKeepsUtf8AndLineBreaks) {
    for (const std::string text : {"1\t-1/2\n3\t4\n", "x = 1 - 2λ", ""}) {
        SetClipboardText(text);
        EXPECT_EQ(ClipboardText(), text);
    }
}

}  // namespace
}  // namespace velmora
