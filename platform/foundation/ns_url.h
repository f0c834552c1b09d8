#pragma once

#include <optional>
#include <string>

namespace platform {

// A web address. Made only from text that forms one: characters an address may hold (a percent sign
// only before two hexadecimal digits) and, when a scheme is given, a scheme that starts with a letter.
class NSURL {
public:
    static std::optional<NSURL> URLWithString(const std::string& text);

    const std::string& absoluteString() const { return text_; }
    // Lower-cased; empty for a relative address.
    std::string scheme() const;

private:
    explicit NSURL(std::string text) : text_(std::move(text)) {}

    std::string text_;
};

}  // namespace platform
