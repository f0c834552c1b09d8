#pragma once

#include <string>

namespace quorvel::shell {

// SDL's video on the desktop, or one line saying why not. Only a driver that shows a window on the
// desktop is used unless SDL_VIDEODRIVER names another: SDL's own fallback would draw into memory
// nobody sees, and the program would keep its data folder locked against the start that can show it.
class DesktopConnection {
public:
    // The drivers to try, in the form of SDL_VIDEODRIVER: the ones it names, else the desktop's own that
    // DISPLAY and WAYLAND_DISPLAY point at, in SDL's order of preference; empty without a desktop.
    static std::string drivers();
    // The displays the environment names, for a person: ":0", "wayland-0", ":0 or wayland-0".
    static std::string displayName();

    // Starts SDL's video through drivers(), again and again for up to two seconds while the desktop
    // refuses (a server that is busy or still starting). False, with one line in `problem`, otherwise.
    static bool start(std::string& problem);
};

}  // namespace quorvel::shell
