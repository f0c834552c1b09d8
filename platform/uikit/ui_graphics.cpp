#include "platform/uikit/ui_graphics.h"

#include <cairo.h>

#include <cmath>
#include <vector>

#include "platform/uikit/ui_image.h"
#include "platform/uikit/ui_screen.h"

namespace platform {

namespace {

// Cairo's limit for one side of an image surface.
constexpr double kMaxPixels = 32767;

struct Entry {
    CGContext* context = nullptr;
    // Set for image contexts, which the stack owns.
    std::unique_ptr<CGContext> owned;
    cairo_surface_t* surface = nullptr;
    CGFloat scale = 1;
};

std::vector<Entry>& stack() {
    static std::vector<Entry> entries;
    return entries;
}

}  // namespace

bool UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale) {
    if (!(scale > 0)) scale = UIScreen::mainScreen().scale();
    const double w = std::ceil(size.width * scale - 1e-9), h = std::ceil(size.height * scale - 1e-9);
    // No pixels, or more than a bitmap can hold (NaN fails both tests): no context.
    if (!(w >= 1 && h >= 1 && w <= kMaxPixels && h <= kMaxPixels)) return false;
    cairo_surface_t* surface = cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32,
                                                          static_cast<int>(w), static_cast<int>(h));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    if (opaque) {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
    }
    cairo_scale(cr, scale, scale);
    Entry entry;
    entry.owned = std::make_unique<CGContext>(cr);
    entry.context = entry.owned.get();
    entry.surface = surface;
    entry.scale = scale;
    stack().push_back(std::move(entry));
    return true;
}

bool UIGraphicsBeginImageContext(CGSize size) {
    return UIGraphicsBeginImageContextWithOptions(size, false, 1);
}

CGContext* UIGraphicsGetCurrentContext() {
    return stack().empty() ? nullptr : stack().back().context;
}

std::shared_ptr<UIImage> UIGraphicsGetImageFromCurrentImageContext() {
    if (stack().empty() || !stack().back().surface) return nullptr;
    const Entry& top = stack().back();
    cairo_surface_flush(top.surface);
    // A copy, so later drawing in the context does not change the image.
    const int w = cairo_image_surface_get_width(top.surface);
    const int h = cairo_image_surface_get_height(top.surface);
    cairo_surface_t* copy = cairo_image_surface_create(cairo_image_surface_get_format(top.surface), w, h);
    cairo_t* cr = cairo_create(copy);
    cairo_set_source_surface(cr, top.surface, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    auto image = std::make_shared<UIImage>(copy, top.scale);
    cairo_surface_destroy(copy);
    return image;
}

void UIGraphicsEndImageContext() {
    if (stack().empty() || !stack().back().surface) return;
    Entry entry = std::move(stack().back());
    stack().pop_back();
    cairo_t* cr = entry.owned->cairo();
    entry.owned.reset();
    cairo_destroy(cr);
    cairo_surface_destroy(entry.surface);
}

void UIGraphicsPushContext(CGContext* context) {
    Entry entry;
    entry.context = context;
    stack().push_back(std::move(entry));
}

void UIGraphicsPopContext() {
    if (stack().empty() || stack().back().surface) return;
    stack().pop_back();
}

}  // namespace platform
