#include "cli/calc_steps.h"

#include <set>
#include <sstream>

#include "cli/calc.h"
#include "cli/calc_equation.h"
#include "cli/calc_systems.h"
#include "core/matrix/matrix_text.h"
#include "core/matrix/steps.h"
#include "core/systems/linear_system.h"

namespace velmora {

namespace {

// The steps of `command` on m, as far as they go: an overflow leaves the
// steps up to it, the last line saying so; the command then reports it.
void RecordSteps(const std::string& command, const Matrix& m, StepRecorder& steps) {
    Matrix result;
    if (command == "tri" || command == "gj" || command == "rank") StartSteps(steps, m);
    try {
        if (command == "tri") {
            m.Triangular(result, steps);
        } else if (command == "gj") {
            m.GaussJordan(result, steps);
        } else if (command == "rank") {
            MatrixRank(m, steps);
        } else if (command == "det") {
            if (m.square) DeterminantSteps(m, steps);
        } else if (command == "inv") {
            if (m.square) m.Inverse(result, steps);
        }
    } catch (const ArithmeticOverflow&) {
        // Recorded; the command itself gives the error.
    }
}

}  // namespace

int CalcWithSteps(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    static const std::set<std::string> kCommands = {"tri",  "gj",    "inv",
                                                    "det",  "rank",  "solve", "ecuacion"};
    if (args.empty() || kCommands.count(args[0]) == 0) {
        err << "velmora-calc: --pasos va delante de tri, gj, inv, det, rank, solve o ecuacion\n";
        return kCalcBadInput;
    }
    if (args[0] == "ecuacion")
        return CalcEquation({args.begin() + 1, args.end()}, out, err, EquationOutput::Steps);
    Matrix m;
    std::string error;
    // What cannot be read, or has the wrong number of arguments, is the
    // command's own error: it has no steps.
    if (args.size() != 2 || !ReadMatrixText(args[1], m, error)) return RunCommand(args, out, err);
    StepRecorder steps;
    if (args[0] == "solve") {
        // The steps only of a system that is analysed: the result tells.
        std::ostringstream result;
        const int status = CalcSolve({args[1]}, result, err);
        if (!result.str().empty()) {
            AnalyseSystem(m, &steps);
            out << StepsText(steps.Steps());
        }
        out << result.str();
        return status;
    }
    RecordSteps(args[0], m, steps);
    out << StepsText(steps.Steps());
    return RunCommand(args, out, err);
}

}  // namespace velmora
