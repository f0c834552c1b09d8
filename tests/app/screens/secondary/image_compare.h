#pragma once

#include <cstdlib>

#include "platform/uikit/ui_image.h"

namespace quorvel::testing {

// Whether two images have the same size and pixels, each channel within `tolerance`.
inline bool samePixels(const platform::UIImage& a, const platform::UIImage& b, int tolerance = 0) {
    if (a.pixelWidth() != b.pixelWidth() || a.pixelHeight() != b.pixelHeight()) return false;
    for (int y = 0; y < a.pixelHeight(); ++y) {
        for (int x = 0; x < a.pixelWidth(); ++x) {
            const auto p = a.pixelAt(x, y), q = b.pixelAt(x, y);
            if (std::abs(p.r - q.r) > tolerance || std::abs(p.g - q.g) > tolerance ||
                std::abs(p.b - q.b) > tolerance || std::abs(p.a - q.a) > tolerance)
                return false;
        }
    }
    return true;
}

}  // namespace quorvel::testing
