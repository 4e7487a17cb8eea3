// Texts a grid cell refuses, each with the reason its box gives after the
// cell's name.
#pragma once

namespace velmora::test {

struct UnreadableCell {
    const char* typed;
    const char* why;
};

inline constexpr UnreadableCell kUnreadableCells[] = {
    {"abc", "no es un número"},
    {"1.5", "no es un número"},
    {"3/x", "no es un número"},
    {"1/2/3", "no es un número"},
    {"3/", "no es un número"},
    {"99999999999", "está fuera de rango"},
    {"-2147483648/-1", "está fuera de rango"},
    {"1/0", "tiene denominador 0"},
    {"7/ 0", "tiene denominador 0"},
};

}  // namespace velmora::test
