#include "app/screens/timer/zuvo_alert_manager.h"

#include <functional>
#include <optional>

#include "app/core/app_notification_names.h"
#include "app/core/sound_vocabulary.h"
#include "app/core/user_data_manager.h"
#include "app/screens/timer/shared_fonts.h"
#include "platform/uikit/ui_alert_action.h"
#include "platform/uikit/ui_alert_controller.h"
#include "platform/uikit/ui_application.h"
#include "tests/app/screens/timer/app_alert_test.h"
#include "tests/support/recording_url_opener.h"

namespace quorvel {
namespace {

using namespace platform;
using P = UserDefaultProperties;
using Manager = ZuvoAlertManager;
using Titles = std::vector<std::string>;

using AppAlerts = testing::AppAlertTest;

// One question as it is asked: how to ask it, its message and its buttons' titles and types.
struct Question {
    const char* what;
    std::function<void()> ask;
    const char* message;
    Titles titles;
    std::vector<QueuedAlertViewButtonType> types;
};

std::vector<QueuedAlertViewButtonType> typesOf(const QueuedAlertView& alert) {
    std::vector<QueuedAlertViewButtonType> types;
    for (const auto& item : alert.items()) types.push_back(item.type);
    return types;
}

constexpr auto kDefault = QueuedAlertViewButtonTypeDefault;
constexpr auto kCancel = QueuedAlertViewButtonTypeCancel;

TEST_F(AppAlerts, EveryQuestionComesFromTheMainQueueWithItsMessageAndButtonsInOrder) {
    const std::vector<Question> questions = {
        {"reset count", [] { Manager::showResetCountAlert(nullptr); }, "Reset Count?",
         {"Reset Round", "Reset Round & Goal", "Cancel"}, {kDefault, kDefault, kCancel}},
        {"stop", [] { Manager::showStopOrSkipAlert(true, "Focus", nullptr); }, "Stop current Focus?",
         {"Cancel", "Stop"}, {kCancel, kDefault}},
        {"skip", [] { Manager::showStopOrSkipAlert(false, "Long Break", nullptr); }, "Skip current Long Break?",
         {"Cancel", "Skip"}, {kCancel, kDefault}},
        {"reminders on", [] { Manager::showReminderToggleAlert(true); }, "Receive reminders?", {"Cancel", "Okay"},
         {kCancel, kDefault}},
        {"reminders off", [] { Manager::showReminderToggleAlert(false); }, "Don't receive reminders?",
         {"Cancel", "Okay"}, {kCancel, kDefault}},
        {"auto-reset", [] { Manager::showAutoResetAlert(); }, "Checking for Auto-Reset. Clear Pomodoro Round & Goal?",
         {"No, thanks", "Reset"}, {kCancel, kDefault}},
        {"theme", [] { Manager::showThemeResetAlert(nullptr); }, "Initialize the color theme?", {"Cancel", "Okay"},
         {kCancel, kDefault}},
        {"media library",
         [] { Manager::showMediaLibraryEmptyAlert(); },
         "We could not find songs from your media library.\nPlease check your media library or permission.",
         {"Okay"},
         {kDefault}},
    };
    for (const auto& question : questions) {
        SCOPED_TRACE(question.what);
        question.ask();
        EXPECT_EQ(QueuedAlertView::currentAlertView(), nullptr) << "not before the main queue runs";
        const auto alert = shownAlert();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->title(), std::nullopt);
        EXPECT_EQ(alert->message(), question.message);
        EXPECT_EQ(buttonTitles(*alert), question.titles);
        EXPECT_EQ(typesOf(*alert), question.types);
        EXPECT_EQ(alert->transitionStyle(), QueuedAlertViewTransitionStyleBounce);
        EXPECT_EQ(alert->buttonFont(), alertButtonFont());
        EXPECT_TRUE(*alert->buttonColor() == *UIColor::whiteColor());
        ASSERT_TRUE(press(question.titles.back()));
        EXPECT_EQ(QueuedAlertView::currentAlertView(), nullptr) << "every button closes it";
    }
}

TEST_F(AppAlerts, AnswersReachTheCompletionAndCancelPassesNothing) {
    std::vector<std::string> answers;
    const auto reset = [&](SessionReset value) { answers.push_back("reset " + std::to_string(int(value))); };
    const auto yesOrNo = [&](bool value) { answers.push_back(value ? "yes" : "no"); };
    const struct {
        std::function<void()> ask;
        const char* button;
    } steps[] = {
        {[&] { Manager::showResetCountAlert(reset); }, "Reset Round"},
        {[&] { Manager::showResetCountAlert(reset); }, "Reset Round & Goal"},
        {[&] { Manager::showResetCountAlert(reset); }, "Cancel"},
        {[&] { Manager::showStopOrSkipAlert(true, "Focus", reset); }, "Stop"},
        {[&] { Manager::showStopOrSkipAlert(false, "Focus", reset); }, "Skip"},
        {[&] { Manager::showStopOrSkipAlert(false, "Focus", reset); }, "Cancel"},
        {[&] { Manager::showAutoResetAlert(yesOrNo); }, "No, thanks"},
        {[&] { Manager::showAutoResetAlert(yesOrNo); }, "Reset"},
        {[&] { Manager::showReminderToggleAlert(true, yesOrNo); }, "Cancel"},
        {[&] { Manager::showThemeResetAlert(yesOrNo); }, "Okay"},
        {[&] { Manager::showMediaLibraryEmptyAlert([&] { answers.push_back("done"); }); }, "Okay"},
    };
    for (const auto& step : steps) {
        step.ask();
        ASSERT_TRUE(press(step.button)) << step.button;
    }
    EXPECT_EQ(answers, (Titles{"reset 0", "reset 1", "reset 3", "reset 2", "no", "yes", "no", "yes", "done"}));
}

TEST_F(AppAlerts, ResetsSkipsAndTheThemeResetAreLogged) {
    Manager::showResetCountAlert(nullptr);
    press("Reset Round");
    Manager::showResetCountAlert(nullptr);
    press("Reset Round & Goal");
    Manager::showResetCountAlert(nullptr);
    press("Cancel");
    Manager::showStopOrSkipAlert(false, "Focus", nullptr);
    press("Cancel");
    Manager::showStopOrSkipAlert(true, "Focus", nullptr);
    press("Stop");
    Manager::showThemeResetAlert(nullptr);
    press("Cancel");
    Manager::showThemeResetAlert(nullptr);
    press("Okay");
    EXPECT_EQ(analyticsEvents(), (Titles{"Timer_Event Swipe=Clear_Round", "Timer_Event Swipe=Clear_Round",
                                         "Timer_Event Press_Skip=Cancel", "Timer_Event Press_Skip=Okay",
                                         "Options_Event Reset_Colours=Enabled"}));
}

TEST_F(AppAlerts, TheSoundTogglesSwitchTheirSettingAndKeepTheOptionsOpenUntilDone) {
    P::save(P::alarmEnabled(false));
    record(NotificationName::soundMuted());
    int done = 0;
    Manager::showSoundOptionsAlert([&] { ++done; });
    auto alert = shownAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->message(), "Sound Options");
    EXPECT_EQ(buttonTitles(*alert), (Titles{"Alarm Off", "Ticking On", "Done"}));
    EXPECT_EQ(typesOf(*alert), (std::vector<QueuedAlertViewButtonType>{QueuedAlertViewButtonTypeAlarmToggle,
                                                                       QueuedAlertViewButtonTypeTickingToggle, kCancel}));
    EXPECT_FALSE(*alert->buttonColor() == *UIColor::whiteColor()) << "the toggles keep their own colours";

    press("Alarm Off");
    EXPECT_TRUE(UserDataManager::getSoundSettingData().alarmEnabled);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(std::any_cast<VolumeType>(posted[0].object), VolumeType::alert);
    EXPECT_EQ(QueuedAlertView::currentAlertView(), alert) << "still open";
    EXPECT_EQ(buttonTitles(*alert), (Titles{"Alarm On", "Ticking On", "Done"}));

    press("Ticking On");
    EXPECT_FALSE(UserDataManager::getSoundSettingData().tickingEnabled);
    EXPECT_TRUE(UserDataManager::getSoundSettingData().alarmEnabled);
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(std::any_cast<VolumeType>(posted[1].object), VolumeType::ticking);
    EXPECT_EQ(buttonTitles(*alert), (Titles{"Alarm On", "Ticking Off", "Done"}));
    EXPECT_EQ(done, 0);
    screenshot("sound_options_alert");

    press("Done");
    EXPECT_EQ(done, 1);
    EXPECT_EQ(QueuedAlertView::currentAlertView(), nullptr);
    EXPECT_EQ(posted.size(), 2u);
}

TEST_F(AppAlerts, WithoutACompletionTheButtonsOnlyClose) {
    Manager::showSoundOptionsAlert();
    ASSERT_TRUE(press("Done"));
    Manager::showMediaLibraryEmptyAlert();
    ASSERT_TRUE(press("Okay"));
    Manager::showReminderToggleAlert(false);
    ASSERT_TRUE(press("Okay"));
    EXPECT_EQ(QueuedAlertView::currentAlertView(), nullptr);
}

TEST_F(AppAlerts, TheResetCountQuestionAsTheAppShowsIt) {
    Manager::showResetCountAlert(nullptr);
    const auto alert = shownAlert();
    ASSERT_NE(alert, nullptr);
    const auto image = screenshot("reset_count_alert");
    const CGRect card = alert->containerView()->frame();
    const auto pixel = image->pixelAt(int((card.minX() + 5) * kScale), int((card.minY() + 8) * kScale));
    EXPECT_GT(pixel.r, 240) << "a white card";
    EXPECT_GT(pixel.b, 240);
}

// The platform's own alerts.
using PlatformNotices = testing::AppAlertTest;

TEST_F(PlatformNotices, ShowOverTheRootControllerAndTheirOneButtonClosesThem) {
    const struct {
        std::function<void()> show;
        const char* title;
        const char* message;
        const char* button;
    } notices[] = {
        {&Manager::showEmptyMusicAlert, "Empty Music",
         "Couldn't find the path for the music. Maybe it's on the Cloud and not downloaded yet?", "OK"},
        {&Manager::showEmailUsAlert, "Email Us", "Please send us email at 'support@quorvel.app'.", "Okay"},
    };
    const auto root = appWindow->rootViewController();
    for (const auto& notice : notices) {
        SCOPED_TRACE(notice.title);
        notice.show();
        const auto alert = std::dynamic_pointer_cast<UIAlertController>(root->presentedViewController());
        ASSERT_NE(alert, nullptr) << "at once, without waiting for the main queue";
        clock->advance(kSettle);
        EXPECT_EQ(alert->title(), notice.title);
        EXPECT_EQ(alert->message(), notice.message);
        EXPECT_EQ(alert->preferredStyle(), UIAlertControllerStyle::alert);
        ASSERT_EQ(alert->actions().size(), 1u);
        EXPECT_EQ(alert->actions()[0]->title(), notice.button);
        EXPECT_EQ(alert->actions()[0]->style(), UIAlertActionStyle::cancel);
        const auto& button = alert->buttons().at(0);
        const CGRect bounds = button->bounds();
        driver.tap(button->convertPointToView(CGPoint{bounds.midX(), bounds.midY()}, nullptr));
        clock->advance(kSettle);
        EXPECT_EQ(root->presentedViewController(), nullptr);
    }
}

TEST_F(PlatformNotices, NothingShowsWithoutAKeyWindowOrItsRootController) {
    const auto root = appWindow->rootViewController();
    appWindow->setRootViewController(nullptr);
    Manager::showEmptyMusicAlert();
    Manager::showEmailUsAlert();
    EXPECT_EQ(root->presentedViewController(), nullptr);
    appWindow->setRootViewController(root);
    appWindow->setHidden(true);
    ASSERT_EQ(UIApplication::sharedApplication().keyWindow(), nullptr);
    Manager::showEmptyMusicAlert();
    clock->advance(kSettle);
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

// The settings screen's link rows, opened through a recording desktop.
class LinkRows : public testing::AppAlertTest {
protected:
    void SetUp() override { UIApplication::sharedApplication().setURLOpener(desktop); }
    void TearDown() override { UIApplication::sharedApplication().setURLOpener(nullptr); }

    std::shared_ptr<quorvel::testing::RecordingURLOpener> desktop =
        std::make_shared<quorvel::testing::RecordingURLOpener>();
};

TEST_F(LinkRows, WebPagesOpenOnTheDesktopAndTheStoreLinkHasNowhereToGo) {
    Manager::openTwitterPage();
    Manager::openInstagramPage();
    Manager::openFacebookPage();
    Manager::openPrivacyPolicy();
    Manager::openAppStoreReviews();
    EXPECT_EQ(desktop->opened, (Titles{"https://twitter.com/quorvelapp", "https://www.instagram.com/quorvelapp/",
                                       "https://www.facebook.com/quorvelapp", "https://quorvel.app/privacy"}));
}

TEST_F(LinkRows, OnlyTheInstagramPageAsksWhetherTheDesktopTakesItFirst) {
    desktop = std::make_shared<quorvel::testing::RecordingURLOpener>(std::set<std::string>{"mailto"});
    UIApplication::sharedApplication().setURLOpener(desktop);
    Manager::openInstagramPage();
    Manager::openTwitterPage();
    EXPECT_EQ(desktop->opened, Titles{"https://twitter.com/quorvelapp"});
}

TEST_F(LinkRows, TextThatFormsNoAddressOpensNothing) {
    Manager::openLink("https://quorvel.app/a page");
    Manager::openLink("");
    Manager::openLink("https://quorvel.app/help");
    EXPECT_EQ(desktop->opened, Titles{"https://quorvel.app/help"});
}

}  // namespace
}  // namespace quorvel
