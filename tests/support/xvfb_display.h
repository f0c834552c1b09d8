#pragma once

#include <sys/types.h>

#include <string>

namespace quorvel::testing {

// A virtual X server of its own for one test: Xvfb on the first free display number, stopped again at
// the end. Tests of the real window run on it, so they neither need nor disturb a desktop.
class XvfbDisplay {
public:
    // Whether Xvfb is installed (the setup script installs it).
    static bool available();

    explicit XvfbDisplay(int width = 1280, int height = 1024);
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    bool started() const { return !name_.empty(); }
    // ":N", for DISPLAY; empty when the server did not start.
    const std::string& name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

}  // namespace quorvel::testing
