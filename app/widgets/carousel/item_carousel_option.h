#pragma once

namespace quorvel {

// The numbers a carousel's delegate may answer to tune a layout (ItemCarouselDelegate::
// carouselValueForOption); every value is a double.
enum class ItemCarouselOption : long {
    wrap = 0,
    showBackfaces = 1,
    offsetMultiplier = 2,
    visibleItems = 3,
    count = 4,
    arc = 5,
    angle = 6,
    radius = 7,
    tilt = 8,
    spacing = 9,
    fadeMin = 10,
    fadeMax = 11,
    fadeRange = 12,
    fadeMinAlpha = 13,
};

}  // namespace quorvel
