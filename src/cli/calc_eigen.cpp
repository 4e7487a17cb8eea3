#include "cli/calc_eigen.h"

#include "cli/calc.h"
#include "cli/matrix_reader.h"
#include "core/matrix/eigen_text.h"
#include "core/matrix/matrix_text.h"
#include "core/matrix/parametric_eigen_text.h"
#include "core/matrix/parametric_text.h"
#include "core/matrix/power_text.h"

namespace velmora {

namespace {

// The one square matrix of the command; false, with the reason on err, otherwise.
bool ReadSquare(const std::vector<std::string>& args, std::size_t index, const char* usage,
                Matrix& m, std::ostream& err, int& status) {
    status = kCalcBadInput;
    if (args.size() != index + 1) {
        err << "uso: velmora-calc " << usage << "\n";
        return false;
    }
    std::string error;
    if (!ReadMatrixText(args[index], m, error)) {
        err << "velmora-calc: matriz ilegible: " << error << "\n";
        return false;
    }
    if (!m.square) {
        err << "velmora-calc: la matriz no es cuadrada\n";
        status = kCalcRefused;
        return false;
    }
    return true;
}

int Print(const std::vector<Step>& document, std::ostream& out, bool latex) {
    out << (latex ? StepsLatex(document) : StepsText(document));
    return kCalcOk;
}

// The eigenvalues of a matrix with the parameter in some cell; false when
// the text is not such a matrix.
bool ParametricEigen(const std::string& text, std::ostream& out, std::ostream& err, bool latex,
                     int& status) {
    Matrix numbers;
    PolynomialMatrix m;
    std::string error;
    if (ReadMatrixText(text, numbers, error) || !ReadPolynomialMatrixText(text, m, error) ||
        !m.HasParameter())
        return false;
    status = kCalcRefused;
    if (m.rows != m.cols) {
        err << "velmora-calc: la matriz no es cuadrada\n";
        return true;
    }
    try {
        const ParametricEigenAnalysis e = AnalyseParametricEigen(m);
        const std::vector<Step> document = ParametricEigenDocument(e);
        out << (latex ? StepsLatex(document) : DocumentText(document));
        if (e.polynomialEigenvalues) status = kCalcOk;
    } catch (const ParametricTooLarge& e) {
        err << "velmora-calc: " << e.what() << "\n";
    }
    return true;
}

}  // namespace

int CalcEigen(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool latex) {
    Matrix m;
    int status = kCalcOk;
    if (args.size() == 1 && ParametricEigen(args[0], out, err, latex, status)) return status;
    if (!ReadSquare(args, 0, "eigen MATRIZ", m, err, status)) return status;
    return Print(EigenDocument(AnalyseEigen(m)), out, latex);
}

int CalcPowerN(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool latex) {
    Matrix m;
    int status = kCalcOk;
    if (!ReadSquare(args, 1, "pow n MATRIZ", m, err, status)) return status;
    const PowerForm form = ClosedPower(m);
    Print(PowerDocument(form), out, latex);
    return form.pattern == PowerPattern::None ? int(kCalcRefused) : int(kCalcOk);
}

bool CalcPowerThroughForm(const Matrix& m, uint32_t n, std::ostream& out, bool latex,
                          int& status) {
    if (n <= 2 || !m.square || m.rows == 0) return false;
    const PowerForm form = ClosedPower(m);
    if (form.pattern == PowerPattern::None) return false;
    const bool table =
        form.pattern == PowerPattern::Periodic || form.pattern == PowerPattern::Nilpotent;
    if (table && n < static_cast<uint32_t>(form.period)) return false;
    const RationalRows value = PowerAtWithin32Bits(form, n);
    status = Print(PowerValueDocument(form, n, value), out, latex);
    return true;
}

}  // namespace velmora
