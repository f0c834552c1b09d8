#pragma once

#include <memory>
#include <string>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_image.h"

namespace quorvel {

// Images made from colours: swatches for backgrounds, a round swatch, a tinted copy of a named image
// and a stretched copy of an image. Each draws into a fresh image context.
class ColorImage {
public:
    // 1 × 1 point at scale 1.
    static std::shared_ptr<platform::UIImage> imageWithColor(const std::shared_ptr<platform::UIColor>& color);
    static std::shared_ptr<platform::UIImage> imageWithCGColor(const platform::CGColorRef& color);
    // The rectangle's size at scale 1, filled from (0, 0); its origin is not used.
    static std::shared_ptr<platform::UIImage> imageWithCGColor(const platform::CGColorRef& color,
                                                               const platform::CGRect& rect);
    // The ellipse inscribed in the 1 × 1 square filled, the rest transparent.
    static std::shared_ptr<platform::UIImage> imageWithColorRounded(
        const std::shared_ptr<platform::UIColor>& color);
    // The named image with every visible pixel in the colour and its alpha kept; none when the name is
    // not found.
    static std::shared_ptr<platform::UIImage> imageNamed(
        const std::string& name, const std::shared_ptr<platform::UIColor>& overlayColor);
    // The image stretched to `size` at its own scale.
    static std::shared_ptr<platform::UIImage> resize(const platform::UIImage& image, platform::CGSize size);
};

}  // namespace quorvel
