#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/uikit/application/url_opener.h"

namespace quorvel::testing {

// Takes links instead of the desktop: keeps every one it is handed, and handles the schemes it is told.
class RecordingURLOpener : public platform::URLOpener {
public:
    explicit RecordingURLOpener(std::set<std::string> schemes = {"http", "https", "mailto"})
        : schemes_(std::move(schemes)) {}

    bool canOpenScheme(const std::string& scheme) const override { return schemes_.contains(scheme); }
    bool openURL(const std::string& url) override {
        opened.push_back(url);
        return answers;
    }

    std::vector<std::string> opened;
    // False: the desktop has no program that answers, as when no browser is installed.
    bool answers = true;

private:
    std::set<std::string> schemes_;
};

}  // namespace quorvel::testing
