#pragma once

#include <filesystem>
#include <memory>

#include "platform/graphics/layer_back_buffer.h"
#include "shell/device_viewport.h"

typedef struct _cairo_surface cairo_surface_t;

namespace quorvel::shell {

// Draws the emulated screen as the desktop window shows it: a border around the screen, the screen
// black where no window covers it, and every shown window at its place on the screen, the lowest
// level first, drawn by the layer renderer straight at the output's pixel size. The frame keeps its
// pixels: each draw repaints only what changed since the last one. Main thread.
class ScreenCompositor {
public:
    // Brings the frame up to date for the viewport and returns the pixels repainted: empty when nothing
    // changed (a new viewport repaints everything).
    const platform::DamageRegion& draw(const DeviceViewport& viewport);
    // The frame of the last draw, of the viewport's output size; null before the first.
    cairo_surface_t* frame() const { return buffer_ ? buffer_->surface() : nullptr; }
    // Draws that repainted something.
    unsigned frameCount() const { return frameCount_; }
    // The screen's part of the last frame, as a PNG; false when there is none or it cannot be written.
    bool writeScreenshot(const std::filesystem::path& path) const;

private:
    std::unique_ptr<platform::LayerBackBuffer> buffer_;
    CGSize output_;
    CGRect screenInFrame_;
    CGFloat pixelsPerPoint_ = 0;
    unsigned frameCount_ = 0;
};

}  // namespace quorvel::shell
