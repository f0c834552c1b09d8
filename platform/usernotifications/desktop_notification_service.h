#pragma once

#include <filesystem>
#include <string>

namespace platform {

// The desktop's notification service, reached through libnotify over the session bus. Showing waits
// for the service's answer: call it off the main thread.
class DesktopNotificationService {
public:
    struct Sound {
        bool enabled = false;
        // A sound file to play; empty: the desktop's own message sound.
        std::filesystem::path file;
    };

    // False, with the reason, when no service answers (no session bus, no notification daemon).
    static bool show(const std::string& title, const std::string& body, const Sound& sound,
                     std::string* error);
};

}  // namespace platform
