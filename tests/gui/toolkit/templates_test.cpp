// The dialog templates the windows are built from: ids that address one
// control each, and the texts whose blanks the windows rely on.
#include "resources/templates.h"

#include <map>

#include <gtest/gtest.h>

namespace velmora::res {
namespace {

const ControlTemplate* Find(const DialogTemplate& t, int id) {
    for (const ControlTemplate& c : t.controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

TEST(TemplatesTest, FoundByTheirResourceNames) {
    EXPECT_EQ(FindDialogTemplate("Principal"), &PrincipalTemplate());
    EXPECT_EQ(FindDialogTemplate("SistEq"), &SistEqTemplate());
    EXPECT_EQ(FindDialogTemplate("DlgTools"), &DlgToolsTemplate());
    EXPECT_EQ(FindDialogTemplate("principal"), nullptr);
    EXPECT_EQ(FindMenuTemplate("MnuPrin"), PrincipalTemplate().menu);
    EXPECT_EQ(FindMenuTemplate("MNUSIST"), SistEqTemplate().menu);
    EXPECT_EQ(DlgToolsTemplate().menu, nullptr);
}

TEST(TemplatesTest, IdsNameOneControlExceptTheSharedOnes) {
    // Labels without an id share 0 or -1; the system window has two "close" buttons.
    const std::map<std::string_view, std::map<int, int>> shared{
        {"Principal", {{kNoId, 2}}},
        {"SistEq", {{kNoId, 8}, {2, 2}}},
        {"DlgTools", {{0, 5}}},
    };
    for (const DialogTemplate* t : {&PrincipalTemplate(), &SistEqTemplate(), &DlgToolsTemplate()}) {
        std::map<int, int> count;
        for (const ControlTemplate& c : t->controls) ++count[c.id];
        for (const auto& [id, n] : count) {
            const auto& expected = shared.at(t->name);
            const int allowed = expected.count(id) ? expected.at(id) : 1;
            EXPECT_EQ(n, allowed) << t->name << " id " << id;
        }
    }
}

TEST(TemplatesTest, TextsKeepTheirBlanks) {
    struct Case {
        const DialogTemplate& tmpl;
        int id;
        std::string_view text;
    };
    const Case cases[] = {
        {PrincipalTemplate(), 3, "Rnd "},
        {PrincipalTemplate(), 101, "Nueva "},
        {PrincipalTemplate(), 5, "Ok "},
        {PrincipalTemplate(), 7, "Ok "},
        {PrincipalTemplate(), 6, "SubM "},
        {PrincipalTemplate(), 102, "Generar... "},
        {PrincipalTemplate(), 20, "M \u00B7"},
        {PrincipalTemplate(), 12, "Operaci\u00F3n matrices"},
        {SistEqTemplate(), 31, "matriz ampliada  A'"},
        {SistEqTemplate(), 32, "matriz coeficientes  A"},
        {SistEqTemplate(), 200, "Rango A' ="},
        {DlgToolsTemplate(), 10, "\u00B7\u00B7\u00B7"},
        {DlgToolsTemplate(), 15, "<- ok"},
    };
    for (const Case& c : cases) {
        const ControlTemplate* control = Find(c.tmpl, c.id);
        ASSERT_NE(control, nullptr) << c.tmpl.name << " " << c.id;
        EXPECT_EQ(control->text, c.text) << c.tmpl.name << " " << c.id;
    }
    EXPECT_EQ(PrincipalTemplate().title, "C\u00E1lculos con matrices  ");
    EXPECT_EQ(PrincipalTemplate().controls[5].text, "filas ");
}

TEST(TemplatesTest, GridsFollowTheirAddressing) {
    // Main editor cell (r, c) is 150 + 5(r-1) + c; system cell (i, j) is 100 + 5(i-1) + j.
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 5; ++c) {
            const ControlTemplate* cell = Find(PrincipalTemplate(), 150 + 5 * (r - 1) + c);
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->x, 242 + 30 * (c - 1));
            EXPECT_EQ(cell->y, 40 + 12 * (r - 1));
            const ControlTemplate* eq = Find(SistEqTemplate(), 100 + 5 * (r - 1) + c);
            ASSERT_NE(eq, nullptr);
            EXPECT_EQ(eq->y, 20 + 12 * (r - 1));
            EXPECT_EQ(eq->x, c == 5 ? 301 : 176 + 30 * (c - 1));
        }
    }
}

}  // namespace
}  // namespace velmora::res
