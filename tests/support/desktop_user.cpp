#include "tests/support/desktop_user.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace quorvel::testing {

namespace {

std::optional<pid_t> windowPid(Display* display, Window window) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (pidAtom == None) return std::nullopt;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::optional<pid_t> pid;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && count == 1) {
        pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data) XFree(data);
    return pid;
}

bool viewable(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

}  // namespace

DesktopUser::DesktopUser(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}

DesktopUser::~DesktopUser() {
    if (display_) XCloseDisplay(display_);
}

std::optional<DesktopUser::Window> DesktopUser::waitForWindow(pid_t pid,
                                                              std::chrono::duration<double> timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (display_ && std::chrono::steady_clock::now() < deadline) {
        ::Window root, parent, *children = nullptr;
        unsigned count = 0;
        std::optional<Window> found;
        if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count && !found; ++i) {
                if (windowPid(display_, children[i]) == pid && viewable(display_, children[i]))
                    found = children[i];
            }
            if (children) XFree(children);
        }
        if (found) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

DesktopUser::Size DesktopUser::size(Window window) const {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes)) return {};
    return {attributes.width, attributes.height};
}

std::string DesktopUser::title(Window window) const {
    char* name = nullptr;
    std::string title;
    if (XFetchName(display_, window, &name) && name) title = name;
    if (name) XFree(name);
    return title;
}

void DesktopUser::click(Window window, int x, int y) {
    press(window, x, y);
    release();
}

void DesktopUser::drag(Window window, int fromX, int fromY, int toX, int toY, double seconds) {
    press(window, fromX, fromY);
    const int steps = std::max(1, static_cast<int>(seconds * 60));
    for (int step = 1; step <= steps; ++step) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds / steps));
        moveTo(window, fromX + (toX - fromX) * step / steps, fromY + (toY - fromY) * step / steps);
    }
    release();
}

void DesktopUser::press(Window window, int x, int y) {
    moveTo(window, x, y);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XSync(display_, False);
}

void DesktopUser::moveTo(Window window, int x, int y) {
    int rootX = 0, rootY = 0;
    ::Window child;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
    XSync(display_, False);
}

void DesktopUser::release() {
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
}

void DesktopUser::pressKeys(Window window, const std::vector<std::string>& keysyms) {
    focus(window);
    std::vector<KeyCode> codes;
    for (const auto& name : keysyms)
        codes.push_back(XKeysymToKeycode(display_, XStringToKeysym(name.c_str())));
    for (const KeyCode code : codes) XTestFakeKeyEvent(display_, code, True, CurrentTime);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it)
        XTestFakeKeyEvent(display_, *it, False, CurrentTime);
    XSync(display_, False);
}

void DesktopUser::focus(Window window) {
    XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
    XSync(display_, False);
}

void DesktopUser::unfocus() {
    XSetInputFocus(display_, None, RevertToNone, CurrentTime);
    XSync(display_, False);
}

void DesktopUser::requestClose(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
}

void DesktopUser::minimize(Window window) {
    Atom hidden = XInternAtom(display_, "_NET_WM_STATE_HIDDEN", False);
    XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_STATE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&hidden), 1);
    XSync(display_, False);
}

void DesktopUser::restore(Window window) {
    XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_STATE", False), XA_ATOM, 32,
                    PropModeReplace, nullptr, 0);
    XSync(display_, False);
}

DesktopUser::Rgb DesktopUser::pixel(Window window, int x, int y) const {
    XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return {-1, -1, -1};
    const unsigned long value = XGetPixel(image, 0, 0);
    const Rgb rgb{int((value & image->red_mask) >> 16), int((value & image->green_mask) >> 8),
                  int(value & image->blue_mask)};
    XDestroyImage(image);
    return rgb;
}

}  // namespace quorvel::testing
