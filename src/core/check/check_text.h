// The words of "Comprobar mis pasos": each step's mark and reasons, each
// conclusion's, the form of the last matrix, and the working with its marks,
// as the pane shows them, "Copiar" copies them and velmora-calc prints them.
//
// Every line of a mark starts with it: "✓" right, "✗" wrong (a line for
// each wrong cell), "?" not read; the form of the last matrix with "→".
// The working reads such lines as marks and passes over them.
#pragma once

#include <string>
#include <vector>

#include "core/check/checker.h"

namespace velmora {

// "✓ F2 ← F2 - 3F1", "✗ fila 2, columna 3: es 7, no 5", ...
std::vector<std::string> StepMarkLines(const WorkingCheck& check, const CheckedStep& step);
std::vector<std::string> ClaimMarkLines(const CheckedClaim& claim);
// Where a step or a line of conclusions stands and what it is: "línea 3:
// F2 ← F2 - 3F1" (the operation as the program writes it), "líneas 5 a 7:
// matriz", "línea 9: rango = 2".
std::string StepHeading(const WorkingCheck& check, const CheckedStep& step);
std::string PartHeading(const WorkingPart& part);
// "→ La última matriz es escalonada (forma triangular)."
std::string FormLine(const MatrixForm& form);

// The working as typed, the marks of each step and conclusion after its
// last line, and at the end the form of the last matrix. `stopAtWrong`:
// nothing after the marks of the first wrong step or conclusion (and no
// form line when there is one).
std::string MarkedWorkingText(const WorkingCheck& check, std::string_view working,
                              bool stopAtWrong = false);

// What cannot be read, with its lines: "línea 3: no se entiende la
// operación «F2 ← F2 -»: ...".
std::string UnreadText(const WorkingPart& part);

}  // namespace velmora
