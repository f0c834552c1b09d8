#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"

namespace platform {
class UIView;
}

namespace quorvel::soak {

// Holds what a person sees to the screen's safe area: every label with text and every control on all
// four edges (in a list, whose rows scroll under the top and bottom, on its sides), and every container
// that places them on both sides. Only what is meant to run from edge to edge may: a screen's own view,
// bars, lists, grounds of colour and the backdrops of menus and sheets; what they hold is held in turn.
class SafeAreaCheck {
public:
    struct Outside {
        std::string view;  // its class, and its text where it has one
        platform::CGRect shown;
    };

    // The views that show outside the safe area now; empty when none does.
    static std::vector<Outside> outside();
    // Whether what shows of a view lies in the safe area on all four edges, allowing half a point for
    // rounding.
    static bool inside(const platform::CGRect& shown, const platform::CGRect& safe);
    static platform::CGRect safeArea();
};

}  // namespace quorvel::soak
