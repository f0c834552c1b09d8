#include "platform/foundation/ns_url.h"

#include <cctype>
#include <string_view>

namespace platform {

namespace {

bool isAlpha(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
bool isHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Unreserved and reserved characters of an address; anything else must be percent-encoded.
bool isAddressCharacter(char c) {
    static constexpr std::string_view kOthers = "-._~:/?#[]@!$&'()*+,;=";
    return isAlpha(c) || isDigit(c) || kOthers.find(c) != std::string_view::npos;
}

bool isSchemeCharacter(char c) {
    return isAlpha(c) || isDigit(c) || c == '+' || c == '-' || c == '.';
}

// The scheme ends at the first colon that comes before any slash, question mark or hash.
std::string_view schemePart(std::string_view text) {
    const auto end = text.find_first_of(":/?#");
    return end != std::string_view::npos && text[end] == ':' ? text.substr(0, end) : std::string_view{};
}

bool isAddress(std::string_view text) {
    if (text.empty()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%') {
            if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])) return false;
            i += 2;
        } else if (!isAddressCharacter(text[i])) {
            return false;
        }
    }
    if (text.front() == ':') return false;
    const auto scheme = schemePart(text);
    if (scheme.empty()) return true;
    if (!isAlpha(scheme.front())) return false;
    for (char c : scheme) {
        if (!isSchemeCharacter(c)) return false;
    }
    return true;
}

}  // namespace

std::optional<NSURL> NSURL::URLWithString(const std::string& text) {
    if (!isAddress(text)) return std::nullopt;
    return NSURL(text);
}

std::string NSURL::scheme() const {
    std::string scheme(schemePart(text_));
    for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return scheme;
}

}  // namespace platform
