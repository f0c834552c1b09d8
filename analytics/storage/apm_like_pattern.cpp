#include "analytics/storage/apm_like_pattern.h"

namespace analytics {

std::string APMLikeEscaped(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        if (c == '_' || c == '%' || c == '!') escaped += '!';
        escaped += c;
    }
    return escaped;
}

}  // namespace analytics
