#include "resources/templates.h"

namespace velmora::res {

// The classic system font is 8 x 16 px, which makes a dialog unit 2 x 2 px.
const DialogFont kSystemFont{"", 12, 2.0, 2.0};
// Arial 9 pt at 96 dpi: average character width 6 px and cell height 15 px,
// so a unit is 6/4 px across and 15/8 px down.
const DialogFont kArial9{"Arial", 12, 1.5, 1.875};
const DialogFont kPixelUnits{"", 12, 1.0, 1.0};

namespace {

using K = ControlKind;

const MenuTemplate kMnuPrin{
    "MnuPrin",
    {
        {"&Matrices",
         {{101, "Nueva"},
          {102, "Generar"},
          {105, "Eliminar"},
          {0, ""},
          {210, "Sistema de ecuaciones"},
          {0, ""},
          {311, "Copiar\tCtrl+C"},
          {312, "Copiar LaTeX"},
          {313, "Pegar\tCtrl+V"}}},
        {"&Operaciones",
         {{201, "Transpuesta"},
          {202, "Matriz de los adjuntos"},
          {203, "Inversa"},
          {204, "Triangular (Gauss)"},
          {205, "Diagonal (Gauss-Jordan)"},
          {206, "Hacer sistema"},
          {208, "Ecuación matricial..."},
          {209, "Valores propios..."},
          {213, "Potencia n-ésima..."},
          {0, ""},
          {211, "Sustituir parámetro..."},
          {212, "Deshacer sustitución\tCtrl+Z"},
          {0, ""},
          {207, "Pasos..."}}},
        {"&Info", {{800, "Info"}, {802, "Contacto..."}, {801, "Respecto Velmora"}}},
        {"&Utilidades", {{501, "Edición utilidades"}, {0, ""}}},
    }};

const MenuTemplate kMnuSist{"MNUSIST",
                            {
                                {"&Sistemas",
                                 {{9, "&Nuevo"},
                                  {8, "&Generar"},
                                  {205, "&Abrir"},
                                  {210, "Guardar"},
                                  {215, "Añadir a fichero"},
                                  {0, ""},
                                  {311, "Copiar\tCtrl+C"},
                                  {312, "Copiar LaTeX"},
                                  {313, "Pegar\tCtrl+V"},
                                  {0, ""},
                                  {225, "Sustituir parámetro..."},
                                  {226, "Deshacer sustitución\tCtrl+Z"},
                                  {0, ""},
                                  {220, "Pasos..."},
                                  {221, "Vista"}}},
                            }};

constexpr std::string_view kDigits[] = {"1", "2", "3", "4", "5"};

std::vector<ControlTemplate> PrincipalControls() {
    std::vector<ControlTemplate> c = {
        {0, K::GroupBox, "Matrices", 5, 2, 230, 220, kDrawingArea},
        {4, K::Button, "Reset", 120, 224, 30, 12},
        {102, K::Button, "Generar... ", 160, 224, 50, 12},
        {103, K::DropDown, "", 212, 224, 20, 72},
        {10, K::GroupBox, "Matriz...", 240, 2, 160, 180},
        {kNoId, K::Label, "filas ", 250, 12, 20, 8},
    };
    for (int k = 1; k <= 4; ++k) {
        c.push_back({50 + k, K::Radio, kDigits[k - 1], 290 + 17 * (k - 1), 12, 16, 8,
                     k == 1 ? kGroupStart : 0u});
    }
    c.push_back({kNoId, K::Label, "columnas", 250, 21, 40, 8, kGroupStart});
    for (int k = 1; k <= 5; ++k) {
        c.push_back({54 + k, K::Radio, kDigits[k - 1], 290 + 17 * (k - 1), 21, 16, 8,
                     k == 1 ? kGroupStart : 0u});
    }
    for (int col = 1; col <= 5; ++col) {
        c.push_back({140 + col, K::CheckBox, "", 253 + 30 * (col - 1), 34, 5, 5,
                     col == 1 ? kGroupStart : 0u});
    }
    for (int row = 1; row <= 4; ++row) {
        c.push_back({145 + row, K::CheckBox, "", 390, 42 + 12 * (row - 1), 5, 5});
    }
    for (int row = 1; row <= 4; ++row) {
        for (int col = 1; col <= 5; ++col) {
            c.push_back({150 + 5 * (row - 1) + col, K::Edit, "", 242 + 30 * (col - 1),
                         40 + 12 * (row - 1), 28, 10,
                         kAutoScroll | (row == 1 && col == 1 ? kGroupStart : 0u)});
        }
    }
    const std::vector<ControlTemplate> rest = {
        {104, K::Button, "<-", 244, 88, 20, 9, kGroupStart},
        {105, K::Button, "X", 266, 88, 16, 9},
        {6, K::Button, "SubM ", 285, 88, 24, 9},
        {3, K::Button, "Rnd ", 313, 88, 22, 9},
        {101, K::Button, "Nueva ", 338, 88, 24, 9},
        {5, K::Button, "Ok ", 364, 88, 24, 9},
        {15, K::Label, "rango", 250, 106, 20, 8},
        {180, K::Edit, "", 270, 106, 27, 10, kReadOnly | kCentred},  // wide enough for "según k"
        {11, K::Label, "determinante", 300, 106, 40, 8},
        {182, K::Edit, "", 342, 106, 50, 10, kReadOnly | kCentred | kAutoScroll},
        {201, K::Button, "trasp.", 244, 120, 40, 8},
        {202, K::Button, "adjuntos", 296, 120, 40, 8},
        {203, K::Button, "inversa", 348, 120, 40, 8},
        {204, K::Button, "triangular (Gauss)", 244, 130, 67, 10},
        {205, K::Button, "diagonal (Gauss-Jordan)", 313, 130, 84, 10},
        {20, K::Button, "M ·", 245, 146, 16, 10},
        {120, K::Edit, "", 261, 146, 24, 10, kCentred},
        {25, K::Button, "M ^", 290, 146, 16, 10},
        {125, K::Edit, "", 306, 146, 12, 10, kCentred},
        {206, K::Button, "Sistema >", 340, 142, 55, 8, kNoTabStop},
        {12, K::GroupBox, "Operación matrices", 240, 190, 160, 36},
        {190, K::DropDown, "", 250, 204, 120, 48, kAutoScroll},
        {7, K::Button, "Ok ", 372, 205, 12, 10},
    };
    c.insert(c.end(), rest.begin(), rest.end());
    return c;
}

std::vector<ControlTemplate> SistEqControls() {
    std::vector<ControlTemplate> c = {
        {30, K::GroupBox, "Sistema", 12, 8, 132, 64, kDrawingArea},
        {kNoId, K::GroupBox, "Edición sistema", 156, 0, 180, 78},
        {50, K::HScrollBar, "", 194, 8, 100, 4},
        {51, K::VScrollBar, "", 168, 28, 6, 36},
        {kNoId, K::Label, "Inc.", 166, 12, 10, 8},
        {10, K::Label, "x", 187, 12, 5, 8},
        {11, K::Label, "y", 217, 12, 5, 8},
        {12, K::Label, "z", 247, 12, 5, 8},
        {13, K::Label, "t", 277, 12, 5, 8},
    };
    constexpr int kColumnX[] = {176, 206, 236, 266, 301};
    constexpr int kRowY[] = {20, 32, 44, 56};
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 5; ++j) {
            if (j == 5) c.push_back({kNoId, K::Label, "=", 296, kRowY[i - 1], 5, 8});
            c.push_back(
                {100 + 5 * (i - 1) + j, K::Edit, "", kColumnX[j - 1], kRowY[i - 1], 28, 10});
        }
    }
    const std::vector<ControlTemplate> rest = {
        {8, K::Button, "rnd", 228, 68, 21, 8},
        {9, K::Button, "nuevo", 250, 68, 23, 8},
        {2, K::Button, "salir", 274, 68, 21, 8},
        {1, K::Button, "Ok", 308, 67, 21, 10},
        {31, K::GroupBox, "matriz ampliada  A'", 5, 90, 176, 60, kDrawingArea},
        {32, K::GroupBox, "matriz coeficientes  A", 186, 90, 150, 60, kDrawingArea},
        {200, K::Label, "Rango A' =", 50, 150, 40, 8},
        {201, K::Label, "Rango A =", 220, 150, 40, 8},
        // Seven whole lines: a general solution's conclusion and the position
        // of the planes, without scrolling.
        {kNoId, K::Label, "Conclusión", 10, 160, 40, 8},
        {250, K::MultiLineEdit, "", 10, 168, 320, 56, kReadOnly},
        {kNoId, K::Label, "comentario:", 80, 228, 60, 8},
        {150, K::DropDown, "", 120, 226, 194, 80, kVScroll},
        {15, K::Button, "<<", 316, 227, 14, 10},
        {16, K::Button, "reset", 256, 239, 28, 10},
        {17, K::Button, "X", 285, 239, 12, 10},
        {18, K::Button, "Ok", 298, 239, 16, 10},
        {2, K::Button, "Salir", 4, 238, 50, 12},
    };
    c.insert(c.end(), rest.begin(), rest.end());
    return c;
}

const DialogTemplate kPrincipal{
    "Principal", "Cálculos con matrices  ", 70, 38, 405, 240, false, kSystemFont,
    &kMnuPrin,   PrincipalControls()};

const DialogTemplate kSistEq{"SistEq",  "Sistema de ecuaciones", 0, 0, 344, 252, true, kSystemFont,
                             &kMnuSist, SistEqControls()};

// The controls reach x = 225 and y = 118; the dialog leaves a small margin.
const DialogTemplate kDlgTools{
    "DlgTools",
    "Edición utilidades",
    0,
    0,
    230,
    122,
    true,
    kArial9,
    nullptr,
    {
        {0, K::Label, "Utilidades", 5, 2, 40, 9},
        {40, K::ListBox, "", 5, 10, 85, 95, kNotify | kVScroll | kBorder},
        {3, K::Button, "+", 92, 10, 15, 9},
        {4, K::Button, "-", 92, 20, 15, 9},
        {150, K::GroupBox, "Utilidad", 110, 5, 115, 100},
        {0, K::Label, "Nombre", 115, 14, 40, 9},
        {100, K::Edit, "", 115, 21, 100, 9},
        {0, K::Label, "Fichero", 115, 34, 40, 9},
        {101, K::Edit, "", 115, 41, 105, 9},
        {10, K::Button, "···", 205, 33, 15, 7},
        {0, K::Label, "Directorio de trabajo", 115, 54, 80, 9},
        {102, K::Edit, "", 115, 61, 105, 9},
        {0, K::Label, "parámetros", 115, 74, 40, 9},
        {103, K::Edit, "", 115, 81, 105, 9},
        {15, K::Button, "<- ok", 120, 93, 30, 10},
        {20, K::Button, "Ok", 60, 108, 30, 10},
        {2, K::Button, "esc", 25, 108, 30, 10},
    }};

}  // namespace

const DialogTemplate& PrincipalTemplate() {
    return kPrincipal;
}
const DialogTemplate& SistEqTemplate() {
    return kSistEq;
}
const DialogTemplate& DlgToolsTemplate() {
    return kDlgTools;
}
const MenuTemplate& MnuPrinMenu() {
    return kMnuPrin;
}
const MenuTemplate& MnuSistMenu() {
    return kMnuSist;
}

const DialogTemplate* FindDialogTemplate(std::string_view name) {
    for (const DialogTemplate* t : {&kPrincipal, &kSistEq, &kDlgTools}) {
        if (t->name == name) return t;
    }
    return nullptr;
}

const MenuTemplate* FindMenuTemplate(std::string_view name) {
    for (const MenuTemplate* m : {&kMnuPrin, &kMnuSist}) {
        if (m->name == name) return m;
    }
    return nullptr;
}

}  // namespace velmora::res
