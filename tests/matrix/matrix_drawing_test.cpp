#include "matrix/matrix_drawing.h"

#include <QImage>

#include <gtest/gtest.h>

#include "textout/text_output.h"

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

class MatrixDrawing : public ::testing::Test {
  protected:
    QImage image{400, 200, QImage::Format_ARGB32_Premultiplied};
    DeviceContext dc{&image};
    void SetUp() override {
        InitTextOutput();
        EquationMode = false;
        ColumnChars = 4;
        image.fill(Qt::white);
        CurrentDC = &dc;
        SelectFont(&dc);
    }
    void TearDown() override {
        EquationMode = false;
        CurrentDC = nullptr;
    }
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

TEST_F(MatrixDrawing, TwoByTwoAtTwentyThirty) {
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

TEST_F(MatrixDrawing, LongEntriesPushTheBarsOut) {
    uint16_t right = 0, bottom = 0;
    DrawMatrix(Matrix::FromRows({{Fraction(-12, 7), 1}, {0, Fraction(-100, 3)}}), 20, 30, right,
               bottom);
    // "-12/7" is 5 characters: 15 px left of centre 32; "-100/3" 6: 18 px right of 62.
    EXPECT_EQ(Lines()[1], (Segment{17, 30, 17, 62}));
    EXPECT_EQ(right, 62 + 18 + 6);
}

TEST_F(MatrixDrawing, OneColumnBetweenTwoBars) {
    uint16_t right = 0, bottom = 0;
    DrawMatrix(Matrix::FromRows({{5}, {-3}, {7}}), 10, 10, right, bottom);
    EXPECT_EQ(Texts(), (std::vector<Piece>{{"5", 22, 10}, {"-3", 22, 26}, {"7", 22, 42}}));
    EXPECT_EQ(bottom, 58);
    EXPECT_EQ(right, 22 + 6 + 6);
    EXPECT_EQ(Lines().size(), 6u);
}

TEST_F(MatrixDrawing, WidthsFollowTheFont) {
    CurrentFont.lfHeight = 20;
    CurrentFont.lfWidth = 8;
    SelectFont(&dc);
    uint16_t right = 0, bottom = 0;
    DrawMatrix(Matrix::FromRows({{1, 2}}), 0, 0, right, bottom);
    // Columns of 32 px with a pitch of 40.
    EXPECT_EQ(Texts(), (std::vector<Piece>{{"1", 16, 0}, {"2", 56, 0}}));
    EXPECT_EQ(bottom, 20);
}

TEST_F(MatrixDrawing, EquationPieces) {
    struct Case {
        std::vector<Fraction> row;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {{2, -1, 0, 5}, {"2x", "- y", " ", " = 5"}},
        {{1, Fraction(3, 2), -4}, {"x", "+ 3/2y", " = -4"}},
        {{0, -3, 1}, {" ", "-3y", " = 1"}},
        {{-1, 1, 1, 1, 0}, {"- x", "+ y", "+ z", "+ t", " = 0"}},
        {{Fraction(-1, 2), 0, Fraction(2, 3), 1}, {"-1/2x", " ", "+ 2/3z", " = 1"}},
    };
    for (const Case& c : cases) {
        dc.clearRecords();
        Matrix m;
        m.SetSize(1, static_cast<int>(c.row.size()));
        for (std::size_t j = 0; j < c.row.size(); ++j) m.at(1, static_cast<int>(j) + 1) = c.row[j];
        EquationMode = true;
        DrawMatrixAt(m, 20, 30);
        std::vector<std::string> got;
        for (const Piece& p : Texts()) got.push_back(p.text);
        EXPECT_EQ(got, c.pieces);
        EXPECT_TRUE(Lines().empty()) << "no bars around equations";
        EXPECT_EQ(dc.alignment(), kAlignCentreTop) << "equation mode leaves the alignment centred";
    }
}

TEST_F(MatrixDrawing, EquationExtentsUseTheFractionTextOnly) {
    EquationMode = true;
    uint16_t right = 0, bottom = 0;
    DrawMatrix(Matrix::FromRows({{2, Fraction(-1), 0, 5}, {1, 1, 1, 12}}), 20, 30, right, bottom);
    // The widest last-column text is "12": 6 px right of its centre 122.
    EXPECT_EQ(right, 128);
    EXPECT_EQ(bottom, 62);
    EXPECT_EQ(Texts()[3], (Piece{" = 5", 122, 30}));
}

TEST(MatrixEntryText, MatrixModeKeepsTheFraction) {
    EXPECT_EQ(EntryText("-1", 2, 3, false), "-1");
    EXPECT_EQ(EntryText("0", 1, 3, false), "0");
    EXPECT_EQ(EntryText("7", 5, 6, true), "+ 7") << "a fifth unknown has no letter";
}

}  // namespace
}  // namespace velmora
