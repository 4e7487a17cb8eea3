#include "core/check/check_text.h"

#include <algorithm>

#include "core/systems/general_solution.h"
#include "core/systems/linear_system.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

using Kind = StepVerdict::Kind;

const std::string kRight = "✓";
const std::string kWrong = "✗ ";

std::string Text(const mpq_class& q) {
    return q.get_str();
}

std::string Count(int n, const char* one, const char* many) {
    return IntToText(n) + " " + (n == 1 ? one : many);
}

std::string Size(int rows, int cols) {
    return Count(rows, "fila", "filas") + " y " + Count(cols, "columna", "columnas");
}

std::string Place(const CellValue& c) {
    return "fila " + IntToText(c.row) + ", columna " + IntToText(c.col);
}

std::string Lines(const WorkingPart& part) {
    if (part.firstLine == part.lastLine) return "línea " + IntToText(part.firstLine);
    return "líneas " + IntToText(part.firstLine) + " a " + IntToText(part.lastLine);
}

std::string UnreadReason(const WorkingPart& part) {
    switch (part.kind) {
        case WorkingPart::Kind::UnreadOperations:
            return "no se entiende la operación «" + part.text +
                   "»; se escribe F2 ← F2 - 3F1, F1 ↔ F3 o F2 ← F2 / 5";
        case WorkingPart::Kind::UnreadClaims:
            return "no se entiende la conclusión «" + part.text +
                   "»; se escribe rango = 2, rango A' = 3, S.C.D. o x = 1, y = 2";
        default:
            return "no se lee como matriz: " + part.why;
    }
}

// "rango A = 2 y rango A' = 3"; one rank when they are equal.
std::string Ranks(const ClaimCheck& c) {
    if (c.rankCoefficients == c.rankAugmented)
        return "rango A = rango A' = " + IntToText(c.rankAugmented);
    return "rango A = " + IntToText(c.rankCoefficients) +
           " y rango A' = " + IntToText(c.rankAugmented);
}

std::string VerdictText(const ClaimCheck& c) {
    switch (c.verdict) {
        case Claim::Verdict::Incompatible:
            return "es incompatible (S.I.): " + Ranks(c);
        case Claim::Verdict::Determined:
            return "es compatible determinado (S.C.D.): " + Ranks(c) + " = nº de incógnitas";
        default:
            return "es compatible indeterminado (S.C.I.): " + Ranks(c) + " < " +
                   IntToText(c.unknowns) + " incógnitas";
    }
}

std::string ValueText(const LinearExpression& e) {
    ParametricValue v;
    v.constant = e.constant;
    for (const auto& [k, c] : e.terms) {
        if (static_cast<int>(v.coefficients.size()) < k)
            v.coefficients.resize(static_cast<std::size_t>(k), mpq_class(0));
        v.coefficients[static_cast<std::size_t>(k - 1)] = c;
    }
    return ParametricValueText(v);
}

std::vector<std::string> NotEquivalentLines(const StepVerdict& v) {
    if (v.cells.empty()) return {kWrong + "no es equivalente a la anterior"};
    const CellValue& c = v.cells.front();
    std::string line = kWrong + "no es equivalente a la anterior; " + Place(c) + ": ";
    if (v.valueKnown) {
        line += "con lo que va antes en la fila, tendría que ser " + Text(c.right) + ", no " +
                Text(c.written);
    } else {
        const std::string row = "la fila " + IntToText(c.row);
        line += "con " + Text(c.written) + " ahí, " + row +
                (v.rowsAbove == 0 ? " es nula" : " es combinación de las de arriba") +
                " y la matriz pierde rango (la anterior tiene rango " + IntToText(v.rank) + ")";
    }
    return {line};
}

}  // namespace

std::vector<std::string> StepMarkLines(const WorkingCheck& check, const CheckedStep& step) {
    const StepVerdict& v = step.verdict;
    const std::string named =
        step.severalOnLine && step.operation ? RowOperationText(*step.operation) : "";
    const std::string wrong = kWrong + (named.empty() ? "" : named + ": ");
    const std::string row = step.operation ? IntToText(step.operation->row) : "";
    switch (v.kind) {
        case Kind::Allowed:
        case Kind::Matches:
            return {kRight + (named.empty() ? "" : " " + named)};
        case Kind::Same:
            return {kRight + " es la misma matriz que la anterior"};
        case Kind::Explained:
            return {kRight + " " + RowOperationText(v.operations.front())};
        case Kind::SeveralSteps: {
            std::string line = kRight + " varios pasos a la vez";
            for (std::size_t k = 0; k < v.operations.size(); ++k)
                line += (k == 0 ? ": " : ", ") + RowOperationText(v.operations[k]);
            return {line};
        }
        case Kind::TimesZero:
            return {wrong +
                    "no vale: multiplicar una fila por 0 la pierde; se multiplica por un "
                    "número distinto de 0"};
        case Kind::DivisionByZero:
            return {wrong + "no vale: no se divide entre 0"};
        case Kind::DropsRow:
            return {wrong + "no vale: en la nueva fila " + row + " no está la fila " + row +
                    ", que se pierde; F" + row +
                    " tiene que quedar con un coeficiente distinto de 0"};
        case Kind::NoSuchRow:
            return {wrong + "la matriz no tiene fila " + IntToText(step.operation->HighestRow()) +
                    ": tiene " + Count(v.rows, "fila", "filas")};
        case Kind::WrongCells: {
            std::vector<std::string> lines;
            for (const CellValue& c : v.cells)
                lines.push_back(wrong + Place(c) + ": es " + Text(c.right) + ", no " +
                                Text(c.written));
            return lines;
        }
        case Kind::WrongSize:
            return {wrong + "tiene " + Size(step.written->rows, step.written->cols) +
                    ", y ha de tener " + Size(v.rows, v.cols) +
                    ": las operaciones de fila no cambian el tamaño"};
        case Kind::NotEquivalent:
            return NotEquivalentLines(v);
        case Kind::Unread:
            break;
    }
    return {"? " + UnreadReason(check.parts[step.part])};
}

std::vector<std::string> ClaimMarkLines(const CheckedClaim& claim) {
    const ClaimCheck& c = claim.check;
    switch (c.fault) {
        case ClaimCheck::Fault::None:
            return {kRight};
        case ClaimCheck::Fault::NotASystem:
            return {kWrong + "una matriz de una columna no es la de un sistema"};
        case ClaimCheck::Fault::WrongRank: {
            std::vector<std::string> ranks;
            for (const Claim::Of of : claim.claim.of) {
                const std::string text =
                    of == Claim::Of::Matrix         ? "rango = " + IntToText(c.rankAugmented)
                    : of == Claim::Of::Coefficients ? "rango A = " + IntToText(c.rankCoefficients)
                                                    : "rango A' = " + IntToText(c.rankAugmented);
                if (std::find(ranks.begin(), ranks.end(), text) == ranks.end())
                    ranks.push_back(text);
            }
            std::string line = kWrong;
            for (std::size_t k = 0; k < ranks.size(); ++k) line += (k > 0 ? ", " : "") + ranks[k];
            return {line};
        }
        case ClaimCheck::Fault::WrongVerdict:
            return {kWrong + VerdictText(c)};
        case ClaimCheck::Fault::NoSolution:
            return {kWrong + "no tiene solución: es incompatible (" + Ranks(c) + ")"};
        case ClaimCheck::Fault::Unknowns: {
            std::string names;
            for (int j = 1; j <= c.unknowns; ++j)
                names += std::string(j > 1 ? ", " : "") + UnknownName(j);
            return {kWrong + "hay que dar el valor de cada incógnita, una vez: " + names};
        }
        case ClaimCheck::Fault::WrongValues: {
            std::vector<std::string> lines;
            for (const auto& [j, right] : c.rightValues) {
                std::string written;
                for (const auto& [k, e] : claim.claim.values)
                    if (k == j) written = ValueText(e);
                lines.push_back(kWrong + std::string(1, UnknownName(j)) + " = " + Text(right) +
                                ", no " + written);
            }
            return lines;
        }
        case ClaimCheck::Fault::NotSatisfied:
            return {kWrong + "con esos valores no se cumple la ecuación " + IntToText(c.equation)};
        case ClaimCheck::Fault::Parameters:
            return {kWrong + "la solución general tiene " +
                    Count(c.parameters, "parámetro", "parámetros") + " (" + IntToText(c.unknowns) +
                    " incógnitas, rango " + IntToText(c.rankCoefficients) + ")"};
        case ClaimCheck::Fault::NotIndependent:
            return {kWrong + "no salen todas las soluciones: los parámetros no son independientes"};
    }
    return {};
}

std::string FormLine(const MatrixForm& form) {
    const std::string last = "→ La última matriz ";
    switch (form.kind) {
        case MatrixForm::Kind::NotEchelon:
            if (form.belowZeroRow)
                return last + "no es escalonada: la fila " + IntToText(form.row) +
                       " no es nula y tiene encima una fila nula.";
            return last + "no es escalonada: la fila " + IntToText(form.row) +
                   " no empieza más a la derecha que la de encima.";
        case MatrixForm::Kind::Echelon:
            return last + "es escalonada (forma triangular), no la reducida.";
        case MatrixForm::Kind::Cleared:
            return last +
                   "es escalonada, con ceros encima de cada pivote (forma diagonal de "
                   "Gauss-Jordan); la reducida tiene además cada pivote igual a 1.";
        case MatrixForm::Kind::Reduced:
            break;
    }
    return last + "es la forma escalonada reducida.";
}

std::string MarkedWorkingText(const WorkingCheck& check, std::string_view working,
                              bool stopAtWrong) {
    std::vector<std::string_view> lines = TextLines(working);
    if (lines.size() > 1 && lines.back().empty()) lines.pop_back();  // the last line's break
    std::string text;
    std::size_t step = 0;
    std::size_t claim = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int number = static_cast<int>(k) + 1;
        if (!IsMarkLine(lines[k]) || Trim(lines[k]).empty()) {
            text += TrimRight(lines[k]);
            text += '\n';
        }
        // The marks of what ends on this line, steps and conclusions alike.
        while (true) {
            std::vector<std::string> marks;
            bool right = true;
            if (step < check.steps.size() &&
                check.parts[check.steps[step].part].lastLine == number) {
                marks = StepMarkLines(check, check.steps[step]);
                right = check.steps[step++].verdict.Right();
            } else if (claim < check.claims.size() &&
                       check.parts[check.claims[claim].part].lastLine == number) {
                marks = ClaimMarkLines(check.claims[claim]);
                right = check.claims[claim++].check.Right();
            } else {
                break;
            }
            for (const std::string& m : marks) text += m + "\n";
            if (stopAtWrong && !right) return text;
        }
    }
    if (!check.steps.empty()) text += FormLine(check.form) + "\n";
    return text;
}

std::string StepHeading(const WorkingCheck& check, const CheckedStep& step) {
    const WorkingPart& part = check.parts[step.part];
    if (step.operation) return Lines(part) + ": " + RowOperationText(*step.operation);
    return PartHeading(part);
}

std::string PartHeading(const WorkingPart& part) {
    if (part.kind == WorkingPart::Kind::Matrix) return Lines(part) + ": matriz";
    const std::string first(TextLines(part.text).front());
    return Lines(part) + ": " + first + (first.size() < part.text.size() ? " …" : "");
}

std::string UnreadText(const WorkingPart& part) {
    return Lines(part) + ": " + UnreadReason(part);
}

}  // namespace velmora
