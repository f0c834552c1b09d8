#include "platform/coregraphics/cg_image.h"

#include <cairo.h>

#include <algorithm>

namespace platform {

CGImage::CGImage(cairo_surface_t* surface, CGFloat scale)
    : surface_(cairo_surface_reference(surface)), scale_(scale > 0 ? scale : 1) {}

CGImage::CGImage(const CGImage& other)
    : surface_(cairo_surface_reference(other.surface_)), scale_(other.scale_) {}

CGImage::~CGImage() {
    cairo_surface_destroy(surface_);
}

int CGImage::pixelWidth() const {
    return cairo_image_surface_get_width(surface_);
}
int CGImage::pixelHeight() const {
    return cairo_image_surface_get_height(surface_);
}

CGSize CGImage::size() const {
    return {pixelWidth() / scale_, pixelHeight() / scale_};
}

void CGImage::paint(cairo_t* cr, const CGRect& rect, double alpha) const {
    // A lone part would pad its edge pixels across the whole clip; the clip keeps it in the rect.
    paintPart(cr, CGRectMake(0, 0, pixelWidth(), pixelHeight()), rect, alpha);
}

void CGImage::paintPart(cairo_t* cr, const CGRect& source, const CGRect& destination, double alpha) const {
    const double sw = source.size.width, sh = source.size.height;
    const CGRect& dst = destination;
    if (sw <= 0 || sh <= 0 || dst.size.width <= 0 || dst.size.height <= 0) return;
    cairo_save(cr);
    cairo_rectangle(cr, dst.origin.x, dst.origin.y, dst.size.width, dst.size.height);
    cairo_clip(cr);
    cairo_translate(cr, dst.origin.x, dst.origin.y);
    cairo_scale(cr, dst.size.width / sw, dst.size.height / sh);
    // A part of its own, so the filter at its edges repeats its pixels instead of blending in the
    // neighbouring part.
    cairo_surface_t* part =
        cairo_surface_create_for_rectangle(surface_, source.origin.x, source.origin.y, sw, sh);
    cairo_set_source_surface(cr, part, 0, 0);
    cairo_surface_destroy(part);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    // Pixels at the part's edges repeat outwards rather than fading into transparency.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

bool CGImage::writePNG(const std::filesystem::path& path) const {
    return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

CGImage::Pixel CGImage::pixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight()) return {};
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    std::uint32_t argb = *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4);
    if (cairo_image_surface_get_format(surface_) == CAIRO_FORMAT_RGB24) argb |= 0xff000000u;
    const unsigned a = argb >> 24;
    auto channel = [a](unsigned premultiplied) {
        return static_cast<std::uint8_t>(a == 0 ? 0 : std::min(255u, (premultiplied * 255 + a / 2) / a));
    };
    return {channel((argb >> 16) & 0xff), channel((argb >> 8) & 0xff), channel(argb & 0xff),
            static_cast<std::uint8_t>(a)};
}

}  // namespace platform
