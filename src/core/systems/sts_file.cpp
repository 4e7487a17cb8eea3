#include "core/systems/sts_file.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <utility>

#include "core/toolkit/encoding.h"
#include "core/toolkit/files.h"
#include "core/toolkit/saving.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

// Offsets of the record.
constexpr std::size_t kCellsAt = 0;
constexpr std::size_t kRowStride = 80;
constexpr std::size_t kCellStride = 8;
constexpr std::size_t kRowsAt = 800;
constexpr std::size_t kColsAt = 801;
constexpr std::size_t kSquareAt = 802;
constexpr std::size_t kDetAt = 804;
constexpr std::size_t kCommentLengthAt = 824;
constexpr std::size_t kCommentAt = 825;

constexpr int kMaxEquations = 4;
constexpr int kMaxColumns = 5;

void PutInt32(StsRecord& bytes, std::size_t at, int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<uint8_t>(u >> (8 * k));
}

int32_t GetInt32(const uint8_t* bytes, std::size_t at) {
    uint32_t u = 0;
    for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(bytes[at + k]) << (8 * k);
    return static_cast<int32_t>(u);
}

std::size_t CellOffset(int r, int c) {
    return kCellsAt + (r - 1) * kRowStride + (c - 1) * kCellStride;
}

// Byte length of the UTF-8 character that starts with `lead` (1 for a byte
// that cannot start one).
std::size_t Utf8CharLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

// Windows-1252 bytes of a comment; characters without a code become '?'.
std::string CommentBytes(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size() && out.size() < kMaxCommentLength;) {
        std::size_t len = std::min(Utf8CharLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        std::string one;
        if (ToWindows1252(utf8.substr(i, len), one) && one.size() == 1) {
            out += one;
        } else {
            out += '?';
        }
        i += len;
    }
    return out;
}

BlockWriter& Writer() {
    static BlockWriter writer;
    return writer;
}

bool WriteRecords(std::FILE* file, const std::vector<LinearSystem>& systems) {
    for (const LinearSystem& s : systems) {
        const StsRecord record = EncodeRecord(s);
        if (!Writer().Write(file, record.data(), record.size())) return false;
    }
    return std::fflush(file) == 0 && std::ferror(file) == 0;
}

bool ReplaceFile(const std::string& path, const std::vector<LinearSystem>& systems,
                 std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // Renaming would silently replace a read-only file; respect it.
    if (!CheckWritable(path, error)) return false;
    if (fs::exists(path, ec)) {
        std::FILE* probe = std::fopen(path.c_str(), "r+b");
        if (probe == nullptr) {
            error = "No se puede escribir en el fichero " + path + ".";
            return false;
        }
        std::fclose(probe);
    }
    switch (WriteBeside(path, [&](std::FILE* file) { return WriteRecords(file, systems); })) {
        case SafeWrite::Written:
            return true;
        case SafeWrite::NotCreated:
            error = "No se ha podido crear el fichero " + path + ".";
            return false;
        case SafeWrite::NotWritten:
            break;
    }
    error = "No se ha podido escribir el fichero " + path +
            ". El fichero anterior se conserva sin cambios.";
    return false;
}

StsWrite AppendToFile(const std::string& path, const std::vector<LinearSystem>& systems,
                      std::string& error) {
    if (!CheckWritable(path, error)) return StsWrite::Failed;
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (file == nullptr) {
        error = "No se ha podido abrir el fichero " + path + " para añadir sistemas.";
        return StsWrite::Failed;
    }
    // Only a list of systems is added to: anything else would lose bytes that
    // are not ours (the tail of a text file) or hide the new systems behind
    // records that cannot be read.
    // A device or a FIFO has no length to be a whole number of records.
    struct stat st {};
    const bool regular = ::fstat(::fileno(file), &st) == 0 && S_ISREG(st.st_mode);
    std::string bytes;
    const BoundedRead read =
        regular ? ReadStreamBounded(file, kMaxStsFileSize, bytes) : BoundedRead::TooLarge;
    const StsReadResult old = ParseStsBytes(bytes);
    StsWrite refusal = StsWrite::Done;
    if (read == BoundedRead::ReadError) {
        error = "No se ha podido leer el fichero " + path + ".";
        refusal = StsWrite::Failed;
    } else if (read == BoundedRead::TooLarge || old.SkippedSomething()) {
        error = "El fichero " + path + " no es una lista de sistemas: no se le añade nada.";
        refusal = StsWrite::NotAList;
    } else if (old.systems.size() + systems.size() > kMaxSystems) {
        error = "El fichero " + path + " tiene " + IntToText(int64_t(old.systems.size())) +
                " sistemas; con " + IntToText(int64_t(systems.size())) +
                " más pasaría de 1024, y no se podría abrir.";
        refusal = StsWrite::Failed;
    }
    const long whole = static_cast<long>(bytes.size());
    if (refusal == StsWrite::Done && std::fseek(file, whole, SEEK_SET) != 0) {
        error = "No se ha podido leer el fichero " + path + ".";
        refusal = StsWrite::Failed;
    }
    if (refusal != StsWrite::Done) {
        std::fclose(file);
        error += " El fichero no ha cambiado.";
        return refusal;
    }
    bool written = WriteRecords(file, systems);
    written = std::fclose(file) == 0 && written;
    if (written) return StsWrite::Done;

    std::error_code ec;
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(whole), ec);
    error = "No se ha podido escribir el fichero " + path + ". " +
            (!ec ? "El fichero conserva su contenido anterior."
                 : "No se ha podido devolver el fichero a su estado anterior.");
    return StsWrite::Failed;
}

std::string Count(std::size_t n, const char* singular, const char* plural) {
    return IntToText(static_cast<int64_t>(n)) + " " + (n == 1 ? singular : plural);
}

}  // namespace

StsRecord EncodeRecord(const LinearSystem& system) {
    StsRecord bytes{};
    const Matrix& m = system.augmented;
    for (int r = 1; r <= m.rows; ++r) {
        for (int c = 1; c <= m.cols; ++c) {
            PutInt32(bytes, CellOffset(r, c), m.at(r, c).num);
            PutInt32(bytes, CellOffset(r, c) + 4, m.at(r, c).den);
        }
    }
    bytes[kRowsAt] = m.rows;
    bytes[kColsAt] = m.cols;
    if (m.rows == m.cols) {
        bytes[kSquareAt] = 1;
        // A determinant without a 32-bit form has no value to write: the
        // field stays 0/0, never a number it is not. Readers ignore it.
        if (!m.detOverflow) {
            PutInt32(bytes, kDetAt, m.det.num);
            PutInt32(bytes, kDetAt + 4, m.det.den);
        }
    }
    const std::string comment = CommentBytes(system.comment);
    bytes[kCommentLengthAt] = static_cast<uint8_t>(comment.size());
    std::copy(comment.begin(), comment.end(), bytes.begin() + kCommentAt);
    return bytes;
}

bool DecodeRecord(const uint8_t* bytes, LinearSystem& system) {
    const int rows = bytes[kRowsAt];
    const int cols = bytes[kColsAt];
    const std::size_t commentLength = bytes[kCommentLengthAt];
    if (rows < 1 || rows > kMaxEquations || cols < 1 || cols > kMaxColumns) return false;
    if (commentLength > kMaxCommentLength) return false;

    LinearSystem read;
    try {
        read.augmented.SetSize(rows, cols);
        for (int r = 1; r <= rows; ++r) {
            for (int c = 1; c <= cols; ++c) {
                Fraction f(GetInt32(bytes, CellOffset(r, c)), GetInt32(bytes, CellOffset(r, c) + 4));
                if (f.HasZeroDenominator()) return false;
                f.Normalize();
                read.augmented.at(r, c) = f;
            }
        }
        read.augmented.Refresh();
    } catch (const ArithmeticOverflow&) {
        return false;
    }
    read.comment = FromWindows1252(
        std::string_view(reinterpret_cast<const char*>(bytes) + kCommentAt, commentLength));
    system = std::move(read);
    return true;
}

bool PrepareComment(std::string_view text, std::string& comment, std::string& bad) {
    std::string cut = Utf8Left(text, kMaxCommentLength);
    for (const char c : cut) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            bad = std::string(1, c);
            return false;
        }
    }
    std::string encoded;
    if (!ToWindows1252(cut, encoded)) {
        bad = FirstUnencodable(cut);
        return false;
    }
    comment = std::move(cut);
    return true;
}

const char* ControlCharacterName(std::string_view bad) {
    if (bad.size() != 1) return nullptr;
    if (bad[0] == '\n' || bad[0] == '\r') return "un salto de línea";
    if (bad[0] == '\t') return "un tabulador";
    return static_cast<unsigned char>(bad[0]) < 0x20 || bad[0] == 0x7F ? "un carácter de control"
                                                                       : nullptr;
}

StsReadResult ParseStsBytes(std::string_view bytes) {
    StsReadResult result;
    result.opened = true;
    if (bytes.size() > kMaxStsFileSize) {
        result.tooLarge = true;
        return result;
    }
    const std::size_t records = bytes.size() / kStsRecordSize;
    result.trailingBytes = bytes.size() % kStsRecordSize;
    for (std::size_t k = 0; k < records; ++k) {
        LinearSystem system;
        const auto* record = reinterpret_cast<const uint8_t*>(bytes.data()) + k * kStsRecordSize;
        if (DecodeRecord(record, system)) {
            result.systems.push_back(std::move(system));
        } else {
            ++result.invalidRecords;
        }
    }
    return result;
}

StsReadResult ReadStsFile(const std::string& path) {
    StsReadResult result;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return result;  // not a file to open
    std::string bytes;
    switch (ReadFileBounded(path, kMaxStsFileSize, bytes)) {
        case BoundedRead::Ok:
            return ParseStsBytes(bytes);
        case BoundedRead::NotOpened:
            return result;
        case BoundedRead::TooLarge:
            result.tooLarge = true;
            break;
        case BoundedRead::ReadError:
            result.readError = true;
            break;
    }
    result.opened = true;
    return result;
}

std::string SkippedRecordsText(const StsReadResult& result) {
    std::vector<std::string> parts;
    if (result.invalidRecords > 0)
        parts.push_back(Count(result.invalidRecords, "registro con datos no válidos",
                              "registros con datos no válidos"));
    if (result.trailingBytes > 0)
        parts.push_back("un registro incompleto al final (" +
                        IntToText(static_cast<int64_t>(result.trailingBytes)) + " bytes)");
    if (parts.empty()) return {};
    std::string text =
        "Sistemas leídos: " + IntToText(static_cast<int64_t>(result.systems.size())) +
        ". No se han usado: ";
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i > 0 ? "; " : "") + parts[i];
    return text + ".";
}

std::string UnreadFileText(const StsReadResult& result, const std::string& path) {
    if (result.tooLarge)
        return "El fichero " + path +
               " es demasiado largo para una lista de sistemas (más de 1024).";
    if (result.readError) return "No se ha podido leer el fichero " + path + ".";
    return {};
}

StsWrite WriteStsFile(const std::string& path, const std::vector<LinearSystem>& systems,
                      SaveMode mode, std::string& error) {
    if (mode == SaveMode::Append) return AppendToFile(path, systems, error);
    if (systems.size() > kMaxSystems) {
        error = "Una lista tiene como mucho 1024 sistemas.";
        return StsWrite::Failed;
    }
    return ReplaceFile(path, systems, error) ? StsWrite::Done : StsWrite::Failed;
}

StsWriteFunction SetStsWriteFunction(StsWriteFunction write) {
    return Writer().Replace(std::move(write));
}

}  // namespace velmora
