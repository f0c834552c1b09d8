#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"

namespace platform {
class UIView;
}

namespace quorvel::shell {

// What the app shows, for the trace: one line for the screen's size and safe area, then one for every
// label with text and every control a person could see, with its frame on the screen, the part of it
// that shows (a label's text, inside whatever clips it), its class and its text. Tests of the running
// program hold what shows against the safe area.
class ViewListing {
public:
    // A label with text or a control that shows, in screen points.
    struct Shown {
        platform::CGRect frame;
        platform::CGRect visible;
        std::string className;
        std::string text;  // a label's; empty for a control
        std::shared_ptr<const platform::UIView> view;
    };

    static std::vector<std::string> lines();
    static std::vector<Shown> shownViews();
    // The screen's bounds without its safe-area insets.
    static platform::CGRect safeArea();
};

}  // namespace quorvel::shell
