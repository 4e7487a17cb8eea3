#include "core/store/matrix_store.h"

#include <gtest/gtest.h>

#include "core/arith/random.h"

namespace velmora {
namespace {

Matrix Numbered(int k) { return Matrix::FromRows({{k, 0}, {0, 1}}); }

// Slots 1..n hold Numbered(1..n) with the given descriptions.
MatrixStore Filled(const std::vector<Description>& descriptions) {
    MatrixStore store;
    int k = 0;
    for (const Description& d : descriptions) {
        EXPECT_TRUE(store.store(Numbered(++k), d));
        store.setSelected(0);
    }
    return store;
}

TEST(SlotLettersTest, JToW) {
    const std::pair<int, const char*> letters[] = {{0, ""}, {1, "J"}, {2, "K"}, {3, "L"},
                                                   {13, "V"}, {14, "W"}, {15, ""}};
    for (const auto& [slot, letter] : letters) EXPECT_EQ(slotLetter(slot), letter) << slot;
    EXPECT_EQ(slotOfLetter('J'), 1);
    EXPECT_EQ(slotOfLetter('W'), 14);
    EXPECT_EQ(slotOfLetter('I'), 0);
    EXPECT_EQ(slotOfLetter('X'), 15);
}

TEST(CaptionTest, PiecesOfTheEditorCaption) {
    struct Case {
        int selected;
        Description d;
        std::optional<std::string> caption;
    };
    const Case cases[] = {
        {3, Description::Operation(kOpTranspose, 2), "Matriz  L = Trasp(K) "},
        {0, Description::Operation(kOpTranspose, 2), "Matriz   = Trasp(K) "},
        {0, Description::Operation(kOpCofactors, 1), "Matriz   = Adj(J) "},
        {0, Description::Operation(kOpInverse, 14), "Matriz   = Inv(W) "},
        {5, Description::Operation(kOpTriangular, 4), "Matriz  N = Tri(M) "},
        {1, Description::Operation(kOpDiagonal, 1), "Matriz  J = Diag(J) "},
        {0, Description::Operation(kOpToSystem, 2), "Matriz   = (K) "},
        {0, Description::Expression("j+k"), "Matriz   = j+k"},
        {4, Description{}, "Matriz  M = "},
        {0, Description{}, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(CaptionText(c.selected, c.d), c.caption);
    EXPECT_EQ(std::string(kCaptionNoMatrix), "Matriz... ");
}

TEST(MatrixStoreTest, StoreAppendsOrOverwritesAndNeverPassesFourteen) {
    MatrixStore store;
    ASSERT_TRUE(store.store(Numbered(1), Description::Expression("J")));
    EXPECT_EQ(store.count(), 1);
    EXPECT_EQ(store.selected(), 1) << "an appended matrix is selected";

    ASSERT_TRUE(store.store(Numbered(9), Description::Operation(kOpInverse, 1)));
    EXPECT_EQ(store.count(), 1) << "with J selected, J is overwritten";
    EXPECT_TRUE(store.matrix(1) == Numbered(9));
    EXPECT_EQ(store.description(1), Description::Operation(kOpInverse, 1));
    EXPECT_EQ(store.selected(), 1);

    store.setSelected(0);
    for (int k = 2; k <= 14; ++k) {
        ASSERT_TRUE(store.store(Numbered(k), {}));
        store.setSelected(0);
    }
    EXPECT_TRUE(store.full());
    EXPECT_FALSE(store.store(Numbered(15), {}));
    EXPECT_EQ(store.count(), 14);
    EXPECT_EQ(store.selected(), 0);

    store.setSelected(14);
    EXPECT_TRUE(store.store(Numbered(15), {})) << "overwriting needs no free slot";
    EXPECT_TRUE(store.matrix(14) == Numbered(15));
    EXPECT_THROW(store.setSelected(15), std::out_of_range);
}

TEST(MatrixStoreTest, DeleteRenumbersOperationOrigins) {
    using D = Description;
    struct Case {
        const char* name;
        std::vector<Description> before;
        int deleted;
        std::vector<Description> after;
    };
    const Case cases[] = {
        {"transpose of M becomes transpose of L when K goes",
         {{}, {}, {}, {}, D::Operation(kOpTranspose, 4)},
         2,
         {{}, {}, {}, D::Operation(kOpTranspose, 3)}},
        {"transpose of the deleted K becomes empty",
         {{}, {}, D::Operation(kOpTranspose, 2)},
         2,
         {{}, {}}},
        {"inverse of L moves to L as inverse of K when J goes",
         {{}, {}, {}, D::Operation(kOpInverse, 3)},
         1,
         {{}, {}, D::Operation(kOpInverse, 2)}},
        {"expressions keep their letters",
         {{}, {}, D::Expression("J+K"), D::Operation(kOpTriangular, 1)},
         2,
         {{}, D::Expression("J+K"), D::Operation(kOpTriangular, 1)}},
        {"a slot below that names a later slot",
         {D::Operation(kOpDiagonal, 3), {}, {}},
         2,
         {D::Operation(kOpDiagonal, 2), {}}},
        {"the last slot", {{}, D::Operation(kOpInverse, 1)}, 2, {{}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MatrixStore store = Filled(c.before);
        store.setSelected(c.deleted);
        store.deleteSlot(c.deleted);
        ASSERT_EQ(store.count(), static_cast<int>(c.after.size()));
        EXPECT_EQ(store.selected(), 0);
        for (int k = 1; k <= store.count(); ++k) {
            EXPECT_EQ(store.description(k), c.after[k - 1]) << k;
            const int original = k < c.deleted ? k : k + 1;
            EXPECT_TRUE(store.matrix(k) == Numbered(original)) << k;
        }
    }
}

TEST(MatrixStoreTest, ResetEmptiesEverything) {
    MatrixStore store = Filled({Description::Expression("J"), Description::Operation(kOpTranspose, 1)});
    store.setSelected(2);
    store.reset();
    EXPECT_EQ(store.count(), 0);
    EXPECT_EQ(store.selected(), 0);
    EXPECT_TRUE(store.description(1).IsEmpty());
    EXPECT_TRUE(store.description(2).IsEmpty());
}

TEST(MatrixStoreTest, GenerateOnlyWhatFits) {
    struct Case {
        int stored;
        int requested;
        int countAfter;
    };
    const Case cases[] = {
        {8, 9, 8}, {8, 6, 14}, {8, 7, 8}, {0, 14, 14}, {0, 0, 0}, {0, -1, 0}, {14, 1, 14}, {3, 1, 4},
    };
    for (const Case& c : cases) {
        MatrixStore store = Filled(std::vector<Description>(c.stored));
        store.setSelected(c.stored > 0 ? 1 : 0);
        EXPECT_EQ(store.generate(c.requested), c.countAfter != c.stored);
        EXPECT_EQ(store.count(), c.countAfter);
        EXPECT_EQ(store.selected(), c.stored > 0 ? 1 : 0) << "the selection is kept";
        for (int k = c.stored + 1; k <= store.count(); ++k) {
            const Matrix& m = store.matrix(k);
            EXPECT_TRUE(m.cols >= 2 && m.cols <= 5 && m.rows >= 2 && m.rows <= 4);
            EXPECT_TRUE(store.description(k).IsEmpty());
            for (int i = 1; i <= m.rows; ++i)
                for (int j = 1; j <= m.cols; ++j)
                    EXPECT_TRUE(m.at(i, j).den == 1 && m.at(i, j).num >= -5 && m.at(i, j).num <= 5);
        }
    }
}

TEST(MatrixStoreTest, GenerateDrawsColumnsBeforeRows) {
    for (uint64_t seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
        SeedRandom(seed);
        const uint32_t cols = 2 + RandomBelow(4);
        const uint32_t rows = 2 + RandomBelow(3);
        SeedRandom(seed);
        MatrixStore store;
        ASSERT_TRUE(store.generate(1));
        EXPECT_EQ(store.matrix(1).cols, cols) << seed;
        EXPECT_EQ(store.matrix(1).rows, rows) << seed;
    }
}

}  // namespace
}  // namespace velmora
