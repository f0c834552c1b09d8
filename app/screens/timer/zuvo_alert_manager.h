#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/sound_vocabulary.h"
#include "app/core/timer_vocabulary.h"

namespace quorvel {

class SessionQuestion;

// Every question the app asks the user, and the actions behind the settings screen's link rows. The
// queued alerts come up from a main-queue work item, so one asked for inside another's handler shows
// after it; each reports the user's choice to the caller's completion, which acts on it. The two
// information alerts of the platform show at once over the key window's root controller. Main thread.
class ZuvoAlertManager {
public:
    // Where the user's mail to the makers goes.
    static constexpr const char* kSupportAddress = "support@quorvel.app";

    // "Sound Options": the alarm and ticking toggles, which switch their setting and keep the alert
    // open, and "Done", which closes it and runs the completion.
    static void showSoundOptionsAlert(std::function<void()> completion = nullptr);
    // "Reset Count?": "Reset Round" (Round), "Reset Round & Goal" (GoalsRound) or "Cancel" (nothing).
    static void showResetCountAlert(std::function<void(SessionReset)> completion);
    // "Stop current Focus?" or "Skip current Focus?": "Cancel" or "Stop"/"Skip" (StopAndReset/Skip).
    // Asked `about` a session, it comes up and answers only while that session is in hand, and closes
    // once it is gone.
    static void showStopOrSkipAlert(bool isStop, const std::string& sessionName,
                                    std::function<void(SessionReset)> completion,
                                    std::shared_ptr<SessionQuestion> about = nullptr);
    // "Receive reminders?" or "Don't receive reminders?", with "Cancel" (false) and "Okay" (true).
    static void showReminderToggleAlert(bool enable, std::function<void(bool)> completion = nullptr);
    // Whether to clear the day's round and goal: "No, thanks" (false) or "Reset" (true).
    static void showAutoResetAlert(std::function<void(bool)> completion = nullptr);
    // "Initialize the color theme?": "Cancel" (false) or "Okay" (true).
    static void showThemeResetAlert(std::function<void(bool)> completion);
    // The media library has no songs to choose from.
    static void showMediaLibraryEmptyAlert(std::function<void()> completion = nullptr);

    // Invert the stored switch, write both suites to disk and post "SoundMuted" with the volume type.
    static void toggleAlarmSound();
    static void toggleTickingSound();

    // A song file that does not play: picked, it is not chosen; chosen before, the default sound
    // plays in its place, and the alert names each ticking setting that went back to its default.
    // One "Okay" button.
    static void showRefusedSongAlert(
        const std::string& fileName,
        const std::vector<SoundOptionFunction::TickingSoundType>& settingsRestored = {});

    // Platform alerts with one "OK"/"Okay" button; nothing shows without a key window and its root.
    static void showEmptyMusicAlert();
    static void showEmailUsAlert();

    // The link rows: each hands its address to the desktop, and where the desktop refuses it, says so
    // with an alert naming the address.
    static void openTwitterPage();
    // Only when something on this desktop takes the link.
    static void openInstagramPage();
    static void openFacebookPage();
    static void openAppStoreReviews();
    static void openPrivacyPolicy();
    // Opens the address when the text forms one; nothing otherwise.
    static void openLink(const std::string& address);
    static void showLinkNotOpenedAlert(const std::string& address);
};

}  // namespace quorvel
