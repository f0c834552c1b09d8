#include "app/core/app_delegate.h"

#include "analytics/interface/dzr_app.h"
#include "app/core/amplitude_session_event.h"
#include "app/core/app_notification_names.h"
#include "app/core/chosen_music_check.h"
#include "app/core/cloud_sync_manager.h"
#include "app/core/core_data_manager.h"
#include "app/core/dazaraze_analytics_manager.h"
#include "app/core/first_launch_defaults.h"
#include "app/core/focus_reminder_schedule.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/timer_view_model.h"
#include "app/core/user_data_manager.h"
#include "app/core/user_default_properties.h"
#include "app/core/user_defaults_accessors.h"
#include "app/core/zuvo_local_notification_manager.h"
#include "platform/amplitude/amplitude.h"
#include "platform/backgroundtasks/bg_task_scheduler.h"
#include "platform/bugsnag/bugsnag.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_calendar.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "platform/promises/promise.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/usernotifications/un_user_notification_center.h"

namespace quorvel {

using platform::NSDate;
using platform::UIApplication;
using platform::UNUserNotificationCenter;
using Temp = TempUserDefaultProperties;

namespace {

constexpr auto kAllPresentationOptions = static_cast<platform::UNNotificationPresentationOptions>(
    platform::UNNotificationPresentationOptionBadge | platform::UNNotificationPresentationOptionSound |
    platform::UNNotificationPresentationOptionAlert);
constexpr auto kBadgeSoundAndAlert = static_cast<platform::UNAuthorizationOptions>(
    platform::UNAuthorizationOptionBadge | platform::UNAuthorizationOptionSound | platform::UNAuthorizationOptionAlert);
constexpr double kSecondsPerDay = 86400;

void synchronizeBothSuites() {
    UserDefaultProperties::standardDefaults()->synchronize();
    if (auto group = UserDefaultProperties::appGroupDefaults()) group->synchronize();
}

// The timer state's twins share their keys between the two suites.
void recoverTimerState(const platform::NSUserDefaults& group) {
    using Case = UserDefaultProperties::Case;
    const auto standard = UserDefaultProperties::standardDefaults();
    for (const auto which : {Case::sharedLatestRound, Case::sharedLatestGoal, Case::sharedRemainingRoundTime,
                             Case::sharedProgressedRoundTime, Case::sharedRemainingRoundTimeString,
                             Case::sharedLatestTimerType}) {
        const std::string key = UserDefaultProperties::key(which);
        if (const auto value = group.objectForKey(key)) standard->setObject(*value, key);
    }
}

NSDate startOfToday() {
    return platform::NSCalendar::currentCalendar().startOfDayForDate(NSDate::now());
}

std::string appIdentifier() {
    const auto bundle = platform::NSBundle::mainBundle();
    const std::string identifier = bundle ? bundle->bundleIdentifier() : std::string();
    return identifier.empty() ? "org.quorvel.Quorvel" : identifier;
}

}  // namespace

AppDelegate::AppDelegate(std::shared_ptr<AutoResetPrompt> autoResetPrompt)
    : syncBGRefreshTaskID_(appIdentifier() + ".refresh.sync"), autoResetPrompt_(std::move(autoResetPrompt)) {}

AppDelegate::~AppDelegate() {
    platform::NSNotificationCenter::defaultCenter().removeObserver(this);
}

// Platform entries.

bool AppDelegate::applicationDidFinishLaunchingWithOptions(UIApplication&,
                                                           const platform::Value::Dictionary& launchOptions) {
    return finishLaunching(launchOptions);
}

void AppDelegate::applicationWillResignActive(UIApplication& application) {
    application.setIdleTimerDisabled(false);
}

void AppDelegate::applicationDidEnterBackground(UIApplication&) {
    enterBackground();
}

void AppDelegate::applicationWillEnterForeground(UIApplication&) {
    enterForeground();
}

void AppDelegate::applicationDidBecomeActive(UIApplication&) {
    becomeActive();
}

void AppDelegate::applicationWillTerminate(UIApplication&) {
    terminate();
}

void AppDelegate::userNotificationCenter(
    UNUserNotificationCenter&, const std::shared_ptr<platform::UNNotification>&,
    std::function<void(platform::UNNotificationPresentationOptions)> completionHandler) {
    if (completionHandler) completionHandler(kAllPresentationOptions);
}

void AppDelegate::didChangeLockScreen(const platform::NSNotification& notification) {
    if (const bool* keepAwake = notification.objectAs<bool>())
        UIApplication::sharedApplication().setIdleTimerDisabled(*keepAwake);
}

// Launch.

bool AppDelegate::finishLaunching(const platform::Value::Dictionary&) {
    if (auto amplitude = platform::Amplitude::instance()) amplitude->initializeApiKey(kAmplitudeApiKey);
    platform::Bugsnag::start();
    const auto center = UNUserNotificationCenter::currentNotificationCenter();
    center->requestAuthorizationWithOptions(kBadgeSoundAndAlert, [](bool, std::shared_ptr<platform::NSError>) {});
    std::weak_ptr<AppDelegate> weakSelf = weak_from_this();
    platform::BGTaskScheduler::sharedScheduler().registerForTaskWithIdentifier(
        syncBGRefreshTaskID_, nullptr, [weakSelf](std::shared_ptr<platform::BGTask> task) {
            if (auto self = weakSelf.lock()) {
                self->handleRefreshTask(task);
            } else {
                task->setTaskCompletedWithSuccess(false);
            }
        });

    const bool firstLaunch = !UserDefaultProperties::standardDefaults()->boolForKey(
        Temp::key(Temp::Case::launchedOnce));
    if (firstLaunch) writeFirstLaunchDefaults();
    applyIdleTimerSetting();
    if (isAutoResetDue()) resetCounters();
    center->setDelegate(shared_from_this());
    analytics::DZRApp::configure();

    auto store = CoreDataManager::shared();
    store->setUpStore();
    if (auto context = CoreDataManager::context()) store->setNumberHolder(NumberHolder::fetchOrInsert(*context));
    store->save();
    CloudSyncManager::shared()->synchronize();
    checkChosenMusic();
    // The library lists a song before its probe has answered: one it refuses later is gone as well.
    platform::NSNotificationCenter::defaultCenter().addObserver(
        this, platform::MPMediaLibraryDidChangeNotification,
        [](const platform::NSNotification&) { ChosenMusicCheck::checkChosenMusic(); });
    platform::NSNotificationCenter::defaultCenter().addObserver(shared_from_this(), &AppDelegate::didChangeLockScreen,
                                                                NotificationName::enableLockScreen());

    // Set while a timer runs: the last process ended without stopping it (in the background, or killed
    // or crashed in front).
    const auto standard = UserDefaultProperties::standardDefaults();
    bool running = false;
    if (standard->boolForKey(Temp::key(Temp::Case::needResumeTimerWhenLaunching))) {
        const auto engine = TimerViewModel::shared();
        engine->restoreTimer(RestoreMoment::launch);
        running = engine->pomodoroTimer() != nullptr;
    }
    // A run that ended without its termination step left its chain pending; the restore above has
    // already read how far it went.
    ZuvoLocalNotificationManager::removeStaleSessionChangeNotifications();
    Temp::save(Temp::needResumeTimerWhenLaunching(running));
    // The reminder the defaults switch on becomes a pending notification once, on the first launch.
    if (firstLaunch) FocusReminderSchedule::rescheduleFromSettings();
    return true;
}

void AppDelegate::writeFirstLaunchDefaults() {
    // An app group that already holds values outlived a standard suite lost to damage: it keeps them,
    // and the timer state comes back from it.
    const auto group = UserDefaultProperties::appGroupDefaults();
    const bool groupKept = group && !group->dictionaryRepresentation().empty();
    for (const auto& value : firstLaunchDefaults()) {
        if (!groupKept || !UserDefaultProperties::isShared(value.which())) UserDefaultProperties::save(value);
    }
    if (groupKept) recoverTimerState(*group);
    synchronizeBothSuites();
    Temp::save(Temp::checkedDate(NSDate::now()));
    Temp::save(Temp::launchedOnce(true));
    Temp::save(Temp::sessionCountPostingDate(startOfToday()));
}

void AppDelegate::applyIdleTimerSetting() {
    UIApplication::sharedApplication().setIdleTimerDisabled(UserDataManager::getAppSettingData().preventLockScreenEnabled);
}

// The daily auto-reset.

bool AppDelegate::isAutoResetDue() const {
    const auto settings = UserDataManager::getAppSettingData();
    if (!settings.resetCounterAtMidnight) return false;
    const auto checked = checkedDate(*UserDefaultProperties::standardDefaults());
    if (!checked) return false;
    const NSDate now = NSDate::now();
    const auto calendar = platform::NSCalendar::currentCalendar();
    auto components = calendar.components(platform::NSCalendarUnit::Year | platform::NSCalendarUnit::Month |
                                              platform::NSCalendarUnit::Day,
                                          now);
    if (!components.day) return false;
    components.hour = settings.autoResetHour;
    components.minute = 0;
    components.second = 0;
    auto moment = calendar.dateFromComponents(components);
    if (moment && now < *moment) {
        // Today's moment has not come: yesterday's is the last one.
        components.day = *components.day - 1;
        moment = calendar.dateFromComponents(components);
    }
    if (!moment || now < *moment) return false;
    return *checked < *moment;
}

void AppDelegate::checkAutoReset() {
    if (!isAutoResetDue()) return;
    if (autoResetPrompt_) {
        std::weak_ptr<AppDelegate> weakSelf = weak_from_this();
        autoResetPrompt_->showAutoResetAlert([weakSelf](bool reset) {
            if (auto self = weakSelf.lock()) {
                self->applyAutoResetChoice(reset);
            } else {
                DazarazeAnalyticsManager::logAutoResetChoice(reset);
            }
        });
    }
    // Written when asked, not when answered: a dismissed question is not asked again that day.
    Temp::save(Temp::checkedDate(NSDate::now()));
}

void AppDelegate::applyAutoResetChoice(bool reset) {
    if (reset) {
        auto engine = TimerViewModel::shared();
        engine->setCurrentGoal(0);
        engine->setCurrentRound(0);
        engine->saveState();
        engine->refreshUI();
    }
    DazarazeAnalyticsManager::logAutoResetChoice(reset);
}

void AppDelegate::resetCounters() {
    using P = UserDefaultProperties;
    for (const auto& value :
         {P::latestRound(0), P::sharedLatestRound(0), P::latestGoal(0), P::sharedLatestGoal(0)}) {
        P::save(value);
    }
    // A timer that ran when the last process ended is restored from the session it ran: made a fresh
    // focus session here, a break would be walked and stored as a focus session that never ran.
    const auto standard = P::standardDefaults();
    if (!standard->boolForKey(Temp::key(Temp::Case::needResumeTimerWhenLaunching))) {
        const auto length = UserDataManager::getPomodoroData().focusLength;
        const auto minutes = static_cast<double>(length);
        const auto text = std::to_string(length) + ":00";
        // Its whole length too: one kept from a minute ring turned before would be stored at its end.
        for (const auto& value :
             {P::latestTimerType(SessionType::focus), P::sharedLatestTimerType(SessionType::focus),
              P::sessionWholeLength(minutes * 60000), P::remainingRoundTime(minutes),
              P::sharedRemainingRoundTime(minutes), P::progressedRoundTime(1.0),
              P::sharedProgressedRoundTime(1.0), P::remainingRoundTimeString(text),
              P::sharedRemainingRoundTimeString(text)}) {
            P::save(value);
        }
    }
    synchronizeBothSuites();
    Temp::save(Temp::checkedDate(NSDate::now()));
}

void AppDelegate::checkChosenMusic() {
    ChosenMusicCheck::checkChosenMusic();
}

// Background, foreground, activation and termination.

void AppDelegate::enterBackground() {
    if (TimerViewModel::shared()->pomodoroTimer()) {
        scheduleSessionChangeNotifications();
        if (TimerViewModel::shared()->pomodoroTimer()) Temp::save(Temp::needResumeTimerWhenLaunching(true));
    }
    scheduleRefreshTask();
}

void AppDelegate::scheduleSessionChangeNotifications() {
    // The chain must be stored before the app is suspended: the next return reads how far it goes.
    auto& application = UIApplication::sharedApplication();
    const auto hold = application.beginBackgroundTask();
    const auto queue = platform::promisesDefaultQueue();
    platform::Promise<bool>(queue,
                            [](auto fulfill, auto) { ZuvoLocalNotificationManager::checkAuthorization(fulfill); })
        .then(queue, [hold](bool authorised) {
            auto& app = UIApplication::sharedApplication();
            const auto engine = TimerViewModel::shared();
            ZuvoLocalNotificationManager::scheduleSessionChangeNotifications(
                authorised, {app.applicationState() == platform::UIApplicationState::active, engine->currentRound(),
                             engine->currentGoal(), engine->elapsedTime()});
            app.endBackgroundTask(hold);
        });
}

void AppDelegate::scheduleRefreshTask() {
    std::shared_ptr<platform::NSError> error;
    if (!platform::BGTaskScheduler::sharedScheduler().submitTaskRequest(
            platform::BGAppRefreshTaskRequest(syncBGRefreshTaskID_), &error)) {
        platform::Console::print("Could not schedule app refresh: " + (error ? error->description() : std::string()));
    }
}

void AppDelegate::enterForeground() {
    applyIdleTimerSetting();
    const auto engine = TimerViewModel::shared();
    engine->restoreTimer();
    Temp::save(Temp::needResumeTimerWhenLaunching(engine->pomodoroTimer() != nullptr));
    ZuvoLocalNotificationManager::removeSessionChangeNotifications();
    CoreDataManager::shared()->save();
}

void AppDelegate::becomeActive() {
    applyIdleTimerSetting();
    checkAutoReset();
    reportYesterdaysSessionCount();
}

void AppDelegate::reportYesterdaysSessionCount() {
    const NSDate today = startOfToday();
    const auto posted = readSessionCountPostingDate(*UserDefaultProperties::standardDefaults());
    if (!posted) return;
    const auto calendar = platform::NSCalendar::currentCalendar();
    if (calendar.compareDate(*posted, today, platform::NSCalendarUnit::Day) != platform::NSOrderedAscending) return;
    const auto sessions =
        CoreDataManager::shared()->fetchSessions(today.dateByAddingTimeInterval(-kSecondsPerDay), today);
    DazarazeAnalyticsManager::logSessionEvent(
        AmplitudeSessionEvent::sessionCount(static_cast<std::int64_t>(sessions.size())));
    Temp::save(Temp::sessionCountPostingDate(today));
}

void AppDelegate::terminate() {
    auto& application = UIApplication::sharedApplication();
    application.setNetworkActivityIndicatorVisible(false);
    application.setApplicationIconBadgeNumber(0);
    if (TimerViewModel::shared()->pomodoroTimer()) Temp::save(Temp::needResumeTimerWhenLaunching(false));
    scheduleRefreshTask();
    CoreDataManager::closeStore();
}

// The background refresh task.

void AppDelegate::handleRefreshTask(const std::shared_ptr<platform::BGTask>& task) {
    task->setExpirationHandler([weakTask = std::weak_ptr(task)] {
        if (auto expiring = weakTask.lock()) expiring->setTaskCompletedWithSuccess(false);
    });
    performBackgroundSync([task] { task->setTaskCompletedWithSuccess(true); });
}

void AppDelegate::performBackgroundSync(std::function<void()> completion) {
    platform::DispatchQueue::global()->async(
        [self = shared_from_this(), completion = std::move(completion)] { self->saveStoreForSync(completion); });
}

void AppDelegate::saveStoreForSync(std::function<void()> completion) {
    auto context = CoreDataManager::context();
    if (!context) return;
    context->performBlock(
        [self = shared_from_this(), completion = std::move(completion)] { self->flushPendingSyncChanges(completion); });
}

void AppDelegate::flushPendingSyncChanges(std::function<void()> completion) {
    CoreDataManager::shared()->save();
    auto ensemble = CloudSyncManager::shared()->ensemble();
    if (!ensemble) {
        if (completion) completion();
        return;
    }
    ensemble->processPendingChangesWithCompletion([completion](std::shared_ptr<platform::NSError>) {
        if (completion) completion();
    });
}

}  // namespace quorvel
