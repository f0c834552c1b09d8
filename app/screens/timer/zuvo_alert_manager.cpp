#include "app/screens/timer/zuvo_alert_manager.h"

#include <memory>
#include <utility>

#include "analytics/interface/rov_eruzovaza.h"
#include "app/core/app_notification_names.h"
#include "app/core/dazaraze_analytics_manager.h"
#include "app/core/sound_vocabulary.h"
#include "app/core/user_data_manager.h"
#include "app/core/user_default_properties.h"
#include "app/screens/timer/session_question.h"
#include "app/screens/timer/shared_fonts.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/foundation/ns_url.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_alert_action.h"
#include "platform/uikit/controllers/ui_alert_controller.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

namespace {

using platform::UIApplication;

constexpr const char* kTwitterPage = "https://twitter.com/quorvelapp";
constexpr const char* kInstagramPage = "https://www.instagram.com/quorvelapp/";
constexpr const char* kFacebookPage = "https://www.facebook.com/quorvelapp";
constexpr const char* kPrivacyPolicyPage = "https://quorvel.app/privacy";
constexpr const char* kStoreReviewsPage =
    "itms-apps://apps.store.quorvel.app/WebObjects/MZStore.woa/wa/viewContentsUserReviews"
    "?id=1604310000&onlyLatestVersion=true&pageNumber=0&sortOrdering=1&type=Purple+Software";

// A question in the app's style: no title, the question as the message, bouncing in.
std::shared_ptr<QueuedAlertView> question(const std::string& message) {
    auto alert = std::make_shared<QueuedAlertView>(std::nullopt, message);
    alert->setTransitionStyle(QueuedAlertViewTransitionStyleBounce);
    return alert;
}

// "Focus Ticking is back to its default sound.", "Focus Ticking and Short Break Ticking are back to
// their default sounds.": the settings as their rows are titled on the settings screen.
std::string restoredSettingsSentence(const std::vector<SoundOptionFunction::TickingSoundType>& settings) {
    std::string names;
    for (std::size_t i = 0; i < settings.size(); ++i) {
        if (i > 0) names += i + 1 == settings.size() ? " and " : ", ";
        names += tickingSettingTitle(settings[i]);
    }
    return names + (settings.size() == 1 ? " is back to its default sound." : " are back to their default sounds.");
}

// Shows the alert from the main queue, so a question asked inside another's handler comes after it; a
// question whose session went in the meantime does not come up.
void showSoon(const std::shared_ptr<QueuedAlertView>& alert, bool whiteButtonTitles = true,
              std::shared_ptr<SessionQuestion> about = nullptr) {
    alert->setButtonFont(alertButtonFont());
    if (whiteButtonTitles) alert->setButtonColor(platform::UIColor::whiteColor());
    platform::DispatchQueue::main()->async([alert, about] {
        if (!about || about->stands()) alert->show();
    });
}

// "Cancel"-like and "Okay"-like answers of a yes-or-no question; `beforeYes` runs ahead of the
// completion on a yes.
void askYesOrNo(const std::string& message, const std::string& no, const std::string& yes,
                std::function<void(bool)> completion, std::function<void()> beforeYes = nullptr) {
    auto alert = question(message);
    alert->addButtonWithTitle(no, QueuedAlertViewButtonTypeCancel, [completion](QueuedAlertView&) {
        if (completion) completion(false);
    });
    alert->addButtonWithTitle(yes, QueuedAlertViewButtonTypeDefault,
                              [completion, beforeYes](QueuedAlertView&) {
                                  if (beforeYes) beforeYes();
                                  if (completion) completion(true);
                              });
    showSoon(alert);
}

void logPressSkip(const char* answer) {
    analytics::ROVEruzovaza::logEventWithName("Timer_Event", {{"Press_Skip", answer}});
}

void saveSoundSwitch(const UserDefaultProperties& value, VolumeType type) {
    UserDefaultProperties::save(value);
    UserDefaultProperties::standardDefaults()->synchronize();
    if (const auto group = UserDefaultProperties::appGroupDefaults()) group->synchronize();
    platform::NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::soundMuted(),
                                                                         type);
}

// An information alert of the platform, closed by its one button.
void presentNotice(const std::string& title, const std::string& message, const std::string& button) {
    const auto window = UIApplication::sharedApplication().keyWindow();
    const auto root = window ? window->rootViewController() : nullptr;
    if (!root) return;
    auto controller = platform::UIAlertController::alertControllerWithTitle(
        title, message, platform::UIAlertControllerStyle::alert);
    std::weak_ptr<platform::UIAlertController> weak = controller;
    controller->addAction(platform::UIAlertAction::actionWithTitle(
        button, platform::UIAlertActionStyle::cancel, [weak](platform::UIAlertAction&) {
            if (auto shown = weak.lock()) shown->dismissViewControllerAnimated(true);
        }));
    root->presentViewController(controller, true);
}

}  // namespace

void ZuvoAlertManager::showSoundOptionsAlert(std::function<void()> completion) {
    const auto sound = UserDataManager::getSoundSettingData();
    auto alert = question("Sound Options");
    alert->addButtonWithTitle(sound.alarmEnabled ? "Alarm On" : "Alarm Off",
                              QueuedAlertViewButtonTypeAlarmToggle,
                              [](QueuedAlertView&) { toggleAlarmSound(); });
    alert->addButtonWithTitle(sound.tickingEnabled ? "Ticking On" : "Ticking Off",
                              QueuedAlertViewButtonTypeTickingToggle,
                              [](QueuedAlertView&) { toggleTickingSound(); });
    alert->addButtonWithTitle("Done", QueuedAlertViewButtonTypeCancel, [completion](QueuedAlertView&) {
        if (completion) completion();
    });
    // The toggles keep the alert's own button colours.
    showSoon(alert, false);
}

void ZuvoAlertManager::showResetCountAlert(std::function<void(SessionReset)> completion) {
    auto alert = question("Reset Count?");
    for (const auto& choice : {std::pair{"Reset Round", SessionReset::Round},
                               std::pair{"Reset Round & Goal", SessionReset::GoalsRound}}) {
        const SessionReset reset = choice.second;
        alert->addButtonWithTitle(
            choice.first, QueuedAlertViewButtonTypeDefault, [completion, reset](QueuedAlertView&) {
                // Both choices log the round's clearing, as the usage reports always have.
                DazarazeAnalyticsManager::logTimerEvent(TimerEvent::swipe(TimerEvent::ClearType::clearRound));
                if (completion) completion(reset);
            });
    }
    alert->addButtonWithTitle("Cancel", QueuedAlertViewButtonTypeCancel);
    showSoon(alert);
}

void ZuvoAlertManager::showStopOrSkipAlert(bool isStop, const std::string& sessionName,
                                           std::function<void(SessionReset)> completion,
                                           std::shared_ptr<SessionQuestion> about) {
    const std::string word = isStop ? "Stop" : "Skip";
    auto alert = question(word + " current " + sessionName + "?");
    alert->addButtonWithTitle("Cancel", QueuedAlertViewButtonTypeCancel, [about](QueuedAlertView&) {
        if (about) about->takeAnswer();
        logPressSkip("Cancel");
    });
    alert->addButtonWithTitle(
        word, QueuedAlertViewButtonTypeDefault, [completion, isStop, about](QueuedAlertView&) {
            // Tapped as its session went: the one now in hand is not what the person was asked about.
            if (about && !about->takeAnswer()) return;
            if (completion) completion(isStop ? SessionReset::StopAndReset : SessionReset::Skip);
            logPressSkip("Okay");
        });
    if (about) about->closeWithSession(alert);
    showSoon(alert, true, about);
}

void ZuvoAlertManager::showReminderToggleAlert(bool enable, std::function<void(bool)> completion) {
    askYesOrNo(enable ? "Receive reminders?" : "Don't receive reminders?", "Cancel", "Okay",
               std::move(completion));
}

void ZuvoAlertManager::showAutoResetAlert(std::function<void(bool)> completion) {
    askYesOrNo("Checking for Auto-Reset. Clear Pomodoro Round & Goal?", "No, thanks", "Reset",
               std::move(completion));
}

void ZuvoAlertManager::showThemeResetAlert(std::function<void(bool)> completion) {
    askYesOrNo("Initialize the color theme?", "Cancel", "Okay", std::move(completion),
               [] { DazarazeAnalyticsManager::logOptionsEvent(OptionsEventKind::resetColours(true)); });
}

void ZuvoAlertManager::showMediaLibraryEmptyAlert(std::function<void()> completion) {
    auto alert = question(
        "We could not find songs from your media library.\nPlease check your media library or permission.");
    alert->addButtonWithTitle("Okay", QueuedAlertViewButtonTypeDefault, [completion](QueuedAlertView&) {
        if (completion) completion();
    });
    showSoon(alert);
}

void ZuvoAlertManager::showRefusedSongAlert(
    const std::string& fileName, const std::vector<SoundOptionFunction::TickingSoundType>& settingsRestored) {
    std::string message = "\u201c" + fileName + "\u201d cannot be played.\nPlease choose another song.";
    if (!settingsRestored.empty()) message.append("\n").append(restoredSettingsSentence(settingsRestored));
    auto alert = question(message);
    alert->addButtonWithTitle("Okay", QueuedAlertViewButtonTypeDefault, [](QueuedAlertView&) {});
    showSoon(alert);
}

void ZuvoAlertManager::toggleAlarmSound() {
    const bool on = UserDataManager::getSoundSettingData().alarmEnabled;
    saveSoundSwitch(UserDefaultProperties::alarmEnabled(!on), VolumeType::alert);
}

void ZuvoAlertManager::toggleTickingSound() {
    const bool on = UserDataManager::getSoundSettingData().tickingEnabled;
    saveSoundSwitch(UserDefaultProperties::tickingEnabled(!on), VolumeType::ticking);
}

void ZuvoAlertManager::showEmptyMusicAlert() {
    presentNotice("Empty Music",
                  "Couldn't find the path for the music. Maybe it's on the Cloud and not downloaded yet?",
                  "OK");
}

void ZuvoAlertManager::showEmailUsAlert() {
    presentNotice("Email Us", std::string("Please send us email at '") + kSupportAddress + "'.", "Okay");
}

void ZuvoAlertManager::openTwitterPage() {
    openLink(kTwitterPage);
}

void ZuvoAlertManager::openInstagramPage() {
    if (UIApplication::sharedApplication().canOpenURL(kInstagramPage)) {
        openLink(kInstagramPage);
    } else {
        showLinkNotOpenedAlert(kInstagramPage);
    }
}

void ZuvoAlertManager::openFacebookPage() {
    openLink(kFacebookPage);
}

void ZuvoAlertManager::openAppStoreReviews() {
    openLink(kStoreReviewsPage);
}

void ZuvoAlertManager::openPrivacyPolicy() {
    openLink(kPrivacyPolicyPage);
}

void ZuvoAlertManager::openLink(const std::string& address) {
    const auto url = platform::NSURL::URLWithString(address);
    if (!url) return;
    UIApplication::sharedApplication().openURL(url->absoluteString(), {}, [address](bool opened) {
        if (!opened) showLinkNotOpenedAlert(address);
    });
}

void ZuvoAlertManager::showLinkNotOpenedAlert(const std::string& address) {
    presentNotice("Link Not Opened", "Nothing on this computer opens " + address, "OK");
}

}  // namespace quorvel
