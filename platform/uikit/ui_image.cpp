#include "platform/uikit/ui_image.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "platform/foundation/ns_bundle.h"
#include "platform/uikit/cg_context.h"
#include "platform/uikit/ui_graphics.h"
#include "platform/uikit/ui_screen.h"

namespace platform {

UIImage::UIImage(cairo_surface_t* surface, CGFloat scale)
    : surface_(cairo_surface_reference(surface)), scale_(scale > 0 ? scale : 1) {}

UIImage::UIImage(const UIImage& other)
    : surface_(cairo_surface_reference(other.surface_)),
      scale_(other.scale_),
      renderingMode_(other.renderingMode_),
      capInsets_(other.capInsets_),
      resizingMode_(other.resizingMode_) {}

UIImage::~UIImage() {
    cairo_surface_destroy(surface_);
}

std::shared_ptr<UIImage> UIImage::imageWithContentsOfFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    const std::string stem = path.stem().string();
    CGFloat scale = 1;
    if (stem.size() > 3 && stem[stem.size() - 3] == '@' && stem.back() == 'x') {
        scale = std::max(1, stem[stem.size() - 2] - '0');
    }
    auto image = std::make_shared<UIImage>(surface, scale);
    cairo_surface_destroy(surface);
    return image;
}

std::shared_ptr<UIImage> UIImage::imageNamed(const std::string& name) {
    // A name is a file name, never a path out of the bundle.
    if (name.empty() || name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
        name.front() == '.') {
        return nullptr;
    }
    const auto folder = NSBundle::mainBundle()->resourcePath();
    const int screenScale = std::clamp(static_cast<int>(std::lround(UIScreen::mainScreen().scale())), 1, 3);
    for (const auto& dir : {folder, folder / "images"}) {
        for (int s = screenScale; s >= 1; --s) {
            std::string file = name;
            if (s > 1) file.append("@").append(std::to_string(s)).append("x");
            file.append(".png");
            if (auto image = imageWithContentsOfFile(dir / file)) return image;
        }
    }
    return nullptr;
}

int UIImage::pixelWidth() const {
    return cairo_image_surface_get_width(surface_);
}
int UIImage::pixelHeight() const {
    return cairo_image_surface_get_height(surface_);
}

CGSize UIImage::size() const {
    return {pixelWidth() / scale_, pixelHeight() / scale_};
}

std::shared_ptr<UIImage> UIImage::imageWithRenderingMode(UIImageRenderingMode mode) const {
    auto copy = std::make_shared<UIImage>(*this);
    copy->renderingMode_ = mode;
    return copy;
}

std::shared_ptr<UIImage> UIImage::resizableImageWithCapInsets(const UIEdgeInsets& insets) const {
    return resizableImageWithCapInsets(insets, UIImageResizingMode::tile);
}

std::shared_ptr<UIImage> UIImage::resizableImageWithCapInsets(const UIEdgeInsets& insets,
                                                              UIImageResizingMode mode) const {
    auto copy = std::make_shared<UIImage>(*this);
    copy->capInsets_ = insets;
    copy->resizingMode_ = mode;
    return copy;
}

void UIImage::drawInRect(const CGRect& rect) const {
    if (CGContext* context = UIGraphicsGetCurrentContext()) context->drawImage(rect, *this);
}

void UIImage::drawAtPoint(CGPoint point) const {
    drawInRect(CGRect(point, size()));
}

namespace {

// Paints the part `src` (pixels) of the surface stretched over `dst` (user space).
void paintPart(cairo_t* cr, cairo_surface_t* surface, double sx, double sy, double sw, double sh,
               const CGRect& dst, double alpha) {
    if (sw <= 0 || sh <= 0 || dst.size.width <= 0 || dst.size.height <= 0) return;
    cairo_save(cr);
    cairo_rectangle(cr, dst.origin.x, dst.origin.y, dst.size.width, dst.size.height);
    cairo_clip(cr);
    cairo_translate(cr, dst.origin.x, dst.origin.y);
    cairo_scale(cr, dst.size.width / sw, dst.size.height / sh);
    // A part of its own, so the filter at its edges repeats its pixels instead of blending in the
    // neighbouring part.
    cairo_surface_t* part = cairo_surface_create_for_rectangle(surface, sx, sy, sw, sh);
    cairo_set_source_surface(cr, part, 0, 0);
    cairo_surface_destroy(part);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    // Pixels at the part's edges repeat outwards rather than fading into transparency.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

}  // namespace

void UIImage::paint(cairo_t* cr, const CGRect& rect, double alpha) const {
    const double w = pixelWidth(), h = pixelHeight();
    const UIEdgeInsets& in = capInsets_;
    if (in == UIEdgeInsets::zero()) {
        // A lone part would pad its edge pixels across the whole clip; the clip keeps it in the rect.
        paintPart(cr, surface_, 0, 0, w, h, rect, alpha);
        return;
    }
    const double s = scale_;
    const double xs[4] = {0, in.left * s, w - in.right * s, w};
    const double ys[4] = {0, in.top * s, h - in.bottom * s, h};
    const double dx[4] = {rect.minX(), rect.minX() + in.left, rect.maxX() - in.right, rect.maxX()};
    const double dy[4] = {rect.minY(), rect.minY() + in.top, rect.maxY() - in.bottom, rect.maxY()};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            paintPart(cr, surface_, xs[col], ys[row], xs[col + 1] - xs[col], ys[row + 1] - ys[row],
                      CGRectMake(dx[col], dy[row], dx[col + 1] - dx[col], dy[row + 1] - dy[row]), alpha);
        }
    }
}

bool UIImage::writePNG(const std::filesystem::path& path) const {
    return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

UIImage::Pixel UIImage::pixelAt(int x, int y) const {
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
