#include "shell/screen_compositor.h"

#include <cairo.h>

#include "platform/quartzcore/ca_media_time.h"
#include "platform/uikit/application/ui_window.h"

namespace quorvel::shell {

namespace {

constexpr double kBorderGray = 0.12;

}  // namespace

const platform::DamageRegion& ScreenCompositor::draw(const DeviceViewport& viewport) {
    const CGRect screen = viewport.screenInOutput();
    if (!buffer_ || !(viewport.output() == output_) || !(screen == screenInFrame_) ||
        viewport.pixelsPerPoint() != pixelsPerPoint_) {
        output_ = viewport.output();
        screenInFrame_ = screen;
        pixelsPerPoint_ = viewport.pixelsPerPoint();
        const auto toPixels = platform::CGAffineTransform::makeScale(pixelsPerPoint_, pixelsPerPoint_)
                                  .concat(platform::CGAffineTransform::makeTranslation(screen.origin.x,
                                                                                       screen.origin.y));
        buffer_ = std::make_unique<platform::LayerBackBuffer>(
            int(output_.width), int(output_.height), toPixels, [screen](cairo_t* cr) {
                cairo_set_source_rgb(cr, kBorderGray, kBorderGray, kBorderGray);
                cairo_paint(cr);
                cairo_rectangle(cr, screen.origin.x, screen.origin.y, screen.size.width, screen.size.height);
                cairo_set_source_rgb(cr, 0, 0, 0);
                cairo_fill(cr);
            },
            screen);
    }
    std::vector<platform::LayerBackBuffer::Placement> windows;
    for (const auto& window : platform::UIWindow::windows()) {
        if (window->isHidden()) continue;
        window->layoutIfNeeded();
        windows.push_back({window->layer(), window->frame().origin});
    }
    const auto& damage = buffer_->draw(windows, platform::CACurrentMediaTime());
    if (!damage.isEmpty()) ++frameCount_;
    return damage;
}

bool ScreenCompositor::writeScreenshot(const std::filesystem::path& path) const {
    if (!frame() || screenInFrame_.size.width < 1 || screenInFrame_.size.height < 1) return false;
    cairo_surface_t* shot = cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(screenInFrame_.size.width),
                                                       int(screenInFrame_.size.height));
    cairo_t* cr = cairo_create(shot);
    cairo_set_source_surface(cr, frame(), -screenInFrame_.origin.x, -screenInFrame_.origin.y);
    cairo_paint(cr);
    cairo_destroy(cr);
    const bool written = cairo_surface_write_to_png(shot, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(shot);
    return written;
}

}  // namespace quorvel::shell
