#pragma once

#include <memory>
#include <string>

#include "app/core/timer_vocabulary.h"
#include "app/screens/timer/rotation_observable.h"
#include "app/screens/timer/session_monitorable.h"
#include "app/screens/timer/split.h"
#include "app/screens/timer/timer_settable.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/layout/ui_stack_view.h"
#include "platform/uikit/text/ui_label.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// The clock text of the timer screen, as a large button, with the round and goal counts under it (shown
// only on a phone lying sideways, where the round and goal table is gone). Its outlets are set by the
// storyboard, which alone makes it; setting one styles what it is given. A tap on the clock starts or
// pauses the timer through the delegate. Main thread.
class ElapsedTimeDisplayView : public platform::UIView, public SessionMonitorable, public RotationObservable {
public:
    ElapsedTimeDisplayView() = default;

    std::shared_ptr<TimerSettable> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<TimerSettable> delegate) { delegate_ = std::move(delegate); }
    // Set by the timer screen; what a tap passes on.
    TimerStatus currentTimerStatus() const { return currentTimerStatus_; }
    void setCurrentTimerStatus(TimerStatus status) { currentTimerStatus_ = status; }

    // The clock text's width: the width of the clock button's title, set when connected and again
    // whenever the title's font or text changes, so the clock is never drawn in another font's frame.
    std::shared_ptr<platform::NSLayoutConstraint> widthConstraint() const { return widthConstraint_.lock(); }
    void setWidthConstraint(const std::shared_ptr<platform::NSLayoutConstraint>& constraint);
    // The clock button: white title, shrinking to fit its width down to 0.3 of its size.
    std::shared_ptr<platform::UIButton> timerControlButton() const { return timerControlButton_.lock(); }
    void setTimerControlButton(const std::shared_ptr<platform::UIButton>& button);
    // The stack of the round and goal labels: its labels take the elapsed-time font in white, and it
    // starts hidden.
    std::shared_ptr<platform::UIStackView> staticsticsHolder() const { return staticsticsHolder_.lock(); }
    void setStaticsticsHolder(const std::shared_ptr<platform::UIStackView>& holder);
    std::shared_ptr<platform::UILabel> roundDisplayLabel() const { return roundDisplayLabel_.lock(); }
    void setRoundDisplayLabel(const std::shared_ptr<platform::UILabel>& label) { roundDisplayLabel_ = label; }
    std::shared_ptr<platform::UILabel> goalDisplayLabel() const { return goalDisplayLabel_.lock(); }
    void setGoalDisplayLabel(const std::shared_ptr<platform::UILabel>& label) { goalDisplayLabel_ = label; }

    // The clock button's action: the delegate's start/stop with the current status; nothing without one.
    void toggleTimer();

    // "Round 2/4" and "Goal 5/12".
    void updateSessionCounts(const std::string& round, const std::string& roundLimit, const std::string& goal,
                             const std::string& goalLimit) override;

    Split splitStatus() const override { return splitStatus_; }
    // Keeps the split; the round and goal labels show only on a phone in landscape.
    void updateForRotation(platform::UIDeviceOrientation orientation, Split split) override;

protected:
    void subviewLayoutInputsChanged(platform::UIView* subview) override;

private:
    void fitWidthToTitle();

    std::weak_ptr<TimerSettable> delegate_;
    TimerStatus currentTimerStatus_ = TimerStatus::Stopped;
    std::weak_ptr<platform::NSLayoutConstraint> widthConstraint_;
    std::weak_ptr<platform::UIButton> timerControlButton_;
    std::weak_ptr<platform::UIStackView> staticsticsHolder_;
    std::weak_ptr<platform::UILabel> roundDisplayLabel_;
    std::weak_ptr<platform::UILabel> goalDisplayLabel_;
    Split splitStatus_ = Split::fullSize;
};

}  // namespace quorvel
