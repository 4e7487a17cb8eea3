// What the windows ask of a grid with a parameter: the document of an
// operation, the boxes' short texts, the grid for one value, the refusals.
#include "core/matrix/parametric_cells.h"

#include <gtest/gtest.h>

#include "core/matrix/matrix_text.h"

namespace velmora {
namespace {

const CellTexts kGrid = {{"1", "k"}, {"K", "4"}};

TEST(ParametricCellsTest, DocumentsBoxesAndSubstitution) {
    const ParametricAnswer inverse = ParametricResult(kGrid, ParametricOperation::Inverse);
    ASSERT_TRUE(inverse.ok);
    ASSERT_EQ(inverse.document.size(), 2u);
    EXPECT_EQ(inverse.document[0].matrix.at(2, 2), "-1/((k - 2)(k + 2))");
    EXPECT_NE(inverse.document[0].latex.find("\\neq"), std::string::npos);
    EXPECT_TRUE(inverse.document[1].matrix.empty());

    const ParametricAnswer power = ParametricResult(kGrid, ParametricOperation::Power, 1, 2);
    ASSERT_TRUE(power.ok);
    EXPECT_EQ(power.document[0].matrix.cells,
              (std::vector<std::string>{"k^2 + 1", "5k", "5k", "k^2 + 16"}));

    const ParametricBoxes boxes = ParametricBoxTexts(kGrid, 20);
    EXPECT_EQ(boxes.rank, "según k");
    EXPECT_EQ(boxes.determinant, "-(k - 2)(k + 2)");
    EXPECT_EQ(ParametricBoxTexts(kGrid, 10).determinant, "según k");

    const Substitution s = SubstituteCells(kGrid, mpq_class(1, 2));
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.matrix.at(1, 2).ToText(), "1/2");
    EXPECT_EQ(s.matrix.det.ToText(), "15/4");
}

TEST(ParametricCellsTest, RefusalsNameTheCell) {
    const struct {
        CellTexts cells;
        ParametricOperation operation;
        const char* reason;
    } cases[] = {
        {{{"1", "k"}, {"2/k", ""}}, ParametricOperation::Rank,
         "La celda de la fila 2, columna 1 tiene el parámetro en un denominador"},
        {{{"1", "k"}, {"m", ""}}, ParametricOperation::Rank,
         "No se admite la matriz: solo se admite un parámetro: k en la fila 1, columna 2 y m "
         "en la fila 2, columna 1"},
        {{{"1", "k", "1"}, {"1", "", "1"}}, ParametricOperation::Determinant,
         "La matriz no es cuadrada"},
        {{{"k", "1", "1", "1", "1", "1"}}, ParametricOperation::Rank,
         "No se puede discutir la matriz: con un parámetro, una matriz tiene de 1 a 5 filas y "
         "columnas"},
    };
    for (const auto& c : cases) {
        const ParametricAnswer a = ParametricResult(c.cells, c.operation);
        EXPECT_FALSE(a.ok);
        EXPECT_EQ(a.reason, c.reason);
    }
    TextMatrix pasted;
    std::string error;
    EXPECT_FALSE(ReadPastedCells("[k 1 1; 1 M 0]", {1, 4, 2, 5}, true, pasted, error));
    EXPECT_EQ(error,
              "solo se admite un parámetro: k en la fila 1, columna 1 y m en la fila 2, columna 2");
    const Substitution s = SubstituteCells({{"k^4", "1"}}, 1000);
    EXPECT_EQ(s.reason,
              "La celda de la fila 1, columna 1 vale 1000000000000, que no cabe en una fracción "
              "de 32 bits");
}

}  // namespace
}  // namespace velmora
