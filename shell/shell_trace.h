#pragma once

#include <string>

namespace quorvel::shell {

// One line on standard output for each thing the shell does that a test of the running program waits
// for: frames, touches, life-cycle steps, window changes, the end of each sync. Only with
// QUORVEL_TRACE=1 in the environment; screenshots are always reported.
class ShellTrace {
public:
    static bool enabled();
    static void line(const std::string& text);
};

}  // namespace quorvel::shell
