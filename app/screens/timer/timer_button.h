#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/core/timer_vocabulary.h"
#include "app/screens/timer/rotation_observable.h"
#include "app/screens/timer/session_monitorable.h"
#include "app/screens/timer/timer_settable.h"
#include "app/screens/timer/timer_text_formattable.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {

// The large clock text as a button: a thin face whose size follows the device model, the orientation
// and the split share. The ticking text never animates. A tap starts or pauses the timer through the
// delegate. Main thread.
class TimerButton : public platform::UIButton,
                    public RotationObservable,
                    public SessionMonitorable,
                    public TimerTextFormattable {
public:
    TimerButton();
    explicit TimerButton(const platform::CGRect& frame);

    std::shared_ptr<TimerSettable> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<TimerSettable> delegate) { delegate_ = std::move(delegate); }
    TimerStatus currentTimerStatus() const { return currentTimerStatus_; }
    void setCurrentTimerStatus(TimerStatus status) { currentTimerStatus_ = status; }
    platform::UIDeviceOrientation detectedOrientation() const { return detectedOrientation_; }

    // The tap: the delegate's start/stop with the current status; nothing without a delegate.
    void setTimerStatus();

    // Without animation, laid out at once.
    void setTitle(const std::string& title, unsigned state);
    // A normal-state colour also gives the highlighted state the same colour at alpha 0.7.
    void setTitleColor(std::shared_ptr<platform::UIColor> color, unsigned state);

    // The clock face for the current device, the given orientation (in full screen) and split share
    // (in a split, where the device's present orientation counts).
    static std::shared_ptr<platform::UIFont> titleFont(platform::UIDeviceOrientation detectedOrientation,
                                                       Split split);

    Split splitStatus() const override { return splitStatus_; }
    // Keeps both, then sets the face again from a later main-queue work item.
    void updateForRotation(platform::UIDeviceOrientation orientation, Split split) override;
    // The clock shows no counts.
    void updateSessionCounts(const std::string&, const std::string&, const std::string&,
                             const std::string&) override {}
    std::string timerText() const override { return currentTitle().value_or(""); }

private:
    void setUp();
    void applyTitleFont();

    std::weak_ptr<TimerSettable> delegate_;
    TimerStatus currentTimerStatus_ = TimerStatus::Stopped;
    platform::UIDeviceOrientation detectedOrientation_ = platform::UIDeviceOrientation::portrait;
    Split splitStatus_ = Split::fullSize;
};

}  // namespace quorvel
