// Small text functions shared by the evaluator, the windows and the files.
// Text inside the program is UTF-8; positions and lengths count bytes unless a
// function says it counts characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// a..z and the accented letters àáçèéíïñòóúü become capitals; everything else
// (other accented letters included) is copied unchanged.
std::string UpperCaseLatin(std::string_view s);
// A reason as a box writes it: a sentence with its first letter a capital
// and a full stop at the end ("la letra M no tiene matriz" -> "La letra M no
// tiene matriz.").
std::string Sentence(std::string_view reason);
// Only the space (0x20) is trimmed; tabs stay.
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string Trim(std::string_view s);
std::string IntToText(int64_t n);

// Blanks are the space and the tab: the white space inside a line. A line
// break is not a blank.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
// True when s holds nothing but blanks (or nothing at all).
bool IsBlank(std::string_view s);
// s without the blanks at either end.
std::string_view TrimBlanks(std::string_view s);
// True when s holds nothing but blanks and line breaks (CR, LF): a text of
// blank lines, or none.
bool IsBlankLines(std::string_view s);

// A term of a sum, its sign apart: "2λ" negative for "- 2λ".
struct SignedTerm {
    bool negative = false;
    std::string body;  // "2λ", "(1/2)μ", "3", "a^2"
};
// The terms joined as a sum is written: a negative first term starts with
// "-", the others follow with " + " or " - "; no term at all is "0".
std::string JoinTerms(const std::vector<SignedTerm>& terms);
// 1-based position of the last occurrence of c in s; 0 when absent.
std::size_t LastCharPos(char c, std::string_view s);
// The text inside the first top-level pair of parentheses, nested ones kept;
// empty when there is no complete group.
std::string FirstParenGroup(std::string_view s);
// The pieces of s between the occurrences of `mark`, empty ones included
// ("a;;b" at ";" is "a", "", "b").
std::vector<std::string_view> SplitAt(std::string_view s, std::string_view mark);
// The lines of a text, each ended by LF, CR LF or CR (a text that ends with
// a line break has an empty last line).
std::vector<std::string_view> TextLines(std::string_view s);

// Number of characters of a UTF-8 text.
std::size_t Utf8Length(std::string_view s);
// The first n characters of a UTF-8 text.
std::string Utf8Left(std::string_view s, std::size_t n);

}  // namespace velmora
