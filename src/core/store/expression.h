// An expression over the stored matrices as a tree: read from the text the
// user types, checked for numbers and sizes, and written back as a teacher
// writes it ("J^-1 (L - K)", "X (J + 2I)").
//
// The grammar is ordinary algebra; the text is upper-cased first (j is J,
// x is X, ^t is ^T) and "−" (U+2212) is "-":
//
//   equation   := expression "=" expression       (matrix equations only)
//   expression := term { ("+" | "-") term }        groups to the left
//   term       := factor { "*" factor | "/" factor | factor }
//   factor     := [ "-" ] power                    the sign negates this factor only
//   power      := primary [ "^" ( [ "-" ] integer | "T" ) ]   J^2^2 is refused
//   primary    := integer | letter | "I" | "X" | "(" expression ")"
//
// A letter is one of the stored matrices J..W; "I" is the identity of the
// size its place needs; "X" is the unknown of an equation. An integer is
// written in decimal, or "$" hexadecimal or "%" binary, up to 2147483647.
// J^-n is the inverse's power, J^T the transpose. A number multiplies a
// matrix written after it with or without "*" (2J, 2*J, (1/2)J, 3/4*J) and
// divides it from the right (J/2). Two matrices side by side are a product
// only with a blank between them (J^-1 (L - K)): JK, J(K) and J^2K are
// refused. Blanks are allowed between any two parts; tabs are not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

enum class NodeKind : uint8_t {
    Number,    // value: a non-negative integer
    Letter,    // value: the slot of a stored matrix
    Unknown,   // X
    Identity,  // I
    Zero,      // the zero matrix: a side of an equation written 0
    Negate,    // -a
    Add,
    Subtract,
    Multiply,   // a b, a number times a matrix too
    Divide,     // a / b, b a number
    Power,      // a^value; a negative value is a power of the inverse
    Transpose,  // a^T
    Equation,   // a = b
};

struct ExprNode {
    NodeKind kind = NodeKind::Number;
    int a = -1;  // operands: indices of earlier nodes
    int b = -1;
    int64_t value = 0;
    bool scalar = false;   // a number, not a matrix (2, 1/2, 2^3)
    bool unknown = false;  // X stands in it
};

// The nodes in post-order: every operand before its operation, the root last.
struct Expression {
    std::vector<ExprNode> nodes;

    int root() const { return static_cast<int>(nodes.size()) - 1; }
    const ExprNode& operator[](int i) const { return nodes[static_cast<std::size_t>(i)]; }
};

// Longest text read: the length of the expression box. A longer text is
// refused whole, never cut.
inline constexpr std::size_t kMaxExpressionLength = 254;

// What reading found wrong.
enum class Reading {
    Ok,
    Unreadable,     // not an expression (or, in an equation, not "a = b")
    MissingLetter,  // a letter J..W with no stored matrix
};

// Reads `text` (at most kMaxExpressionLength characters) over the letters of
// slots 1..`letters`; with `equation`, the text is an equation in X, and a
// side written 0 is the zero matrix. On MissingLetter, *letter is that letter.
Reading ReadExpression(std::string_view text, int letters, bool equation, Expression& out,
                       char* letter = nullptr);

// Where a node is written, and so when it takes parentheses: alone; as a
// term of a sum (a sum in parentheses); as a factor of a product (anything
// but a letter, a number or a power in parentheses).
enum class Place { Alone, Term, Factor };

// A node as the program writes it, in words or in LaTeX: "2J + I",
// "(J + K)^-1", "J^-1 (L - K)"; "J^{-1} (L - K)", "\frac{1}{2}J".
std::string NodeText(const Expression& e, int node, Place place = Place::Alone);
std::string NodeLatex(const Expression& e, int node, Place place = Place::Alone);

// A size as far as it is known; 0 for a dimension that is not.
struct Shape {
    int rows = 0;
    int cols = 0;
    friend bool operator==(const Shape&, const Shape&) = default;
};

}  // namespace velmora
