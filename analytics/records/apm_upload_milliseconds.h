#pragma once

#include <cstdint>

#include "platform/foundation/saturating_cast.h"

namespace analytics {

// Upload messages carry times as signed 64-bit milliseconds, truncated toward zero; a time too large for
// them saturates instead of overflowing.
inline std::int64_t APMUploadMilliseconds(double seconds) {
    return platform::truncatedSaturating(seconds * 1000);
}

}  // namespace analytics
