#pragma once

#include "platform/uikit/drawing/ui_image.h"

namespace platform {

// The renderer's look tests draw at twice the point size and read pixels back under points.
using Pixel = UIImage::Pixel;
inline constexpr CGFloat kScale = 2;

inline Pixel at(const UIImage& image, CGFloat x, CGFloat y) {
    return image.pixelAt(static_cast<int>(x * kScale), static_cast<int>(y * kScale));
}

}  // namespace platform
