#include "cli/calc_check.h"

#include <iterator>

#include "cli/calc.h"
#include "core/check/check_text.h"
#include "core/check/checker.h"
#include "core/check/working_file.h"
#include "core/matrix/matrix_text.h"

namespace velmora {

int CalcCheck(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
              std::ostream& err) {
    if (args.size() != 1) {
        err << "velmora-calc: comprobar espera 1 argumento (la matriz de partida) y los pasos "
               "por la entrada estándar\n";
        return kCalcBadInput;
    }
    Matrix start;
    std::string error;
    if (!ReadMatrixText(args[0], start, error)) {
        err << "velmora-calc: matriz ilegible: " << error << "\n";
        return kCalcBadInput;
    }
    std::string bytes;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMostWorkingBytes) {
            err << "velmora-calc: los pasos son demasiado largos (más de 1 MB)\n";
            return kCalcBadInput;
        }
    }
    const std::string working = WorkingText(std::move(bytes));
    const WorkingCheck check = CheckWorking(start, working);
    if (const auto unread = check.FirstUnread()) {
        err << "velmora-calc: " << UnreadText(check.parts[*unread]) << "\n";
        return kCalcBadInput;
    }
    out << MarkedWorkingText(check, working, true);
    return check.AllRight() ? kCalcOk : kCalcRefused;
}

}  // namespace velmora
