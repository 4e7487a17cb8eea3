#include "cli/calc.h"

#include <functional>
#include <map>

#include "cli/calc_parametric.h"
#include "cli/calc_check.h"
#include "cli/calc_eigen.h"
#include "cli/calc_equation.h"
#include "cli/calc_steps.h"
#include "cli/calc_systems.h"
#include "cli/matrix_reader.h"
#include "core/matrix/matrix.h"

namespace velmora {

namespace {

constexpr const char* kUsage =
    "Uso: velmora-calc [--latex | --pasos] ORDEN ARGUMENTOS\n"
    "\n"
    "  det MATRIZ            determinante\n"
    "  rank MATRIZ           rango\n"
    "  trans MATRIZ          transpuesta\n"
    "  adj MATRIZ            matriz de los adjuntos (cofactores)\n"
    "  inv MATRIZ            inversa\n"
    "  tri MATRIZ            forma triangular (Gauss)\n"
    "  gj MATRIZ             forma diagonal (Gauss-Jordan)\n"
    "  mul FRACCIÓN MATRIZ   producto por un número\n"
    "  pow N MATRIZ          potencia entera N >= 0; desde N = 3, por la forma cerrada\n"
    "                        de A^n cuando la tiene (la escribe, y A^N con ella)\n"
    "  pow n MATRIZ          A^n en forma cerrada, con la letra n: periódica (A^k = I),\n"
    "                        nilpotente, λI + N con N nilpotente, A^2 = cA o\n"
    "                        diagonalizable con valores propios racionales; cada\n"
    "                        forma, comprobada por inducción (sin ninguna, lo dice\n"
    "                        y sale con 1)\n"
    "  eigen MATRIZ          valores propios: polinomio característico, raíces y\n"
    "                        multiplicidades, subespacios propios, si es\n"
    "                        diagonalizable y entonces P y D con P^-1 A P = D; con un\n"
    "                        parámetro, si los valores propios son polinomios en él,\n"
    "                        los valores en que cambian sus multiplicidades y si es\n"
    "                        diagonalizable en cada caso\n"
    "  eval EXPRESIÓN [J=MATRIZ K=MATRIZ ...]\n"
    "                        expresión con las matrices guardadas desde J, p. ej.\n"
    "                        (J+K)*L^3, J^-1 (L - K), 2J + I, J^T/2\n"
    "  ecuacion ECUACIÓN [J=MATRIZ K=MATRIZ ...] [X=FxC]\n"
    "                        resuelve una ecuación matricial lineal en X, p. ej.\n"
    "                        \"J*X + K = L\", \"X*J + 2X = K\", \"J*X = X*J\"; X=FxC da el\n"
    "                        tamaño de X cuando la ecuación no lo decide\n"
    "  solve MATRIZ_AMPLIADA clasifica y resuelve un sistema de ecuaciones\n"
    "  discuss MATRIZ_AMPLIADA\n"
    "                        discute un sistema con un parámetro según sus valores,\n"
    "                        p. ej. \"[a 1 1 1; 1 a 1 a; 1 1 a a^2]\"\n"
    "  det MATRIZ = VALOR    valores del parámetro con ese determinante\n"
    "  sts show FICHERO      lista los sistemas de un fichero .sts\n"
    "  sts add FICHERO MATRIZ_AMPLIADA [COMENTARIO]\n"
    "                        añade un sistema a una lista de sistemas (la crea si\n"
    "                        no existe; a otro fichero no le añade nada)\n"
    "  comprobar MATRIZ < PASOS\n"
    "                        comprueba los pasos de una eliminación hecha a mano\n"
    "                        desde MATRIZ (uno por bloque: F2 ← F2 - 3F1, F1 ↔ F3,\n"
    "                        F2 ← F2 / 5 o F2 <- F2 - 3F1, y la matriz que da, o solo\n"
    "                        la matriz; al final, si se quiere, rango = 2, S.C.D. o\n"
    "                        x = 1, y = 2): escribe los pasos con ✓ o ✗ y el motivo,\n"
    "                        hasta el primero que está mal\n"
    "\n"
    "  --latex ORDEN ...     delante de trans, adj, inv, tri, gj, mul, pow, eval,\n"
    "                        ecuacion o eigen: escribe el resultado en LaTeX\n"
    "                        (pmatrix); delante de discuss, y con un parámetro de det\n"
    "                        y rank, la discusión\n"
    "  --pasos ORDEN MATRIZ  con tri, gj, inv, det, rank, solve o ecuacion: escribe\n"
    "                        antes cada paso (una línea y la matriz que deja), luego\n"
    "                        el resultado; con un parámetro (tri, gj, inv, rank,\n"
    "                        solve o discuss), los pasos sobre los polinomios y un\n"
    "                        caso aparte donde un pivote puede ser 0 (si a ≠ 1:,\n"
    "                        si a = 1:), cada caso con su conclusión\n"
    "  --latex --pasos ORDEN MATRIZ\n"
    "                        los mismos pasos en LaTeX, cada caso una lista anidada\n"
    "\n"
    "Una MATRIZ se escribe como \"[1 2; 3 -1/2]\": corchetes opcionales (los dos o\n"
    "ninguno), filas separadas por ';', elementos por blancos o comas, cada uno un\n"
    "entero o una fracción de dos enteros de 32 bits. En las expresiones y las\n"
    "ecuaciones, J^-1 es la inversa, J^-2 su cuadrado, J^T la transpuesta, I la\n"
    "identidad del tamaño que pide su sitio; un número multiplica a una matriz\n"
    "(2J, 2*J, (1/2)J, J/2) y dos matrices seguidas, con un blanco entre ellas,\n"
    "se multiplican (J^-1 (L - K)). Un elemento puede ser también un polinomio de\n"
    "grado 4 como mucho en un parámetro, cualquier letra menos x, y, z, t (una\n"
    "sola por matriz): k, -2k, k^2-1, (k+1)/2, 2/3k; con blancos, entre\n"
    "paréntesis: (3k^2 - k + 1). Con un parámetro, det, rank, inv, trans, adj,\n"
    "tri, gj, mul y pow escriben la discusión según sus valores. LETRA=VALOR tras\n"
    "la matriz (k=2, k=-1/2) sustituye antes el parámetro por ese número, en\n"
    "cualquier orden: discuss \"[k 1 1; 1 k 1]\" k=2.\n"
    "\n"
    "Salida:\n"
    "  0  hecho (comprobar: todos los pasos están bien)\n"
    "  1  se ha leído pero no se puede hacer: tamaños que no encajan, matriz\n"
    "     singular, desbordamiento, comentario o fichero que no se puede escribir,\n"
    "     resultado que no se puede escribir (disco lleno); comprobar: un paso\n"
    "     está mal\n"
    "  2  no se puede leer: orden desconocida, matriz, número o expresión mal\n"
    "     escritos, letra sin matriz, expresión vacía, fichero que no se puede\n"
    "     abrir o que no es una lista de sistemas, pasos que no se entienden\n";

constexpr const char* kLatexUsage =
    "velmora-calc: --latex va delante de una orden que da una matriz: trans, adj, inv, tri, gj, "
    "mul, pow, eval, ecuacion o eigen, de discuss, o de det o rank de una matriz con un "
    "parámetro\n\n";

// A command's work, with the reading of its arguments already done.
class Command {
public:
    Command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            bool latex = false)
        : args_(args), out_(out), err_(err), latex_(latex) {}

    bool Arity(std::size_t n) {
        if (args_.size() == n + 1) return true;
        err_ << "velmora-calc: " << args_[0] << " espera " << n
             << (n == 1 ? " argumento" : " argumentos") << "\n\n"
             << kUsage;
        return false;
    }
    bool Matrix(std::size_t index, velmora::Matrix& m) {
        std::string error;
        if (ReadMatrixText(args_[index], m, error)) return true;
        err_ << "velmora-calc: matriz ilegible: " << error << "\n";
        return false;
    }
    int Refuse(const std::string& why) {
        err_ << "velmora-calc: " << why << "\n";
        return kCalcRefused;
    }
    int Print(const velmora::Matrix& m) {
        out_ << (latex_ ? MatrixLatex(m) + "\n" : MatrixText(m));
        return kCalcOk;
    }
    const std::vector<std::string>& args() const { return args_; }
    std::ostream& out() { return out_; }
    std::ostream& err() { return err_; }
    bool latex() const { return latex_; }

private:
    const std::vector<std::string>& args_;
    std::ostream& out_;
    std::ostream& err_;
    bool latex_;
};

using Handler = std::function<int(Command&)>;

// The commands that take one matrix and hand back another.
Handler Unary(std::function<int(Command&, const Matrix&)> work) {
    return [work](Command& c) {
        Matrix m;
        if (!c.Arity(1) || !c.Matrix(1, m)) return int(kCalcBadInput);
        return work(c, m);
    };
}

int NotSquare(Command& c) { return c.Refuse("la matriz no es cuadrada"); }

const std::map<std::string, Handler>& Commands() {
    static const std::map<std::string, Handler> commands = {
        {"det", Unary([](Command& c, const Matrix& m) {
             if (!m.square) return NotSquare(c);
             if (m.detOverflow) throw ArithmeticOverflow();  // never shown as a number
             c.out() << m.det.ToText() << "\n";
             return int(kCalcOk);
         })},
        {"rank", Unary([](Command& c, const Matrix& m) {
             c.out() << MatrixRank(m) << "\n";
             return int(kCalcOk);
         })},
        {"trans", Unary([](Command& c, const Matrix& m) {
             Matrix t;
             m.Transpose(t);
             t.Refresh();
             return c.Print(t);
         })},
        {"adj", Unary([](Command& c, const Matrix& m) {
             Matrix r;
             if (!m.CofactorMatrix(r)) return NotSquare(c);
             return c.Print(r);
         })},
        {"inv", Unary([](Command& c, const Matrix& m) {
             if (!m.square) return NotSquare(c);
             Matrix r;
             if (!m.Inverse(r)) return c.Refuse("la matriz es singular (determinante 0): no tiene inversa");
             return c.Print(r);
         })},
        {"tri", Unary([](Command& c, const Matrix& m) {
             Matrix r;
             m.Triangular(r);
             return c.Print(r);
         })},
        {"gj", Unary([](Command& c, const Matrix& m) {
             Matrix r;
             m.GaussJordan(r);
             return c.Print(r);
         })},
        {"mul", [](Command& c) {
             Fraction f;
             Matrix m;
             std::string error;
             if (!c.Arity(2)) return int(kCalcBadInput);
             if (!ReadFractionText(c.args()[1], f, error)) {
                 c.err() << "velmora-calc: factor ilegible: " << error << "\n";
                 return int(kCalcBadInput);
             }
             if (!c.Matrix(2, m)) return int(kCalcBadInput);
             m.MulFraction(f);
             return c.Print(m);
         }},
        {"pow", [](Command& c) {
             Matrix m;
             int32_t n = 0;
             if (!c.Arity(2)) return int(kCalcBadInput);
             if (ReadInteger(c.args()[1], n) != NumberReading::Ok || n < 0) {
                 c.err() << "velmora-calc: exponente ilegible: «" << c.args()[1]
                         << "» no es un entero positivo\n";
                 return int(kCalcBadInput);
             }
             if (!c.Matrix(2, m)) return int(kCalcBadInput);
             int status = kCalcOk;
             if (CalcPowerThroughForm(m, static_cast<uint32_t>(n), c.out(), c.latex(), status))
                 return status;
             Matrix r;
             if (!MatrixPower(m, static_cast<uint32_t>(n), r)) return NotSquare(c);
             return c.Print(r);
         }},
    };
    return commands;
}

// The commands whose result is a matrix: those "--latex" may precede.
bool GivesMatrix(const std::string& command) {
    for (const char* c :
         {"trans", "adj", "inv", "tri", "gj", "mul", "pow", "eval", "ecuacion", "eigen"}) {
        if (command == c) return true;
    }
    return false;
}

int Run(std::vector<std::string> args, std::ostream& out, std::ostream& err, bool latex,
        std::istream& in) {
    if (args.empty()) {
        err << kUsage;
        return kCalcBadInput;
    }
    if (args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
        out << kUsage;
        return kCalcOk;
    }
    const auto& commands = Commands();
    const auto it = commands.find(args[0]);
    const bool systemsCommand = args[0] == "eval" || args[0] == "solve" || args[0] == "sts" ||
                                args[0] == "discuss" || args[0] == "comprobar" ||
                                args[0] == "ecuacion" || args[0] == "eigen" ||
                                (args[0] == "pow" && args.size() > 1 && args[1] == "n");
    if (it == commands.end() && !systemsCommand) {
        err << "velmora-calc: orden desconocida «" << args[0] << "»\n\n" << kUsage;
        return kCalcBadInput;
    }
    bool substituted = false;
    int status = kCalcOk;
    if (!SubstituteArgument(args, substituted, status, err)) return status;
    if (latex && !GivesMatrix(args[0]) && !HoldsParametricMatrix(args) &&
        !(args[0] == "discuss" && !substituted)) {
        err << kLatexUsage << kUsage;
        return kCalcBadInput;
    }
    if (args[0] == "eigen") return CalcEigen({args.begin() + 1, args.end()}, out, err, latex);
    if (args[0] == "pow" && args.size() > 1 && args[1] == "n")
        return CalcPowerN({args.begin() + 1, args.end()}, out, err, latex);
    if (HoldsParametricMatrix(args)) return CalcParametric(args, out, err, latex);
    Command command(args, out, err, latex);
    try {
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (args[0] == "discuss" && substituted) return CalcSolveSubstituted(rest, out, err);
        if (args[0] == "eval") return (latex ? CalcEvalLatex : CalcEval)(rest, out, err);
        if (args[0] == "ecuacion")
            return CalcEquation(rest, out, err,
                                latex ? EquationOutput::Latex : EquationOutput::Text);
        if (args[0] == "solve") return CalcSolve(rest, out, err);
        if (args[0] == "discuss") return (latex ? CalcDiscussLatex : CalcDiscuss)(rest, out, err);
        if (args[0] == "sts") return CalcSts(rest, out, err);
        if (args[0] == "comprobar") return CalcCheck(rest, in, out, err);
        return it->second(command);
    } catch (const ArithmeticOverflow&) {
        return command.Refuse("desbordamiento: el resultado exacto no cabe en fracciones de 32 bits");
    } catch (const CapacityError&) {
        return command.Refuse("la matriz resultante pasaría de 10 x 10");
    }
}

}  // namespace

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               std::istream& in) {
    // "--latex --pasos" and "--pasos --latex": the steps in LaTeX.
    const bool latexSteps = args.size() > 1 && ((args[0] == "--latex" && args[1] == "--pasos") ||
                                                (args[0] == "--pasos" && args[1] == "--latex"));
    if (!args.empty() && (args[0] == "--pasos" || latexSteps)) {
        // A value of the parameter is put in first: the steps are those of numbers.
        std::vector<std::string> rest(args.begin() + (latexSteps ? 2 : 1), args.end());
        bool substituted = false;
        int status = kCalcOk;
        if (!SubstituteArgument(rest, substituted, status, err)) return status;
        return CalcWithSteps(rest, out, err, latexSteps);
    }
    if (!args.empty() && args[0] == "--latex") {
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (rest.empty()) {
            err << kLatexUsage << kUsage;
            return kCalcBadInput;
        }
        return Run(rest, out, err, true, in);
    }
    return Run(args, out, err, false, in);
}

int RunCalc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            std::istream& in) {
    const int status = RunCommand(args, out, err, in);
    // A result that never reached its reader (a full disk, a closed pipe) is
    // no success, whatever the command did.
    out.flush();
    if (!out) {
        err << "velmora-calc: no se ha podido escribir el resultado\n";
        return status == kCalcOk ? kCalcRefused : status;
    }
    return status;
}

}  // namespace velmora
