#include "core/systems/system_list.h"

#include <stdexcept>

#include "core/toolkit/user_dialogs.h"

namespace velmora {

namespace {

constexpr const char* kCaptionFull = "Lista de sistemas llena";
constexpr const char* kCaptionComment = "Comentario no válido";
constexpr const char* kCaptionSystem = "Sistema no válido";
constexpr const char* kCaptionSaveError = "Error al guardar";
constexpr const char* kCaptionLoad = "Abrir sistemas";

bool PrepareCommentOrWarn(std::string_view text, std::string& comment) {
    std::string bad;
    if (PrepareComment(text, comment, bad)) return true;
    std::string what;
    if (const char* control = ControlCharacterName(bad)) {
        what = std::string("El comentario lleva ") + control +
               "; en la lista y en un fichero .sts un comentario es una sola línea.";
    } else {
        what = (bad.empty() ? "El comentario no es texto válido"
                            : "El carácter \"" + bad + "\" no se puede guardar") +
               " en un fichero .sts.";
    }
    ShowMessageStyled(kCaptionComment, what + " Cámbielo, por favor.", kMbIconExclamation);
    return false;
}

// The counts and cells a record can carry (see DecodeRecord).
bool IsStorableSystem(const Matrix& m) {
    return m.rows >= 1 && m.rows <= 4 && m.cols >= 1 && m.cols <= 5 && !HasZeroDenominator(m);
}

}  // namespace

bool SystemList::Add(const Matrix& augmented, std::string_view comment) {
    if (items_.size() >= kMaxSystems) {
        ShowMessageStyled(kCaptionFull,
                          "La lista ya tiene 1024 sistemas; no se puede añadir ninguno más.",
                          kMbIconExclamation);
        return false;
    }
    if (!IsStorableSystem(augmented)) {
        ShowMessageStyled(kCaptionSystem,
                          "Un sistema tiene de 1 a 4 ecuaciones, de 1 a 5 columnas y ningún "
                          "denominador 0.",
                          kMbIconExclamation);
        return false;
    }
    std::string cut;
    if (!PrepareCommentOrWarn(comment, cut)) return false;
    items_.push_back({augmented, std::move(cut)});
    modified_ = true;
    return true;
}

void SystemList::Delete(std::size_t k) {
    if (k < 1 || k > items_.size()) throw std::out_of_range("SystemList::Delete");
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(k - 1));
    modified_ = true;
}

bool SystemList::SetComment(std::size_t k, std::string_view comment) {
    if (k < 1 || k > items_.size()) throw std::out_of_range("SystemList::SetComment");
    std::string cut;
    if (!PrepareCommentOrWarn(comment, cut)) return false;
    if (items_[k - 1].comment != cut) modified_ = true;
    items_[k - 1].comment = std::move(cut);
    return true;
}

void SystemList::Clear() {
    if (!items_.empty()) modified_ = true;
    items_.clear();
}

const LinearSystem& SystemList::Get(std::size_t k) const {
    if (k < 1 || k > items_.size()) throw std::out_of_range("SystemList::Get");
    return items_[k - 1];
}

bool SystemList::Save(SaveMode mode) {
    fileName_ = kStsFilePreset;
    const bool chosen = mode == SaveMode::Append ? AskOpenFile(fileName_) : AskSaveFile(fileName_);
    if (!chosen) return false;
    std::string error;
    if (WriteStsFile(fileName_, items_, mode, error) != StsWrite::Done) {
        ShowMessageStyled(kCaptionSaveError, error, kMbIconExclamation);
        return false;
    }
    modified_ = false;
    return true;
}

bool SystemList::Load() {
    if (modified_) {
        switch (AskYesNoCancel("Lista de sistemas modificada", "¿Guardarla?")) {
            case kIdYes:
                if (!Save(SaveMode::Replace)) return false;
                break;
            case kIdNo:
                break;
            default:
                return false;
        }
    }
    fileName_ = kStsFilePreset;
    if (!AskOpenFile(fileName_)) return false;
    StsReadResult read = ReadStsFile(fileName_);
    if (!read.opened) return false;
    const std::string unread = UnreadFileText(read, fileName_);
    if (!unread.empty()) {
        ShowMessageStyled(kCaptionLoad, unread + " La lista no ha cambiado.", kMbIconExclamation);
        return false;
    }
    // Said before the systems move into the list, while `read` still counts them.
    const std::string skipped = SkippedRecordsText(read);
    if (read.systems.empty()) {
        // Replacing the list by nothing would lose it for a file that gave nothing.
        ShowMessageStyled(
            kCaptionLoad,
            (skipped.empty() ? "El fichero " + fileName_ + " no contiene sistemas." : skipped) +
                " La lista no ha cambiado.",
            kMbIconExclamation);
        return false;
    }
    items_ = std::move(read.systems);
    modified_ = false;
    if (!skipped.empty()) ShowMessageStyled(kCaptionLoad, skipped, kMbIconExclamation);
    return true;
}

}  // namespace velmora
