#include "app/core/color_image.h"

#include <functional>

#include "platform/uikit/drawing/ui_graphics.h"

namespace quorvel {

using namespace platform;

namespace {

// Draws into a fresh image context of `size` and returns what was drawn; none when the size gives no
// pixels, without touching the caller's current context.
std::shared_ptr<UIImage> drawImage(CGSize size, CGFloat scale, const std::function<void(CGContext&)>& draw) {
    if (!UIGraphicsBeginImageContextWithOptions(size, false, scale)) return nullptr;
    draw(*UIGraphicsGetCurrentContext());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

}  // namespace

std::shared_ptr<UIImage> ColorImage::imageWithColor(const std::shared_ptr<UIColor>& color) {
    return imageWithCGColor(color, CGRectMake(0, 0, 1, 1));
}

std::shared_ptr<UIImage> ColorImage::imageWithCGColor(const CGColorRef& color) {
    return imageWithCGColor(color, CGRectMake(0, 0, 1, 1));
}

std::shared_ptr<UIImage> ColorImage::imageWithCGColor(const CGColorRef& color, const CGRect& rect) {
    return drawImage(rect.size, 1, [&](CGContext& context) {
        context.setFillColor(color);
        context.fillRect(CGRectMake(0, 0, rect.size.width, rect.size.height));
    });
}

std::shared_ptr<UIImage> ColorImage::imageWithColorRounded(const std::shared_ptr<UIColor>& color) {
    return drawImage({1, 1}, 1, [&](CGContext& context) {
        context.setFillColor(color);
        context.fillEllipseInRect(CGRectMake(0, 0, 1, 1));
    });
}

std::shared_ptr<UIImage> ColorImage::imageNamed(const std::string& name,
                                                const std::shared_ptr<UIColor>& overlayColor) {
    const auto image = UIImage::imageNamed(name);
    if (!image) return nullptr;
    const CGSize size = image->size();
    return drawImage(size, image->scale(), [&](CGContext& context) {
        image->drawInRect(CGRect({0, 0}, size));
        context.setFillColor(overlayColor);
        context.setBlendMode(CGBlendMode::sourceAtop);
        context.fillRect(CGRect({0, 0}, size));
    });
}

std::shared_ptr<UIImage> ColorImage::resize(const UIImage& image, CGSize size) {
    return drawImage(size, image.scale(), [&](CGContext&) { image.drawInRect(CGRect({0, 0}, size)); });
}

}  // namespace quorvel
