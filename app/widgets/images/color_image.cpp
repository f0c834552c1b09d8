#include "app/widgets/images/color_image.h"

#include "platform/uikit/ui_graphics.h"

namespace quorvel {

using namespace platform;

namespace {

std::shared_ptr<UIImage> takeImage() {
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
    UIGraphicsBeginImageContextWithOptions(rect.size, false, 1);
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return nullptr;
    context->setFillColor(color);
    context->fillRect(CGRectMake(0, 0, rect.size.width, rect.size.height));
    return takeImage();
}

std::shared_ptr<UIImage> ColorImage::imageWithColorRounded(const std::shared_ptr<UIColor>& color) {
    UIGraphicsBeginImageContextWithOptions({1, 1}, false, 1);
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return nullptr;
    context->setFillColor(color);
    context->fillEllipseInRect(CGRectMake(0, 0, 1, 1));
    return takeImage();
}

std::shared_ptr<UIImage> ColorImage::imageNamed(const std::string& name,
                                                const std::shared_ptr<UIColor>& overlayColor) {
    const auto image = UIImage::imageNamed(name);
    if (!image) return nullptr;
    const CGSize size = image->size();
    UIGraphicsBeginImageContextWithOptions(size, false, image->scale());
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return nullptr;
    image->drawInRect(CGRect({0, 0}, size));
    context->setFillColor(overlayColor);
    context->setBlendMode(CGBlendMode::sourceAtop);
    context->fillRect(CGRect({0, 0}, size));
    return takeImage();
}

std::shared_ptr<UIImage> ColorImage::resize(const UIImage& image, CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, false, image.scale());
    if (!UIGraphicsGetCurrentContext()) return nullptr;
    image.drawInRect(CGRect({0, 0}, size));
    return takeImage();
}

}  // namespace quorvel
