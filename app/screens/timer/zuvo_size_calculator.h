#pragma once

#include "platform/coregraphics/cg_geometry.h"

namespace quorvel {

// Screen measures read once, on first use, from the main screen's bounds and kept for the life of the
// process: a rotation before the first read decides which side is the width. Each is made once even when
// first asked on several threads at a time.
class ZuvoSizeCalculator {
public:
    static platform::CGFloat screenWidth();
    static platform::CGFloat screenHeight();
    // The larger of the two measures above.
    static platform::CGFloat longerSide();
    // The larger side of the bounds, read apart from the measures above: the menu background's height.
    static platform::CGFloat menuLongerSide();
    // Added to the left safe-area inset for the menu image's offset in landscape.
    static platform::CGFloat menuOffsetBase() { return 52.0; }

    // A phone shorter than 568 points; false on any other idiom, without reading the screen.
    static bool IS_IPHONE_4_OR_LESS();
};

}  // namespace quorvel
