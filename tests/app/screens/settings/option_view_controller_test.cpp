#include "app/screens/settings/option_view_controller.h"

#include "app/core/app_notification_names.h"
#include "app/core/theme_colors.h"
#include "app/core/timer_view_model.h"
#include "app/core/user_data_manager.h"
#include "app/screens/reminders/reminder_settings_controller.h"
#include "app/screens/settings/carousel_options_view_controller.h"
#include "app/screens/settings/color_picker_view_controller.h"
#include "app/screens/settings/option_table_view_cell.h"
#include "app/screens/settings/settings_storyboard.h"
#include "app/screens/settings/sound_options_view_controller.h"
#include "app/screens/settings/value_table_controller.h"
#include "app/screens/settings/volume_alert_view_controller.h"
#include "app/screens/timer/zuvo_alert_manager.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/messageui/mf_mail_compose_view_controller.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/controllers/ui_alert_controller.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ns_keyed_unarchiver.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/nibs/ui_storyboard.h"
#include "tests/app/screens/reminders/screen_test.h"
#include "tests/app/screens/settings/settings_screen_test.h"
#include "tests/support/recording_url_opener.h"

using namespace quorvel;
using namespace platform;
using P = UserDefaultProperties;
using quorvel::testing::sameColour;

namespace {

// The settings screen as its storyboard makes it, in a navigation controller in a shown window of the
// chosen device, tapped by a finger; links and mail go to a recording opener.
class SettingsScreen : public quorvel::testing::ScreenTest {
protected:
    SettingsScreen() {
        SettingsStoryboard::registerScenes();
        UIApplication::sharedApplication().setURLOpener(opener);
    }
    ~SettingsScreen() override {
        NSNotificationCenter::defaultCenter().removeObserver(this);
        UIApplication::sharedApplication().setURLOpener(nullptr);
        OptionTableViewCell::setIconBadgeUpdater(nullptr);
    }

    void show(const char* model = "iPhone8") {
        DeviceProfile::setCurrent(*DeviceProfile::named(model));
        UIScreen::mainScreen().reset();
        UIDevice::currentDevice().reset();
        screen = std::dynamic_pointer_cast<OptionViewController>(
            UIStoryboard::storyboardWithName(SettingsStoryboard::kName)->instantiateInitialViewController());
        ASSERT_NE(screen, nullptr);
        navigation = UINavigationController::withRootViewController(screen);
        window = std::make_shared<UIWindow>();
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        settle();
    }
    void settle() {
        clock_->advance(1);
        window->layoutIfNeeded();
    }
    // The row's cell, scrolled into view when `scroll` says so.
    std::shared_ptr<OptionTableViewCell> cell(long section, long row, bool scroll = true) {
        const auto path = NSIndexPath::indexPathForRow(row, section);
        if (scroll) screen->tableView()->scrollToRowAtIndexPath(path, UITableViewScrollPosition::middle, false);
        window->layoutIfNeeded();
        return std::dynamic_pointer_cast<OptionTableViewCell>(screen->tableView()->cellForRowAtIndexPath(path));
    }
    // A finger on the row's title, as the user taps it.
    void tapRow(long section, long row) {
        auto shown = cell(section, row);
        ASSERT_NE(shown, nullptr);
        const CGRect frame = shown->convertRectToView(shown->bounds(), nullptr);
        touches_.tap({frame.minX() + 40, frame.midY()});
        settle();
    }
    // Taps the button of that title on the queued alert that shows; false when there is none.
    bool press(const std::string& title) {
        settle();
        const auto alert = QueuedAlertView::currentAlertView();
        for (const auto& button : alert ? alert->buttons() : decltype(alert->buttons()){}) {
            if (button->titleForState(UIControlStateNormal) != title) continue;
            const CGRect frame = button->convertRectToView(button->bounds(), nullptr);
            touches_.tap({frame.midX(), frame.midY()});
            settle();
            return true;
        }
        return false;
    }
    template <class Controller>
    std::shared_ptr<Controller> presented() {
        return std::dynamic_pointer_cast<Controller>(navigation->presentedViewController());
    }
    template <class Controller>
    std::shared_ptr<Controller> pushed() {
        return std::dynamic_pointer_cast<Controller>(navigation->topViewController());
    }
    // The colour stored under the setting's key, in the standard or the app-group suite.
    static std::shared_ptr<UIColor> storedColor(P::Case which, bool group = false) {
        auto data = (group ? P::appGroupDefaults() : P::standardDefaults())->dataForKey(P::key(which));
        return data ? NSKeyedUnarchiver::unarchiveColor(*data) : nullptr;
    }
    // The settings writes since the last call that store a colour.
    std::vector<std::string> colourWrites() {
        std::vector<std::string> colours;
        for (const auto& write : takeWrites())
            if (write.ends_with(" Color")) colours.push_back(write);
        return colours;
    }

    std::shared_ptr<quorvel::testing::RecordingURLOpener> opener = std::make_shared<quorvel::testing::RecordingURLOpener>();
    std::shared_ptr<OptionViewController> screen;
    std::shared_ptr<UINavigationController> navigation;
    std::shared_ptr<UIWindow> window;
};

}  // namespace

TEST_F(SettingsScreen, EveryAppearanceShowsTheStoredSettingsOnTheFocusColour) {
    P::save(P::focusThemeColor(UIColor::colorWithRed(0.1, 0.5, 0.2, 1)));
    show();
    auto& table = *screen->tableView();
    EXPECT_EQ(screen->numberOfSectionsInTableView(table), 8);
    EXPECT_EQ(screen->tableViewTitleForHeaderInSection(table, 4), "THEME COLOR");
    EXPECT_EQ(screen->tableViewNumberOfRowsInSection(table, 7), 6);
    EXPECT_TRUE(sameColour(screen->view()->backgroundColor(), UIColor::colorWithRed(0.1, 0.5, 0.2, 1)));

    P::save(P::focusLength(40));
    P::standardDefaults()->removeObjectForKey(P::key(P::Case::focusThemeColor));
    screen->beginAppearanceTransition(false, false);
    screen->endAppearanceTransition();
    screen->beginAppearanceTransition(true, false);
    screen->endAppearanceTransition();
    EXPECT_EQ(cell(0, 0)->badgeLabel()->text(), "40 minutes");
    EXPECT_TRUE(sameColour(screen->view()->backgroundColor(), defaultFocusThemeColor()));
}

TEST_F(SettingsScreen, RowsPushTheScreenThatEditsThemSetForTheirRow) {
    show();
    using Alarm = SoundOptionFunction::AlarmSoundType;
    using Ticking = SoundOptionFunction::TickingSoundType;
    const std::vector<std::tuple<long, long, std::function<bool()>>> rows = {
        {1, 2, [&] { return pushed<ValueTableController>() != nullptr; }},
        {2, 1, [&] { return pushed<SoundOptionsViewController>()->function() == SoundOptionFunction::ticking(Ticking::shortBreak); }},
        {3, 2, [&] { return pushed<SoundOptionsViewController>()->function() == SoundOptionFunction::alarm(Alarm::longBreak); }},
        {4, 1, [&] { return pushed<ColorPickerViewController>()->colourPickerFunction() == ColourPickerFunction::shortBreakColour; }},
        {4, 2, [&] { return pushed<ColorPickerViewController>()->colourPickerFunction() == ColourPickerFunction::longBreakColor; }},
        {6, 4, [&] { return pushed<ReminderSettingsController>() != nullptr; }},
    };
    for (const auto& [section, row, opened] : rows) {
        tapRow(section, row);
        ASSERT_EQ(navigation->viewControllers().size(), 2u) << section << "." << row;
        EXPECT_TRUE(opened()) << section << "." << row;
        navigation->popViewControllerAnimated(false);
        settle();
        EXPECT_EQ(screen->tableView()->indexPathForSelectedRow(), std::nullopt) << "let go on the way back";
    }
    // A sender that is not a colour function hands nothing over: the screen opens on its default.
    screen->performSegueWithIdentifier(OptionViewController::SegueIdentifier::colourPicker, 3);
    EXPECT_EQ(pushed<ColorPickerViewController>()->colourPickerFunction(), ColourPickerFunction::focusColour);

    // Without a navigation controller the reminder row opens nothing.
    window->setRootViewController(screen);
    screen->handleSelection(NSIndexPath::indexPathForRow(4, 6));
    settle();
    EXPECT_EQ(screen->presentedViewController(), nullptr);
}

TEST_F(SettingsScreen, APickerOpensOnItsValueAndTheListShowsWhatItSaved) {
    show();
    for (const auto& [row, function] : {std::pair{0L, CarouselFunction::timer(TimerLengthSetting::focus)},
                                        std::pair{1L, CarouselFunction::timer(TimerLengthSetting::shortBreak)}}) {
        tapRow(0, row);
        auto picker = presented<CarouselOptionsViewController>();
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->function(), function);
        EXPECT_EQ(picker->contentViewTopConstraint()->priority(), 749) << "slid in once presented";
        picker->dismissAnimated();
        settle();
    }
    tapRow(1, 1);
    auto picker = presented<CarouselOptionsViewController>();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->function(), CarouselFunction::focus(SessionSetting::dailyGoal));
    picker->carouselDidSelectItemAtIndex(*picker->carousel(), 6);
    picker->save();
    settle();
    EXPECT_EQ(presented<UIViewController>(), nullptr);
    EXPECT_EQ(UserDataManager::getPomodoroData().goalLimit, 7);
    EXPECT_EQ(cell(1, 1)->badgeLabel()->text(), "7");
    EXPECT_EQ(screen->tableView()->indexPathForSelectedRow(), std::nullopt);
}

TEST_F(SettingsScreen, AVolumeSheetStoresItsVolumeAndTellsTheEngineWhichOneChanged) {
    P::save(P::focusThemeColor(UIColor::colorWithRed(0.2, 0.3, 0.9, 1)));
    show();
    std::vector<VolumeType> adjusted;
    NSNotificationCenter::defaultCenter().addObserver(this, NotificationName::volumeAdjusted(), [&](const auto& n) {
        adjusted.push_back(std::any_cast<VolumeType>(n.object));
    });
    const auto setVolume = [&](long row, float value) {
        tapRow(5, row);
        auto sheet = presented<VolumeAlertViewController>();
        EXPECT_TRUE(sameColour(sheet->tintColor(), UIColor::colorWithRed(0.2, 0.3, 0.9, 1)));
        sheet->volumeSlider()->setValue(value);
        sheet->onValueChanged(*sheet->volumeSlider());
        const std::string title = sheet->titleLabel()->text();
        sheet->onDone();
        settle();
        return title;
    };
    takeWrites();
    EXPECT_EQ(setVolume(1, 0.3f), "Volume of Ticking");
    EXPECT_EQ(takeWrites(), (std::vector<std::string>{"com.brelloc.quorvel SoundVolumeTicking"}));
    EXPECT_EQ(cell(5, 1)->badgeLabel()->text(), "3.0");
    EXPECT_EQ(setVolume(0, 0.8f), "Volume of Alarm");
    EXPECT_FLOAT_EQ(UserDataManager::getSoundSettingData().alarmVolume, 0.8f);
    EXPECT_EQ(adjusted, (std::vector<VolumeType>{VolumeType::ticking, VolumeType::alert}));

    screen->onShowAlert();
    settle();
    EXPECT_EQ(presented<VolumeAlertViewController>()->subtitleLabel()->text(), "8.0") << "the stored alarm volume";
}

TEST_F(SettingsScreen, SwitchRowsNeitherHighlightNorOpenAnything) {
    show();
    const std::vector<std::tuple<long, long, bool>> highlights = {
        {5, 0, true}, {5, 1, true}, {5, 2, false}, {5, 3, false}, {6, 0, false},
        {6, 3, false}, {6, 4, true}, {0, 0, true}, {7, 5, true}};
    for (const auto& [section, row, highlighted] : highlights) {
        EXPECT_EQ(screen->tableViewShouldHighlightRowAtIndexPath(*screen->tableView(),
                                                                 NSIndexPath::indexPathForRow(row, section)),
                  highlighted)
            << section << "." << row;
    }
    tapRow(5, 2);
    tapRow(6, 1);
    EXPECT_EQ(presented<UIViewController>(), nullptr);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_FALSE(cell(5, 2)->isSelected());
}

// The colour screen and the auto-reset list change one section each: only that section is shown
// afresh, from the list as it stands, which is rebuilt only on the next appearance.
TEST_F(SettingsScreen, ColourAndAutoResetNotificationsReloadOnlyTheirSection) {
    show("iPadPro12Inch");
    const auto scribble = [&] {
        for (long section : {1L, 4L}) cell(section, 0, false)->badgeLabel()->setText("scribbled");
    };
    scribble();
    P::save(P::focusThemeColor(UIColor::blackColor()));
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::colourSet(), {});
    EXPECT_EQ(cell(4, 0, false)->badgeLabel()->text(), "Focus");
    EXPECT_TRUE(sameColour(cell(4, 0, false)->badgeLabel()->backgroundColor(), defaultFocusThemeColor()));
    EXPECT_EQ(cell(1, 0, false)->badgeLabel()->text(), "scribbled");

    scribble();
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::autoResetSound(), {});
    EXPECT_EQ(cell(1, 0, false)->badgeLabel()->text(), "4");
    EXPECT_EQ(cell(4, 0, false)->badgeLabel()->text(), "scribbled");
}

TEST_F(SettingsScreen, TheDefaultThemeIsStoredInBothSuitesOnlyWhenTheUserAgrees) {
    const auto green = UIColor::colorWithRed(0, 1, 0, 1);
    for (auto setting : {P::focusThemeColor(green), P::shortBreakThemeColor(green), P::longBreakThemeColor(green),
                         P::sharedFocusThemeColor(green), P::sharedShortBreakThemeColor(green),
                         P::sharedLongBreakThemeColor(green)}) {
        P::save(setting);
    }
    show();
    int colourSets = 0;
    NSNotificationCenter::defaultCenter().addObserver(this, NotificationName::colourSet(), [&](const auto&) { ++colourSets; });
    takeWrites();
    tapRow(4, 3);
    ASSERT_TRUE(press("Cancel"));
    EXPECT_TRUE(colourWrites().empty());

    tapRow(4, 3);
    ASSERT_TRUE(press("Okay"));
    const std::string group = "group.Brelloc.PomodoroShare ";
    EXPECT_EQ(colourWrites(), (std::vector<std::string>{"com.brelloc.quorvel Pomodoro Color",
                                                        "com.brelloc.quorvel Short Break Color",
                                                        "com.brelloc.quorvel Long Break Color", group + "Pomodoro Color",
                                                        group + "Short Break Color", group + "Long Break Color"}));
    for (const auto& [which, type] : {std::pair{P::Case::focusThemeColor, SessionType::focus},
                                      std::pair{P::Case::longBreakThemeColor, SessionType::longBreak}}) {
        EXPECT_TRUE(sameColour(storedColor(which), defaultThemeColor(type)));
        EXPECT_TRUE(sameColour(storedColor(which, true), defaultThemeColor(type)));
    }
    EXPECT_TRUE(sameColour(cell(4, 1)->badgeLabel()->backgroundColor(), defaultShortBreakThemeColor()));
    EXPECT_EQ(colourSets, 0) << "the timer screen keeps its colours until it asks again";
}

TEST_F(SettingsScreen, TheFeedbackMailGoesToTheMailProgramWithVersionSystemAndDevice) {
    show();
    cell(7, 0);
    // As a tap does: the table selects the row, then tells the screen.
    const auto emailUs = NSIndexPath::indexPathForRow(0, 7);
    screen->tableView()->selectRowAtIndexPath(emailUs, false, UITableViewScrollPosition::none);
    screen->handleSelection(emailUs);
    auto composer = presented<MFMailComposeViewController>();
    ASSERT_NE(composer, nullptr);
    EXPECT_EQ(composer->subject(), "[Quorvel] Feedback");
    EXPECT_EQ(composer->toRecipients(), (std::vector<std::string>{ZuvoAlertManager::kSupportAddress}));
    const std::string system = UIDevice::currentDevice().systemVersion();
    EXPECT_EQ(composer->messageBody(), "Quorvel, Version 1.0, \niOS " + system + ", Device iPhone");
    EXPECT_FALSE(composer->isHTML());
    settle();
    ASSERT_EQ(opener->opened.size(), 1u);
    EXPECT_TRUE(opener->opened[0].starts_with("mailto:support@quorvel.app?subject=%5BQuorvel%5D%20Feedback&body="));
    EXPECT_EQ(presented<UIViewController>(), nullptr) << "dismissed once it reported";
    EXPECT_FALSE(screen->tableView()->indexPathForSelectedRow()) << "the row let go";

    // A bundle without its information property list, on a tablet.
    const auto bundleWithoutInfo = NotificationTest::root_.path() / "EmptyBundle";
    std::filesystem::create_directories(bundleWithoutInfo);
    NSBundle::setMainBundlePath(bundleWithoutInfo);
    DeviceProfile::setCurrent(*DeviceProfile::named("iPadPro11Inch"));
    EXPECT_EQ(OptionViewController::feedbackMailBody(), "Quorvel, Version , \niOS " + system + ", Device iPad");
    NSBundle::setMainBundlePath({});
}

TEST_F(SettingsScreen, WhereMailCannotBeSentTheEmailUsAlertShowsInstead) {
    UIApplication::sharedApplication().setURLOpener(
        std::make_shared<quorvel::testing::RecordingURLOpener>(std::set<std::string>{"http", "https"}));
    show();
    tapRow(7, 0);
    auto notice = presented<UIAlertController>();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->title(), "Email Us");
    EXPECT_TRUE(opener->opened.empty());
    // Nothing comes back through this screen once the alert closes: the row lets go at once.
    EXPECT_FALSE(screen->tableView()->indexPathForSelectedRow());
    notice->dismissViewControllerAnimated(false);
    settle();
    EXPECT_FALSE(cell(7, 0)->isSelected());
}

TEST_F(SettingsScreen, TheOtherFeedbackRowsOpenTheirPagesAndComeBackDeselected) {
    show();
    for (long row = 1; row < 6; ++row) {
        tapRow(7, row);
        EXPECT_FALSE(screen->tableView()->indexPathForSelectedRow()) << "row " << row;
        // The store's review page has no handler on a desktop: an alert names it.
        auto notice = presented<UIAlertController>();
        EXPECT_EQ(notice != nullptr, row == 1) << "row " << row;
        if (!notice) continue;
        EXPECT_TRUE(notice->message().value_or("").find("itms-apps://") != std::string::npos);
        notice->dismissViewControllerAnimated(false);
        settle();
    }
    // The four web pages open in row order.
    ASSERT_EQ(opener->opened.size(), 4u);
    const std::vector<std::string> names = {"privacy", "facebook", "twitter", "instagram"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_TRUE(opener->opened[i].starts_with("https://")) << opener->opened[i];
        EXPECT_NE(opener->opened[i].find(names[i]), std::string::npos) << opener->opened[i];
    }
}

TEST_F(SettingsScreen, AWebPageNoBrowserOpensIsNamedInAnAlert) {
    opener->answers = false;
    show();
    tapRow(7, 3);
    auto notice = presented<UIAlertController>();
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->message().value_or("").find("https://www.facebook.com/quorvelapp") != std::string::npos);
    EXPECT_FALSE(screen->tableView()->indexPathForSelectedRow());
}

// Registering the storyboard hands the badge switch the timer engine's badge: switching it on while a
// focus session runs shows the remaining minutes on the icon at once, switching it off clears them.
TEST_F(SettingsScreen, TheBadgeSwitchUpdatesTheIconBadgeThroughTheTimerEngine) {
    TimerViewModel::resetSharedForTesting();
    P::save(P::timerBadgeEnabled(false));
    show();
    auto& application = UIApplication::sharedApplication();
    application.setApplicationIconBadgeNumber(0);
    TimerViewModel::shared()->startTimer(true);
    clock_->advance(60.05);
    EXPECT_EQ(application.applicationIconBadgeNumber(), 0);
    auto badgeSwitch = cell(6, 3)->switchButton();
    for (const auto& [on, badge] : {std::pair{true, 24}, std::pair{false, 0}}) {
        badgeSwitch->setOn(on);
        badgeSwitch->sendActionsForControlEvents(UIControlEventValueChanged);
        EXPECT_EQ(application.applicationIconBadgeNumber(), badge);
    }
    TimerViewModel::shared()->pauseTimer(true);
    TimerViewModel::resetSharedForTesting();
}

