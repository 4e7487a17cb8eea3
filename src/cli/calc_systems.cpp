#include "cli/calc_systems.h"

#include <filesystem>
#include <map>

#include "cli/calc.h"
#include "cli/matrix_reader.h"
#include "core/store/evaluator.h"
#include "core/store/expression_text.h"
#include "core/store/matrix_store.h"
#include "core/systems/discussion_text.h"
#include "core/systems/linear_system.h"
#include "core/systems/sts_file.h"
#include "core/systems/system_text.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

constexpr int kOk = kCalcOk;
constexpr int kRefused = kCalcRefused;
constexpr int kUnreadable = kCalcBadInput;

constexpr const char* kOverflowText =
    "velmora-calc: desbordamiento: el resultado exacto no cabe en fracciones de 32 bits\n";

// Prints the ranks and the box's lines, the verdict even without the solution;
// false when a solution, determined or general, has no 32-bit form.
bool PrintAnalysis(const SystemAnalysis& a, std::ostream& out) {
    out << RankAugmentedText(a.rankAugmented) << '\n'
        << RankCoefficientsText(a.rankCoefficients) << '\n';
    for (const std::string& line : ConclusionBoxLines(a)) out << line << '\n';
    return !a.solutionOverflow && !a.generalSolutionOverflow;
}

bool ReadArgument(const std::string& text, Matrix& m, std::ostream& err) {
    std::string error;
    if (!ReadMatrixText(text, m, error)) {
        err << "velmora-calc: matriz ilegible: " << error << '\n';
        return false;
    }
    return true;  // the reader has refused zero denominators already
}

}  // namespace

bool CheckSystemSize(int rows, int cols, bool nullRow, std::ostream& err) {
    if (rows < 1 || rows > 4 || cols < 2 || cols > 5) {
        err << "velmora-calc: un sistema tiene de 1 a 4 ecuaciones y de 1 a 4 incógnitas (la "
               "matriz ampliada, de 2 a 5 columnas)\n";
        return false;
    }
    if (nullRow) {
        err << "velmora-calc: una ecuación es nula (coeficientes y término independiente 0)\n";
        return false;
    }
    return true;
}

bool CheckSystemSize(const Matrix& m, std::ostream& err) {
    return CheckSystemSize(m.rows, m.cols, !CheckRows(m), err);
}

namespace {

int StsShow(const std::string& path, std::ostream& out, std::ostream& err) {
    const StsReadResult read = ReadStsFile(path);
    if (!read.opened) {
        err << "velmora-calc: no se puede abrir el fichero " << path << '\n';
        return kUnreadable;
    }
    const std::string unread = UnreadFileText(read, path);
    if (!unread.empty()) {
        err << "velmora-calc: " << unread << '\n';
        return kUnreadable;
    }
    int status = kOk;
    for (std::size_t k = 0; k < read.systems.size(); ++k) {
        const LinearSystem& s = read.systems[k];
        if (k > 0) out << '\n';
        out << "Sistema " << k + 1 << (s.comment.empty() ? ":" : ": ") << s.comment << '\n';
        for (int i = 1; i <= s.augmented.rows; ++i) out << "  " << EquationText(s.augmented, i) << '\n';
        if (!PrintAnalysis(AnalyseSystem(s.augmented), out)) {
            err << "sistema " << k + 1 << ": ";  // the others are still shown
            err << kOverflowText;
            status = kRefused;
        }
    }
    const std::string skipped = SkippedRecordsText(read);
    if (!skipped.empty()) {
        err << "velmora-calc: " << skipped << '\n';
        return kUnreadable;
    }
    return status;
}

int StsAdd(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string& path = args[1];
    Matrix m;
    if (!ReadArgument(args[2], m, err)) return kUnreadable;
    if (!CheckSystemSize(m, err)) return kRefused;
    LinearSystem system{m, {}};
    std::string bad;
    if (!PrepareComment(args.size() > 3 ? args[3] : std::string(), system.comment, bad)) {
        if (const char* control = ControlCharacterName(bad)) {
            err << "velmora-calc: el comentario lleva " << control
                << ", y un comentario es una sola línea de la lista\n";
        } else {
            err << "velmora-calc: el carácter \"" << bad
                << "\" del comentario no tiene código Windows-1252\n";
        }
        return kRefused;
    }
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    const std::uintmax_t before = exists ? std::filesystem::file_size(path, ec) : 0;
    std::string error;
    const StsWrite written =
        WriteStsFile(path, {system}, exists ? SaveMode::Append : SaveMode::Replace, error);
    if (written != StsWrite::Done) {
        err << "velmora-calc: " << error << '\n';
        return written == StsWrite::NotAList ? kUnreadable : kRefused;
    }
    out << "Sistema " << before / kStsRecordSize + 1 << " añadido a " << path << '\n';
    return kOk;
}

int Eval(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool latex) {
    if (args.empty()) {
        err << "uso: velmora-calc eval EXPRESIÓN [J=MATRIZ K=MATRIZ ...]\n";
        return kUnreadable;
    }
    MatrixStore store;
    if (!ReadLetterMatrices({args.begin() + 1, args.end()}, store, err)) return kUnreadable;
    Matrix result;
    EvalProblem problem;
    switch (Evaluate(args[0], store, result, &problem)) {
        case EvalResult::Ok:
            out << (latex ? MatrixLatex(result) + "\n" : MatrixText(result));
            return kOk;
        case EvalResult::Unreadable:
            err << "velmora-calc: Expresión incorrecta: ";
            if (Utf8Length(args[0]) > kMaxExpressionLength) {
                err << "más de " << kMaxExpressionLength << " caracteres\n";
            } else {
                err << "«" << args[0] << "»\n";
            }
            return kUnreadable;
        case EvalResult::SizeMismatch:
            err << "velmora-calc: los tamaños de las matrices no encajan: «" << args[0] << "»\n";
            return kRefused;
        case EvalResult::Overflow:
            err << kOverflowText;
            return kRefused;
        case EvalResult::NotAMatrix:
        case EvalResult::IdentitySize:  // written so that it cannot be done
            err << "velmora-calc: " << EvalProblemText(problem) << '\n';
            return kUnreadable;
        default:  // J^-1 of a singular J, J/0
            err << "velmora-calc: " << EvalProblemText(problem) << '\n';
            return kRefused;
    }
}

}  // namespace

bool ReadLetterMatrices(const std::vector<std::string>& args, MatrixStore& store,
                        std::ostream& err) {
    std::map<int, Matrix> given;
    for (const std::string& a : args) {
        const std::size_t eq = a.find('=');
        int slot = eq == 1 ? slotOfLetter(static_cast<char>(std::toupper(static_cast<unsigned char>(a[0])))) : 0;
        if (slot < 1 || slot > MatrixStore::kCapacity) {
            err << "velmora-calc: se esperaba LETRA=MATRIZ con una letra de J a W: " << a << '\n';
            return false;
        }
        if (given.count(slot) != 0) {
            err << "velmora-calc: la matriz " << slotLetter(slot) << " se ha dado dos veces\n";
            return false;
        }
        if (!ReadArgument(a.substr(eq + 1), given[slot], err)) return false;
    }
    for (const auto& [slot, m] : given) {
        if (slot != store.count() + 1) {
            err << "velmora-calc: falta la matriz " << slotLetter(store.count() + 1)
                << " (las matrices van de J en adelante, sin huecos)\n";
            return false;
        }
        store.store(m, {});
        store.setSelected(0);
    }
    return true;
}

int CalcEval(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return Eval(args, out, err, false);
}

int CalcEvalLatex(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return Eval(args, out, err, true);
}

namespace {

int Solve(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
          bool substituted) {
    if (args.size() != 1) {
        err << "uso: velmora-calc solve MATRIZ_AMPLIADA\n";
        return kUnreadable;
    }
    Matrix m;
    if (!ReadArgument(args[0], m, err)) {
        PolynomialMatrix p;
        std::string error;
        if (ReadPolynomialMatrixText(args[0], p, error))
            err << "velmora-calc: un sistema con un parámetro se discute con velmora-calc "
                   "discuss\n";
        return kUnreadable;
    }
    if (!CheckSystemSize(m.rows, m.cols, !substituted && !CheckRows(m), err)) return kRefused;
    if (!PrintAnalysis(AnalyseSystem(m), out)) {
        err << kOverflowText;
        return kRefused;
    }
    return kOk;
}

}  // namespace

int CalcSolve(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return Solve(args, out, err, false);
}

int CalcSolveSubstituted(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err) {
    return Solve(args, out, err, true);
}

namespace {

int Discuss(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            bool latex) {
    if (args.size() != 1) {
        err << "uso: velmora-calc discuss MATRIZ_AMPLIADA\n";
        return kUnreadable;
    }
    PolynomialMatrix m;
    std::string error;
    if (!ReadPolynomialMatrixText(args[0], m, error)) {
        err << "velmora-calc: matriz ilegible: " << error << '\n';
        return kUnreadable;
    }
    if (!CheckSystemSize(m.rows, m.cols, !CheckRows(m), err)) return kRefused;
    try {
        const Discussion d = DiscussSystem(m);
        if (latex) {
            out << DiscussionLatex(d) << '\n';
        } else {
            for (const std::string& line : DiscussionLines(d)) out << line << '\n';
        }
    } catch (const DiscussionTooLarge& e) {
        err << "velmora-calc: " << e.what() << '\n';
        return kRefused;
    }
    return kOk;
}

}  // namespace

int CalcDiscuss(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return Discuss(args, out, err, false);
}

int CalcDiscussLatex(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return Discuss(args, out, err, true);
}

int CalcSts(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 2 && args[0] == "show") return StsShow(args[1], out, err);
    if ((args.size() == 3 || args.size() == 4) && args[0] == "add") return StsAdd(args, out, err);
    err << "uso: velmora-calc sts show FICHERO | sts add FICHERO MATRIZ_AMPLIADA [COMENTARIO]\n";
    return kUnreadable;
}

}  // namespace velmora
