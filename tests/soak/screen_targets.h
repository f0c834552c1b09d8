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

    // A rectangle in the view's coordinates in screen points, wherever it lies; null when the view is
    // not in a shown window.
    static platform::CGRect inScreenPoints(const platform::UIView& view, const platform::CGRect& rect);
    // The part of it that is on the screen.
    static platform::CGRect onScreen(const platform::UIView& view, const platform::CGRect& rect);
    // Whether a finger put down at the screen point lands on the view or on something inside it.
    static bool reaches(const platform::UIView& view, platform::CGPoint point);
};

}  // namespace quorvel::soak
