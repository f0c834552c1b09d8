#include "shell/screen_compositor.h"

#include <cairo.h>

#include <algorithm>

#include "platform/graphics/layer_renderer.h"
#include "platform/quartzcore/ca_media_time.h"
#include "platform/uikit/ui_window.h"

namespace quorvel::shell {

namespace {

constexpr double kBorderGray = 0.12;

}  // namespace

ScreenCompositor::~ScreenCompositor() {
    if (frame_) cairo_surface_destroy(frame_);
}

cairo_surface_t* ScreenCompositor::draw(const DeviceViewport& viewport) {
    const int w = static_cast<int>(viewport.output().width), h = static_cast<int>(viewport.output().height);
    if (!frame_ || cairo_image_surface_get_width(frame_) != w ||
        cairo_image_surface_get_height(frame_) != h) {
        if (frame_) cairo_surface_destroy(frame_);
        frame_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(w, 1), std::max(h, 1));
    }
    const CGRect screen = viewport.screenInOutput();
    screenInFrame_ = screen;
    cairo_t* cr = cairo_create(frame_);
    cairo_set_source_rgb(cr, kBorderGray, kBorderGray, kBorderGray);
    cairo_paint(cr);
    cairo_rectangle(cr, screen.origin.x, screen.origin.y, screen.size.width, screen.size.height);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_translate(cr, screen.origin.x, screen.origin.y);
    cairo_scale(cr, viewport.pixelsPerPoint(), viewport.pixelsPerPoint());
    const double now = platform::CACurrentMediaTime();
    for (const auto& window : platform::UIWindow::windows()) {
        if (window->isHidden()) continue;
        window->layoutIfNeeded();
        const CGPoint origin = window->frame().origin;
        cairo_save(cr);
        cairo_translate(cr, origin.x, origin.y);
        platform::LayerRenderer::render(*window->layer(), cr, now);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(frame_);
    ++frameCount_;
    return frame_;
}

bool ScreenCompositor::writeScreenshot(const std::filesystem::path& path) const {
    if (!frame_ || screenInFrame_.size.width < 1 || screenInFrame_.size.height < 1) return false;
    cairo_surface_t* shot = cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(screenInFrame_.size.width),
                                                       int(screenInFrame_.size.height));
    cairo_t* cr = cairo_create(shot);
    cairo_set_source_surface(cr, frame_, -screenInFrame_.origin.x, -screenInFrame_.origin.y);
    cairo_paint(cr);
    cairo_destroy(cr);
    const bool written = cairo_surface_write_to_png(shot, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(shot);
    return written;
}

}  // namespace quorvel::shell
