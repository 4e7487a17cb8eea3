#include "cli/calc_steps.h"

#include <map>
#include <set>
#include <sstream>

#include "cli/calc.h"
#include "cli/calc_equation.h"
#include "cli/calc_systems.h"
#include "cli/matrix_reader.h"
#include "core/matrix/branched_steps.h"
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

// The goal of the branched elimination for a command (false: it has none).
bool BranchedGoalOf(const std::string& command, BranchedGoal& goal) {
    static const std::map<std::string, BranchedGoal> kGoals = {
        {"tri", BranchedGoal::Triangular}, {"gj", BranchedGoal::GaussJordan},
        {"rank", BranchedGoal::Rank},      {"inv", BranchedGoal::Inverse},
        {"solve", BranchedGoal::System},   {"discuss", BranchedGoal::System}};
    const auto it = kGoals.find(command);
    if (it == kGoals.end()) return false;
    goal = it->second;
    return true;
}

// The steps of a matrix with a parameter, a case where a pivot may vanish.
int PrintBranchedSteps(const std::string& text, BranchedGoal goal, std::ostream& out,
                       std::ostream& err, bool latex) {
    PolynomialMatrix m;
    std::string error;
    if (!ReadPolynomialMatrixText(text, m, error)) {
        err << "velmora-calc: matriz ilegible: " << error << "\n";
        return kCalcBadInput;
    }
    if (goal == BranchedGoal::System && !CheckSystemSize(m.rows, m.cols, !CheckRows(m), err))
        return kCalcRefused;
    const BranchedSteps steps = BranchedElimination(m, goal);
    if (!steps.ok) {
        err << "velmora-calc: " << steps.reason << "\n";
        return kCalcRefused;
    }
    out << (latex ? StepsLatex(steps.steps) : StepsText(steps.steps));
    return kCalcOk;
}

}  // namespace

int CalcWithSteps(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool latex) {
    static const std::set<std::string> kCommands = {"tri",  "gj",    "inv",      "det",
                                                    "rank", "solve", "ecuacion", "discuss"};
    BranchedGoal goal{};
    const bool branched = !args.empty() && BranchedGoalOf(args[0], goal);
    if (args.empty() || kCommands.count(args[0]) == 0 || (latex && !branched)) {
        err << (latex ? "velmora-calc: --latex --pasos va delante de tri, gj, inv, rank, solve o "
                        "discuss\n"
                      : "velmora-calc: --pasos va delante de tri, gj, inv, det, rank, solve, "
                        "discuss o ecuacion\n");
        return kCalcBadInput;
    }
    if (args[0] == "ecuacion")
        return CalcEquation({args.begin() + 1, args.end()}, out, err, EquationOutput::Steps);
    Matrix m;
    std::string error;
    // With a parameter, or in LaTeX, the steps are the branched elimination's.
    if (branched && args.size() == 2 &&
        (latex || args[0] == "discuss" || !ReadMatrixText(args[1], m, error)))
        return PrintBranchedSteps(args[1], goal, out, err, latex);
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
