#include "shell/shell_trace.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace quorvel::shell {

bool ShellTrace::enabled() {
    static const bool on = [] {
        const char* value = std::getenv("QUORVEL_TRACE");
        return value && std::string_view(value) == "1";
    }();
    return on;
}

void ShellTrace::line(const std::string& text) {
    if (!enabled()) return;
    std::fputs(("quorvel: " + text + "\n").c_str(), stdout);
    std::fflush(stdout);  // a test reads it through a pipe while the program runs
}

}  // namespace quorvel::shell
