#include "core/store/expression_text.h"

#include "core/toolkit/strings.h"

namespace velmora {

namespace {

std::string SizeText(Shape s) {
    const auto dim = [](int n) { return n > 0 ? IntToText(n) : std::string("?"); };
    return dim(s.rows) + " × " + dim(s.cols);
}

// "J es 2 × 2 y L es 2 × 3".
std::string OperandSizes(const EvalProblem& p) {
    return p.first + " es " + SizeText(p.firstShape) + " y " + p.second + " es " +
           SizeText(p.secondShape);
}

std::string SizesText(const EvalProblem& p) {
    switch (p.operation) {
        case NodeKind::Add:
            return "la suma " + p.where + " no se puede hacer: " + OperandSizes(p);
        case NodeKind::Subtract:
            return "la resta " + p.where + " no se puede hacer: " + OperandSizes(p);
        case NodeKind::Multiply:
            return "el producto " + p.where + " no se puede hacer: " + OperandSizes(p);
        case NodeKind::Equation:
            return "los dos miembros no tienen el mismo tamaño: " + OperandSizes(p);
        default:  // a power of a matrix that is not square
            return p.where + " no se puede hacer: " + p.first + " es " + SizeText(p.firstShape) +
                   " y no es cuadrada";
    }
}

std::string NumberText(const EvalProblem& p) {
    switch (p.operation) {
        case NodeKind::Add:
        case NodeKind::Subtract:
            return p.where +
                   ": un número solo no es una matriz, no se suma ni se resta a una; "
                   "un número multiplica a una matriz (2J, J/2)";
        case NodeKind::Divide:
            return p.where + ": solo se divide por un número";
        case NodeKind::Transpose:
            return p.where + ": un número no tiene transpuesta";
        case NodeKind::Equation:
            return p.where + ": los dos miembros de una ecuación son matrices (0, la matriz nula)";
        default:
            return p.where + " es un número y no una matriz";
    }
}

}  // namespace

std::string EvalProblemText(const EvalProblem& p) {
    switch (p.result) {
        case EvalResult::Ok:
            return {};
        case EvalResult::Unreadable:
            return "Expresión incorrecta";
        case EvalResult::SizeMismatch:
            return SizesText(p);
        case EvalResult::Overflow:
            return "desbordamiento: el resultado exacto no cabe en fracciones de 32 bits";
        case EvalResult::NotAMatrix:
            return NumberText(p);
        case EvalResult::IdentitySize:
            return "no se puede deducir el tamaño de " + p.where +
                   ": escríbalo junto a una matriz (J + 2I)";
        case EvalResult::Singular:
            return p.first + " no tiene inversa (det" + (p.first[0] == '(' ? "" : " ") + p.first +
                   " = 0)";
        case EvalResult::ZeroDivision:
            return p.where + ": división por 0";
        case EvalResult::MissingLetter:
            return std::string("la letra ") + p.letter + " no tiene matriz";
        case EvalResult::NoUnknown:
            return "en la ecuación no aparece X";
        case EvalResult::NotLinear:
            return "la ecuación no es lineal en X: " + p.where;
        case EvalResult::UnknownSize:
            return "el tamaño de X no se puede deducir de la ecuación";
        case EvalResult::TooManyUnknowns:
            return "X sería " + SizeText(p.firstShape) + ": " +
                   IntToText(p.firstShape.rows * p.firstShape.cols) +
                   " incógnitas, y el máximo es " + IntToText(kMaxUnknowns);
    }
    return {};
}

}  // namespace velmora
