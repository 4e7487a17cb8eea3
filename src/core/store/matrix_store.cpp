#include "core/store/matrix_store.h"

#include <stdexcept>

#include "core/arith/random.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {
constexpr std::size_t kMaxText = 255;
}

Description Description::Operation(int code, int sourceSlot) {
    Description d;
    d.kind = Kind::Operation;
    d.operation = code;
    d.source = sourceSlot;
    return d;
}

Description Description::Expression(std::string_view typed) {
    Description d;
    d.kind = Kind::Expression;
    d.text = Utf8Left(typed, kMaxText);
    return d;
}

std::string OperationPrefix(int code) {
    static constexpr const char* kPrefixes[] = {"Trasp", "Adj", "Inv", "Tri", "Diag", ""};
    return code >= 0 && code <= 5 ? kPrefixes[code] : "";
}

std::string slotLetter(int slot) {
    if (slot < 1 || slot > MatrixStore::kCapacity) return {};
    return std::string(1, static_cast<char>(73 + slot));
}

int slotOfLetter(char c) { return static_cast<unsigned char>(c) - 73; }

std::optional<std::string> CaptionText(int selected, const Description& current) {
    if (selected == 0 && current.IsEmpty()) return std::nullopt;
    std::string caption = "Matriz  " + slotLetter(selected) + " = ";
    switch (current.kind) {
        case Description::Kind::Operation:
            caption += OperationPrefix(current.operation) + "(" + slotLetter(current.source) + ") ";
            break;
        case Description::Kind::Expression:
            caption += current.text;
            break;
        case Description::Kind::Empty:
            break;
    }
    return Utf8Left(caption, kMaxText);
}

void MatrixStore::setSelected(int slot) {
    if (slot < 0 || slot > count_) throw std::out_of_range("MatrixStore::setSelected");
    selected_ = slot;
}

MatrixStore::Slot& MatrixStore::at(int slot) {
    if (slot < 1 || slot > kCapacity) throw std::out_of_range("MatrixStore slot");
    return slots_[slot - 1];
}

const MatrixStore::Slot& MatrixStore::at(int slot) const {
    if (slot < 1 || slot > kCapacity) throw std::out_of_range("MatrixStore slot");
    return slots_[slot - 1];
}

const Matrix& MatrixStore::matrix(int slot) const { return at(slot).matrix; }
Matrix& MatrixStore::matrix(int slot) { return at(slot).matrix; }
const Description& MatrixStore::description(int slot) const { return at(slot).description; }

bool MatrixStore::store(const Matrix& m, const Description& d) {
    if (selected_ == 0) {
        if (full()) return false;
        selected_ = ++count_;
    }
    at(selected_) = {m, d};
    return true;
}

void MatrixStore::deleteSlot(int slot) {
    if (slot < 1 || slot > count_) throw std::out_of_range("MatrixStore::deleteSlot");
    for (int k = slot; k < count_; ++k) at(k) = at(k + 1);
    at(count_) = {};
    --count_;
    // Every remaining slot is examined, not only those that moved, so no
    // description is left naming a slot that is gone or has changed letter.
    for (int k = 1; k <= count_; ++k) {
        Description& d = at(k).description;
        if (d.kind != Description::Kind::Operation) continue;
        if (d.source == slot) {
            d = {};
        } else if (d.source > slot) {
            --d.source;
        }
    }
    selected_ = 0;
}

void MatrixStore::reset() {
    for (Slot& s : slots_) s.description = {};
    count_ = 0;
    selected_ = 0;
}

bool MatrixStore::generate(int n) {
    if (n < 1 || n > kCapacity - count_) return false;
    for (int k = 0; k < n; ++k) {
        const auto cols = static_cast<uint8_t>(2 + RandomBelow(4));
        const auto rows = static_cast<uint8_t>(2 + RandomBelow(3));
        Slot& s = at(++count_);
        s.matrix = Matrix{};
        s.matrix.FillRandom(rows, cols);
        s.description = {};
    }
    return true;
}

}  // namespace velmora
