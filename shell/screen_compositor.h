#pragma once

#include <filesystem>

#include "shell/device_viewport.h"

typedef struct _cairo_surface cairo_surface_t;

namespace quorvel::shell {

// Draws the emulated screen as the desktop window shows it: a border around the screen, the screen
// black where no window covers it, and every shown window at its place on the screen, the lowest
// level first, drawn by the layer renderer straight at the output's pixel size. Main thread.
class ScreenCompositor {
public:
    ScreenCompositor() = default;
    ~ScreenCompositor();
    ScreenCompositor(const ScreenCompositor&) = delete;
    ScreenCompositor& operator=(const ScreenCompositor&) = delete;

    // A new frame of the viewport's output size; it stays valid until the next one.
    cairo_surface_t* draw(const DeviceViewport& viewport);
    unsigned frameCount() const { return frameCount_; }
    // The screen's part of the last frame, as a PNG; false when there is none or it cannot be written.
    bool writeScreenshot(const std::filesystem::path& path) const;

private:
    cairo_surface_t* frame_ = nullptr;
    CGRect screenInFrame_;
    unsigned frameCount_ = 0;
};

}  // namespace quorvel::shell
