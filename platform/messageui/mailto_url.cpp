#include "platform/messageui/mailto_url.h"

#include "platform/foundation/percent_encoding.h"

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
