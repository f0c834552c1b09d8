#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/graphics/damage_region.h"
#include "shell/device_viewport.h"

typedef struct _cairo_surface cairo_surface_t;

namespace platform {
class CGImage;
}

namespace quorvel::shell {

// The desktop window and what shows its pixels. Frames are drawn by the caller at the window's real
// output size (outputSize(), more pixels than units on a high-density display) and handed over whole.
class DesktopWindow {
public:
    // Before SDL's video starts: how it should show frames and handle the desktop's errors.
    static void prepareVideo();
    // Opens a window of `size` desktop units; none, with the reason in `error`, when the desktop
    // refuses. SDL's video must be initialised.
    static std::unique_ptr<DesktopWindow> open(const std::string& title, CGSize size, std::string& error);
    ~DesktopWindow();
    DesktopWindow(const DesktopWindow&) = delete;
    DesktopWindow& operator=(const DesktopWindow&) = delete;

    Uint32 id() const { return SDL_GetWindowID(window_); }
    // In desktop units.
    CGSize size() const;
    // In pixels.
    CGSize outputSize() const;
    // The display the window is on, for desktopSize().
    int display() const;
    // The usable part of a display of the desktop; zero when unknown.
    static CGSize desktopSize(int display);
    bool isMinimized() const { return SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED; }

    void resize(CGSize size);
    void setTitle(const std::string& title);
    void setIcon(const platform::CGImage& image);
    // Leaves the screensaver to the desktop, or keeps it off while `inhibit`.
    void inhibitScreensaver(bool inhibit);

    // Shows `frame`, an ARGB32 Cairo image surface of outputSize() pixels, of which only the pixels
    // of `changed` differ from the frame shown before (all of them the first time or after a resize).
    void present(cairo_surface_t* frame, const platform::DamageRegion& changed);
    // Shows the last frame again (the desktop lost the window's pixels).
    void presentAgain();

private:
    DesktopWindow(SDL_Window* window, SDL_Renderer* renderer) : window_(window), renderer_(renderer) {}

    SDL_Window* window_;
    SDL_Renderer* renderer_;
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0, textureHeight_ = 0;
};

}  // namespace quorvel::shell
