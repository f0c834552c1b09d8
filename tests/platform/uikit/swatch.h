#pragma once

#include <memory>

#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/drawing/ui_image.h"

namespace quorvel::testing {

// An image of `size` points at scale 1, filled with `colour`, or left clear without one.
inline std::shared_ptr<platform::UIImage> swatch(platform::CGSize size,
                                                 const std::shared_ptr<platform::UIColor>& colour = nullptr) {
    using namespace platform;
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    if (colour) {
        UIGraphicsGetCurrentContext()->setFillColor(colour);
        UIGraphicsGetCurrentContext()->fillRect(CGRect({0, 0}, size));
    }
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

}  // namespace quorvel::testing
