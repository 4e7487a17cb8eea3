// The steps of a computation as the engine performs it: the row operations
// of an elimination, each with the matrix it leaves, and the lines of a
// determinant's expansion, an inverse or Cramer's rule. The engine fills a
// StepRecorder only when it is handed one; the "Pasos" window, the clipboard
// and velmora-calc --pasos all print from that record, so the steps and the
// result can never disagree.
//
// Notation, one line a step: "F1 ↔ F3" (rows exchanged), "F2 ← 3F2 - 2F1"
// (row 2 replaced by 3·row 2 − 2·row 1; a coefficient 1 is left out, a
// negative one turns "-" into "+"), "F2 ← F2 / 5" (row 2 divided by the gcd
// of its numerators). Every number is written as the program writes
// fractions ("-3/4"): one minus sign, the "-" a copy pastes back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/matrix/matrix.h"

namespace velmora {

// A matrix as a step shows it: each entry in the program's fraction text
// ("-3/4"), of any size (the rows of the wide path pass 32 bits).
struct StepMatrix {
    int rows = 0;
    int cols = 0;
    std::vector<std::string> cells;  // row after row
    // The cells in LaTeX, where they are not all fractions ("1 - 2\lambda");
    // empty: each fraction's own.
    std::vector<std::string> latex;
    // As text, the columns aligned and three blanks apart: for cells that
    // hold blanks ("a - 1"), so each reads on its own.
    bool aligned = false;

    static StepMatrix Of(const Matrix& m);
    // rows x cols entries, each the text cell(i, j) gives (i, j from 1).
    template <class Cell>
    static StepMatrix Of(int rows, int cols, Cell cell) {
        StepMatrix s;
        s.rows = rows;
        s.cols = cols;
        s.cells.reserve(static_cast<std::size_t>(rows * cols));
        for (int i = 1; i <= rows; ++i)
            for (int j = 1; j <= cols; ++j) s.cells.push_back(cell(i, j));
        return s;
    }
    bool empty() const { return rows == 0; }
    const std::string& at(int i, int j) const { return cells[(i - 1) * cols + (j - 1)]; }
    std::string& at(int i, int j) { return cells[(i - 1) * cols + (j - 1)]; }
    friend bool operator==(const StepMatrix&, const StepMatrix&) = default;
};

struct Step {
    enum class Kind {
        Swap,     // F{row} ↔ F{other}
        Combine,  // F{row} ← {scale}F{row} - {factor}F{other}
        Divide,   // F{row} ← F{row} / {scale}
        Line,     // a line of its own: `text`, `latex`
    };
    Kind kind = Kind::Line;
    int row = 0;
    int other = 0;
    // Decimal; fractions ("1/2") and negative divisors only on the way to a
    // general solution, whose pivots become 1.
    std::string scale;   // Combine: d > 0; Divide: the gcd g > 1, or the pivot
    std::string factor;  // Combine: n != 0, with its sign
    std::string text;    // Line: the line as text
    std::string latex;   // Line: the line in LaTeX math mode
    StepMatrix matrix;   // the matrix after the step; empty for a line without one
    // Line: `matrix` is the determinant whose value the line gives ("D = -2"):
    // in LaTeX it stands between bars after the line's first "=".
    bool determinant = false;
    // An elimination with a parameter branches where a pivot may vanish. The
    // trunk is at depth 0; a Line with `branch` set is a case's condition
    // ("si a ≠ 1:") and the steps of that case follow it at its depth + 1, up
    // to the next step at its depth or less.
    int depth = 0;
    bool branch = false;

    friend bool operator==(const Step&, const Step&) = default;
};

class StepRecorder {
  public:
    void Swap(StepMatrix after, int i, int k);
    // `after`: the matrix with row t already replaced, before the gcd.
    void Combine(StepMatrix after, int t, int p, std::string d, std::string n);
    void Divide(StepMatrix after, int t, std::string g);
    void Line(std::string text, std::string latex, StepMatrix matrix = {});
    // A line that gives the value of the determinant of `matrix`.
    void Determinant(std::string text, std::string latex, StepMatrix matrix);
    // "desbordamiento: F3 ← 5F3 - 7F1 no cabe en fracciones de 32 bits"
    void Overflow(int t, int p, const std::string& d, const std::string& n);
    void Append(Step step) { steps_.push_back(std::move(step)); }

    const std::vector<Step>& Steps() const { return steps_; }
    std::vector<Step> Take() { return std::move(steps_); }
    // The matrix of the last step that has one (empty when none has).
    const StepMatrix* LastMatrix() const;

  private:
    std::vector<Step> steps_;
};

// The notation of a step, as text and in LaTeX math mode.
std::string StepText(const Step& step);
std::string StepLatex(const Step& step);
// Every step: its line, the rows of its matrix (entries separated by one
// blank), a blank line; each line indented by three blanks per depth.
std::string StepsText(const std::vector<Step>& steps);
// A fragment for a document with amsmath: one displayed formula a step, the
// row operations as arrows (\xrightarrow{F_2 \leftarrow 3F_2 - 2F_1}) before
// the matrix they leave, a determinant as a vmatrix within its line
// (D = \begin{vmatrix} ... \end{vmatrix} = -2); each case of a branched
// elimination an item of a list one level in, its steps inside it.
std::string StepsLatex(const std::vector<Step>& steps);
// The fraction text "-3/4" in LaTeX: "-\frac{3}{4}".
std::string FractionTextLatex(const std::string& fraction);
// "\begin{pmatrix} ... \end{pmatrix}", or in another matrix environment.
std::string StepMatrixLatex(const StepMatrix& m, std::string_view environment = "pmatrix");

// The first step of an elimination: "matriz:" and the matrix it starts from.
void StartSteps(StepRecorder& steps, const Matrix& m);

// The determinant of a square matrix by the expansion along its first row:
// the matrix, then for an order up to 3 each minor with its value, then the
// terms and the value.
void DeterminantSteps(const Matrix& m, StepRecorder& steps);

}  // namespace velmora
