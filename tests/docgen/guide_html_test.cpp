#include "docgen/guide_html.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace velmora::docgen {
namespace {

using test::TempDir;
using test::WriteBytes;

TEST(GuideHtmlTest, FiguresWithAPictureStayAndPointAtItMissingOnesGoWhole) {
    TempDir first;
    TempDir second;
    WriteBytes(first.file("a.png"), "png");
    WriteBytes(second.file("b.png"), "png");
    WriteBytes(second.file("a.png"), "the second folder's a.png is not used");
    const std::string a = "file://" + first.file("a.png");
    const std::string b = "file://" + second.file("b.png");
    struct Case {
        const char* name;
        std::string html;
        std::string expected;
        std::vector<std::string> missing;
    };
    const Case cases[] = {
        {"no figure", "<p>texto</p>", "<p>texto</p>", {}},
        {"found in the first folder",
         "x<!-- figura a.png --><img src=\"a.png\" width=\"9\"><i>A</i><!-- /figura -->y",
         "x<img src=\"" + a + "\" width=\"9\"><i>A</i>y",
         {}},
        {"found in the second folder",
         "<!--figura b.png-->\n<img src=\"b.png\">\n<!--/figura-->",
         "\n<img src=\"" + b + "\">\n",
         {}},
        {"missing: the whole figure goes, caption included",
         "<h1>T</h1><!-- figura c.png --><p><img src=\"c.png\"><br>Leyenda</p><!-- /figura "
         "--><p>sigue</p>",
         "<h1>T</h1><p>sigue</p>",
         {"c.png"}},
        {"several, in order",
         "<!-- figura c.png -->1<!-- /figura --><!-- figura a.png --><img src=\"a.png\"><!-- "
         "/figura "
         "--><!-- figura d.png -->2<!-- /figura -->",
         "<img src=\"" + a + "\">",
         {"c.png", "d.png"}},
        {"a picture named twice in one figure",
         "<!-- figura a.png --><img src=\"a.png\"><img src=\"a.png\"><!-- /figura -->",
         "<img src=\"" + a + "\"><img src=\"" + a + "\">",
         {}},
        {"an unclosed figure is left as it is",
         "<!-- figura c.png --><img src=\"c.png\">",
         "<!-- figura c.png --><img src=\"c.png\">",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PreparedGuide guide =
            PrepareGuideHtml(c.html, {first.path().string(), second.path().string()});
        EXPECT_EQ(guide.html, c.expected);
        EXPECT_EQ(guide.missing, c.missing);
    }
}

// A picture outside a figure is laid out by Qt as one blank page: it is named.
TEST(GuideHtmlTest, NamesPicturesOutsideFigures) {
    TempDir dir;
    WriteBytes(dir.file("a.png"), "png");
    const PreparedGuide guide = PrepareGuideHtml(
        "<IMG src=\"x.png\"><!-- figura a.png --><img src=\"a.png\"><!-- /figura -->"
        "<p><img width=\"4\" src=\"y.png\"></p><!-- figura b.png --><img src=\"b.png\">",
        {dir.path().string()});
    EXPECT_EQ(guide.unwrapped, (std::vector<std::string>{"x.png", "y.png", "b.png"}));
}

}  // namespace
}  // namespace velmora::docgen
