#include "cli/calc_equation.h"

#include "cli/calc.h"
#include "cli/calc_systems.h"
#include "core/store/expression_text.h"
#include "core/store/matrix_equation.h"

namespace velmora {

namespace {

// "X=2x3" (or 2X3): rows and columns 1..16 each.
bool ReadUnknownSize(const std::string& arg, Shape& x) {
    const std::size_t by = arg.find_first_of("xX", 2);
    if (by == std::string::npos) return false;
    int32_t rows = 0;
    int32_t cols = 0;
    if (ReadInteger(arg.substr(2, by - 2), rows) != NumberReading::Ok ||
        ReadInteger(arg.substr(by + 1), cols) != NumberReading::Ok)
        return false;
    if (rows < 1 || rows > kMaxUnknowns || cols < 1 || cols > kMaxUnknowns) return false;
    x = {rows, cols};
    return true;
}

bool Unreadable(EvalResult r) {
    return r == EvalResult::Unreadable || r == EvalResult::MissingLetter ||
           r == EvalResult::NotAMatrix || r == EvalResult::IdentitySize ||
           r == EvalResult::UnknownSize;
}

}  // namespace

int CalcEquation(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 EquationOutput output) {
    if (args.empty()) {
        err << "uso: velmora-calc ecuacion ECUACIÓN [J=MATRIZ K=MATRIZ ...] [X=FxC]\n";
        return kCalcBadInput;
    }
    Shape x;
    std::vector<std::string> letters;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (a.size() > 2 && (a[0] == 'X' || a[0] == 'x') && a[1] == '=') {
            if (!ReadUnknownSize(a, x)) {
                err << "velmora-calc: se esperaba X=FxC, filas y columnas de 1 a 16: " << a << '\n';
                return kCalcBadInput;
            }
        } else {
            letters.push_back(a);
        }
    }
    MatrixStore store;
    if (!ReadLetterMatrices(letters, store, err)) return kCalcBadInput;
    MatrixEquation equation;
    EvalProblem problem;
    const EvalResult result = SolveMatrixEquation(args[0], store, x, equation, &problem);
    if (result != EvalResult::Ok) {
        err << "velmora-calc: ";
        if (result == EvalResult::Unreadable) {
            err << "ecuación ilegible: «" << args[0] << "»\n";
        } else if (result == EvalResult::MissingLetter) {
            err << EvalProblemText(problem) << " (dé " << problem.letter << "=MATRIZ)\n";
        } else if (result == EvalResult::UnknownSize) {
            err << EvalProblemText(problem) << ": dé su tamaño, p. ej. X=2x3\n";
        } else {
            err << EvalProblemText(problem) << '\n';
        }
        return Unreadable(result) ? kCalcBadInput : kCalcRefused;
    }
    const std::vector<Step> answer = EquationDocument(equation);
    if (output == EquationOutput::Steps) out << StepsText(EquationSteps(equation));
    out << (output == EquationOutput::Latex ? StepsLatex(answer) : StepsText(answer));
    // As solve: the verdict is printed, a value that does not fit is not.
    if (EquationAnswerFits(equation)) return kCalcOk;
    err << "velmora-calc: desbordamiento: el resultado exacto no cabe en fracciones de 32 bits\n";
    return kCalcRefused;
}

}  // namespace velmora
