#pragma once

#include <cmath>

#include "app/widgets/reveal/reveal_cell_reveal_position.h"
#include "platform/coregraphics/cg_geometry.h"

namespace quorvel::reveal {

// How far past a side's buttons the content may be dragged before the drag pulls harder, and how
// much of the finger's move still shows beyond that.
inline constexpr platform::CGFloat kOverdraw = 60;
inline constexpr platform::CGFloat kRubberBand = 0.1667;

// +1 for the left side (content moves right), −1 for the right side.
inline int signOf(RevealSide side) {
    return side == RevealSide::left ? 1 : -1;
}

// The side whose buttons a content location shows.
inline RevealSide sideOfLocation(platform::CGFloat location) {
    return location < 0 ? RevealSide::right : RevealSide::left;
}

// Whether `position` shows the buttons of `side` (the centre and unplaced positions show none).
inline bool positionOpens(int position, RevealSide side) {
    return side == RevealSide::left
               ? position == revealPositionLeft || position == revealPositionLeftExtended
               : position == revealPositionRight || position == revealPositionRightExtended;
}

// A distance beyond `limit` (both positive) moves at the rubber-band rate, on the pixel grid.
inline platform::CGFloat rubberBand(platform::CGFloat distance, platform::CGFloat limit,
                                    platform::CGFloat scale) {
    if (distance <= limit) return distance;
    return std::round((limit + (distance - limit) * kRubberBand) * scale) / scale;
}

}  // namespace quorvel::reveal
