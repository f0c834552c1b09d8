#pragma once

#include "app/screens/timer/split.h"
#include "platform/coregraphics/cg_geometry.h"

namespace quorvel {

// The minute ring's geometry in points: how tall an item (and a five-minute tick) is, how much of that
// the minute label leaves to the tick, how wide an item is (the distance between ticks), how wide a tick
// is, and by what the ring's width is divided to get the distance over which items fade out.
struct CarouselSizing {
    platform::CGFloat mainIndicatorHeight = 0;
    platform::CGFloat subIndicatorHeight = 0;
    platform::CGFloat indicatorSpacing = 0;
    platform::CGFloat lineWidth = 0;
    platform::CGFloat fadeFactor = 0;

    // The sizing for the current device, its orientations and idiom, read afresh, and the ring's split
    // share: the phone table on a phone, else the full-screen or the split-view tablet table.
    static CarouselSizing compute(Split splitStatus);

    bool operator==(const CarouselSizing&) const = default;
};

}  // namespace quorvel
