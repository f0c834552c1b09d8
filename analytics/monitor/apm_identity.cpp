#include "analytics/monitor/apm_identity.h"

#include <charconv>
#include <cstdlib>

#include "platform/foundation/ns_bundle.h"

namespace analytics {

std::int64_t APMIdentity::libraryVersionFromText(const std::string& text) {
    if (text.size() < 4) return 0;
    const std::string head = text.substr(0, text.size() - 3);
    std::int64_t version = 0;
    const auto [end, error] = std::from_chars(head.data(), head.data() + head.size(), version);
    return error == std::errc() && end == head.data() + head.size() ? version : 0;
}

std::int64_t APMIdentity::rovUriduzuvareLibraryVersion() {
    static const std::int64_t version = libraryVersionFromText(kLibraryVersionText);
    return version;
}

bool APMIdentity::isFromAppStore() {
    const char* value = std::getenv("QUORVEL_STORE_INSTALLATION");
    if (!value) return false;
    const std::string text(value);
    return text == "1" || text == "YES" || text == "yes" || text == "true";
}

std::optional<std::string> APMIdentity::appVersion() const {
    const auto& info = platform::NSBundle::mainBundle()->infoDictionary();
    const auto version = info.find("CFBundleShortVersionString");
    if (version == info.end() || !version->second.stringValue() || version->second.stringValue()->empty())
        return std::nullopt;
    return *version->second.stringValue();
}

}  // namespace analytics
