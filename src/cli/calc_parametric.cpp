#include "cli/calc_parametric.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "cli/calc.h"
#include "cli/matrix_reader.h"
#include "core/matrix/parametric_cells.h"
#include "core/matrix/parametric_text.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

bool Read(const std::string& text, PolynomialMatrix& m, std::ostream& err) {
    std::string error;
    if (ReadPolynomialMatrixText(text, m, error)) return true;
    err << "velmora-calc: matriz ilegible: " << error << "\n";
    return false;
}

// "[1 -1/2; 3 0]".
std::string BracketText(const Matrix& m) {
    std::string s = "[";
    for (int i = 1; i <= m.rows; ++i) {
        if (i > 1) s += "; ";
        for (int j = 1; j <= m.cols; ++j) s += (j > 1 ? " " : "") + m.at(i, j).ToText();
    }
    return s + "]";
}

// A reason that starts a sentence, after "velmora-calc: ".
std::string Lowered(std::string reason) {
    if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z') reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    return reason;
}

int Print(const std::vector<Step>& document, std::ostream& out, bool latex) {
    out << (latex ? StepsLatex(document) : DocumentText(document));
    return kCalcOk;
}

}  // namespace

std::size_t MatrixArgument(const std::string& command) {
    if (command == "mul" || command == "pow") return 2;
    if (command == "eval" || command == "sts" || command == "ecuacion") return 0;
    return 1;
}

bool HoldsParametricMatrix(const std::vector<std::string>& args) {
    static const char* const kCommands[] = {"det", "rank", "inv", "trans", "adj",
                                            "tri", "gj",   "mul", "pow"};
    if (args.empty() || std::find(std::begin(kCommands), std::end(kCommands), args[0]) ==
                            std::end(kCommands))
        return false;
    // A matrix of numbers is read as one; any other that names a letter of
    // the parameter is the discussion's, to read or to refuse.
    const std::size_t k = MatrixArgument(args[0]);
    Matrix numbers;
    std::string error;
    if (args.size() <= k || ReadMatrixText(args[k], numbers, error)) return false;
    return std::any_of(args[k].begin(), args[k].end(), IsParameterLetter);
}

int CalcParametric(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool latex) {
    static const std::map<std::string, ParametricOperation> kOperations = {
        {"det", ParametricOperation::Determinant}, {"rank", ParametricOperation::Rank},
        {"inv", ParametricOperation::Inverse},     {"trans", ParametricOperation::Transpose},
        {"adj", ParametricOperation::Cofactors},   {"tri", ParametricOperation::Triangular},
        {"gj", ParametricOperation::Diagonal},     {"mul", ParametricOperation::Scale},
        {"pow", ParametricOperation::Power}};
    const std::string& command = args[0];
    const std::size_t k = MatrixArgument(command);
    const bool value = command == "det" && args.size() == 4 && args[2] == "=";
    if (args.size() != k + 1 && !value) {
        err << "velmora-calc: " << command << " espera " << k
            << (k == 1 ? " argumento" : " argumentos") << "\n";
        return kCalcBadInput;
    }
    PolynomialMatrix m;
    if (!Read(args[k], m, err)) return kCalcBadInput;
    mpq_class factor = 1;
    int32_t exponent = 1;
    Fraction f;
    std::string error;
    if (command == "mul" || value) {
        const std::string& text = value ? args[3] : args[1];
        if (!ReadFractionText(text, f, error)) {
            err << "velmora-calc: " << (value ? "valor" : "factor") << " ilegible: " << error
                << "\n";
            return kCalcBadInput;
        }
        factor = ToRational(f);
    }
    if (command == "pow" && (ReadInteger(args[1], exponent) != NumberReading::Ok || exponent < 0)) {
        err << "velmora-calc: exponente ilegible: «" << args[1] << "» no es un entero positivo\n";
        return kCalcBadInput;
    }
    try {
        if (value) {
            if (m.rows != m.cols) {
                err << "velmora-calc: la matriz no es cuadrada\n";
                return kCalcRefused;
            }
            bool every = false;
            const RealRoots roots = ValuesWithDeterminant(m, factor, every);
            return Print(DeterminantValueDocument(roots, every, factor, m.parameter), out, latex);
        }
    } catch (const ParametricTooLarge& e) {
        err << "velmora-calc: " << e.what() << "\n";
        return kCalcRefused;
    }
    const ParametricAnswer a = ParametricResult(m, kOperations.at(command), factor, exponent);
    if (!a.ok) {
        err << "velmora-calc: " << Lowered(a.reason) << "\n";
        return kCalcRefused;
    }
    return Print(a.document, out, latex);
}

bool SubstituteArgument(std::vector<std::string>& args, bool& found, int& status,
                        std::ostream& err) {
    found = false;
    if (args.empty()) return true;
    const std::size_t k = MatrixArgument(args[0]);
    if (k == 0 || args.size() != k + 2) return true;
    const std::string& last = args.back();
    const std::size_t equals = last.find('=');
    if (equals == std::string::npos) return true;
    const std::string letter = Trim(std::string_view(last).substr(0, equals));
    if (letter.size() != 1 || !IsParameterLetter(letter[0])) return true;
    found = true;
    Fraction f;
    std::string error;
    if (!ReadFractionText(last.substr(equals + 1), f, error)) {
        err << "velmora-calc: valor del parámetro ilegible: " << error << "\n";
        status = kCalcBadInput;
        return false;
    }
    PolynomialMatrix m;
    if (!Read(args[k], m, err)) {
        status = kCalcBadInput;
        return false;
    }
    const char named = ParameterLetter(letter);
    if (m.HasParameter() && m.parameter != named) {
        err << "velmora-calc: el parámetro de la matriz es " << m.parameter << ", no " << named
            << "\n";
        status = kCalcBadInput;
        return false;
    }
    const Substitution s = SubstituteMatrix(m, ToRational(f));
    if (!s.ok) {
        err << "velmora-calc: " << Lowered(s.reason) << "\n";
        status = kCalcRefused;
        return false;
    }
    args[k] = BracketText(s.matrix);
    args.pop_back();
    return true;
}

}  // namespace velmora
