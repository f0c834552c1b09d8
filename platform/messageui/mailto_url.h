#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A message as a mailto link (RFC 6068): the recipients joined by commas, then "subject" and "body"
// as query fields when they are not empty. Every byte outside the unreserved characters is
// percent-encoded, so a "&", "?" or "#" in a text never cuts the link short, and line breaks in the
// body travel as CR LF.
class MailtoURL {
public:
    static std::string make(const std::vector<std::string>& recipients, const std::string& subject,
                            const std::string& body);
    // Every byte but the letters, digits, "-._~" and those of `alsoKept` as "%XX".
    static std::string percentEncode(const std::string& text, std::string_view alsoKept = {});
};

}  // namespace platform
