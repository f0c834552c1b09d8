#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/core/timer_feedback_delegate.h"
#include "app/screens/timer/carousel_view.h"
#include "app/screens/timer/carousel_view_delegate.h"
#include "app/screens/timer/elapsed_time_display_view.h"
#include "app/screens/timer/guidance_view.h"
#include "app/screens/timer/progress_view.h"
#include "app/screens/timer/rotation_observable.h"
#include "app/screens/timer/session_monitorable.h"
#include "app/screens/timer/session_resetable.h"
#include "app/screens/timer/split.h"
#include "app/screens/timer/statistics_bottom_container.h"
#include "app/screens/timer/timer_button.h"
#include "app/screens/timer/timer_content_holder.h"
#include "app/screens/timer/timer_settable.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/device/ui_trait_collection.h"

namespace quorvel {

// The main timer screen: the clock, the minute ring, the progress ring with its play button and the
// round and goal table in one stack. It is the shared engine's delegate while shown, turns the engine's
// ticks into display updates on the main queue, starts and pauses the timer on taps, follows rotation
// and split view, and lays the first-run guidance over the app once per orientation. Made by the
// "TimeView" storyboard, which connects every outlet. Main thread.
class TimeViewController : public platform::UIViewController,
                           public TimerFeedbackDelegate,
                           public CarouselViewDelegate,
                           public TimerSettable,
                           public SessionResetable {
public:
    TimeViewController() = default;
    ~TimeViewController() override;

    // Outlets; setting one also makes this screen the delegate of what it is given.
    std::shared_ptr<TimerContentHolder> contentHolder() const { return contentHolder_.lock(); }
    void setContentHolder(const std::shared_ptr<TimerContentHolder>& holder) { contentHolder_ = holder; }
    std::shared_ptr<ElapsedTimeDisplayView> elapsedTimeView() const { return elapsedTimeView_.lock(); }
    void setElapsedTimeView(const std::shared_ptr<ElapsedTimeDisplayView>& view);
    std::shared_ptr<CarouselView> carouselView() const { return carouselView_.lock(); }
    void setCarouselView(const std::shared_ptr<CarouselView>& view);
    std::shared_ptr<StatisticsBottomContainer> statisticsHolder() const { return statisticsHolder_.lock(); }
    void setStatisticsHolder(const std::shared_ptr<StatisticsBottomContainer>& holder);
    std::shared_ptr<ProgressView> progressView() const { return progressView_.lock(); }
    void setProgressView(const std::shared_ptr<ProgressView>& view);
    std::shared_ptr<TimerButton> timerButton() const { return timerButton_.lock(); }
    void setTimerButton(const std::shared_ptr<TimerButton>& button);

    const std::shared_ptr<GuidanceView>& guidanceView() const { return guidanceView_; }
    const std::vector<std::shared_ptr<RotationObservable>>& rotationObservers() const {
        return rotationObservers_;
    }
    const std::vector<std::shared_ptr<SessionMonitorable>>& sessionMonitors() const {
        return sessionMonitors_;
    }
    const std::string& previousTrait() const { return previousTrait_; }
    Split splitStatus() const { return splitStatus_; }
    bool canRotate() const { return canRotate_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidLayoutSubviews() override;
    bool shouldAutorotate() const override { return canRotate_; }
    unsigned supportedInterfaceOrientations() const override;

    // The engine's side.
    void applyTimerStatus(TimerStatus status) override;
    void scheduleTimerScreenUpdate(const TimerScreenUpdate& update) override;
    std::shared_ptr<platform::UIView> rootView() override;
    std::shared_ptr<TimerNavigationContainer> navigationContainer() override;
    std::shared_ptr<TimerMinuteRing> minuteRing() override { return carouselView(); }

    // The minute ring reaches the engine itself.
    void minuteRingDidTurn(double) override {}

    // The controls' start/stop: starts a stopped timer, pauses a running one.
    void toggleTimer(TimerStatus status) override;
    void toggleTimer() override {}

    // Notification handlers.
    void adjustNavigationControllerLeftBarButton(const platform::NSNotification& notification);
    void rotationNotificationReceived(const platform::NSNotification& notification);
    // Logs the orientation, then tells every rotation observer from a main-queue work item.
    void updateUILayout();

    virtual void configureTimerScreen();
    virtual void setNavigationBarButtons();
    virtual void showGuidanceIfNeeded();
    virtual void showGuidance(const std::shared_ptr<platform::UIViewController>& root);
    virtual void printLayoutMetrics();
    // None means the screen's own traits.
    void detectSplitStatus(const std::optional<platform::UITraitCollection>& traits = std::nullopt);

private:
    std::shared_ptr<TimeViewController> self();
    void showDisplayUpdate(const TimerScreenUpdate& update);
    // The ring's value that waits for the clock's next step, if any, shown now.
    void showHeldRingValue();
    void guidanceDidEnd(GuidanceType type);
    // Lays the guidance over the whole of `host`, above what it holds.
    void layGuidanceOver(const std::shared_ptr<platform::UIView>& host);
    // A guidance whose window went away (with the alert it was laid over) moves to this screen's window.
    void keepGuidanceShown();

    std::weak_ptr<TimerContentHolder> contentHolder_;
    std::weak_ptr<ElapsedTimeDisplayView> elapsedTimeView_;
    std::weak_ptr<CarouselView> carouselView_;
    std::weak_ptr<StatisticsBottomContainer> statisticsHolder_;
    std::weak_ptr<ProgressView> progressView_;
    std::weak_ptr<TimerButton> timerButton_;
    std::shared_ptr<GuidanceView> guidanceView_;
    std::vector<std::shared_ptr<RotationObservable>> rotationObservers_;
    std::vector<std::shared_ptr<SessionMonitorable>> sessionMonitors_;
    std::string previousTrait_;
    Split splitStatus_ = Split::fullSize;
    bool canRotate_ = true;
    // While the timer runs, the ring shows its value only when the clock's text changes, so a running
    // second draws one frame and not one for each device pixel the ring's end crosses.
    std::string shownTimeText_;
    std::optional<double> heldRingValue_;
};

}  // namespace quorvel
