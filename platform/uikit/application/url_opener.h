#pragma once

#include <string>

namespace platform {

// Hands a link to whatever the desktop opens it with. The application uses the desktop's by default;
// tests put in one that records.
class URLOpener {
public:
    virtual ~URLOpener() = default;

    // Whether something on this desktop would take a link with the scheme ("https", "mailto").
    virtual bool canOpenScheme(const std::string& scheme) const = 0;
    // Starts opening the link; false when that could not even start.
    virtual bool openURL(const std::string& url) = 0;
};

}  // namespace platform
