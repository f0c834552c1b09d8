#include "app/screens/timer/time_view_controller.h"

#include "analytics/interface/rov_eruzovaza.h"
#include "app/core/app_notification_names.h"
#include "app/core/dazaraze_analytics_manager.h"
#include "app/core/navigation_bar_style.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/timer_view_model.h"
#include "app/core/user_data_manager.h"
#include "app/core/user_default_properties.h"
#include "app/screens/timer/released_line.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/devicekit/device.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/sizeclasser/size_classer.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/navigation/ui_bar_button_item.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/navigation/ui_navigation_item.h"

namespace quorvel {

using namespace platform;

namespace {

bool isLandscape() {
    return UIDeviceOrientationIsLandscape(UIDevice::currentDevice().orientation());
}

TimerStatus engineStatus() {
    return TimerViewModel::shared()->pomodoroTimer() ? TimerStatus::Running : TimerStatus::Stopped;
}

bool hasGuidedOnce(TempUserDefaultProperties::Case flag) {
    return UserDefaultProperties::standardDefaults()->boolForKey(TempUserDefaultProperties::key(flag));
}

const char* splitDescription(Split split) {
    switch (split) {
        case Split::oneThird:
            return "1/3 Split";
        case Split::oneHalf:
            return "1/2 Split";
        case Split::twoThirds:
            return "2/3 Split";
        case Split::fullSize:
            break;
    }
    return "Full Screen";
}

std::string number(CGFloat value) {
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

TimeViewController::~TimeViewController() {
    printReleased("TimeViewController");
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

std::shared_ptr<TimeViewController> TimeViewController::self() {
    return std::static_pointer_cast<TimeViewController>(shared_from_this());
}

void TimeViewController::setElapsedTimeView(const std::shared_ptr<ElapsedTimeDisplayView>& view) {
    elapsedTimeView_ = view;
    if (view) view->setDelegate(self());
}

void TimeViewController::setCarouselView(const std::shared_ptr<CarouselView>& view) {
    carouselView_ = view;
    if (view) view->setDelegate(self());
}

void TimeViewController::setStatisticsHolder(const std::shared_ptr<StatisticsBottomContainer>& holder) {
    statisticsHolder_ = holder;
    if (holder) holder->setDelegate(self());
}

void TimeViewController::setProgressView(const std::shared_ptr<ProgressView>& view) {
    progressView_ = view;
    if (const auto button = view ? view->progressButton() : nullptr) button->setDelegate(self());
}

void TimeViewController::setTimerButton(const std::shared_ptr<TimerButton>& button) {
    timerButton_ = button;
    if (button) button->setDelegate(self());
}

unsigned TimeViewController::supportedInterfaceOrientations() const {
    return UIInterfaceOrientationMaskAll;
}

void TimeViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setNavigationBarButtons();
    sessionMonitors_ = {elapsedTimeView(), statisticsHolder(), timerButton()};
    rotationObservers_ = {contentHolder(),   timerButton(),      carouselView(),
                          elapsedTimeView(), statisticsHolder(), progressView()};
}

void TimeViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    configureTimerScreen();
    updateUILayout();
    auto& center = NSNotificationCenter::defaultCenter();
    // Once per screen however often it appears.
    center.removeObserver(this);
    const std::weak_ptr<TimeViewController> weak = self();
    center.addObserver(self(), &TimeViewController::adjustNavigationControllerLeftBarButton,
                       NotificationName::navigationBarButtonSet());
    center.addObserver(this, NotificationName::deviceRotated(), [weak](const NSNotification&) {
        if (const auto screen = weak.lock()) screen->updateUILayout();
    });
    center.addObserver(self(), &TimeViewController::rotationNotificationReceived,
                       NotificationName::enableDeviceRotation());
    // A guidance that came up over an open alert lies in the alert's window, which goes with the alert.
    center.addObserver(this, QueuedAlertViewDidDismissNotification, [weak](const NSNotification&) {
        if (const auto screen = weak.lock()) screen->keepGuidanceShown();
    });
}

void TimeViewController::viewDidAppear(bool animated) {
    UIViewController::viewDidAppear(animated);
    if (const auto navigation = navigationController()) styleNavigationBar(true, navigation->navigationBar());
}

void TimeViewController::viewDidLayoutSubviews() {
    UIViewController::viewDidLayoutSubviews();
    showGuidanceIfNeeded();
    view()->layoutIfNeeded();
    if (const auto button = timerButton()) button->setUserInteractionEnabled(isLandscape());
    detectSplitStatus();
}

std::shared_ptr<UIView> TimeViewController::rootView() {
    return viewIfLoaded();
}

std::shared_ptr<TimerNavigationContainer> TimeViewController::navigationContainer() {
    return std::dynamic_pointer_cast<TimerNavigationContainer>(navigationController());
}

void TimeViewController::applyTimerStatus(TimerStatus status) {
    if (const auto view = progressView(); view && view->progressButton()) {
        view->progressButton()->updateTimerStatus(status);
    }
    if (const auto view = elapsedTimeView()) view->setCurrentTimerStatus(status);
    if (const auto button = timerButton()) button->setCurrentTimerStatus(status);
    // A pause shows where the timer stopped, not where its last second began.
    if (status == TimerStatus::Stopped) showHeldRingValue();
}

void TimeViewController::scheduleTimerScreenUpdate(const TimerScreenUpdate& update) {
    DispatchQueue::main()->async([screen = self(), update] { screen->showDisplayUpdate(update); });
}

void TimeViewController::showDisplayUpdate(const TimerScreenUpdate& update) {
    if (const auto view = elapsedTimeView()) {
        const auto button = view->timerControlButton();
        if (const auto clock = std::dynamic_pointer_cast<TimerButton>(button)) {
            clock->setTitle(update.timeText, UIControlStateNormal);
        } else if (button) {
            button->setTitle(update.timeText, UIControlStateNormal);
        }
    }
    for (const auto& monitor : sessionMonitors_) {
        if (monitor)
            monitor->updateSessionCounts(update.round, update.roundLimit, update.goal, update.goalLimit);
    }
    // The ring steps with the clock; an emptied ring (its refill) and a stopped timer show at once.
    const bool clockStepped = update.timeText != shownTimeText_;
    shownTimeText_ = update.timeText;
    heldRingValue_ = update.fraction;
    if (clockStepped || engineStatus() == TimerStatus::Stopped || !(update.fraction > 0)) showHeldRingValue();
}

void TimeViewController::showHeldRingValue() {
    if (!heldRingValue_) return;
    if (const auto view = progressView(); view && view->progressViewDisplay()) {
        view->progressViewDisplay()->setValue(static_cast<float>(*heldRingValue_), 0);
    }
    heldRingValue_.reset();
}

void TimeViewController::toggleTimer(TimerStatus status) {
    const auto engine = TimerViewModel::shared();
    std::string value;
    if (status == TimerStatus::Stopped) {
        engine->setDidPressPlay(true);
        engine->startTimer(true);
        value = "Stop";
    } else {
        engine->setDidPressPlay(false);
        engine->pauseTimer(true);
        value = "Start";
    }
    analytics::ROVEruzovaza::logEventWithName("Timer_Event", {{"Press_Button", value}});
}

void TimeViewController::adjustNavigationControllerLeftBarButton(const NSNotification& notification) {
    const auto* index = notification.objectAs<int>();
    const auto container = navigationContainer();
    if (!index || !container) return;
    const auto buttons = container->navigationBarButtons();
    if (*index < 0 || *index >= static_cast<int>(buttons.size())) return;
    navigationItem()->setLeftBarButtonItem(UIBarButtonItem::itemWithCustomView(buttons[*index]));
}

void TimeViewController::rotationNotificationReceived(const NSNotification& notification) {
    const auto* enabled = notification.objectAs<bool>();
    if (!enabled) return;
    canRotate_ = *enabled;
    if (!*enabled) return;
    if (guidanceView_) guidanceView_->removeFromSuperview();
    guidanceView_ = nullptr;
    setNavigationBarButtons();
    // The device may have turned while the guidance held the screen: the screen takes its orientation now,
    // not at the next turn.
    UIViewController::attemptRotationToDeviceOrientation();
}

void TimeViewController::updateUILayout() {
    DazarazeAnalyticsManager::logTimerEvent(
        TimerEvent::orientation(isLandscape() ? Rotation::landscape : Rotation::portrait));
    DispatchQueue::main()->async([weak = std::weak_ptr<TimeViewController>(self())] {
        const auto screen = weak.lock();
        if (!screen) return;
        const auto orientation = UIDevice::currentDevice().orientation();
        for (const auto& observer : screen->rotationObservers_) {
            if (observer) observer->updateForRotation(orientation, screen->splitStatus_);
        }
        screen->printLayoutMetrics();
    });
}

void TimeViewController::configureTimerScreen() {
    const auto engine = TimerViewModel::shared();
    engine->setDelegate(self());
    engine->configure();
    const auto colors = UserDataManager::getPomodoroData();
    switch (engine->currentSession().type) {
        case SessionType::focus:
            view()->setBackgroundColor(colors.focusThemeColor);
            break;
        case SessionType::shortBreak:
            view()->setBackgroundColor(colors.shortBreakThemeColor);
            break;
        case SessionType::longBreak:
            view()->setBackgroundColor(colors.longBreakThemeColor);
            break;
    }
    // The clock button hears the status too, so a tap on it in landscape pauses a running timer.
    applyTimerStatus(engineStatus());
}

void TimeViewController::setNavigationBarButtons() {
    const auto container = navigationContainer();
    if (!container) return;
    navigationItem()->setRightBarButtonItem(UIBarButtonItem::itemWithCustomView(container->skipButton()));
    const auto session = container->sessionButton();
    navigationItem()->setLeftBarButtonItem(UIBarButtonItem::itemWithCustomView(session));
    if (!session) return;
    session->setTitle(TimerViewModel::shortName(TimerViewModel::shared()->currentSession().type),
                      UIControlStateNormal);
    // The button was sized for the title it had: "Long Break" would be cut to fit "Focus".
    session->sizeToFit();
}

void TimeViewController::showGuidanceIfNeeded() {
    const auto window = UIWindow::keyWindow();
    const auto root = window ? window->rootViewController() : nullptr;
    if (!root || guidanceView_) return;
    const auto flag = isLandscape() ? TempUserDefaultProperties::Case::hasGuidedOnceLandscape
                                    : TempUserDefaultProperties::Case::hasGuidedOncePortrait;
    if (!hasGuidedOnce(flag)) showGuidance(root);
}

void TimeViewController::showGuidance(const std::shared_ptr<UIViewController>& root) {
    navigationItem()->setLeftBarButtonItems({});
    navigationItem()->setRightBarButtonItems({});
    const auto& host = root->view();
    guidanceView_ =
        GuidanceView::make(host->bounds(), isLandscape() ? GuidanceType::landscape : GuidanceType::standard);
    guidanceView_->setTranslatesAutoresizingMaskIntoConstraints(false);
    guidanceView_->setDidEndGoude([weak = std::weak_ptr<TimeViewController>(self())](GuidanceType type) {
        if (const auto screen = weak.lock()) screen->guidanceDidEnd(type);
    });
    layGuidanceOver(host);
    guidanceView_->setBackgroundColor(UIColor::colorWithWhite(0.0, 0.7));
    canRotate_ = false;
}

void TimeViewController::layGuidanceOver(const std::shared_ptr<UIView>& host) {
    host->addSubview(guidanceView_);
    NSLayoutConstraint::activateConstraints({
        guidanceView_->topAnchor().constraintEqualToAnchor(host->topAnchor()),
        guidanceView_->bottomAnchor().constraintEqualToAnchor(host->bottomAnchor()),
        guidanceView_->rightAnchor().constraintEqualToAnchor(host->rightAnchor()),
        guidanceView_->leftAnchor().constraintEqualToAnchor(host->leftAnchor()),
    });
}

void TimeViewController::keepGuidanceShown() {
    const auto window = viewIfLoaded() ? viewIfLoaded()->window() : nullptr;
    const auto shown = guidanceView_ ? guidanceView_->window() : nullptr;
    if (!guidanceView_ || shown == window || (shown && !shown->isHidden())) return;
    const auto root = window ? window->rootViewController() : nullptr;
    if (!root) return;
    // Until the person pages through it, the guidance holds the screen and its rotation.
    guidanceView_->removeFromSuperview();
    layGuidanceOver(root->view());
}

void TimeViewController::guidanceDidEnd(GuidanceType type) {
    // A phone's landscape guidance leaves the table's hint for the portrait one.
    const bool pad = UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiom::pad;
    if (pad || type == GuidanceType::standard) {
        if (const auto table = statisticsHolder()) table->showRevealHintIfNeeded();
    }
}

void TimeViewController::detectSplitStatus(const std::optional<UITraitCollection>& traits) {
    const UITraitCollection own = traits ? *traits : traitCollection();
    const auto classer = SizeClasser::initWithTraitCollection(&own);
    if (!classer) return;
    std::string description = "Full Size";
    Split split = Split::fullSize;
    if (classer->contains(SizeClasser::splitOneThird)) {
        description = "Split View 1/3";
        split = Split::oneThird;
    } else if (classer->contains(SizeClasser::splitOneHalf)) {
        description = "Split View 1/2";
        split = Split::oneHalf;
    } else if (classer->contains(SizeClasser::splitTwoThirds)) {
        description = "Split View 2/3";
        split = Split::twoThirds;
    }
    if (description == previousTrait_) return;
    previousTrait_ = description;
    splitStatus_ = split;
    updateUILayout();
}

void TimeViewController::printLayoutMetrics() {
    const auto orientation = UIDevice::currentDevice().orientation();
    Console::print("--------------------------------------------------");
    Console::print("Device = " + Device::current().description());
    Console::print(std::string("Orientation = ") + (isLandscape() ? "Landscape" : "Portrait"));
    Console::print(std::string("Current Trait = ") + splitDescription(splitStatus_));
    if (const auto view = progressView(); view && view->progressViewDisplay()) {
        const CGSize size = view->progressViewDisplay()->frame().size;
        Console::print("Progress View Size = (" + number(size.width) + ", " + number(size.height) + ")");
    }
    Console::print("Timer Button Font Size == " +
                   number(TimerButton::titleFont(orientation, splitStatus_)->pointSize()));
    if (const auto ring = carouselView(); ring && ring->carouselSizing()) {
        const auto& sizing = *ring->carouselSizing();
        Console::print("Carousel MainIndicatorHeight = " + number(sizing.mainIndicatorHeight));
        Console::print("Carousel SubIndicatorHeight = " + number(sizing.subIndicatorHeight));
        Console::print("Carousel Spacing = " + number(sizing.indicatorSpacing));
        Console::print("Carousel FadeFactor = " + number(sizing.fadeFactor));
    }
    if (const auto holder = contentHolder()) {
        long index = 0;
        for (const auto& section : holder->subviews()) {
            const CGSize size = section->frame().size;
            Console::print("Section " + std::to_string(index++) + " -- Width " + number(size.width) +
                           " | Height " + number(size.height));
        }
    }
}

}  // namespace quorvel
