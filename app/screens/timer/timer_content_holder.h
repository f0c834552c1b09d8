#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "app/screens/timer/rotation_observable.h"
#include "app/screens/timer/split.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/layout/ui_stack_view.h"

namespace quorvel {

// The timer screen's vertical stack of four sections, whose heights are fractions of its own. Each rotation
// or split change rebuilds the arrangement from nothing, so one set of height constraints ever holds.
// Main thread.
class TimerContentHolder : public platform::UIStackView, public RotationObservable {
public:
    TimerContentHolder() = default;
    explicit TimerContentHolder(const platform::CGRect& frame) : UIStackView(frame) {}
    ~TimerContentHolder() override;

    // The four sections in storyboard order.
    const std::optional<std::vector<std::shared_ptr<platform::UIView>>>& stackViews() const {
        return stackViews_;
    }
    void setStackViews(std::optional<std::vector<std::shared_ptr<platform::UIView>>> views) {
        stackViews_ = std::move(views);
    }
    const std::shared_ptr<platform::NSLayoutConstraint>& bottomConstraint() const {
        return bottomConstraint_;
    }
    void setBottomConstraint(std::shared_ptr<platform::NSLayoutConstraint> constraint) {
        bottomConstraint_ = std::move(constraint);
    }

    Split splitStatus() const override { return splitStatus_; }
    // Takes every section out, puts them back in order with their new heights, zeroes the bottom
    // constraint and lays the stack out at once.
    void updateForRotation(platform::UIDeviceOrientation orientation, Split split) override;

    // Each section's share of the holder's height, the top one first, on the current device. A phone
    // lying sideways shows only the sections given a share (the others are taken out); a device that is
    // neither phone nor pad gets no heights lying sideways.
    static std::optional<std::vector<platform::CGFloat>> heightFractions(
        platform::UIDeviceOrientation orientation, Split split);

private:
    std::optional<std::vector<std::shared_ptr<platform::UIView>>> stackViews_;
    std::shared_ptr<platform::NSLayoutConstraint> bottomConstraint_;
    Split splitStatus_ = Split::fullSize;
};

}  // namespace quorvel
