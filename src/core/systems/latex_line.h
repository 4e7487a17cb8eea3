// A line of the program's own text (a verdict, a solution, a case of a
// discussion) as LaTeX, for math mode: the words as text, the mathematics as
// mathematics.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// "Para a ≠ -2: rango A = 3 => sistema COMPATIBLE  (S.C.D.)" becomes
// "\text{Para } a \neq -2\text{: rango } A = 3 \Rightarrow \text{ sistema
// COMPATIBLE} \quad \text{(S.C.D.)}". Words of two letters or more, the
// punctuation after them, a number between words and a parenthesis that
// holds a word are text; a letter alone (x, a, A, λ...) and numbers are
// mathematics. In it "p/q" is \frac{p}{q} (the parentheses that only kept
// a side together go: "(a - 1)/(a + 2)", "(1/2)λ"), "a^2" is a^{2}, the
// parameters are \lambda, \mu, \nu, \xi, "≠" and "<>" \neq, "=>"
// \Rightarrow, "±" \pm, "√13" \sqrt{13}. A run of blanks is \quad, the blanks
// at either end go. LaTeX's own characters are escaped.
std::string LineLatex(std::string_view line);

}  // namespace velmora
