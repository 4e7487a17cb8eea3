// The wording of A^n in closed form (power_form.h): the document the
// velmora-calc pow n command prints, each line in words and in LaTeX.
#pragma once

#include <string>
#include <vector>

#include "core/matrix/power_form.h"
#include "core/matrix/steps.h"

namespace velmora {

// An entry of A^n: "2^n", "n·2^(n-1)", "(n^2 - n)/2", "(3/2)·3^n - (1/2)·(-1)^n",
// "0"; in LaTeX "n \cdot 2^{n-1}", "\frac{n^{2} - n}{2}".
std::string PowerEntryText(const PowerEntry& entry);
std::string PowerEntryLatex(const PowerEntry& entry);

// The pattern, the matrices that show it, A^n and its proof; or why no
// closed form is given.
std::vector<Step> PowerDocument(const PowerForm& form);

// The same, then the form read at one exponent (value = PowerAt(form, n)):
// "2016 = 3·672 + 0, luego A^2016 = A^0 =", "n = 2016: A^2016 =".
std::vector<Step> PowerValueDocument(const PowerForm& form, unsigned n,
                                     const RationalRows& value);

}  // namespace velmora
