#pragma once

#include <memory>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"

namespace platform {
class UIView;
}

namespace quorvel::soak {

// What a person could touch on the screen in front, found from the view tree: views that show, take
// touches and are not covered at their middle by anything that would take the touch instead.
class ScreenTargets {
public:
    struct Target {
        std::shared_ptr<platform::UIView> view;
        platform::CGRect shown;  // the part of it on the screen, in screen points
    };

    // Enabled controls, table cells and views with an enabled tap recogniser.
    static std::vector<Target> tappable();
    // Views with an enabled pan recogniser: scroll views, carousels, rows that slide open, pages.
    static std::vector<Target> swipeable();
};

}  // namespace quorvel::soak
