#pragma once

#include <memory>

#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

// The colours and the shadow switch that a badge and the cell that carries it both offer. On the view
// they are what it draws with; on the cell they are handed to its badge at each layout.
class BadgeColors {
public:
    // None: the default fill.
    const std::shared_ptr<platform::UIColor>& badgeColor() const { return badgeColor_; }
    void setBadgeColor(std::shared_ptr<platform::UIColor> color) { badgeColor_ = std::move(color); }
    // None cuts the text out of the fill.
    const std::shared_ptr<platform::UIColor>& badgeTextColor() const { return badgeTextColor_; }
    void setBadgeTextColor(std::shared_ptr<platform::UIColor> color) { badgeTextColor_ = std::move(color); }
    // The fill while the cell shows its selection; none: opaque white.
    const std::shared_ptr<platform::UIColor>& badgeColorHighlighted() const { return badgeColorHighlighted_; }
    void setBadgeColorHighlighted(std::shared_ptr<platform::UIColor> color) {
        badgeColorHighlighted_ = std::move(color);
    }
    // A shadow under the badge while the cell shows its selection.
    bool showShadow() const { return showShadow_; }
    void setShowShadow(bool show) { showShadow_ = show; }

protected:
    ~BadgeColors() = default;

    std::shared_ptr<platform::UIColor> badgeColor_;
    std::shared_ptr<platform::UIColor> badgeTextColor_;
    std::shared_ptr<platform::UIColor> badgeColorHighlighted_;
    bool showShadow_ = false;
};

}  // namespace quorvel
