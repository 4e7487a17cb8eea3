// The store commands and the panel of the main window.
#include <algorithm>
#include <functional>
#include <random>
#include <tuple>

#include "support/drawn_boxes.h"
#include "support/main_window_fixture.h"

namespace velmora {
namespace {

using namespace principal;
using test::Grid;
using test::MainWindowTest;

Grid Ones(int rows, int cols) {
    return Grid(rows, std::vector<std::string>(cols, "1"));
}

QRgb Pixel(DrawingPane& pane, int x, int y) {
    return pane.image().pixel(x, y) & 0xFFFFFF;
}
constexpr QRgb kFill = 0xFFFFE7;      // RGB(255,255,231)
constexpr QRgb kInverted = 0x000018;  // its inverse

// Where each matrix should land, by the panel's rule: x from 20, rows of at
// most 460 px, a new row 30 px below the lowest bottom so far. A matrix of
// one-character entries in columns of four characters of 6 px, one apart,
// ends (right bar) at x + 30 c - 9 and has its bottom at y + 16 r.
struct Placed {
    int x, y, right, bottom;
};
std::vector<Placed> Layout(const std::vector<std::pair<int, int>>& sizes) {
    std::vector<Placed> out;
    int x = 20;
    int y = 40;
    int lowest = 40;
    for (auto [r, c] : sizes) {
        if (x + 36 * c - 6 > 460) {
            x = 20;
            y = lowest + 30;
        }
        const Placed p{x, y, x + 30 * c - 9, y + 16 * r};
        out.push_back(p);
        x = p.right + 10;
        lowest = std::max(lowest, p.bottom);
    }
    return out;
}

TEST_F(MainWindowTest, PanelLayoutForOneToFourteenMatrices) {
    const std::vector<std::pair<int, int>> sizes = {
        {2, 5}, {3, 2}, {4, 4}, {1, 1}, {2, 3}, {4, 5}, {3, 3},
        {2, 2}, {1, 5}, {4, 2}, {3, 4}, {2, 1}, {1, 3}, {3, 5},
    };
    for (std::size_t n = 1; n <= sizes.size(); ++n) {
        if (n > 1) d->click(kNewMatrix);
        commit(Ones(sizes[n - 1].first, sizes[n - 1].second));
        pane().dc().clearRecords();
        d->click(kStore);
        ASSERT_EQ(window->store().count(), static_cast<int>(n));

        const std::vector<std::pair<int, int>> stored(sizes.begin(), sizes.begin() + n);
        const std::vector<Placed> expected = Layout(stored);
        std::vector<std::tuple<std::string, int, int>> letters;
        for (const DrawRecord& r : pane().dc().records()) {
            if (r.kind == DrawRecord::Kind::Text && r.textColour == kSlotLetter) {
                letters.emplace_back(r.text, r.x, r.y);
            }
        }
        ASSERT_EQ(letters.size(), n) << n << " matrices";
        for (std::size_t i = 0; i < n; ++i) {
            const Placed& p = expected[i];
            const int slot = static_cast<int>(i) + 1;
            EXPECT_EQ(letters[i], std::make_tuple(slotLetter(slot), (p.x + p.right) / 2, p.y - 20))
                << "letter of slot " << slot << " with " << n << " stored";
            const MainWindow::Rect hit = window->hitRect(slot);
            EXPECT_EQ(std::make_tuple(hit.left, hit.top, hit.right, hit.bottom),
                      std::make_tuple(p.x - 3, p.y - 20, p.right + 3, p.bottom + 3))
                << "hit rectangle of slot " << slot;
        }
    }
}

// Fourteen 4 x 5 matrices, small or large: every letter and every matrix
// inside the panel, no text on another or on a bar, each matrix selected by
// a click in the middle of its area; after Reset the panel is as empty as it
// was at the start.
TEST_F(MainWindowTest, FourteenFourByFiveMatricesAllShowAndAreClickable) {
    d->paint();
    const QImage empty = pane().image().copy();
    const int right = pane().width() - 6;
    const int bottom = pane().height() - 8;
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> digit(-5, 7);
    const auto small = [&] {
        Grid g(4, std::vector<std::string>(5));
        for (auto& row : g)
            for (std::string& cell : row) cell = std::to_string(digit(random));
        return g;
    };
    // Equal rows keep the rank easy to find whatever the entries.
    const std::vector<std::string> large{"-2147483647/2147483646", "1999999999/7", "-3/2147483647",
                                         "123456789/987654321", "-1000000000"};
    const Grid wide(4, large);
    struct Case {
        const char* what;
        std::function<Grid(int slot)> matrix;
    };
    const Case cases[] = {
        {"random digits", [&](int) { return small(); }},
        {"a wide 2 x 2 first",
         [&](int slot) {
             return slot == 1 ? Grid{{"100000", "200000"}, {"3", "-1/2"}} : small();
         }},
        {"large fractions", [&](int) { return wide; }},
    };
    for (const Case& c : cases) {
        for (int slot = 1; slot <= 14; ++slot) append(c.matrix(slot));
        ASSERT_EQ(window->store().count(), 14) << c.what;
        pane().dc().clearRecords();
        d->paint();

        std::vector<test::Box> boxes = test::TextBoxes(pane().dc());
        std::string letters;
        for (const DrawRecord& r : pane().dc().records()) {
            if (r.kind == DrawRecord::Kind::Text && r.textColour == kSlotLetter) letters += r.text;
        }
        EXPECT_EQ(letters, "JKLMNOPQRSTUVW") << c.what;
        const std::vector<test::Box> bars = test::UprightLines(pane().dc());
        boxes.insert(boxes.end(), bars.begin(), bars.end());
        EXPECT_EQ(test::Outside(boxes, 4, 18, right, bottom), "") << c.what;
        EXPECT_EQ(test::Overlaps(boxes), "") << c.what;

        std::vector<test::Box> areas;
        for (int slot = 1; slot <= 14; ++slot) {
            const MainWindow::Rect r = window->hitRect(slot);
            areas.push_back({slotLetter(slot), r.left, r.top, r.right, r.bottom});
        }
        EXPECT_EQ(test::Outside(areas, 4, 18, right, bottom), "") << c.what;
        EXPECT_EQ(test::Overlaps(areas), "") << c.what;
        for (int slot = 1; slot <= 14; ++slot) {
            const MainWindow::Rect r = window->hitRect(slot);
            clickPanel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            EXPECT_EQ(window->store().selected(), slot) << c.what;
        }

        d->click(kReset);
        EXPECT_TRUE(pane().image() == empty) << c.what << ": something stays painted after Reset";
    }
}

TEST_F(MainWindowTest, PanelIsFilledAndEmptyPanelClicksSelectNothing) {
    d->paint();
    EXPECT_EQ(Pixel(pane(), 4, 18), kFill);
    EXPECT_EQ(Pixel(pane(), pane().width() - 7, pane().height() - 9), kFill);
    EXPECT_NE(Pixel(pane(), pane().width() - 6, pane().height() - 9), kFill) << "frame left clear";
    clickPanel(30, 40);
    EXPECT_EQ(window->store().selected(), 0);
}

TEST_F(MainWindowTest, ClickSelectsAndInvertsOnlyTheSelectedSlot) {
    append({{"1", "2"}, {"3", "4"}});
    append({{"5", "6", "7"}, {"8", "9", "1"}});
    d->click(kNewMatrix);
    const MainWindow::Rect j = window->hitRect(1);
    const MainWindow::Rect k = window->hitRect(2);
    auto corners = [&] {
        return std::make_pair(Pixel(pane(), j.left, j.top), Pixel(pane(), k.left, k.top));
    };
    EXPECT_EQ(corners(), std::make_pair(kFill, kFill));

    struct Step {
        int x, y;  // panel point
        int selected;
        QRgb jCorner, kCorner;
        const char* caption;
    };
    const Step steps[] = {
        {j.left, j.top, 1, kInverted, kFill, "Matriz  J = "},
        {k.right - 1, k.bottom - 1, 2, kFill, kInverted, "Matriz  K = "},
        {j.right, j.top + 5, 0, kFill, kFill, "Matriz... "},  // the gap between J and K
        {j.right - 1, j.bottom - 1, 1, kInverted, kFill, "Matriz  J = "},
        {j.left, j.bottom, 0, kFill, kFill, "Matriz... "},  // just below J
    };
    for (const Step& s : steps) {
        clickPanel(s.x, s.y);
        EXPECT_EQ(window->store().selected(), s.selected) << s.x << "," << s.y;
        EXPECT_EQ(corners(), std::make_pair(s.jCorner, s.kCorner)) << s.x << "," << s.y;
        EXPECT_EQ(caption(), s.caption);
    }
    clickSlot(2);
    EXPECT_EQ(shown(), (Grid{{"5", "6", "7"}, {"8", "9", "1"}}));
    EXPECT_TRUE(window->editor().committed);
    EXPECT_EQ(GetItemText(*d, kRankBox), "2");
    d->paint();  // a full repaint draws the selection inverted, once
    EXPECT_EQ(corners(), std::make_pair(kFill, kInverted));
}

TEST_F(MainWindowTest, StoreOverwriteAndDeleteRenumbering) {
    append({{"1", "2"}, {"3", "4"}});  // J
    append({{"0", "1"}, {"2", "3"}});  // K
    clickSlot(2);
    d->click(kTranspose);
    d->click(kStore);  // L = Trasp(K)
    ASSERT_EQ(window->store().count(), 3);
    EXPECT_EQ(caption(), "Matriz  L = Trasp(K) ");
    EXPECT_EQ(window->store().selected(), 3) << "an appended matrix is selected";
    d->click(kTranspose);
    d->click(kStore);  // M = Trasp(L)
    EXPECT_EQ(caption(), "Matriz  M = Trasp(L) ");

    // Overwriting the selected slot keeps it selected.
    clickSlot(1);
    commit({{"9", "9"}, {"9", "8/2"}});
    d->click(kStore);
    EXPECT_EQ(window->store().count(), 4);
    EXPECT_EQ(window->store().selected(), 1);
    EXPECT_TRUE(window->store().matrix(1) == Matrix::FromRows({{9, 9}, {9, 4}}));
    EXPECT_EQ(shown(), (Grid{{"9", "9"}, {"9", "4"}})) << "the grid shows what was stored";

    // "No" keeps everything.
    clickSlot(2);
    boxes.answers = {kIdNo};
    d->click(kDelete);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Confirmar eliminación");
    EXPECT_EQ(boxes.boxes[0].text, "Eliminar matriz K?");
    EXPECT_EQ(boxes.boxes[0].style, static_cast<unsigned>(kMbYesNo));
    EXPECT_EQ(window->store().count(), 4);
    EXPECT_EQ(window->store().selected(), 2);

    boxes.answers = {kIdYes};
    d->click(kDelete);
    EXPECT_EQ(window->store().count(), 3);
    EXPECT_EQ(window->store().selected(), 0);
    EXPECT_EQ(caption(), "Matriz... ");
    EXPECT_EQ(shown(), (Grid{{"", ""}, {"", ""}})) << "the editor is cleared";
    EXPECT_EQ(GetItemText(*d, kRankBox), "");
    EXPECT_FALSE(window->editor().committed);
    EXPECT_FALSE(IsItemEnabled(*d, kDelete));
    EXPECT_FALSE(IsMenuItemEnabled(*d, kDelete));
    EXPECT_EQ(FocusedItem(*d), kFirstCell);

    clickSlot(2);
    EXPECT_EQ(caption(), "Matriz  K = ") << "its source was deleted";
    EXPECT_EQ(shown(), (Grid{{"0", "2"}, {"1", "3"}}));
    clickSlot(3);
    EXPECT_EQ(caption(), "Matriz  L = Trasp(K) ") << "the transpose of L became that of K";
    EXPECT_EQ(shown(), (Grid{{"0", "1"}, {"2", "3"}}));
}

TEST_F(MainWindowTest, ResetEmptiesTheStoreAndKeepsTheEditor) {
    append({{"1", "2"}, {"3", "4"}});
    append({{"5", "6"}, {"7", "8"}});
    clickSlot(2);
    const MainWindow::Rect k = window->hitRect(2);
    d->click(kReset);
    EXPECT_EQ(window->store().count(), 0);
    EXPECT_EQ(window->store().selected(), 0);
    EXPECT_EQ(shown(), (Grid{{"5", "6"}, {"7", "8"}}));
    EXPECT_EQ(caption(), "Matriz... ") << "K is gone";
    EXPECT_EQ(Pixel(pane(), k.left, k.top), kFill);
    EXPECT_FALSE(IsItemEnabled(*d, kExpression));
    d->click(kStore);
    EXPECT_EQ(caption(), "Matriz  J = ") << "an empty description after Reset";
}

// A count that does not fit the free slots generates nothing and says why.
TEST_F(MainWindowTest, GenerateFillsFreeSlotsOrSaysWhyNot) {
    struct Step {
        const char* count;
        int storedAfter;
        const char* caption;  // of the box; none when generated
        const char* text;
    };
    const Step steps[] = {
        {"7", 8, nullptr, nullptr},
        {"9", 8, "Generar",
         "Quedan 6 huecos libres en el almacén: se pueden generar de 1 a 6 "
         "matrices."},
        {"0", 8, "Generar", nullptr},
        {"abc", 8, "Generar", nullptr},
        {"", 8, "Generar", nullptr},
        {"-1", 8, "Generar", nullptr},
        {" 5", 13, nullptr, nullptr},
        {"2", 13, "Generar", "Queda 1 hueco libre en el almacén: se puede generar 1 matriz."},
        {"1", 14, nullptr, nullptr},
        {"1", 14, "Almacén lleno",
         "Ya hay 14 matrices guardadas. Elimina alguna para generar otras."},
    };
    append({{"1"}});  // selected, in the editor
    for (const Step& s : steps) {
        boxes.boxes.clear();
        SetItemText(*d, kCountBox, s.count);
        d->click(kGenerate);
        EXPECT_EQ(window->store().count(), s.storedAfter) << "'" << s.count << "'";
        EXPECT_EQ(window->store().selected(), 1) << "the selection stays";
        if (s.caption == nullptr) {
            EXPECT_TRUE(boxes.boxes.empty()) << "'" << s.count << "'";
            continue;
        }
        ASSERT_EQ(boxes.boxes.size(), 1u) << "'" << s.count << "'";
        EXPECT_EQ(boxes.boxes[0].caption, s.caption);
        if (s.text != nullptr) {
            EXPECT_EQ(boxes.boxes[0].text, s.text);
        }
        EXPECT_EQ(boxes.boxes[0].style, static_cast<unsigned>(kMbIconExclamation));
    }
    for (int i = 2; i <= 14; ++i) {
        const Matrix& m = window->store().matrix(i);
        EXPECT_TRUE(m.rows >= 2 && m.rows <= 4 && m.cols >= 2 && m.cols <= 5) << i;
        EXPECT_TRUE(window->store().description(i).IsEmpty());
    }
    EXPECT_EQ(shown(), (Grid{{"1"}}));
    // Picked from the list as well.
    boxes.boxes.clear();
    d->click(kReset);
    d->pick(kCountBox, 3);
    d->command(kGenerate);  // the menu item
    EXPECT_EQ(window->store().count(), 3);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(MainWindowTest, StoringIntoAFullStoreIsRefused) {
    SetItemText(*d, kCountBox, "7");
    d->click(kGenerate);
    d->click(kGenerate);
    ASSERT_EQ(window->store().count(), 14);
    commit({{"1", "2"}, {"3", "4"}});
    d->click(kStore);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Almacén lleno");
    EXPECT_EQ(boxes.boxes[0].text,
              "Ya hay 14 matrices guardadas. Selecciona una para sustituirla o elimina alguna.");
    EXPECT_EQ(boxes.boxes[0].style, static_cast<unsigned>(kMbIconExclamation));
    EXPECT_EQ(window->store().count(), 14);
    EXPECT_EQ(window->store().selected(), 0);

    clickSlot(14);
    commit({{"1", "2"}, {"3", "4"}});
    d->click(kStore);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(window->store().matrix(14) == Matrix::FromRows({{1, 2}, {3, 4}}));
    EXPECT_EQ(caption(), "Matriz  W = ");
}

}  // namespace
}  // namespace velmora
