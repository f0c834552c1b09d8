#pragma once

#include <memory>

#include "app/core/timer_vocabulary.h"
#include "app/screens/timer/timer_settable.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

// The round play/pause button in the middle of the progress ring: a translucent white disc (dark
// while pressed) with the play icon while the timer is stopped and the pause icon while it runs. A tap
// starts or pauses the timer through the delegate. Main thread.
class ProgressButton : public platform::UIButton {
public:
    ProgressButton();
    ~ProgressButton() override;
    explicit ProgressButton(const platform::CGRect& frame);

    std::shared_ptr<TimerSettable> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<TimerSettable> delegate) { delegate_ = std::move(delegate); }
    TimerStatus currentTimerStatus() const { return currentTimerStatus_; }

    // Designable: the ring around the disc.
    const std::shared_ptr<platform::UIColor>& borderColor() const { return borderColor_; }
    void setBorderColor(std::shared_ptr<platform::UIColor> color);
    double borderWidth() const { return borderWidth_; }
    void setBorderWidth(double width);

    void prepareForInterfaceBuilder();
    void layoutSubviews() override;

    // The tap: the delegate's start/stop with the current status; nothing without a delegate.
    void setTimerStatus();
    // Keeps the status and shows its icon: play when stopped, pause when running.
    virtual void updateTimerStatus(TimerStatus status);

protected:
    virtual void setUpProgressButton();

private:
    std::weak_ptr<TimerSettable> delegate_;
    TimerStatus currentTimerStatus_ = TimerStatus::Stopped;
    std::shared_ptr<platform::UIColor> borderColor_ = platform::UIColor::whiteColor();
    double borderWidth_ = 2.0;
};

}  // namespace quorvel
