// What the soak types: numbers as users write them, and everything else.
#pragma once

#include <string>

#include "soak.h"

namespace velmora::soak {

// A cell, factor or exponent: integers, fractions, blanks around them,
// "$" and "%" forms, numbers at and past the 32-bit limits, a zero
// denominator, polynomials in a, junk, blanks, nothing. Short: fit to be typed key by key.
std::string NumberText(Rng& rng);
// A text for a paste: anything NumberText gives, or a long block (numbers,
// junk, line breaks, characters outside the Basic Multilingual Plane), up to
// some tens of thousands of characters.
std::string PasteText(Rng& rng);
// An expression over the letters J..W: mostly well formed, some not, some
// with letters that name no matrix, a few longer than the box takes.
std::string ExpressionText(Rng& rng);
// A comment of the system list: empty, short, accented, past 64 characters,
// with characters no .sts file can hold.
std::string CommentText(Rng& rng);
// A field of a utility. Never names a program that could start: no "/",
// no ".exe", no existing executable; files are scratch files or nothing.
std::string UtilityFieldText(Rng& rng, int field);
// Bytes for a scratch file that is meant to be junk.
std::string JunkBytes(Rng& rng);

}  // namespace velmora::soak
