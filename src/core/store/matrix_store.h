// The store of named matrices J..W and the descriptions of their origin.
// Plain state and rules; the panel that draws it belongs to the main window.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/matrix/matrix.h"

namespace velmora {

// Where a matrix came from.
struct Description {
    enum class Kind { Empty, Operation, Expression };

    Kind kind = Kind::Empty;
    int operation = 0;  // 0..5, the command id of the operation minus 201
    int source = 0;     // the slot the operation was applied to (0: none)
    std::string text;   // the expression as typed, at most 255 characters

    static Description Operation(int code, int sourceSlot);
    static Description Expression(std::string_view typed);
    bool IsEmpty() const { return kind == Kind::Empty; }

    friend bool operator==(const Description&, const Description&) = default;
};

// Operation codes of a Description.
enum OperationCode : int {
    kOpTranspose = 0,
    kOpCofactors = 1,
    kOpInverse = 2,
    kOpTriangular = 3,
    kOpDiagonal = 4,
    kOpToSystem = 5,
};

// "Trasp", "Adj", "Inv", "Tri", "Diag", "" for codes 0..5; "" outside.
std::string OperationPrefix(int code);

// Slot i (1..14) is the letter with code 73 + i: J..W. Slot 0 is "".
std::string slotLetter(int slot);
// Code of c minus 73 (not checked against 1..14).
int slotOfLetter(char c);

// The caption of the editor group while nothing is selected.
inline constexpr const char* kCaptionNoMatrix = "Matriz... ";

// The caption of the editor group for the selected slot and the current
// description; nothing (caption unchanged) when no slot is selected and the
// description is empty. At most 255 characters.
std::optional<std::string> CaptionText(int selected, const Description& current);

class MatrixStore {
public:
    static constexpr int kCapacity = 14;

    int count() const { return count_; }
    int selected() const { return selected_; }
    // 0 (none) or 1..count().
    void setSelected(int slot);
    bool full() const { return count_ >= kCapacity; }

    // Slots 1..14; slots above count() hold no meaningful data.
    const Matrix& matrix(int slot) const;
    Matrix& matrix(int slot);
    const Description& description(int slot) const;

    // "<-": appends the matrix (and selects it) when nothing is selected,
    // otherwise overwrites the selected slot. False, nothing changed, when
    // the store is full and nothing is selected.
    bool store(const Matrix& m, const Description& d);
    // Removes the slot; the slots above move down one place and operation
    // origins are renumbered: a source above the deleted slot goes down by
    // one, a source equal to it leaves an empty description. Expression
    // texts are kept as typed. The selection is cleared.
    void deleteSlot(int slot);
    // "Reset": empty store, every description empty, nothing selected.
    void reset();
    // "Generar": n random matrices when 1 <= n <= free slots (columns 2..5
    // drawn before rows 2..4); otherwise nothing. True when generated.
    bool generate(int n);

private:
    struct Slot {
        Matrix matrix;
        Description description;
    };
    Slot& at(int slot);
    const Slot& at(int slot) const;

    std::array<Slot, kCapacity> slots_{};
    int count_ = 0;
    int selected_ = 0;
};

}  // namespace velmora
