#include "gui/textout/text_output.h"

#include <QImage>

#include <gtest/gtest.h>

namespace velmora {
namespace {

class TextOutputTest : public ::testing::Test {
  protected:
    QImage image{200, 60, QImage::Format_ARGB32_Premultiplied};
    DeviceContext dc{&image};
    void SetUp() override {
        InitTextOutput();
        image.fill(Qt::white);
        CurrentDC = &dc;
    }
    void TearDown() override { CurrentDC = nullptr; }

    // Columns that hold at least one pixel of the colour.
    std::pair<int, int> Columns(QColor colour) const {
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x) {
            for (int y = 0; y < image.height(); ++y) {
                if (image.pixelColor(x, y) == colour) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
            }
        }
        return {first, last};
    }
};

TEST_F(TextOutputTest, StartsWithHeight16Width6Arial) {
    EXPECT_EQ(CurrentFont, (LogFont{16, 6, 0, "arial"}));
    EXPECT_EQ(LastFont, kNullFont);
}

TEST_F(TextOutputTest, ThreeSelectionsLeaveTheFirstDeletedTheSecondAliveTheThirdSelected) {
    EXPECT_EQ(dc.selectedFont(), kStockFont);
    SelectFont(&dc);
    const FontHandle first = dc.selectedFont();
    EXPECT_EQ(LastFont, kStockFont) << "the first selection replaces the stock font";
    SelectFont(&dc);
    const FontHandle second = dc.selectedFont();
    SelectFont(&dc);
    const FontHandle third = dc.selectedFont();
    EXPECT_FALSE(FontAlive(first));
    EXPECT_TRUE(FontAlive(second));
    EXPECT_EQ(LastFont, second);
    EXPECT_EQ(third, dc.selectedFont());
    EXPECT_TRUE(FontAlive(third));
    EXPECT_TRUE(FontAlive(kStockFont)) << "deleting the stock font does nothing";
}

TEST_F(TextOutputTest, BeginTextKeepsThePreviousLastFontAlive) {
    QWidget window;
    QImage surface(10, 10, QImage::Format_ARGB32_Premultiplied);
    DeviceContext windowDc(&surface);
    RegisterWindowDC(&window, &windowDc);
    window.show();
    SelectFont(&dc);
    SelectFont(&dc);
    const FontHandle remembered = LastFont;
    BeginTextOnActiveWindow();
    EXPECT_EQ(CurrentDC, &windowDc);
    EXPECT_TRUE(FontAlive(remembered)) << "overwritten, not deleted";
    EXPECT_EQ(LastFont, kStockFont);
    UnregisterWindowDC(&window);
    window.hide();
    BeginTextOnActiveWindow();
    EXPECT_EQ(CurrentDC, nullptr);
    EXPECT_EQ(LastFont, kNullFont);
    DrawText(1, 1, "nothing to draw on");  // harmless
}

TEST_F(TextOutputTest, FontChangesAreCumulative) {
    SetBold(true);
    SetFontWidth(7);
    const LogFont f = FontDescription(dc.selectedFont());
    EXPECT_EQ(f.lfWeight, 700);
    EXPECT_EQ(f.lfWidth, 7);
    EXPECT_EQ(f.lfHeight, 16);
    SetFontBold(&dc, false);
    EXPECT_EQ(FontDescription(dc.selectedFont()).lfWeight, 400);
    EXPECT_EQ(FontDescription(dc.selectedFont()).lfWidth, 7);
}

TEST_F(TextOutputTest, WidthHeightAndWeightShapeTheGlyphs) {
    SetFontWidth(6);
    const int six = dc.textWidth("0123456789");
    SetFontWidth(7);
    const int seven = dc.textWidth("0123456789");
    SetFontWidth(12);
    const int twelve = dc.textWidth("0123456789");
    EXPECT_LT(six, seven);
    EXPECT_LT(seven, twelve);
    EXPECT_NEAR(twelve, 2 * six, 12);
    // Average width 6: ten digits take about 60 px.
    EXPECT_NEAR(six, 60, 12);

    SetFontWidth(6);
    EXPECT_EQ(QtFont(dc.selectedFont()).family().toStdString(), "Liberation Sans");
    SetBold(true);
    EXPECT_EQ(QtFont(dc.selectedFont()).weight(), QFont::Bold);
}

TEST_F(TextOutputTest, DrawColouredTextRestoresWhateverColourWasSet) {
    const Colour colours[] = {Rgb(0, 0, 200), Rgb(1, 2, 3), 0};
    for (Colour before : colours) {
        SetTextColour(before);
        DrawColouredText(10, 10, "K", Rgb(200, 0, 100));
        EXPECT_EQ(dc.textColour(), before);
        EXPECT_EQ(dc.records().back().textColour, Rgb(200, 0, 100));
    }
}

TEST_F(TextOutputTest, TextCellsAreFilledWithTheBackground) {
    SetBackColour(Rgb(255, 190, 211));
    SetTextColour(Rgb(0, 0, 200));
    DrawText(10, 20, "12");
    EXPECT_EQ(image.pixelColor(10, 20), QColor(255, 190, 211)) << "the cell's top-left corner";
    EXPECT_EQ(image.pixelColor(10, 35), QColor(255, 190, 211)) << "16 px high";
    EXPECT_EQ(image.pixelColor(10, 36), QColor(Qt::white));
    EXPECT_GE(Columns(QColor(0, 0, 200)).first, 10);
}

TEST_F(TextOutputTest, AlignmentSixCentresOnX) {
    SetBackColour(Rgb(255, 0, 0));
    SetTextAlignment(kAlignCentreTop);
    DrawText(100, 10, "12");
    const auto [left, right] = Columns(QColor(255, 0, 0));
    EXPECT_NEAR((left + right) / 2.0, 100, 1.0);
    EXPECT_EQ(image.pixelColor(100, 10), QColor(255, 0, 0)) << "top edge at y";
    EXPECT_EQ(image.pixelColor(100, 9), QColor(Qt::white));

    image.fill(Qt::white);
    SetTextAlignment(kAlignLeftTop);
    DrawText(100, 10, "12");
    EXPECT_EQ(Columns(QColor(255, 0, 0)).first, 100);
}

TEST_F(TextOutputTest, EmptyTextDrawsNothingAndLongTextIsCut) {
    SetBackColour(Rgb(255, 0, 0));
    DrawText(10, 10, "");
    EXPECT_EQ(Columns(QColor(255, 0, 0)).first, -1);
    DrawText(0, 0, std::string(300, 'a'));
    EXPECT_EQ(dc.records().back().text, std::string(255, 'a'));
}

TEST_F(TextOutputTest, LinesLeaveOutTheirEndPoint) {
    MoveTo(5, 5);
    DrawLineTo(5, 15);
    DrawLineTo(15, 15);
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(5, 14), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(5, 15), QColor(Qt::black)) << "start of the second line";
    EXPECT_EQ(image.pixelColor(14, 15), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(15, 15), QColor(Qt::white)) << "the last end point";
    EXPECT_EQ(dc.posX(), 15);
    EXPECT_EQ(dc.posY(), 15);
    MoveTo(0, 0);
    DrawLineTo(3, 3);  // a diagonal: (0,0) (1,1) (2,2)
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(3, 3), QColor(Qt::white));
}

TEST_F(TextOutputTest, FillInvertAndRectangle) {
    dc.fillRect(0, 0, 10, 10, Rgb(255, 255, 231));
    EXPECT_EQ(image.pixelColor(9, 9), QColor(255, 255, 231));
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::white));
    dc.invertRect(0, 0, 5, 5);
    EXPECT_EQ(image.pixelColor(4, 4), QColor(0, 0, 24));
    dc.invertRect(0, 0, 5, 5);
    EXPECT_EQ(image.pixelColor(4, 4), QColor(255, 255, 231));
    dc.rectangle(20, 20, 30, 30, Rgb(255, 190, 211));
    EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(29, 29), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(25, 25), QColor(255, 190, 211));
    EXPECT_EQ(image.pixelColor(30, 30), QColor(Qt::white));
}

TEST(TextFontHolderTest, KeepsItsOwnDescriptionAndTwoFontsAtMost) {
    InitTextOutput();
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    DeviceContext dc(&image);
    const int before = LiveFontCount();
    TextFont holder;
    holder.Init(&dc);
    EXPECT_EQ(*holder.font(), (LogFont{16, 6, 0, "arial"}));
    EXPECT_EQ(dc.selectedFont(), kStockFont) << "Init selects nothing";
    holder.SetSize(30, 12);
    holder.SetBold(true);
    holder.SetFace("times new roman");
    holder.SetSize(16, 6);
    EXPECT_EQ(FontDescription(dc.selectedFont()), (LogFont{16, 6, 700, "times new roman"}));
    EXPECT_EQ(LiveFontCount() - before, 2);
    EXPECT_EQ(CurrentFont, (LogFont{16, 6, 0, "arial"})) << "the module's font is untouched";
    holder.SetFace(std::string(40, 'f'));
    EXPECT_EQ(holder.font()->lfFaceName.size(), 31u);
    holder.Done();
    EXPECT_EQ(holder.font(), nullptr);
    EXPECT_EQ(LiveFontCount() - before, 1) << "the selected font lives on";
    DeleteFontObject(dc.selectedFont());
}

}  // namespace
}  // namespace velmora
