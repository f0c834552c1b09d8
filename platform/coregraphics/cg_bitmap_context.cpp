#include "platform/coregraphics/cg_bitmap_context.h"

#include <cairo.h>

#include <cmath>

#include "platform/coregraphics/cg_image.h"

namespace platform {

namespace {

// Cairo's limit for one side of an image surface.
constexpr double kMaxPixels = 32767;

}  // namespace

std::unique_ptr<CGBitmapContext> CGBitmapContext::create(CGSize size, bool opaque, CGFloat scale) {
    const double w = std::ceil(size.width * scale - 1e-9), h = std::ceil(size.height * scale - 1e-9);
    // No pixels, or more than a bitmap can hold (NaN fails both tests): no context.
    if (!(scale > 0) || !(w >= 1 && h >= 1 && w <= kMaxPixels && h <= kMaxPixels)) return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32,
                                                          static_cast<int>(w), static_cast<int>(h));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_t* cr = cairo_create(surface);
    if (opaque) {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
    }
    cairo_scale(cr, scale, scale);
    return std::unique_ptr<CGBitmapContext>(new CGBitmapContext(cr, surface, scale));
}

CGBitmapContext::CGBitmapContext(cairo_t* cairo, cairo_surface_t* surface, CGFloat scale)
    : CGContext(cairo), surface_(surface), scale_(scale) {}

CGBitmapContext::~CGBitmapContext() {
    cairo_destroy(cairo());
    cairo_surface_destroy(surface_);
}

std::shared_ptr<CGImage> CGBitmapContext::makeImage() const {
    cairo_surface_flush(surface_);
    const int w = cairo_image_surface_get_width(surface_);
    const int h = cairo_image_surface_get_height(surface_);
    cairo_surface_t* copy = cairo_image_surface_create(cairo_image_surface_get_format(surface_), w, h);
    cairo_t* cr = cairo_create(copy);
    cairo_set_source_surface(cr, surface_, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    auto image = std::make_shared<CGImage>(copy, scale_);
    cairo_surface_destroy(copy);
    return image;
}

}  // namespace platform
