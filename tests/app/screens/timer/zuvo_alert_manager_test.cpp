#include "app/screens/timer/zuvo_alert_manager.h"

#include <any>
#include <functional>

#include "app/core/app_notification_names.h"
#include "app/core/sound_vocabulary.h"
#include "app/core/user_data_manager.h"
#include "app/screens/timer/shared_fonts.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/controllers/ui_alert_controller.h"
#include "tests/app/screens/timer/app_alert_test.h"
#include "tests/support/recording_url_opener.h"
#include "tests/support/scoped_observer.h"

namespace quorvel {
namespace {

using namespace platform;
using Manager = ZuvoAlertManager;
using Texts = std::vector<std::string>;
using AppAlerts = testing::AppAlertTest;

TEST_F(AppAlerts, EachQuestionShowsFromTheMainQueueAndReportsTheAnswerPressed) {
    Texts answers;
    const auto reset = [&](SessionReset r) { answers.push_back("reset " + std::to_string(int(r))); };
    const auto yesOrNo = [&](bool yes) { answers.push_back(yes ? "yes" : "no"); };
    const auto resetCount = [&] { Manager::showResetCountAlert(reset); };
    const auto skip = [&] { Manager::showStopOrSkipAlert(false, "Long Break", reset); };
    const auto theme = [&] { Manager::showThemeResetAlert(yesOrNo); };
    const Texts resetButtons = {"Reset Round", "Reset Round & Goal", "Cancel"};
    const struct {
        std::function<void()> ask;
        const char* message;
        Texts buttons;
        const char* press;
    } questions[] = {
        // clang-format off
        {resetCount, "Reset Count?", resetButtons, "Reset Round"},
        {resetCount, nullptr, resetButtons, "Reset Round & Goal"},
        {resetCount, nullptr, resetButtons, "Cancel"},
        {[&] { Manager::showStopOrSkipAlert(true, "Focus", reset); }, "Stop current Focus?",
         {"Cancel", "Stop"}, "Stop"},
        {skip, "Skip current Long Break?", {"Cancel", "Skip"}, "Skip"},
        {skip, nullptr, {"Cancel", "Skip"}, "Cancel"},
        {[&] { Manager::showReminderToggleAlert(false, yesOrNo); }, "Don't receive reminders?",
         {"Cancel", "Okay"}, "Cancel"},
        {[&] { Manager::showReminderToggleAlert(true); }, "Receive reminders?", {"Cancel", "Okay"}, "Okay"},
        {[&] { Manager::showAutoResetAlert(yesOrNo); },
         "Checking for Auto-Reset. Clear Pomodoro Round & Goal?", {"No, thanks", "Reset"}, "Reset"},
        {theme, "Initialize the color theme?", {"Cancel", "Okay"}, "Cancel"},
        {theme, nullptr, {"Cancel", "Okay"}, "Okay"},
        {[&] { Manager::showMediaLibraryEmptyAlert([&] { answers.push_back("done"); }); },
         "We could not find songs from your media library.\nPlease check your media library or permission.",
         {"Okay"}, "Okay"},
        {[&] { Manager::showMediaLibraryEmptyAlert(); }, nullptr, {"Okay"}, "Okay"},
        // clang-format on
    };
    for (const auto& question : questions) {
        SCOPED_TRACE(question.press);
        question.ask();
        EXPECT_EQ(QueuedAlertView::currentAlertView(), nullptr) << "only once the main queue runs";
        const auto alert = shownAlert();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->title(), std::nullopt);
        if (question.message) {
            EXPECT_EQ(alert->message(), question.message);
        }
        EXPECT_EQ(buttonTitles(*alert), question.buttons);
        EXPECT_EQ(alert->transitionStyle(), QueuedAlertViewTransitionStyleBounce);
        EXPECT_EQ(alert->buttonFont(), alertButtonFont());
        EXPECT_TRUE(*alert->buttonColor() == *UIColor::whiteColor());
        if (alert->message() == "Reset Count?" && answers.empty()) screenshot("reset_count_alert");
        ASSERT_TRUE(press(question.press));
        EXPECT_EQ(QueuedAlertView::currentAlertView(), nullptr) << "every button closes it";
    }
    EXPECT_EQ(answers, (Texts{"reset 0", "reset 1", "reset 3", "reset 2", "no", "yes", "no", "yes", "done"}));
    EXPECT_EQ(analyticsEvents(),
              (Texts{"Timer_Event Swipe=Clear_Round", "Timer_Event Swipe=Clear_Round",
                     "Timer_Event Press_Skip=Okay", "Timer_Event Press_Skip=Okay",
                     "Timer_Event Press_Skip=Cancel", "Options_Event Reset_Colours=Enabled"}));
}

TEST_F(AppAlerts, TheSoundSwitchesChangeTheirSettingInPlaceUntilDone) {
    UserDefaultProperties::save(UserDefaultProperties::alarmEnabled(false));
    std::vector<VolumeType> muted;
    quorvel::testing::ScopedObserver mutes(
        NotificationName::soundMuted(),
        [&](const NSNotification& n) { muted.push_back(std::any_cast<VolumeType>(n.object)); });
    int done = 0;
    Manager::showSoundOptionsAlert([&] { ++done; });
    const auto alert = shownAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->message(), "Sound Options");
    EXPECT_EQ(buttonTitles(*alert), (Texts{"Alarm Off", "Ticking On", "Done"}));
    EXPECT_FALSE(*alert->buttonColor() == *UIColor::whiteColor()) << "the switches keep the default colour";

    press("Alarm Off");
    press("Ticking On");
    EXPECT_EQ(QueuedAlertView::currentAlertView(), alert) << "still open";
    EXPECT_EQ(buttonTitles(*alert), (Texts{"Alarm On", "Ticking Off", "Done"}));
    EXPECT_TRUE(UserDataManager::getSoundSettingData().alarmEnabled);
    EXPECT_FALSE(UserDataManager::getSoundSettingData().tickingEnabled);
    EXPECT_EQ(muted, (std::vector<VolumeType>{VolumeType::alert, VolumeType::ticking}));
    screenshot("sound_options_alert");

    press("Done");
    EXPECT_EQ(done, 1);
    EXPECT_EQ(QueuedAlertView::currentAlertView(), nullptr);
}

TEST_F(AppAlerts, ARefusedSongIsNamedWithEachTickingSettingThatWentBackToItsDefault) {
    using Kind = SoundOptionFunction::TickingSoundType;
    const std::string refused = "\u201ctone-b.flac\u201d cannot be played.\nPlease choose another song.";
    const struct {
        std::vector<Kind> restored;
        std::string message;
    } tellings[] = {
        {{}, refused},
        {{Kind::shortBreak}, refused + "\nShort Break Ticking is back to its default sound."},
        {{Kind::focus, Kind::shortBreak},
         refused + "\nFocus Ticking and Short Break Ticking are back to their default sounds."},
        {{Kind::focus, Kind::shortBreak, Kind::longBreak},
         refused + "\nFocus Ticking, Short Break Ticking and Long Break Ticking are back to their default sounds."},
    };
    for (const auto& telling : tellings) {
        SCOPED_TRACE(telling.message);
        Manager::showRefusedSongAlert("tone-b.flac", telling.restored);
        const auto alert = shownAlert();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->message(), telling.message);
        EXPECT_EQ(buttonTitles(*alert), Texts{"Okay"});
        if (telling.restored.size() == 2) screenshot("refused_song_alert");
        ASSERT_TRUE(press("Okay"));
    }
}

TEST_F(AppAlerts, ThePlatformNoticesShowAtOnceOverTheRootAndNotWithoutIt) {
    const auto root = appWindow->rootViewController();
    for (const auto& [show, title, message, button] :
         {std::tuple{&Manager::showEmptyMusicAlert, "Empty Music",
                     "Couldn't find the path for the music. Maybe it's on the Cloud and not downloaded yet?",
                     "OK"},
          std::tuple{&Manager::showEmailUsAlert, "Email Us", "Please send us email at 'support@quorvel.app'.",
                     "Okay"}}) {
        show();
        const auto notice = std::dynamic_pointer_cast<UIAlertController>(root->presentedViewController());
        ASSERT_NE(notice, nullptr);
        clock->advance(kSettle);
        EXPECT_EQ(notice->title(), title);
        EXPECT_EQ(notice->message(), message);
        ASSERT_EQ(notice->actions().size(), 1u);
        EXPECT_EQ(notice->actions()[0]->title(), button);
        EXPECT_EQ(notice->actions()[0]->style(), UIAlertActionStyle::cancel);
        tap(*notice->buttons().at(0));
        EXPECT_EQ(root->presentedViewController(), nullptr);
    }
    appWindow->setHidden(true);
    Manager::showEmptyMusicAlert();
    EXPECT_EQ(root->presentedViewController(), nullptr) << "no key window";
}

TEST_F(AppAlerts, LinkRowsOpenOnlyAddressesTheDesktopTakes) {
    auto desktop = std::make_shared<testing::RecordingURLOpener>();
    UIApplication::sharedApplication().setURLOpener(desktop);
    Manager::openTwitterPage();
    Manager::openInstagramPage();
    Manager::openFacebookPage();
    Manager::openPrivacyPolicy();
    Manager::openAppStoreReviews();  // the store app's scheme: nothing here takes it
    Manager::openLink("https://quorvel.app/a page");
    EXPECT_EQ(desktop->opened,
              (Texts{"https://twitter.com/quorvelapp", "https://www.instagram.com/quorvelapp/",
                     "https://www.facebook.com/quorvelapp", "https://quorvel.app/privacy"}));

    desktop = std::make_shared<testing::RecordingURLOpener>(std::set<std::string>{"mailto"});
    UIApplication::sharedApplication().setURLOpener(desktop);
    Manager::openInstagramPage();
    Manager::openTwitterPage();
    EXPECT_EQ(desktop->opened, Texts{"https://twitter.com/quorvelapp"})
        << "only the Instagram page asks first";
    UIApplication::sharedApplication().setURLOpener(nullptr);
}

}  // namespace
}  // namespace quorvel
