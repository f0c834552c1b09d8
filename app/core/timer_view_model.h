#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/core/session_catch_up.h"
#include "app/core/settings_records.h"
#include "app/core/timer_audio.h"
#include "app/core/timer_feedback_delegate.h"
#include "app/core/timer_vocabulary.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/foundation/ns_timer.h"

namespace quorvel {

// A session in hand: its length in milliseconds (as given when it began or when its minutes were
// set) and its type.
struct TimerSession {
    double length = 1.0;
    SessionType type = SessionType::focus;

    bool operator==(const TimerSession&) const = default;
};

// How the remaining time changes.
enum class ElapsedTimeUpdate { subtract, set, clear };

// When the catch-up runs: on the return to the foreground, or at a cold launch after the process
// ended while a timer ran (the engine is new then and cannot tell how long it ran).
enum class RestoreMoment { foreground, launch };

// The object of "SessionDidChange": the full and the short name of the new session's type.
using SessionNames = std::pair<std::string, std::string>;

// The app's one timer engine. It counts the current session down in 100 ms ticks on the main run
// loop, counts finished focus sessions into the round and the daily goal, chooses the next session,
// plays the ticking and the alarm, stores finished focus sessions, saves its state after every
// change, and shows all of it through its weak delegate, the timer screen. Time is in milliseconds
// (minutes × 60000). Main thread only.
class TimerViewModel : public std::enable_shared_from_this<TimerViewModel> {
public:
    static constexpr double millisecondPerMinute = 60000.0;

    // The shared engine, made on first use: it observes the app's notifications and loads the saved
    // state.
    static std::shared_ptr<TimerViewModel> shared();
    // Tests: drops the shared engine, so the next use makes a new one from the stored state.
    static void resetSharedForTesting();
    ~TimerViewModel();

    static const std::string& shortName(SessionType type);
    static const std::string& fullName(SessionType type);

    const AppSettingData& appOptions() const { return appOptions_; }
    std::shared_ptr<TimerFeedbackDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<TimerFeedbackDelegate>& delegate) { delegate_ = delegate; }
    // Present exactly while the timer runs.
    const std::shared_ptr<platform::NSTimer>& pomodoroTimer() const { return pomodoroTimer_; }
    const TimerSession& currentSession() const { return currentSession_; }
    // Tells the session in hand from every other: it changes whenever that session ends or is skipped,
    // stopped or replaced, and no two sessions of this process share one.
    std::uint64_t sessionNumber() const { return sessionNumber_; }
    // The time still to run in the current session (the name notwithstanding, it counts down).
    double elapsedTime() const { return elapsedTime_; }
    // The current session's length, the denominator of its progress.
    double currentPomodoroLength() const { return currentPomodoroLength_; }
    // The length the current session began with; more than its length when it was reloaded from the
    // saved state with what was left of it. A finished focus session is stored with these minutes.
    double sessionWholeLength() const { return sessionWholeLength_; }
    std::int64_t currentRound() const { return currentRound_; }
    void setCurrentRound(std::int64_t round) { currentRound_ = round; }
    std::int64_t currentGoal() const { return currentGoal_; }
    void setCurrentGoal(std::int64_t goal) { currentGoal_ = goal; }
    std::int64_t roundLimit() const { return roundLimit_; }
    std::int64_t goalLimit() const { return goalLimit_; }
    // Minutes.
    double focusDuration() const { return focusDuration_; }
    double shortBreakDuration() const { return shortBreakDuration_; }
    double longBreakDuration() const { return longBreakDuration_; }
    // Set by the play action just before it starts the timer.
    bool didPressPlay() const { return didPressPlay_; }
    void setDidPressPlay(bool pressed) { didPressPlay_ = pressed; }
    // False while the app is in the background: ticks then leave the screen alone.
    bool shouldUpdateUI() const { return shouldUpdateUI_; }
    const std::optional<std::filesystem::path>& tickingAudioURL() const { return audio_.tickingAudioURL(); }
    const std::shared_ptr<AudioPlayer>& tickingAudioPlayer() const { return audio_.tickingAudioPlayer(); }
    const std::shared_ptr<AudioPlayer>& alertAudioPlayer() const { return audio_.alertAudioPlayer(); }

    // Starts or resumes the countdown. The play action passes true, the automatic restart false.
    void startTimer(bool userInitiated);
    // Stops the countdown and keeps the remaining time. The user's stop passes true.
    void pauseTimer(bool force);

    void updateSessionButton();
    void refreshUI();
    void rewindSession();
    void postRunningStatus();
    // The icon badge shows the remaining whole minutes while the timer runs and `enabled` is set.
    void updateBadge(bool enabled);

    void reset(SessionReset kind);
    void resetSession();
    void skipSession();
    // The minute ring was turned: a session of that many minutes, same type, paused.
    void setRemainingMinutes(double minutes);
    // Reloads the settings; the current session keeps its length until the next one.
    void configure();
    // Writes the timer state into both suites.
    void saveState();
    void setAppForeground(bool foreground);

    // Puts the timer where it would be had it run on while the app was away, from the stored start
    // and notification-chain dates; at a launch without a chain (the process ended in front), up to
    // now.
    void restoreTimer(RestoreMoment moment = RestoreMoment::foreground);
    void applyRestoredSession(double seconds, platform::NSDate start, std::int64_t minutes, SessionType type,
                              std::int64_t round, const std::vector<SessionCatchUp::FinishedFocus>& finished);

private:
    // The started session's length for the catch-up: exact where it was kept, else whole minutes.
    static double startedSessionSeconds(const PomodoroData& data);
    void applyRestoredSessionOfLength(double seconds, platform::NSDate start, double lengthSeconds,
                                      double wholeSeconds, SessionType type, std::int64_t round,
                                      const std::vector<SessionCatchUp::FinishedFocus>& finished);
    TimerViewModel();
    void registerObservers();
    void loadSavedState();

    void processTimerData();
    void updateElapsed(ElapsedTimeUpdate mode, double amount);
    void sessionDidFinish();
    void countFinishedSession();
    TimerSession nextSession() const;
    void storeFinishedFocusSession();
    void logEndTimer(SessionType type);
    // Stops the countdown and both sounds.
    void stopTimerAndSounds();
    void scheduleScreenUpdate();
    void scrollMinuteRing(bool animated);
    void setMinuteRingOffset();
    void applyThemeColor();
    void takeLimitsAndLengths(const PomodoroData& data);

    void skipSessionNotification(const platform::NSNotification& notification);
    void resetSessionNotification(const platform::NSNotification& notification);
    void didChangeTickingSound(const platform::NSNotification& notification);
    void volumeAdjusted(const platform::NSNotification& notification);
    void volumeMuted(const platform::NSNotification& notification);
    void willEnterForeground(const platform::NSNotification& notification);
    void didEnterBackground(const platform::NSNotification& notification);
    void logAppTermination(const platform::NSNotification& notification);

    AppSettingData appOptions_;
    TimerAudio audio_;
    std::weak_ptr<TimerFeedbackDelegate> delegate_;
    std::shared_ptr<platform::NSTimer> pomodoroTimer_;
    TimerSession currentSession_;
    double elapsedTime_ = 0;
    double currentPomodoroLength_ = 0;
    double sessionWholeLength_ = 0;
    std::int64_t currentRound_ = 0;
    std::int64_t currentGoal_ = 0;
    std::int64_t roundLimit_ = 4;
    std::int64_t goalLimit_ = 12;
    double focusDuration_ = 60.0;
    double shortBreakDuration_ = 180.0;
    double longBreakDuration_ = 60.0;
    bool didPressPlay_ = false;
    bool shouldUpdateUI_ = true;
    // Moves on with every start and stop, so a delayed automatic restart can tell it is outdated.
    std::uint64_t restartTicket_ = 0;
    std::uint64_t sessionNumber_;
};

}  // namespace quorvel
