#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace quorvel::testing {

// Plays the user at an X server: finds a program's window, clicks and types into it through the X
// test extension (as real input, through the server), asks it to close as a window manager would,
// moves the focus, and reads back the pixels it shows.
class DesktopUser {
public:
    using Window = unsigned long;
    struct Rgb {
        int red = 0, green = 0, blue = 0;
        bool operator==(const Rgb&) const = default;
    };
    struct Size {
        int width = 0, height = 0;
    };

    explicit DesktopUser(const std::string& display);
    ~DesktopUser();
    DesktopUser(const DesktopUser&) = delete;
    DesktopUser& operator=(const DesktopUser&) = delete;

    bool connected() const { return display_ != nullptr; }

    // The shown top-level window of the process, once there is one.
    std::optional<Window> waitForWindow(pid_t pid, std::chrono::duration<double> timeout);
    Size size(Window window) const;
    std::string title(Window window) const;

    // The left button pressed and released at a position inside the window.
    void click(Window window, int x, int y);
    // The left button pressed at one position, moved to another in even steps a sixtieth of a second
    // apart over `seconds`, and released there.
    void drag(Window window, int fromX, int fromY, int toX, int toY, double seconds);
    // The parts of a drag, for a finger that rests between moves: the left button pressed at a
    // position, the pointer moved there while it is held, and the button released where it is.
    void press(Window window, int x, int y);
    void moveTo(Window window, int x, int y);
    void release();
    // A key pressed and released while the window has the focus; `keysym` is an X key name such as
    // "F12" or "s". Several keys are a chord: pressed in order, released the other way round.
    void pressKey(Window window, const std::string& keysym) { pressKeys(window, {keysym}); }
    void pressKeys(Window window, const std::vector<std::string>& keysyms);
    void focus(Window window);
    // The focus goes to no window at all.
    void unfocus();
    // The window manager's close button: a WM_DELETE_WINDOW message.
    void requestClose(Window window);
    // What a window manager tells a window it minimised or restored: the hidden state in
    // _NET_WM_STATE.
    void minimize(Window window);
    void restore(Window window);

    Rgb pixel(Window window, int x, int y) const;

private:
    Display* display_ = nullptr;
};

}  // namespace quorvel::testing
