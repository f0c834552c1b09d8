#pragma once

#include <string>
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
};

}  // namespace platform
