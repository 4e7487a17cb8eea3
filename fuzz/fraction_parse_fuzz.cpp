// Any text through Fraction::Parse; what reads back as a fraction must
// survive normal form, its own text and the four operations.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "arith/fraction.h"
#include "fuzz_check.h"

using velmora::Fraction;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
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
