#include "shell/desktop_connection.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "shell/error_output_capture.h"

namespace quorvel::shell {

namespace {

constexpr auto kPatience = std::chrono::seconds(2);
constexpr auto kPause = std::chrono::milliseconds(100);
// Enough of what a library said for a person to see why; the rest would not fit a line.
constexpr std::size_t kReasonLength = 300;

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// What the libraries said on the last attempt, as the end of one line.
std::string asOneLine(const std::string& said) {
    std::string line;
    bool brokenLine = false;
    for (const char c : said) {
        if (c == '\n' || c == '\r') {
            brokenLine = !line.empty();
            continue;
        }
        if (brokenLine) line += "; ";
        brokenLine = false;
        line += c;
    }
    if (line.size() > kReasonLength) line = line.substr(0, kReasonLength) + "…";
    return line;
}

}  // namespace

std::string DesktopConnection::drivers() {
    if (auto named = variable("SDL_VIDEODRIVER"); !named.empty()) return named;
    std::string list;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string driver = SDL_GetVideoDriver(i);
        const bool pointedAt = (driver == "x11" && !variable("DISPLAY").empty()) ||
                               (driver == "wayland" && !variable("WAYLAND_DISPLAY").empty());
        if (pointedAt) list += (list.empty() ? "" : ",") + driver;
    }
    return list;
}

std::string DesktopConnection::displayName() {
    std::string names;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const std::string display = variable(name);
        if (!display.empty()) names += (names.empty() ? "" : " or ") + display;
    }
    return names.empty() ? "(none named)" : names;
}

bool DesktopConnection::start(std::string& problem) {
    const std::string list = drivers();
    if (list.empty()) {
        problem = "no desktop to open a window on (DISPLAY is not set)";
        return false;
    }
    // Above the environment too: SDL takes an empty SDL_VIDEODRIVER for none named, and falls back.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, list.c_str(), SDL_HINT_OVERRIDE);
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    std::string said;
    for (;;) {
        ErrorOutputCapture capture;
        const bool started = SDL_Init(SDL_INIT_VIDEO) == 0;
        said = capture.finish();
        if (started) {
            // Only a refused attempt's words are held back for good.
            std::fputs(said.c_str(), stderr);
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(kPause);
    }
    problem = "cannot open a window on display " + displayName() + " (tried " + list + " for " +
              std::to_string(kPatience.count()) + " seconds)";
    // What the libraries printed says most; without it, SDL's own last word.
    std::string reason = asOneLine(said);
    if (reason.empty()) reason = SDL_GetError();
    if (!reason.empty()) problem += ": " + reason;
    return false;
}

}  // namespace quorvel::shell
