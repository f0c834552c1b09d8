#include "platform/messageui/mailto_url.h"

namespace platform {
namespace {

// Lone LFs and CRs become CR LF; a CR LF stays one.
std::string withCRLF(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::string MailtoURL::percentEncode(const std::string& text, std::string_view alsoKept) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        const bool letterOrDigit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (letterOrDigit || std::string_view("-._~").find(static_cast<char>(c)) != std::string_view::npos ||
            alsoKept.find(static_cast<char>(c)) != std::string_view::npos) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

std::string MailtoURL::make(const std::vector<std::string>& recipients, const std::string& subject,
                            const std::string& body) {
    std::string url = "mailto:";
    for (std::size_t i = 0; i < recipients.size(); ++i) {
        if (i > 0) url += ',';
        // "@" may stand as it is in an address; a "," or "?" inside one is encoded.
        url += percentEncode(recipients[i], "@");
    }
    char separator = '?';
    const auto field = [&](const char* name, const std::string& value) {
        if (value.empty()) return;
        url += separator;
        url += name;
        url += '=';
        url += percentEncode(value);
        separator = '&';
    };
    field("subject", subject);
    field("body", withCRLF(body));
    return url;
}

}  // namespace platform
