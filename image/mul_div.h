// MulDiv as Windows computes it: a * b / c through 64 bits, rounded half
// away from zero; -1 when c is 0 or the result does not fit an int.
#pragma once

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace quillon {

inline int mulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t product = int64_t(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const uint64_t magnitude = uint64_t(product < 0 ? -product : product);
    const uint64_t divisor = uint64_t(std::llabs(int64_t(c)));
    const uint64_t quotient = (magnitude + divisor / 2) / divisor;
    if (quotient > uint64_t(INT_MAX)) return -1;
    return negative ? -int(quotient) : int(quotient);
}

}  // namespace quillon
