#include "gui/drawing/matrix_drawing.h"

#include <QImage>
#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "gui/textout/text_output.h"
#include "support/drawn_boxes.h"

namespace velmora {
namespace {

struct Piece {
    std::string text;
    int x, y;
    friend bool operator==(const Piece&, const Piece&) = default;
};

std::ostream& operator<<(std::ostream& os, const Piece& p) {
    return os << "'" << p.text << "' at (" << p.x << ", " << p.y << ")";
}

struct Segment {
    int x1, y1, x2, y2;
    friend bool operator==(const Segment&, const Segment&) = default;
};

std::ostream& operator<<(std::ostream& os, const Segment& s) {
    return os << "(" << s.x1 << "," << s.y1 << ")-(" << s.x2 << "," << s.y2 << ")";
}

class MatrixDrawingTest : public ::testing::Test {
  protected:
    QImage image{400, 200, QImage::Format_ARGB32_Premultiplied};
    DeviceContext dc{&image};
    void SetUp() override {
        InitTextOutput();
        image.fill(Qt::white);
        CurrentDC = &dc;
        SelectFont(&dc);
    }
    void TearDown() override { CurrentDC = nullptr; }
    std::vector<Piece> Texts() const {
        std::vector<Piece> pieces;
        for (const DrawRecord& r : dc.records()) {
            if (r.kind == DrawRecord::Kind::Text) pieces.push_back({r.text, r.x, r.y});
        }
        return pieces;
    }
    std::vector<Segment> Lines() const {
        std::vector<Segment> lines;
        for (const DrawRecord& r : dc.records()) {
            if (r.kind == DrawRecord::Kind::Line) lines.push_back({r.x, r.y, r.x2, r.y2});
        }
        return lines;
    }
};

TEST_F(MatrixDrawingTest, TwoByTwoAtTwentyThirty) {
    uint16_t right = 0, bottom = 0;
    DrawMatrix(Matrix::FromRows({{1, 2}, {3, 4}}), 20, 30, right, bottom);
    EXPECT_EQ(Texts(),
              (std::vector<Piece>{{"1", 32, 30}, {"2", 62, 30}, {"3", 32, 46}, {"4", 62, 46}}));
    // One-character texts reach 3 px either side of their centres: left stays 20,
    // the rightmost edge is 65, and the right bar stands one width further out.
    EXPECT_EQ(right, 71);
    EXPECT_EQ(bottom, 62);
    const std::vector<Segment> bars{{26, 30, 20, 30}, {20, 30, 20, 62}, {20, 62, 26, 62},
                                    {65, 30, 71, 30}, {71, 30, 71, 62}, {71, 62, 65, 62}};
    EXPECT_EQ(Lines(), bars);
    EXPECT_EQ(dc.alignment(), kAlignLeftTop) << "matrix mode puts the alignment back";
    EXPECT_EQ(FontDescription(dc.selectedFont()).lfWidth, 6);
    EXPECT_EQ(image.pixelColor(20, 45), QColor(Qt::black)) << "left bar";
    EXPECT_EQ(image.pixelColor(71, 61), QColor(Qt::black)) << "right bar";
}

TEST_F(MatrixDrawingTest, LongEntriesWidenTheirColumns) {
    uint16_t right = 0, bottom = 0;
    DrawMatrix(Matrix::FromRows({{Fraction(-12, 7), 1}, {0, Fraction(-100, 3)}}), 20, 30, right,
               bottom);
    // "-12/7" is wider than a column of four characters: its column grows, with
    // four blank pixels between it and the left bar, which stays at x.
    const int first = std::max({24, 30, 2 * (5 + dc.textWidth("-12/7") / 2)});
    const int second = std::max({24, 36, dc.textWidth("-100/3") + 2});
    EXPECT_EQ(Lines()[1], (Segment{20, 30, 20, 62}));
    EXPECT_EQ(Texts()[0], (Piece{"-12/7", 20 + first / 2, 30}));
    EXPECT_EQ(Texts()[3], (Piece{"-100/3", 20 + first + 6 + second / 2, 46}));
    EXPECT_EQ(right, 20 + first + 6 + second / 2 + 18 + 6);
}

TEST_F(MatrixDrawingTest, EntriesThatFitKeepTheirColumns) {
    // Texts of up to four characters that leave a pixel clear in a column of
    // 24 px (and four clear of the left bar) stay at the centres 30 px apart,
    // whatever the other entries.
    const Matrix m = Matrix::FromRows({{-3, 12, 7}, {1, Fraction(-1, 2), 100}});
    uint16_t right = 0, bottom = 0;
    DrawMatrix(m, 20, 30, right, bottom);
    const std::vector<Piece> expected{{"-3", 32, 30}, {"12", 62, 30},   {"7", 92, 30},
                                      {"1", 32, 46},  {"-1/2", 62, 46}, {"100", 92, 46}};
    EXPECT_EQ(Texts(), expected);
    EXPECT_EQ(right, 92 + 9 + 6);
}

TEST_F(MatrixDrawingTest, OneColumnBetweenTwoBars) {
    uint16_t right = 0, bottom = 0;
    DrawMatrix(Matrix::FromRows({{5}, {-3}, {7}}), 10, 10, right, bottom);
    EXPECT_EQ(Texts(), (std::vector<Piece>{{"5", 22, 10}, {"-3", 22, 26}, {"7", 22, 42}}));
    EXPECT_EQ(bottom, 58);
    EXPECT_EQ(right, 22 + 6 + 6);
    EXPECT_EQ(Lines().size(), 6u);
}

TEST_F(MatrixDrawingTest, WidthsFollowTheFont) {
    CurrentFont.lfHeight = 20;
    CurrentFont.lfWidth = 8;
    SelectFont(&dc);
    uint16_t right = 0, bottom = 0;
    DrawMatrix(Matrix::FromRows({{1, 2}}), 0, 0, right, bottom);
    // Columns of 32 px with a pitch of 40.
    EXPECT_EQ(Texts(), (std::vector<Piece>{{"1", 16, 0}, {"2", 56, 0}}));
    EXPECT_EQ(bottom, 20);
}

TEST_F(MatrixDrawingTest, EquationPieces) {
    struct Case {
        std::vector<Fraction> row;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {{2, -1, 0, 5}, {"2x", "- y", " ", " = 5"}},
        // A fraction before its unknown in parentheses: 3/2y would read 3/(2y).
        {{1, Fraction(3, 2), -4}, {"x", "+ (3/2)y", " = -4"}},
        {{0, -3, 1}, {" ", "-3y", " = 1"}},
        {{-1, 1, 1, 1, 0}, {"- x", "+ y", "+ z", "+ t", " = 0"}},
        {{Fraction(-1, 2), 0, Fraction(2, 3), 1}, {"-(1/2)x", " ", "+ (2/3)z", " = 1"}},
        // The first term written takes no "+"; a row with no term reads 0 = c.
        {{0, 3, -1, 1}, {" ", "3y", "- z", " = 1"}},
        {{0, 0, 0, 5}, {"0", " ", " ", " = 5"}},
    };
    for (const Case& c : cases) {
        dc.clearRecords();
        Matrix m;
        m.SetSize(1, static_cast<int>(c.row.size()));
        for (std::size_t j = 0; j < c.row.size(); ++j) m.at(1, static_cast<int>(j) + 1) = c.row[j];
        DrawMatrixAt(m, 20, 30, {.equations = true});
        std::vector<std::string> got;
        for (const Piece& p : Texts()) got.push_back(p.text);
        EXPECT_EQ(got, c.pieces);
        EXPECT_TRUE(Lines().empty()) << "no bars around equations";
        EXPECT_EQ(dc.alignment(), kAlignCentreTop) << "equation mode leaves the alignment centred";
    }
}

// A power stands apart from its unknown: a^2y would read a^(2y).
TEST_F(MatrixDrawingTest, EquationPiecesOfPolynomials) {
    DrawMatrixAt(TextMatrix{1, 3, {"-a^3", "(a + 1)", "a^2"}}, 20, 30, {.equations = true});
    EXPECT_EQ(Texts()[0].text + "|" + Texts()[1].text, "-a^3 x|+ (a + 1)y");
}

TEST_F(MatrixDrawingTest, EquationExtentsReachTheFarthestText) {
    uint16_t right = 0, bottom = 0;
    DrawMatrix(Matrix::FromRows({{2, Fraction(-1), 0, 5}, {1, 1, 1, 3}}), 20, 30, right, bottom,
               {.equations = true});
    // The widest last-column text, " = 5", reaches past the "5" alone.
    EXPECT_EQ(right, 122 - dc.textWidth(" = 5") / 2 + dc.textWidth(" = 5"));
    EXPECT_EQ(bottom, 62);
    EXPECT_EQ(Texts()[3], (Piece{" = 5", 122, 30}));
}

// Drawn texts never run together, stay between the bars and keep their rows,
// for large entries and the polynomials of a system with a parameter, in
// matrix and equation mode, at every drawing size.
TEST_F(MatrixDrawingTest, TextsNeverMeetAndStayBetweenTheBars) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int32_t> wide(-2147483647, 2147483647);
    std::uniform_int_distribution<int32_t> positive(1, 2147483647);
    Matrix fractions;
    fractions.SetSize(4, 5);
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 5; ++j) {
            Fraction f(wide(random), positive(random));
            f.Normalize();
            fractions.at(i, j) = f;
        }
    }
    const TextMatrix cases[] = {
        TextsOf(Matrix::FromRows({{100000, 200000}, {3, Fraction(-1, 2)}})),
        TextsOf(Matrix::FromRows({{Fraction(-12345, 678), 1, 2}, {3, Fraction(-12345, 678), 4}})),
        TextsOf(Matrix::FromRows({{1, 2, 3, 4, 5},
                                  {0, -404746, -2190740, 7, 1},
                                  {0, 0, Fraction(2498451, 44), Fraction(-2564606, 15), 3},
                                  {0, 0, 0, Fraction(-85919, 88), Fraction(13387, 15)}})),
        TextsOf(Matrix::FromRows(
            {{2000000000, 2000000000, 1, 2000000000}, {1, -2000000000, 2000000000, -1}})),
        TextsOf(Matrix::FromRows({{-2147483647 - 1, Fraction(2147483647, 2147483646)}, {0, 1}})),
        TextsOf(fractions),
        {2, 3, {"3a^2 - a + 1", "-(a - 1)", "a^2 + 2a + 1", "a", "(1/2)a^4 - 7a^3 + a - 5/3", "0"}},
        TextsOf(Matrix::FromRows({{Fraction(-1, 2)}})),  // a minor of the steps
        {1, 2, {"-a", "a^2"}},
    };
    std::vector<FontSize> sizes{{16, 6}};
    sizes.insert(sizes.end(), kSmallerSizes.begin(), kSmallerSizes.end());
    for (const FontSize size : sizes) {
        DrawingSize drawingSize(size);
        for (const bool equations : {false, true}) {
            for (const TextMatrix& m : cases) {
                dc.clearRecords();
                const DrawingOptions options{.equations = equations};
                uint16_t right = 0, bottom = 0;
                DrawMatrix(m, 20, 30, right, bottom, options);
                const std::string where = std::to_string(size.height) + "/" +
                                          std::to_string(size.width) +
                                          (equations ? " equations " : " ") + m.at(1, 1);
                std::vector<test::Box> boxes = test::TextBoxes(dc);
                ASSERT_EQ(boxes.size(), static_cast<std::size_t>(m.rows * m.cols)) << where;
                for (std::size_t k = 0; k < boxes.size(); ++k) {
                    const int i = static_cast<int>(k) / m.cols + 1;
                    const int j = static_cast<int>(k) % m.cols + 1;
                    EXPECT_EQ(boxes[k].what, EntryText(m, i, j, equations));
                    EXPECT_EQ(boxes[k].top, 30 + (i - 1) * size.height) << where;
                }
                if (!equations) {
                    // Four blank pixels between the bars and the texts.
                    EXPECT_EQ(test::Outside(boxes, 25, 30, right - 4, bottom), "") << where;
                    const std::vector<test::Box> bars = test::UprightLines(dc);
                    ASSERT_EQ(bars.size(), 2u) << where;
                    EXPECT_EQ(bars[0].left, 20);
                    EXPECT_EQ(bars[1].left, right);
                    boxes.insert(boxes.end(), bars.begin(), bars.end());
                } else {
                    EXPECT_EQ(test::Outside(boxes, 20, 30, right, bottom), "") << where;
                }
                EXPECT_EQ(test::Overlaps(boxes), "") << where;
                EXPECT_EQ(MatrixDrawingWidth(m, options), right - 20) << where;
            }
        }
    }
}

// Past the right limit the columns before the last give way to an ellipsis, then
// the last one too; nothing is drawn at the limit or beyond.
TEST_F(MatrixDrawingTest, PastTheLimitColumnsGiveWayToAnEllipsis) {
    const Matrix m = Matrix::FromRows(
        {{2000000000, -2000000000, 1999999999, 7}, {1, 2000000000, -1, -2000000000}});
    for (const bool equations : {false, true}) {
        const int natural = MatrixDrawingWidth(m, {.equations = equations});
        // Columns drawn in a row, the ellipsis as 0.
        const auto drawnColumns = [&](int limit) {
            dc.clearRecords();
            uint16_t right = 0, bottom = 0;
            DrawMatrix(m, 20, 30, right, bottom,
                       {.equations = equations, .rightLimit = static_cast<uint16_t>(limit)});
            std::vector<test::Box> boxes = test::TextBoxes(dc);
            const std::vector<test::Box> bars = test::UprightLines(dc);
            boxes.insert(boxes.end(), bars.begin(), bars.end());
            EXPECT_EQ(test::Outside(boxes, 20, 30, limit, 62), "") << limit;
            EXPECT_EQ(test::Overlaps(boxes), "") << limit;
            std::vector<int> columns;
            for (const DrawRecord& r : dc.records()) {
                if (r.kind != DrawRecord::Kind::Text || r.y != 30) continue;
                int column = 0;
                for (int j = 1; j <= m.cols; ++j) {
                    if (r.text == EntryText(TextsOf(m), 1, j, equations)) column = j;
                }
                EXPECT_TRUE(column > 0 || r.text == "…") << r.text;
                columns.push_back(column);
            }
            return columns;
        };
        const int edge = equations ? natural : natural + 1;  // a bar stands on its edge pixel
        struct Case {
            int limit;
            std::vector<int> columns;
        };
        const Case cases[] = {
            {20 + edge, {1, 2, 3, 4}},
            {20 + edge - 1, {1, 2, 0, 4}},
            {20 + natural / 2, {1, 0}},
            {60, {0}},
        };
        for (const Case& c : cases) {
            EXPECT_EQ(drawnColumns(c.limit), c.columns)
                << (equations ? "equations " : "") << c.limit;
        }
    }
}

TEST(MatrixEntryTextTest, MatrixModeKeepsTheFraction) {
    EXPECT_EQ(EntryText(TextMatrix{1, 3, {"0", "-1", "0"}}, 1, 2, false), "-1");
    EXPECT_EQ(EntryText(TextMatrix{1, 3, {"0", "-1", "0"}}, 1, 1, false), "0");
    EXPECT_EQ(EntryText(TextMatrix{1, 6, {"1", "0", "0", "0", "7", "0"}}, 1, 5, true), "+ 7")
        << "a fifth unknown has no letter";
}

}  // namespace
}  // namespace velmora
