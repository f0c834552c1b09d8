#include "app/widgets/alert/queued_alert_geometry.h"

namespace quorvel {

using platform::CGFloat;
using platform::CGRect;

QueuedAlertGeometry::QueuedAlertGeometry(std::optional<CGFloat> titleHeight,
                                         std::optional<CGFloat> messageHeight,
                                         const std::vector<QueuedAlertViewButtonType>& buttonTypes,
                                         QueuedAlertViewButtonsListStyle listStyle) {
    CGFloat y = kPaddingTop;
    // Each part after the first keeps the gap from the one above.
    const auto gapAbove = [&] {
        if (y > kPaddingTop) y += kGap;
    };
    if (titleHeight) {
        titleFrame_ = CGRect(kPaddingSide, y, kTextWidth, *titleHeight);
        y += *titleHeight;
    }
    if (messageHeight) {
        gapAbove();
        messageFrame_ = CGRect(kPaddingSide, y, kTextWidth, *messageHeight);
        y += *messageHeight;
    }
    const std::size_t count = buttonTypes.size();
    if (count > 0) {
        gapAbove();
        if (count == 2 && listStyle == QueuedAlertViewButtonsListStyleNormal) {
            const CGFloat width = (kTextWidth - kGap) / 2;
            buttonFrames_ = {CGRect(kPaddingSide, y, width, kButtonHeight),
                             CGRect(kPaddingSide + width + kGap, y, width, kButtonHeight)};
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                const bool last = i + 1 == count;
                if (last && count >= 2 && buttonTypes[i] == QueuedAlertViewButtonTypeCancel)
                    y += kCancelOffset;
                buttonFrames_.push_back(CGRect(kPaddingSide, y, kTextWidth, kButtonHeight));
                if (!last) y += kButtonPitch;
            }
        }
        y += kButtonHeight;
    }
    height_ = y + kPaddingBottom;
}

}  // namespace quorvel
