// Any text through Fraction::Parse and ReadNumber; what reads back as a
// fraction must survive normal form, its own text and the four operations,
// and the two readings must agree.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/arith/fraction.h"
#include "fuzz_check.h"

using velmora::Fraction;
using velmora::NumberReading;

namespace {

// ReadNumber: normal form on Ok, the fraction untouched otherwise, blanks
// around the text change nothing, and whatever Parse reads (without a zero
// denominator, with a normal form) ReadNumber reads the same.
void CheckReadNumber(std::string_view text) {
    Fraction f(5, 9);
    const NumberReading r = velmora::ReadNumber(text, f);
    if (r != NumberReading::Ok) {
        FUZZ_CHECK(f == Fraction(5, 9));
    } else {
        FUZZ_CHECK(f.IsNormal());
        Fraction back;
        FUZZ_CHECK(velmora::ReadNumber(f.ToText(), back) == NumberReading::Ok && back == f);
    }
    Fraction padded;
    FUZZ_CHECK(velmora::ReadNumber(" \t" + std::string(text) + "\t ", padded) == r);
    if (r == NumberReading::Ok) FUZZ_CHECK(padded == f);

    Fraction parsed;
    if (!parsed.Parse(text) || parsed.HasZeroDenominator()) return;
    try {
        parsed.Normalize();
    } catch (const velmora::ArithmeticOverflow&) {
        FUZZ_CHECK(r == NumberReading::OutOfRange);
        return;
    }
    FUZZ_CHECK(r == NumberReading::Ok && f == parsed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckReadNumber(text);
    Fraction f(5, 9);
    if (!f.Parse(text) || f.HasZeroDenominator()) return 0;
    try {
        f.Normalize();
    } catch (const velmora::ArithmeticOverflow&) {
        return 0;  // such as 1/-2147483648
    }
    FUZZ_CHECK(f.IsNormal());
    Fraction back;
    FUZZ_CHECK(back.Parse(f.ToText()));
    back.Normalize();
    FUZZ_CHECK(back == f);
    const Fraction others[] = {Fraction(1), Fraction(-1), Fraction(2147483647), Fraction(3, 7), f};
    for (const Fraction& g : others) {
        Fraction r;
        try {
            velmora::FracAdd(f, g, r);
            FUZZ_CHECK(r.IsNormal());
            velmora::FracSub(r, g, r);
            FUZZ_CHECK(r == f);  // (f + g) - g
        } catch (const velmora::ArithmeticOverflow&) {
        }
        if (g.IsZero()) continue;
        try {
            velmora::FracMul(f, g, r);
            FUZZ_CHECK(r.IsNormal());
            velmora::FracDiv(r, g, r);
            FUZZ_CHECK(r == f);  // (f * g) / g, g != 0
        } catch (const velmora::ArithmeticOverflow&) {
        }
    }
    return 0;
}
