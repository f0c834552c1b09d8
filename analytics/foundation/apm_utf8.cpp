#include "analytics/foundation/apm_utf8.h"

namespace analytics {

bool APMIsUTF8(std::string_view text) {
    return APMForEachCodePoint(text, [](char32_t) { return true; });
}

}  // namespace analytics
