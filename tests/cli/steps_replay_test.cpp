// velmora-calc --pasos replayed: the printed steps are parsed and applied,
// in GMP rationals, to the input matrix; every printed matrix must be the
// one the step gives, and the printed result the one the steps lead to. The
// inverse's and the determinant's lines are checked against values worked
// out here. Random matrices (fixed seed) of 1..4 rows and 1..5 columns:
// small integers, fractions, many zeros, rows that depend on others, and
// entries large enough to overflow the 32-bit steps.
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/calc.h"

namespace velmora {
namespace {

using QMat = std::vector<std::vector<mpq_class>>;

// ------------------------------------------------------------- the text

struct Block {
    std::string line;
    std::vector<std::string> rows;
};

struct Printed {
    int status = 0;
    std::vector<Block> steps;
    std::vector<std::string> result;  // the lines after the last step
};

// Blocks are separated by blank lines; the last one is the result.
Printed WithSteps(const std::string& command, const std::string& matrix) {
    std::ostringstream out, err;
    Printed p;
    p.status = RunCalc({"--pasos", command, matrix}, out, err);
    std::istringstream in(out.str());
    std::vector<std::vector<std::string>> blocks(1);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            blocks.emplace_back();
        } else {
            blocks.back().push_back(line);
        }
    }
    p.result = blocks.back();
    blocks.pop_back();
    for (auto& b : blocks) {
        if (b.empty()) continue;
        p.steps.push_back({b.front(), {b.begin() + 1, b.end()}});
    }
    return p;
}

// A value in the program's fraction text, "-2" (a "−" would throw).
mpq_class Value(const std::string& text) {
    mpq_class q(text);
    q.canonicalize();
    return q;
}

QMat Parse(const std::vector<std::string>& rows) {
    QMat m;
    for (const std::string& row : rows) {
        std::istringstream in(row);
        m.emplace_back();
        for (std::string cell; in >> cell;) m.back().push_back(Value(cell));
    }
    return m;
}

std::string Text(const QMat& m) {
    std::string s = "[";
    for (std::size_t i = 0; i < m.size(); ++i) {
        if (i > 0) s += "; ";
        for (std::size_t j = 0; j < m[i].size(); ++j) s += (j ? " " : "") + m[i][j].get_str();
    }
    return s + "]";
}

// ------------------------------------------------------------ reference

int Rank(QMat a) {
    const std::size_t rows = a.size(), cols = a[0].size();
    std::size_t rank = 0;
    for (std::size_t j = 0; j < cols && rank < rows; ++j) {
        std::size_t p = rank;
        while (p < rows && a[p][j] == 0) ++p;
        if (p == rows) continue;
        std::swap(a[p], a[rank]);
        for (std::size_t t = rank + 1; t < rows; ++t) {
            const mpq_class f = a[t][j] / a[rank][j];
            for (std::size_t k = j; k < cols; ++k) a[t][k] -= f * a[rank][k];
        }
        ++rank;
    }
    return static_cast<int>(rank);
}

mpq_class Det(const QMat& a) {
    const std::size_t n = a.size();
    if (n == 0) return 1;
    mpq_class d = 0;
    for (std::size_t j = 0; j < n; ++j) {
        QMat minor;
        for (std::size_t i = 1; i < n; ++i) {
            minor.emplace_back();
            for (std::size_t k = 0; k < n; ++k)
                if (k != j) minor.back().push_back(a[i][k]);
        }
        d += (j % 2 ? -1 : 1) * a[0][j] * Det(minor);
    }
    return d;
}

QMat Minor(const QMat& a, std::size_t r, std::size_t c) {
    QMat m;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (i == r) continue;
        m.emplace_back();
        for (std::size_t k = 0; k < a.size(); ++k)
            if (k != c) m.back().push_back(a[i][k]);
    }
    return m;
}

int Leading(const std::vector<mpq_class>& row) {
    for (std::size_t j = 0; j < row.size(); ++j)
        if (row[j] != 0) return static_cast<int>(j);
    return -1;
}

// The engine's echelon form: upper triangular, and every row that is not
// zero starts right of the ones above it (a zero row may stand above one
// that is not, where the pivot search of the first columns found nothing).
bool Echelon(const QMat& m) {
    int last = -1;
    for (std::size_t i = 0; i < m.size(); ++i) {
        const int lead = Leading(m[i]);
        if (lead < 0) continue;
        if (lead < static_cast<int>(i) || lead <= last) return false;
        last = lead;
    }
    return true;
}

// ---------------------------------------------------------------- replay

const std::regex kSwap(R"(^F(\d+) ↔ F(\d+)$)");
// Fractions in parentheses only on the way to a general solution.
const std::regex kCombine(R"(^F(\d+) ← (\d*|\(\d+/\d+\))F(\d+) ([-+]) (\d*|\(\d+/\d+\))F(\d+)$)");
const std::regex kDivide(R"(^F(\d+) ← F(\d+) / (\d+|\(-?\d+(?:/\d+)?\))$)");

// "3", "" (1), "(1/2)".
mpq_class Coefficient(std::string text) {
    if (text.empty()) return 1;
    if (text[0] == '(') text = text.substr(1, text.size() - 2);
    return Value(text);
}

// Applies the row operations to `input`; every printed matrix must be the
// one reached so far. Returns the matrix the steps end with. With
// `sections` (a system's steps), a line with a matrix starts a new section
// from that matrix; in the one towards a general solution each pivot row
// is divided by its pivot and multiples of it, fractions too, are
// subtracted, elsewhere the steps are fraction-free.
QMat Replay(const QMat& input, const Printed& p, const std::string& what, bool sections = false) {
    QMat m = input;
    bool general = false;
    for (const Block& b : p.steps) {
        std::smatch g;
        const std::string where = what + " at «" + b.line + "»";
        if (std::regex_match(b.line, g, kSwap)) {
            std::swap(m.at(std::stoul(g[1]) - 1), m.at(std::stoul(g[2]) - 1));
        } else if (std::regex_match(b.line, g, kCombine)) {
            const std::size_t t = std::stoul(g[1]) - 1, p = std::stoul(g[6]) - 1;
            EXPECT_EQ(g[1], g[3]) << where;
            const mpq_class d = Coefficient(g[2]);
            const mpq_class n = (g[4] == "-" ? 1 : -1) * Coefficient(g[5]);
            EXPECT_NE(g[2], "1") << where;  // a coefficient 1 is left out
            EXPECT_NE(g[5], "1") << where;
            if (general) {
                EXPECT_EQ(d, 1) << where;
            } else {
                EXPECT_GT(d, 0) << where;
                EXPECT_TRUE(d.get_den() == 1 && n.get_den() == 1) << where;  // integers
            }
            const int lead = Leading(m.at(p));
            if (lead < 0) {
                ADD_FAILURE() << "a zero pivot row " << where;
                return m;
            }
            for (std::size_t j = 0; j < m[t].size(); ++j) m[t][j] = d * m[t][j] - n * m[p][j];
            // The pivot row's leading entry is eliminated from row t.
            EXPECT_EQ(m[t][static_cast<std::size_t>(lead)], 0) << where;
        } else if (std::regex_match(b.line, g, kDivide)) {
            const std::size_t t = std::stoul(g[1]) - 1;
            EXPECT_EQ(g[1], g[2]) << where;
            const mpq_class divisor = Coefficient(g[3]);
            if (general) {
                // By the pivot: it becomes 1.
                const int lead = Leading(m.at(t));
                EXPECT_TRUE(lead >= 0 && m[t][static_cast<std::size_t>(lead)] == divisor) << where;
            } else {
                mpz_class gcd = 0;
                for (const mpq_class& x : m.at(t)) gcd = ::gcd(gcd, mpz_class(x.get_num()));
                EXPECT_EQ(mpq_class(gcd), divisor) << where;  // the gcd of the numerators
                EXPECT_GT(gcd, 1) << where;
            }
            for (mpq_class& x : m[t]) x /= divisor;
        } else {
            // A line of its own: the starting matrix, or a note without one.
            if (!b.rows.empty()) {
                if (sections) {
                    m = Parse(b.rows);
                    general = b.line.rfind("hacia la solución general", 0) == 0;
                } else {
                    EXPECT_EQ(Text(Parse(b.rows)), Text(m)) << where;
                }
            }
            continue;
        }
        EXPECT_EQ(Text(Parse(b.rows)), Text(m)) << where;
    }
    return m;
}

// ---------------------------------------------------------------- draws

struct Draw {
    QMat m;
    std::string text;
};

Draw RandomMatrix(std::mt19937& gen, int kind) {
    std::uniform_int_distribution<int> rowsOf(1, 4), colsOf(1, 5), small(-5, 5), den(1, 6),
        zero(0, 9), pick(0, 99);
    const int rows = rowsOf(gen), cols = colsOf(gen);
    Draw d;
    d.m.assign(rows, std::vector<mpq_class>(cols));
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) {
            mpq_class& x = d.m[i][j];
            switch (kind) {
                case 0:  // small integers
                    x = small(gen);
                    break;
                case 1:  // fractions
                    x = mpq_class(small(gen), den(gen));
                    break;
                case 2:  // mostly zeros
                    x = zero(gen) < 7 ? 0 : small(gen);
                    break;
                case 3:  // rows depending on the ones above
                    if (i >= 1 && pick(gen) < 80) {
                        x = d.m[i - 1][j] * small(gen) + (i >= 2 ? d.m[i - 2][j] : mpq_class(0));
                        if (abs(x) > 100000) x = small(gen);
                    } else {
                        x = small(gen);
                    }
                    break;
                default: {  // large: the 32-bit steps overflow
                    std::uniform_int_distribution<int> large(-70000, 70000);
                    x = pick(gen) < 50 ? mpq_class(large(gen)) : mpq_class(small(gen) * 40000 + 1);
                }
            }
            x.canonicalize();
        }
    }
    d.text = Text(d.m);
    return d;
}

TEST(StepsReplayTest, EliminationsReplayExactly) {
    std::mt19937 gen(20261214u);
    int overflows = 0, completions = 0, wide = 0;
    for (int k = 0; k < 4000; ++k) {
        const Draw d = RandomMatrix(gen, k % 5);
        for (const std::string command : {"tri", "gj", "rank"}) {
            const std::string what = command + " " + d.text;
            const Printed p = WithSteps(command, d.text);
            ASSERT_FALSE(p.steps.empty()) << what;
            EXPECT_EQ(p.steps.front().line, "matriz:") << what;
            const QMat end = Replay(d.m, p, what);
            const std::string last = p.steps.back().line;
            if (p.status == kCalcRefused) {
                // An overflow: the steps up to it, and a line that says so.
                ASSERT_NE(command, "rank") << what;
                EXPECT_EQ(last.rfind("desbordamiento: ", 0), 0u) << what;
                ++overflows;
                continue;
            }
            ASSERT_EQ(p.status, kCalcOk) << what;
            for (const Block& b : p.steps) {
                completions += b.line == "se completa la forma escalonada";
                wide += b.line == "se sigue con números de cualquier tamaño";
            }
            if (command == "rank") {
                ASSERT_EQ(p.result.size(), 1u) << what;
                EXPECT_EQ(p.result[0], std::to_string(Rank(d.m))) << what;
                int nonZero = 0;
                for (const auto& row : end) nonZero += Leading(row) >= 0;
                EXPECT_EQ(nonZero, Rank(d.m)) << what;
                EXPECT_TRUE(Echelon(end)) << what;
                continue;
            }
            EXPECT_EQ(Text(Parse(p.result)), Text(end)) << what;
            EXPECT_TRUE(Echelon(end)) << what;
            EXPECT_EQ(Rank(end), Rank(d.m)) << what;
            if (command == "gj") {
                // Nothing stands above a row's leading entry.
                for (std::size_t i = 0; i < end.size(); ++i) {
                    const int lead = Leading(end[i]);
                    for (std::size_t t = 0; lead >= 0 && t < i; ++t)
                        EXPECT_EQ(end[t][static_cast<std::size_t>(lead)], 0) << what;
                }
            }
        }
    }
    // The draws reach every path.
    EXPECT_GT(overflows, 50);
    EXPECT_GT(completions, 10);
    EXPECT_GT(wide, 50);
}

// The inverse's lines and the determinant's expansion, against values
// worked out here.
TEST(StepsReplayTest, InverseAndDeterminantLines) {
    std::mt19937 gen(20261215u);
    for (int k = 0; k < 1500; ++k) {
        Draw d = RandomMatrix(gen, k % 4);
        const std::size_t n = std::min(d.m.size(), d.m[0].size());
        d.m.resize(n);
        for (auto& row : d.m) row.resize(n);
        d.text = Text(d.m);
        const mpq_class det = Det(d.m);

        const Printed inv = WithSteps("inv", d.text);
        ASSERT_GE(inv.steps.size(), 1u) << d.text;
        EXPECT_EQ(inv.steps[0].line,
                  "det = " + det.get_str());
        EXPECT_EQ(Text(Parse(inv.steps[0].rows)), d.text);
        if (det == 0) {
            EXPECT_EQ(inv.steps.size(), 1u) << d.text;
            EXPECT_EQ(inv.status, kCalcRefused) << d.text;
        } else {
            ASSERT_EQ(inv.steps.size(), 4u) << d.text;
            QMat cof(n, std::vector<mpq_class>(n)), adj = cof, result = cof;
            for (std::size_t i = 0; i < n; ++i) {
                for (std::size_t j = 0; j < n; ++j) {
                    cof[i][j] = ((i + j) % 2 ? -1 : 1) * Det(Minor(d.m, i, j));
                    adj[j][i] = cof[i][j];
                    result[j][i] = cof[i][j] / det;
                }
            }
            EXPECT_EQ(inv.steps[1].line, "adjuntos:");
            EXPECT_EQ(Text(Parse(inv.steps[1].rows)), Text(cof)) << d.text;
            EXPECT_EQ(inv.steps[2].line, "adjunta (traspuesta):");
            EXPECT_EQ(Text(Parse(inv.steps[2].rows)), Text(adj)) << d.text;
            EXPECT_EQ(inv.steps[3].line, "inversa = adjunta / det:");
            EXPECT_EQ(Text(Parse(inv.steps[3].rows)), Text(result)) << d.text;
            if (inv.status == kCalcOk) {
                EXPECT_EQ(Text(Parse(inv.result)), Text(result));
            }
        }

        const Printed dt = WithSteps("det", d.text);
        ASSERT_FALSE(dt.steps.empty()) << d.text;
        EXPECT_EQ(Text(Parse(dt.steps.front().rows)), d.text);
        const std::string& value = dt.steps.back().line;
        EXPECT_EQ(Value(value.substr(value.rfind("= ") + 2)), det) << d.text;
        if (n >= 2 && n <= 3) {
            ASSERT_EQ(dt.steps.size(), n + 2) << d.text;
            for (std::size_t j = 0; j < n; ++j) {
                const Block& b = dt.steps[j + 1];
                const QMat minor = Minor(d.m, 0, j);
                EXPECT_EQ(b.line, "M1" + std::to_string(j + 1) + " = " + Det(minor).get_str());
                EXPECT_EQ(Text(Parse(b.rows)), Text(minor)) << d.text;
            }
        }
        if (dt.status == kCalcOk) {
            EXPECT_EQ(Value(dt.result.at(0)), det);
        }
    }
}

// A system's steps, section by section; the Cramer lines and the general
// solution against values worked out here and against the conclusion.
TEST(StepsReplayTest, SystemStepsReplayExactly) {
    std::mt19937 gen(20261216u);
    std::uniform_int_distribution<int> rowsOf(1, 4), unknownsOf(1, 4);
    int determined = 0, undetermined = 0;
    for (int k = 0; k < 1500; ++k) {
        Draw d = RandomMatrix(gen, k % 4);
        const std::size_t rows = static_cast<std::size_t>(rowsOf(gen));
        const std::size_t cols = static_cast<std::size_t>(unknownsOf(gen)) + 1;
        d.m.resize(std::min(rows, d.m.size()));
        for (auto& row : d.m) row.resize(cols, mpq_class(1));
        d.text = Text(d.m);
        std::ostringstream plain, ignored;
        if (RunCalc({"solve", d.text}, plain, ignored) != kCalcOk) continue;  // a null row, ...
        std::ostringstream out, err;
        ASSERT_EQ(RunCalc({"--pasos", "solve", d.text}, out, err), kCalcOk) << d.text;
        const std::string all = out.str(), result = plain.str();
        ASSERT_GT(all.size(), result.size());
        ASSERT_EQ(all.substr(all.size() - result.size()), result) << d.text;  // then the result
        Printed p;
        std::istringstream in(all.substr(0, all.size() - result.size()));
        std::vector<std::string> block;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty()) {
                block.push_back(line);
            } else if (!block.empty()) {
                p.steps.push_back({block.front(), {block.begin() + 1, block.end()}});
                block.clear();
            }
        }
        ASSERT_TRUE(block.empty()) << d.text;
        ASSERT_EQ(p.steps.front().line, "A' (matriz ampliada):") << d.text;
        const QMat end = Replay(Parse(p.steps.front().rows), p, "solve " + d.text, true);
        for (const Block& b : p.steps) {
            std::smatch g;
            static const std::regex kDeterminant(R"(^D([xyzt]?) = (\S+)$)");
            static const std::regex kQuotient(R"(^([xyzt]) = D\1 / D = (\S+) / (\S+) = (\S+)$)");
            if (std::regex_match(b.line, g, kDeterminant)) {
                EXPECT_EQ(Value(g[2]), Det(Parse(b.rows))) << d.text << " " << b.line;
            } else if (std::regex_match(b.line, g, kQuotient)) {
                const auto strip = [](std::string v) {
                    return v[0] == '(' ? v.substr(1, v.size() - 2) : v;
                };
                EXPECT_EQ(Value(g[4]), Value(strip(g[2])) / Value(strip(g[3]))) << b.line;
                // The value the conclusion gives.
                EXPECT_NE(result.find(std::string(g[1]) + " = " + Value(g[4]).get_str() + "    "),
                          std::string::npos)
                    << d.text << " " << b.line;
                ++determined;
            } else if (b.line.rfind("solución general: ", 0) == 0) {
                // Reduced: each pivot 1 and alone in its column.
                for (std::size_t i = 0; i < end.size(); ++i) {
                    const int lead = Leading(end[i]);
                    if (lead < 0) continue;
                    EXPECT_EQ(end[i][static_cast<std::size_t>(lead)], 1) << d.text;
                    for (std::size_t t = 0; t < end.size(); ++t)
                        EXPECT_TRUE(t == i || end[t][static_cast<std::size_t>(lead)] == 0)
                            << d.text;
                }
                std::string values = b.line.substr(std::string("solución general: ").size());
                values = values.substr(0, values.find(";"));
                for (std::size_t at = 0; at != std::string::npos;) {
                    const std::size_t comma = values.find(", ", at);
                    const std::string one = values.substr(at, comma - at);
                    EXPECT_NE(result.find(one + "    "), std::string::npos) << d.text << " " << one;
                    at = comma == std::string::npos ? comma : comma + 2;
                }
                ++undetermined;
            }
        }
    }
    EXPECT_GT(determined, 200);
    EXPECT_GT(undetermined, 100);
}

}  // namespace
}  // namespace velmora
