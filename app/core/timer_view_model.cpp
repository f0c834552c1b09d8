#include "app/core/timer_view_model.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>

#include "analytics/interface/rov_eruzovaza.h"
#include "app/core/app_notification_names.h"
#include "app/core/core_data_manager.h"
#include "app/core/dazaraze_analytics_manager.h"
#include "app/core/formatting_helpers.h"
#include "app/core/session_order.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_data_manager.h"
#include "app/core/user_default_properties.h"
#include "app/core/user_defaults_accessors.h"
#include "platform/amplitude/amplitude.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/ns_calendar.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/saturating_cast.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/usernotifications/un_user_notification_center.h"

namespace quorvel {

using platform::NSDate;
using platform::NSNotificationCenter;

namespace {

constexpr double kTickInterval = 0.1;
constexpr double kTickMilliseconds = 100.0;
constexpr double kAutoRestartDelay = 0.5;
// The minute ring holds the minutes 0 to 64.
constexpr double kLastRingMinute = 64;

std::shared_ptr<TimerViewModel>& sharedSlot() {
    // Never destroyed: the engine lives as long as the process, and is not torn down while it exits.
    static auto* engine = new std::shared_ptr<TimerViewModel>();
    return *engine;
}

// Numbers the sessions of every engine of the process, so that a session of a new engine is not
// taken for one of the engine before it.
std::uint64_t freshSessionNumber() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

std::size_t indexOf(SessionType type) {
    return static_cast<std::size_t>(type);
}

// The round counter when a break ends. A limit of 0 never divides, and -1 (a long break after every
// focus session) always leaves 0.
std::int64_t roundAfterBreak(std::int64_t round, std::int64_t limit) {
    if (limit == 0) return round;
    if (limit == -1) return 0;
    return round % limit;
}

// The remaining fraction of a session; 0 for a session of no length, never a NaN.
double fractionOf(double remaining, double length) {
    return length > 0 ? remaining / length : 0;
}

std::int64_t wholeMinutes(double milliseconds) {
    return platform::truncatedSaturating(milliseconds / TimerViewModel::millisecondPerMinute);
}

const char* onOff(bool on) {
    return on ? "on" : "off";
}

const char* endTimerText(SessionType type) {
    static constexpr std::array<const char*, 3> kTexts{"Focus_Session", "Short_Break", "Long_Break"};
    return kTexts[indexOf(type)];
}

void saveLatestTimerStartedDate(std::optional<NSDate> date) {
    TempUserDefaultProperties::save(TempUserDefaultProperties::latestTimerStartedDate(date));
}

void saveNeedsResumeAtLaunch(bool running) {
    TempUserDefaultProperties::save(TempUserDefaultProperties::needResumeTimerWhenLaunching(running));
}

}  // namespace

std::shared_ptr<TimerViewModel> TimerViewModel::shared() {
    auto& engine = sharedSlot();
    if (!engine) {
        engine = std::shared_ptr<TimerViewModel>(new TimerViewModel());
        engine->registerObservers();
        engine->loadSavedState();
    }
    return engine;
}

void TimerViewModel::resetSharedForTesting() {
    sharedSlot().reset();
}

TimerViewModel::TimerViewModel()
    : appOptions_(UserDataManager::getAppSettingData()), sessionNumber_(freshSessionNumber()) {}

TimerViewModel::~TimerViewModel() {
    if (pomodoroTimer_) pomodoroTimer_->invalidate();
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

const std::string& TimerViewModel::shortName(SessionType type) {
    static const std::array<std::string, 3> kNames{"Focus", "Break", "Long Break"};
    return kNames[indexOf(type)];
}

const std::string& TimerViewModel::fullName(SessionType type) {
    static const std::array<std::string, 3> kNames{"Focus Session", "Short Break", "Long Break"};
    return kNames[indexOf(type)];
}

// Start, pause and ticks.

void TimerViewModel::startTimer(bool userInitiated) {
    if (pomodoroTimer_) pauseTimer(userInitiated);
    ++restartTicket_;
    std::weak_ptr<TimerViewModel> weak = weak_from_this();
    pomodoroTimer_ =
        platform::NSTimer::timerWithTimeInterval(kTickInterval, true, [weak](platform::NSTimer&) {
            if (const auto engine = weak.lock()) engine->processTimerData();
        });
    platform::NSRunLoop::currentRunLoop().addTimer(pomodoroTimer_, platform::NSRunLoopCommonModes);
    if (const auto screen = delegate()) screen->applyTimerStatus(TimerStatus::Running);
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::timerRunningStatus(), true);
    scrollMinuteRing(true);
    setMinuteRingOffset();
    audio_.prepareTickingPlayer(currentSession_.type);
    audio_.play(TimerAudio::Slot::ticking);

    // A process that ends while the timer runs (killed, crashed, the power gone) finds this at its
    // next launch and catches up.
    saveNeedsResumeAtLaunch(true);
    // The session's start and its length in minutes, for the catch-up, and its exact length beside
    // them: a reloaded session is what was left of one, rarely whole minutes.
    const auto saveStart = [this](NSDate start) {
        saveLatestTimerStartedDate(start);
        UserDefaultProperties::standardDefaults()->setInteger(
            wholeMinutes(currentPomodoroLength_),
            UserDefaultProperties::key(UserDefaultProperties::Case::latestLength));
        UserDefaultProperties::save(UserDefaultProperties::latestLengthMilliseconds(currentPomodoroLength_));
    };
    if (elapsedTime_ == currentPomodoroLength_) {
        const auto sounds = UserDataManager::getSoundSettingData();
        if (const auto amplitude = platform::Amplitude::instance()) {
            // The ticking switch is reported as "timer_start_alarm" and the alarm switch as
            // "timer_start_sound".
            amplitude->identify(
                platform::AMPIdentify::identify().set("timer_start_alarm", onOff(sounds.tickingEnabled)));
            amplitude->identify(
                platform::AMPIdentify::identify().set("timer_start_sound", onOff(sounds.alarmEnabled)));
        }
        saveStart(NSDate::now());
    }
    if (userInitiated) {
        // When the session would have started had it run without a pause.
        saveStart(NSDate::now().dateByAddingTimeInterval(-(currentPomodoroLength_ - elapsedTime_) / 1000));
    }
    didPressPlay_ = false;
}

void TimerViewModel::pauseTimer(bool force) {
    stopTimerAndSounds();
    postRunningStatus();
    updateBadge(readTimerBadgeEnabled());
    // A pause in the middle of a session keeps its start for the catch-up; the user's stop does not.
    if (elapsedTime_ == currentPomodoroLength_ || force) saveLatestTimerStartedDate(std::nullopt);
}

void TimerViewModel::stopTimerAndSounds() {
    audio_.replacePlayer(nullptr, TimerAudio::Slot::ticking);
    audio_.replacePlayer(nullptr, TimerAudio::Slot::alert);
    if (pomodoroTimer_) pomodoroTimer_->invalidate();
    pomodoroTimer_ = nullptr;
    saveNeedsResumeAtLaunch(false);
    // A stop also calls off an automatic restart that is still waiting (so does a start).
    ++restartTicket_;
}

void TimerViewModel::processTimerData() {
    if (elapsedTime_ > 0) {
        updateElapsed(ElapsedTimeUpdate::subtract, kTickMilliseconds);
        return;
    }
    // The session ran out one tick ago: the screen has shown zero for a tick.
    stopTimerAndSounds();
    updateElapsed(ElapsedTimeUpdate::clear, 0);
    audio_.prepareAlarmPlayer(currentSession_.type);
    audio_.play(TimerAudio::Slot::alert);
    storeFinishedFocusSession();
    sessionDidFinish();
}

void TimerViewModel::updateElapsed(ElapsedTimeUpdate mode, double amount) {
    switch (mode) {
        case ElapsedTimeUpdate::subtract:
            elapsedTime_ -= amount;
            break;
        case ElapsedTimeUpdate::set:
            elapsedTime_ = amount;
            break;
        case ElapsedTimeUpdate::clear:
            elapsedTime_ = 0;
            break;
    }
    if (elapsedTime_ < 0) return;
    if (shouldUpdateUI_) {
        scheduleScreenUpdate();
        setMinuteRingOffset();
    }
    updateBadge(readTimerBadgeEnabled());
    saveState();
}

void TimerViewModel::updateBadge(bool enabled) {
    const std::int64_t number = enabled && pomodoroTimer_ ? wholeMinutes(elapsedTime_) : 0;
    auto& application = platform::UIApplication::sharedApplication();
    if (number != application.applicationIconBadgeNumber()) application.setApplicationIconBadgeNumber(number);
}

// Session end.

void TimerViewModel::sessionDidFinish() {
    logEndTimer(currentSession_.type);
    countFinishedSession();
    currentSession_ = nextSession();
    sessionNumber_ = freshSessionNumber();
    sessionWholeLength_ = currentSession_.length;
    updateSessionButton();
    rewindSession();
    saveState();
    // The store already holds a finished focus session: the counters and the cleared resume mark go to
    // disk with it, or a kill within the writer's second would count and store it again at the next
    // launch.
    platform::NSUserDefaults::flushAll();
    applyThemeColor();
    if (!UserDataManager::getAppSettingData().autoRestart) {
        postRunningStatus();
        return;
    }
    std::weak_ptr<TimerViewModel> weak = weak_from_this();
    platform::DispatchQueue::main()->asyncAfter(kAutoRestartDelay, [weak, ticket = restartTicket_] {
        const auto engine = weak.lock();
        if (engine && engine->restartTicket_ == ticket) engine->startTimer(false);
    });
}

void TimerViewModel::countFinishedSession() {
    if (currentSession_.type != SessionType::focus) {
        currentRound_ = roundAfterBreak(currentRound_, roundLimit_);
    } else if (currentPomodoroLength_ > 0) {
        // A focus session turned down to no length ends but does not count.
        currentRound_ = platform::addSaturating(currentRound_, 1);
        currentGoal_ = platform::addSaturating(currentGoal_, 1);
    }
}

TimerSession TimerViewModel::nextSession() const {
    const SessionType type = nextSessionType(currentSession_.type, currentRound_, roundLimit_);
    if (type == SessionType::longBreak) {
        DazarazeAnalyticsManager::logSessionEvent(AmplitudeSessionEvent::longBreak(false));
    }
    const std::array minutes{focusDuration_, shortBreakDuration_, longBreakDuration_};
    return {minutes[indexOf(type)] * millisecondPerMinute, type};
}

void TimerViewModel::storeFinishedFocusSession() {
    if (currentSession_.type != SessionType::focus || !(currentPomodoroLength_ > 0)) return;
    CoreDataManager::shared()->insertSession(wholeMinutes(sessionWholeLength_), SessionType::focus,
                                             NSDate::now());
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::changeChartsData());
}

void TimerViewModel::logEndTimer(SessionType type) {
    analytics::ROVEruzovaza::logEventWithName("Timer_Event",
                                              {{"End_Timer", platform::Value(endTimerText(type))}});
}

// The screen.

void TimerViewModel::updateSessionButton() {
    currentPomodoroLength_ = currentSession_.length;
    const auto type = currentSession_.type;
    if (const auto screen = delegate()) {
        const auto container = screen->navigationContainer();
        if (const auto button = container ? container->sessionButton() : nullptr) {
            button->setTitle(shortName(type), platform::UIControlStateNormal);
            button->sizeToFit();
        }
    }
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::sessionDidChange(),
                                                               SessionNames{fullName(type), shortName(type)});
}

void TimerViewModel::rewindSession() {
    elapsedTime_ = currentSession_.length;
    scheduleScreenUpdate();
    scrollMinuteRing(false);
}

void TimerViewModel::refreshUI() {
    scrollMinuteRing(true);
    scheduleScreenUpdate();
    applyThemeColor();
    updateBadge(readTimerBadgeEnabled());
}

void TimerViewModel::postRunningStatus() {
    if (const auto screen = delegate()) {
        screen->applyTimerStatus(pomodoroTimer_ ? TimerStatus::Running : TimerStatus::Stopped);
    }
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::timerRunningStatus(), false);
}

void TimerViewModel::scheduleScreenUpdate() {
    const auto screen = delegate();
    if (!screen) return;
    screen->scheduleTimerScreenUpdate({std::to_string(currentRound_), std::to_string(roundLimit_),
                                       std::to_string(currentGoal_), std::to_string(goalLimit_),
                                       timeTextFromMilliseconds(elapsedTime_),
                                       fractionOf(elapsedTime_, currentPomodoroLength_)});
}

void TimerViewModel::scrollMinuteRing(bool animated) {
    const auto screen = delegate();
    const auto ring = screen ? screen->minuteRing() : nullptr;
    if (!ring) return;
    const auto minutes = std::clamp<std::int64_t>(wholeMinutes(elapsedTime_), 0, kLastRingMinute);
    ring->scrollToItemAtIndex(minutes, animated);
}

void TimerViewModel::setMinuteRingOffset() {
    const auto screen = delegate();
    const auto ring = screen ? screen->minuteRing() : nullptr;
    if (!ring) return;
    ring->setScrollOffset(std::clamp(elapsedTime_ / millisecondPerMinute, 0.0, kLastRingMinute));
}

void TimerViewModel::applyThemeColor() {
    const auto screen = delegate();
    const auto view = screen ? screen->rootView() : nullptr;
    if (view) view->setBackgroundColor(UserDataManager::getPomodoroData().themeColorOf(currentSession_.type));
}

// Changes from outside: resets, skips, the minute ring and the settings.

void TimerViewModel::reset(SessionReset kind) {
    switch (kind) {
        case SessionReset::GoalsRound:
            currentGoal_ = 0;
            [[fallthrough]];
        case SessionReset::Round:
            currentRound_ = 0;
            saveState();
            refreshUI();
            return;
        case SessionReset::Skip:
        case SessionReset::StopAndReset:
            break;
    }
    pauseTimer(false);
    // Leaving a break ends it as far as the round is concerned; leaving a focus session counts nothing.
    const SessionType leaving = currentSession_.type;
    if (leaving != SessionType::focus) currentRound_ = roundAfterBreak(currentRound_, roundLimit_);
    if (kind == SessionReset::Skip && leaving == SessionType::focus) {
        currentSession_ = {shortBreakDuration_ * millisecondPerMinute, SessionType::shortBreak};
    } else {
        currentSession_ = {focusDuration_ * millisecondPerMinute, SessionType::focus};
    }
    sessionNumber_ = freshSessionNumber();
    sessionWholeLength_ = currentSession_.length;
    updateSessionButton();
    rewindSession();
    saveState();
    applyThemeColor();
}

void TimerViewModel::resetSession() {
    reset(SessionReset::StopAndReset);
}

void TimerViewModel::skipSession() {
    if (currentSession_.type == SessionType::longBreak &&
        currentPomodoroLength_ - elapsedTime_ < millisecondPerMinute) {
        DazarazeAnalyticsManager::logSessionEvent(AmplitudeSessionEvent::longBreak(true));
    }
    reset(SessionReset::Skip);
}

void TimerViewModel::setRemainingMinutes(double minutes) {
    if (!std::isfinite(minutes) || minutes < 0) return;
    elapsedTime_ = minutes * millisecondPerMinute;
    pauseTimer(false);
    currentSession_.length = elapsedTime_;
    sessionNumber_ = freshSessionNumber();
    sessionWholeLength_ = elapsedTime_;
    updateSessionButton();
    scheduleScreenUpdate();
    saveState();
}

void TimerViewModel::configure() {
    appOptions_ = UserDataManager::getAppSettingData();
    takeLimitsAndLengths(UserDataManager::getPomodoroData());
    const std::int64_t roundBefore = currentRound_;
    if (currentSession_.type == SessionType::focus) {
        currentRound_ = roundAfterBreak(currentRound_, roundLimit_);
    } else if (roundLimit_ > 0) {
        // During a break the counter stays within 1 … limit, as the counting leaves it.
        const std::int64_t rest = currentRound_ % roundLimit_;
        currentRound_ = currentRound_ < 1 ? 0 : (rest == 0 ? roundLimit_ : rest);
    }
    // Saved like every other change: the round the screen now shows is the one a relaunch reads.
    if (currentRound_ != roundBefore) saveState();
    refreshUI();
}

void TimerViewModel::takeLimitsAndLengths(const PomodoroData& data) {
    roundLimit_ = data.roundLimit;
    goalLimit_ = data.goalLimit;
    focusDuration_ = static_cast<double>(data.focusLength);
    shortBreakDuration_ = static_cast<double>(data.shortBreakLength);
    longBreakDuration_ = static_cast<double>(data.longBreakLength);
}

void TimerViewModel::saveState() {
    using P = UserDefaultProperties;
    const double minutes = elapsedTime_ / millisecondPerMinute;
    const auto text = timeTextFromMilliseconds(elapsedTime_);
    const double progress = fractionOf(elapsedTime_, currentSession_.length);
    // While the timer runs, the remaining time changes on every tick and the catch-up recomputes it
    // from the start date: it goes to disk with the next write something else causes, and when the
    // app leaves the foreground or ends, rather than twice a second.
    const bool running = pomodoroTimer_ != nullptr;
    const auto saveTickValue = running ? &P::saveLazily : &P::save;
    for (const auto& value :
         {P::remainingRoundTime(minutes), P::sharedRemainingRoundTime(minutes),
          P::remainingRoundTimeString(text), P::sharedRemainingRoundTimeString(text),
          P::progressedRoundTime(progress), P::sharedProgressedRoundTime(progress)}) {
        saveTickValue(value);
    }
    for (const auto& value :
         {P::latestTimerType(currentSession_.type), P::sharedLatestTimerType(currentSession_.type),
          P::sessionWholeLength(sessionWholeLength_),
          P::latestRound(currentRound_), P::sharedLatestRound(currentRound_), P::latestGoal(currentGoal_),
          P::sharedLatestGoal(currentGoal_)}) {
        P::save(value);
    }
    if (running) return;
    P::standardDefaults()->synchronize();
    if (const auto group = P::appGroupDefaults()) group->synchronize();
}

// Creation, the app's life cycle and the sound settings.

void TimerViewModel::registerObservers() {
    auto& center = NSNotificationCenter::defaultCenter();
    const auto self = shared_from_this();
    const auto observe = [&](void (TimerViewModel::*handler)(const platform::NSNotification&),
                             const platform::NSNotificationName& name) {
        center.addObserver(self, handler, name);
    };
    observe(&TimerViewModel::skipSessionNotification, NotificationName::sessionSkipAlert());
    observe(&TimerViewModel::resetSessionNotification, NotificationName::shouldResetSession());
    observe(&TimerViewModel::didChangeTickingSound, NotificationName::newTickingSoundSet());
    observe(&TimerViewModel::volumeAdjusted, NotificationName::volumeAdjusted());
    observe(&TimerViewModel::volumeMuted, NotificationName::soundMuted());
    observe(&TimerViewModel::didEnterBackground, platform::UIApplicationDidEnterBackgroundNotification);
    observe(&TimerViewModel::willEnterForeground, platform::UIApplicationWillEnterForegroundNotification);
    observe(&TimerViewModel::logAppTermination, platform::UIApplicationWillTerminateNotification);
}

void TimerViewModel::loadSavedState() {
    const auto data = UserDataManager::getPomodoroData();
    // The saved remaining time becomes the session's length: a half-run session reloads as a fresh
    // one of what was left.
    currentSession_ = {data.remainingRoundTime * millisecondPerMinute, data.latestSessionType};
    // It is still the session it began as, and is stored at its end with the whole length kept beside
    // the saved state. A state saved before that length was kept (or a kept length shorter than what
    // is left, which cannot be this session's) falls back to what was left.
    sessionWholeLength_ = std::max(data.sessionWholeLength, currentSession_.length);
    updateSessionButton();
    currentRound_ = data.latestRound;
    currentGoal_ = data.latestGoal;
    takeLimitsAndLengths(data);
    elapsedTime_ = currentSession_.length;
    refreshUI();
}

void TimerViewModel::skipSessionNotification(const platform::NSNotification&) {
    skipSession();
}

void TimerViewModel::resetSessionNotification(const platform::NSNotification&) {
    resetSession();
}

void TimerViewModel::setAppForeground(bool foreground) {
    shouldUpdateUI_ = foreground;
    saveState();
    scheduleScreenUpdate();
    if (!foreground) return;
    didPressPlay_ = false;
    setMinuteRingOffset();
    applyThemeColor();
}

void TimerViewModel::willEnterForeground(const platform::NSNotification&) {
    setAppForeground(true);
}

void TimerViewModel::didEnterBackground(const platform::NSNotification&) {
    setAppForeground(false);
}

void TimerViewModel::logAppTermination(const platform::NSNotification&) {
    saveState();
    const auto identifiers =
        readScheduledSessionChangeNotificationIDs(*UserDefaultProperties::standardDefaults());
    if (!identifiers.empty()) {
        platform::UNUserNotificationCenter::currentNotificationCenter()
            ->removePendingNotificationRequestsWithIdentifiers(identifiers);
        TempUserDefaultProperties::save(TempUserDefaultProperties::scheduledSessionChangeNotificationIDs({}));
    }
    if (didPressPlay_)
        DazarazeAnalyticsManager::logTimerEvent(TimerEvent::playButtonTriggeredBeforeTermination());
}

void TimerViewModel::didChangeTickingSound(const platform::NSNotification& notification) {
    using Kind = SoundOptionFunction::TickingSoundType;
    const auto* kind = notification.objectAs<Kind>();
    if (!kind || !pomodoroTimer_ || indexOf(currentSession_.type) != static_cast<std::size_t>(*kind)) return;
    audio_.prepareTickingPlayer(currentSession_.type);
    audio_.play(TimerAudio::Slot::ticking);
}

void TimerViewModel::volumeAdjusted(const platform::NSNotification& notification) {
    if (const auto* type = notification.objectAs<VolumeType>()) audio_.applyStoredVolume(*type);
}

void TimerViewModel::volumeMuted(const platform::NSNotification& notification) {
    const auto* type = notification.objectAs<VolumeType>();
    if (!type) return;
    if (*type == VolumeType::ticking) {
        if (!pomodoroTimer_) return;
        // Switched off, the preparation itself gives the silent loop.
        audio_.prepareTickingPlayer(currentSession_.type);
        audio_.play(TimerAudio::Slot::ticking);
    } else if (UserDataManager::getSoundSettingData().alarmEnabled) {
        audio_.prepareAlarmPlayer(currentSession_.type);
    } else {
        audio_.replacePlayer(nullptr, TimerAudio::Slot::alert);
    }
}

// The catch-up after the app was away.

void TimerViewModel::restoreTimer(RestoreMoment moment) {
    const NSDate now = NSDate::now();
    const auto suite = UserDefaultProperties::standardDefaults();
    const auto start = readLatestTimerStartedDate(*suite);
    const auto chainEnd = readLastSessionChangeNotificationDate(*suite);
    // No chain is scheduled while the app is in front: a launch after the process ended there (killed,
    // crashed) walks up to now.
    if (!start || (!chainEnd && moment == RestoreMoment::foreground)) return;
    const auto calendar = platform::NSCalendar::currentCalendar();
    const auto since = calendar.components(platform::NSCalendarUnit::Second, *start, now).second;
    if (!since) return;
    if (moment == RestoreMoment::foreground) {
        // Seconds of the session the engine itself counted: if it lost none, there is nothing to do.
        const double done = (currentPomodoroLength_ - elapsedTime_) / 1000;
        if (currentPomodoroLength_ == elapsedTime_) return;
        if (*since <= platform::truncatedSaturating(done)) return;
    }
    // The chain of session-change notifications says how far the sessions went on by themselves.
    const NSDate end = chainEnd && now > *chainEnd ? *chainEnd : now;
    if (end < *start) return;
    const auto run = calendar.components(platform::NSCalendarUnit::Second, *start, end).second;
    if (!run) return;

    const auto data = UserDataManager::getPomodoroData();
    SessionCatchUp::Settings settings;
    for (const auto type : {SessionType::focus, SessionType::shortBreak, SessionType::longBreak}) {
        settings.lengthSeconds[indexOf(type)] = sessionLengthInSeconds(type);
    }
    settings.roundLimit = data.roundLimit;
    const double startedSeconds = startedSessionSeconds(data);
    // The started session is the one in hand when the app went away; a reloaded one began longer.
    const double wholeSeconds = std::max(sessionWholeLength_ / 1000, startedSeconds);
    auto reached = SessionCatchUp::walk(*run, {startedSeconds, wholeSeconds, data.latestSessionType},
                                        data.latestRound, settings);
    const bool stillStarted = *run < startedSeconds;
    // Still in the session the app left: it cannot have more time left than it had then.
    if (stillStarted) {
        reached.remainingSeconds = std::min(reached.remainingSeconds, elapsedTime_ / 1000);
    } else {
        sessionNumber_ = freshSessionNumber();
    }
    applyRestoredSessionOfLength(reached.remainingSeconds, *start, reached.lengthSeconds,
                                 stillStarted ? wholeSeconds : reached.lengthSeconds, reached.type,
                                 reached.round, reached.finished);
    if (end == now) {
        startTimer(true);
    } else {
        pauseTimer(true);  // the chain ended before now: the timer stands where it ended
    }
}

double TimerViewModel::startedSessionSeconds(const PomodoroData& data) {
    const double minutes = static_cast<double>(data.latestLength) * 60;
    // The exact length counts only beside the minutes it belongs to: a file written before it was
    // kept, or by a start that wrote only the minutes, has the minutes alone.
    const double exact = data.latestLengthMilliseconds;
    if (exact > 0 && wholeMinutes(exact) == data.latestLength) return exact / 1000;
    return minutes;
}

void TimerViewModel::applyRestoredSession(double seconds, NSDate start, std::int64_t minutes,
                                          SessionType type, std::int64_t round,
                                          const std::vector<SessionCatchUp::FinishedFocus>& finished) {
    const double lengthSeconds = static_cast<double>(minutes) * 60;
    applyRestoredSessionOfLength(seconds, start, lengthSeconds, lengthSeconds, type, round, finished);
}

void TimerViewModel::applyRestoredSessionOfLength(double seconds, NSDate start, double lengthSeconds,
                                                  double wholeSeconds, SessionType type, std::int64_t round,
                                                  const std::vector<SessionCatchUp::FinishedFocus>& finished) {
    elapsedTime_ = seconds * 1000;
    currentSession_ = {lengthSeconds * 1000, type};
    sessionWholeLength_ = wholeSeconds * 1000;
    updateSessionButton();
    if (roundLimit_ < round) round = roundAfterBreak(round, roundLimit_);
    currentRound_ = round;
    currentGoal_ = platform::addSaturating(readLatestGoal(), static_cast<std::int64_t>(finished.size()));
    for (const auto& session : finished) {
        CoreDataManager::shared()->insertSession(
            session.minutes, SessionType::focus,
            start.dateByAddingTimeInterval(session.endSecondsAfterStart));
    }
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::changeChartsData());
    saveState();
    refreshUI();
}

}  // namespace quorvel
