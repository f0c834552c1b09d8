#pragma once

#include <memory>

#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/text/ui_label.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// The view tree the two ruler pickers share: a clear full-screen root and, at its foot, a white panel
// with a title, a subtitle, the ruler's holder with the centre marker over it, and a row for buttons
// above the home indicator.
// The panel's top constraint competes with one that pins its foot to the screen's: at priority 751 the
// panel waits below the screen, at 749 it stands on screen.
struct RulerSheet {
    static constexpr float kClosedPriority = 751;
    static constexpr float kOpenPriority = 749;

    // Sized for the device's idiom (a pad's ruler is 1.5 times taller).
    static RulerSheet make();
    // Where a button stands in the row: across it, or in its left or right half.
    enum class Place { whole, left, right };
    // A title-only button added to the button row.
    std::shared_ptr<platform::UIButton> addButton(const std::string& title, Place place) const;

    std::shared_ptr<platform::UIView> root;
    std::shared_ptr<platform::UIView> content;
    std::shared_ptr<platform::NSLayoutConstraint> contentTopConstraint;
    std::shared_ptr<platform::UILabel> titleLabel;
    std::shared_ptr<platform::UILabel> subtitleLabel;
    std::shared_ptr<platform::UIView> rulerHolder;
    std::shared_ptr<platform::UIView> midPointGuide;
    // The height of the screen's foot the home indicator takes: the panel's white runs under it, its
    // buttons stand above it.
    platform::CGFloat footInset = 0;
};

// The centre marker's colour: the stored focus theme colour, else its default, at half alpha.
std::shared_ptr<platform::UIColor> midPointGuideColor();
// Slides the panel in over a screen dimmed to black at alpha 0.3, in 0.1 s.
void slideRulerSheetIn(platform::UIView& root, platform::NSLayoutConstraint* contentTopConstraint);

}  // namespace quorvel
