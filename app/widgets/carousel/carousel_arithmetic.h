#pragma once

#include <cmath>

#include "platform/foundation/saturating_cast.h"

namespace quorvel::carousel_arithmetic {

// The carousel's formulas take some steps in single precision; these are the places they do.
inline double single(double x) {
    return double(float(x));
}

// A division by zero (a zero item width, bounce distance, fade range or item count) gives the neutral
// value 0 instead of an infinity or a NaN that would spread to every offset.
inline double quotient(double dividend, double divisor) {
    return divisor == 0 ? 0 : dividend / divisor;
}

// Towards zero; out-of-range values saturate and NaN is 0.
inline long truncated(double x) {
    return long(platform::truncatedSaturating(x));
}

// To the nearest integer in single precision, halves away from zero.
inline long rounded(double x) {
    return truncated(std::roundf(float(x)));
}

inline double clampedToUnit(double x) {
    return double(std::fmax(-1.0f, std::fmin(1.0f, float(x))));
}

}  // namespace quorvel::carousel_arithmetic
