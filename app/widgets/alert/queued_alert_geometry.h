#pragma once

#include <optional>
#include <vector>

#include "app/widgets/alert/queued_alert_item.h"
#include "platform/coregraphics/cg_geometry.h"

namespace quorvel {

// Where the parts of an alert's card go, in the card's coordinates, and how tall the card is: one
// computation, so the card's height always ends the padding below its last button.
class QueuedAlertGeometry {
public:
    static constexpr platform::CGFloat kCardWidth = 300;
    static constexpr platform::CGFloat kPaddingTop = 12;
    static constexpr platform::CGFloat kPaddingBottom = 10;
    static constexpr platform::CGFloat kPaddingSide = 10;
    static constexpr platform::CGFloat kGap = 10;
    static constexpr platform::CGFloat kButtonHeight = 44;
    static constexpr platform::CGFloat kButtonPitch = kButtonHeight + kGap;
    // A trailing cancel row stands a little apart from the rows above it.
    static constexpr platform::CGFloat kCancelOffset = 5;
    static constexpr platform::CGFloat kTextWidth = kCardWidth - 2 * kPaddingSide;

    // The heights of the title and message areas (none without a label) and the buttons' types.
    QueuedAlertGeometry(std::optional<platform::CGFloat> titleHeight,
                        std::optional<platform::CGFloat> messageHeight,
                        const std::vector<QueuedAlertViewButtonType>& buttonTypes,
                        QueuedAlertViewButtonsListStyle listStyle);

    const std::optional<platform::CGRect>& titleFrame() const { return titleFrame_; }
    const std::optional<platform::CGRect>& messageFrame() const { return messageFrame_; }
    const std::vector<platform::CGRect>& buttonFrames() const { return buttonFrames_; }
    platform::CGFloat height() const { return height_; }

private:
    std::optional<platform::CGRect> titleFrame_;
    std::optional<platform::CGRect> messageFrame_;
    std::vector<platform::CGRect> buttonFrames_;
    platform::CGFloat height_ = 0;
};

}  // namespace quorvel
