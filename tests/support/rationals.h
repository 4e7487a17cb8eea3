// A rational of the tests, written as text: "-1/2", "2147483648".
#pragma once

#include <gmpxx.h>

namespace velmora::test {

inline mpq_class Q(const char* text) {
    mpq_class q(text);
    q.canonicalize();
    return q;
}

}  // namespace velmora::test
