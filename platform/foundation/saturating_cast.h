#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace platform {

// A double truncated toward zero into 64 bits: out-of-range values take the nearest limit and NaN is
// 0, where a plain cast would be undefined.
inline std::int64_t truncatedSaturating(double number) {
    constexpr double kTwoToThe63 = 9223372036854775808.0;
    if (std::isnan(number)) return 0;
    if (number >= kTwoToThe63) return std::numeric_limits<std::int64_t>::max();
    if (number <= -kTwoToThe63) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(number);
}

// a + b, held at the nearest limit where it would overflow.
inline std::int64_t addSaturating(std::int64_t a, std::int64_t b) {
    std::int64_t sum;
    if (!__builtin_add_overflow(a, b, &sum)) return sum;
    return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

}  // namespace platform
