#include "platform/uikit/drawing/ui_image.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "platform/coregraphics/cg_context.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_graphics.h"

namespace platform {

namespace {

cairo_surface_t* emptySurface() {
    static cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 0, 0);
    return surface;
}

}  // namespace

UIImage::UIImage() : CGImage(emptySurface(), 1) {}

UIImage::UIImage(cairo_surface_t* surface, CGFloat scale) : CGImage(surface, scale) {}

UIImage::UIImage(const CGImage& bitmap) : CGImage(bitmap) {}

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

void UIImage::paint(cairo_t* cr, const CGRect& rect, double alpha) const {
    const double w = pixelWidth(), h = pixelHeight();
    const UIEdgeInsets& in = capInsets_;
    if (in == UIEdgeInsets::zero()) {
        CGImage::paint(cr, rect, alpha);
        return;
    }
    const double s = scale();
    const double xs[4] = {0, in.left * s, w - in.right * s, w};
    const double ys[4] = {0, in.top * s, h - in.bottom * s, h};
    const double dx[4] = {rect.minX(), rect.minX() + in.left, rect.maxX() - in.right, rect.maxX()};
    const double dy[4] = {rect.minY(), rect.minY() + in.top, rect.maxY() - in.bottom, rect.maxY()};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            paintPart(cr, CGRectMake(xs[col], ys[row], xs[col + 1] - xs[col], ys[row + 1] - ys[row]),
                      CGRectMake(dx[col], dy[row], dx[col + 1] - dx[col], dy[row + 1] - dy[row]), alpha);
        }
    }
}

}  // namespace platform
