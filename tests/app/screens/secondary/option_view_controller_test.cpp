#include "app/screens/secondary/option_view_controller.h"

#include "app/core/app_notification_names.h"
#include "app/core/theme_colors.h"
#include "app/core/timer_view_model.h"
#include "app/core/user_data_manager.h"
#include "app/screens/secondary/carousel_options_view_controller.h"
#include "app/screens/secondary/color_picker_view_controller.h"
#include "app/screens/secondary/option_table_view_cell.h"
#include "app/screens/secondary/reminder_settings_controller.h"
#include "app/screens/secondary/settings_storyboard.h"
#include "app/screens/secondary/sound_options_view_controller.h"
#include "app/screens/secondary/value_table_controller.h"
#include "app/screens/secondary/volume_alert_view_controller.h"
#include "app/screens/timer/zuvo_alert_manager.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/messageui/mf_mail_compose_view_controller.h"
#include "platform/uikit/ui_application.h"
#include "platform/uikit/ns_keyed_unarchiver.h"
#include "platform/uikit/ui_alert_controller.h"
#include "platform/uikit/ui_device.h"
#include "platform/uikit/ui_navigation_controller.h"
#include "platform/uikit/ui_screen.h"
#include "platform/uikit/ui_storyboard.h"
#include "tests/app/screens/secondary/secondary_screen_test.h"
#include "tests/support/recording_url_opener.h"

using namespace quorvel;
using namespace platform;
using P = UserDefaultProperties;

namespace {

// The settings screen as its storyboard makes it, in a navigation controller in a shown window of the
// chosen device; links and mail go to a recording opener.
class SettingsScreen : public quorvel::testing::SecondaryScreenTest {
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
    std::shared_ptr<OptionTableViewCell> cell(long section, long row) {
        return std::dynamic_pointer_cast<OptionTableViewCell>(
            screen->tableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, section)));
    }
    // The row's cell, scrolled into view.
    std::shared_ptr<OptionTableViewCell> visibleCell(long section, long row) {
        screen->tableView()->scrollToRowAtIndexPath(NSIndexPath::indexPathForRow(row, section),
                                                    UITableViewScrollPosition::middle, false);
        window->layoutIfNeeded();
        return cell(section, row);
    }
    // A finger on the row, as the user taps it.
    void tapRow(long section, long row) {
        auto shown = visibleCell(section, row);
        ASSERT_NE(shown, nullptr);
        const CGRect frame = shown->convertRectToView(shown->bounds(), window.get());
        // Left of the badge or switch, on the title.
        touches_.tap({frame.origin.x + 40, frame.origin.y + frame.size.height / 2});
        settle();
    }
    // The settings writes since the last call that store a colour.
    std::vector<std::string> colourWrites() {
        std::vector<std::string> colours;
        for (const auto& write : takeWrites()) {
            if (write.ends_with(" Color")) colours.push_back(write);
        }
        return colours;
    }
    // Taps the button of that title on the queued alert that shows; false when there is none.
    bool press(const std::string& title) {
        settle();
        const auto alert = QueuedAlertView::currentAlertView();
        if (!alert) return false;
        for (const auto& button : alert->buttons()) {
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
    void record(const NSNotificationName& name) {
        NSNotificationCenter::defaultCenter().addObserver(this, name, [this](const NSNotification& n) {
            posted.push_back({n.name, n.object});
        });
    }
    // The colour stored under the setting's key, in its own suite.
    static std::shared_ptr<UIColor> storedColor(P::Case which, bool group = false) {
        auto suite = group ? P::appGroupDefaults() : P::standardDefaults();
        auto data = suite->dataForKey(P::key(which));
        return data ? NSKeyedUnarchiver::unarchiveColor(*data) : nullptr;
    }

    struct Posted {
        std::string name;
        std::any object;
    };
    std::shared_ptr<quorvel::testing::RecordingURLOpener> opener = std::make_shared<quorvel::testing::RecordingURLOpener>();
    std::shared_ptr<OptionViewController> screen;
    std::shared_ptr<UINavigationController> navigation;
    std::shared_ptr<UIWindow> window;
    std::vector<Posted> posted;
};

bool sameColour(const std::shared_ptr<UIColor>& a, const std::shared_ptr<UIColor>& b) {
    double ar = -1, ag = -1, ab = -1, aa = -1, br = -2, bg = -2, bb = -2, ba = -2;
    if (!a || !b || !a->getRed(&ar, &ag, &ab, &aa) || !b->getRed(&br, &bg, &bb, &ba)) return false;
    return std::abs(ar - br) < 1e-6 && std::abs(ag - bg) < 1e-6 && std::abs(ab - bb) < 1e-6 && std::abs(aa - ba) < 1e-6;
}

}  // namespace

TEST_F(SettingsScreen, ShowsTheEightSectionsUnderTheirHeadersOnTheFocusColour) {
    P::save(P::focusThemeColor(UIColor::colorWithRed(0.1, 0.5, 0.2, 1)));
    show();
    auto& table = *screen->tableView();
    ASSERT_EQ(screen->numberOfSectionsInTableView(table), 8);
    const std::vector<std::string> headers = {"TIMER LENGTH", "FOCUS SESSIONS", "TICKING SOUND", "ALARM SOUND",
                                              "THEME COLOR",  "VOLUME CONTROL", "GENERAL",       "FEEDBACK"};
    const std::vector<long> rows = {3, 3, 3, 3, 4, 4, 5, 6};
    for (long section = 0; section < 8; ++section) {
        EXPECT_EQ(screen->tableViewTitleForHeaderInSection(table, section), headers[std::size_t(section)]);
        EXPECT_EQ(screen->tableViewNumberOfRowsInSection(table, section), rows[std::size_t(section)]);
    }
    EXPECT_TRUE(sameColour(screen->view()->backgroundColor(), UIColor::colorWithRed(0.1, 0.5, 0.2, 1)));
    EXPECT_EQ(cell(0, 0)->badgeLabel()->text(), "25 minutes");

    // Stored elsewhere while the screen was covered: the next appearance shows it.
    P::save(P::focusLength(40));
    P::standardDefaults()->removeObjectForKey(P::key(P::Case::focusThemeColor));
    screen->beginAppearanceTransition(false, false);
    screen->endAppearanceTransition();
    screen->beginAppearanceTransition(true, false);
    screen->endAppearanceTransition();
    settle();
    EXPECT_EQ(cell(0, 0)->badgeLabel()->text(), "40 minutes");
    EXPECT_TRUE(sameColour(screen->view()->backgroundColor(), defaultFocusThemeColor()));
}

TEST_F(SettingsScreen, LengthAndCountRowsOpenThePickerOnTheirValueAndTheListShowsWhatItSaved) {
    show();
    struct Case {
        long section, row;
        CarouselFunction function;
    };
    const std::vector<Case> cases = {
        {0, 0, CarouselFunction::timer(TimerLengthSetting::focus)},
        {0, 1, CarouselFunction::timer(TimerLengthSetting::shortBreak)},
        {0, 2, CarouselFunction::timer(TimerLengthSetting::longBreak)},
        {1, 0, CarouselFunction::focus(SessionSetting::sessionsPerRound)},
        {1, 1, CarouselFunction::focus(SessionSetting::dailyGoal)},
    };
    for (const Case& c : cases) {
        tapRow(c.section, c.row);
        auto picker = presented<CarouselOptionsViewController>();
        ASSERT_NE(picker, nullptr) << c.section << "." << c.row;
        EXPECT_EQ(picker->function(), c.function);
        EXPECT_EQ(picker->modalPresentationStyle(), UIModalPresentationStyle::overFullScreen);
        EXPECT_EQ(picker->contentViewTopConstraint()->priority(), 749) << "slid in once presented";
        picker->carouselDidSelectItemAtIndex(*picker->carousel(), 6);
        picker->save();
        settle();
        EXPECT_EQ(presented<UIViewController>(), nullptr);
        EXPECT_EQ(screen->tableView()->indexPathForSelectedRow(), std::nullopt);
    }
    const PomodoroData stored = UserDataManager::getPomodoroData();
    EXPECT_EQ(stored.focusLength, 7);
    EXPECT_EQ(stored.longBreakLength, 7);
    EXPECT_EQ(stored.goalLimit, 7);
    EXPECT_EQ(cell(0, 0)->badgeLabel()->text(), "7 minutes");
    EXPECT_EQ(cell(1, 1)->badgeLabel()->text(), "7");
}

TEST_F(SettingsScreen, AVolumeSheetStoresItsVolumeAndTellsWhichOneChanged) {
    P::save(P::focusThemeColor(UIColor::colorWithRed(0.2, 0.3, 0.9, 1)));
    show();
    record(NotificationName::volumeAdjusted());
    tapRow(5, 1);
    auto sheet = presented<VolumeAlertViewController>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->titleLabel()->text(), "Volume of Ticking");
    EXPECT_TRUE(sameColour(sheet->tintColor(), UIColor::colorWithRed(0.2, 0.3, 0.9, 1)));
    EXPECT_TRUE(sameColour(sheet->view()->tintColor(), sheet->tintColor()));
    sheet->volumeSlider()->setValue(0.3f);
    sheet->onValueChanged(*sheet->volumeSlider());
    takeWrites();
    sheet->onDone();
    settle();
    EXPECT_EQ(takeWrites(), (std::vector<std::string>{"com.brelloc.quorvel SoundVolumeTicking"}));
    EXPECT_FLOAT_EQ(UserDataManager::getSoundSettingData().tickingVolume, 0.3f);
    EXPECT_EQ(cell(5, 1)->badgeLabel()->text(), "3.0");
    EXPECT_EQ(presented<UIViewController>(), nullptr);

    tapRow(5, 0);
    sheet = presented<VolumeAlertViewController>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->titleLabel()->text(), "Volume of Alarm");
    sheet->volumeSlider()->setValue(0.8f);
    sheet->onValueChanged(*sheet->volumeSlider());
    sheet->onDone();
    settle();
    EXPECT_FLOAT_EQ(UserDataManager::getSoundSettingData().alarmVolume, 0.8f);
    screen->onShowAlert();
    settle();
    sheet = presented<VolumeAlertViewController>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->titleLabel()->text(), "Volume of Alarm");
    EXPECT_EQ(sheet->subtitleLabel()->text(), "8.0") << "the stored alarm volume";
    sheet->onClose();
    settle();

    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(std::any_cast<VolumeType>(posted[0].object), VolumeType::ticking);
    EXPECT_EQ(std::any_cast<VolumeType>(posted[1].object), VolumeType::alert);
}

TEST_F(SettingsScreen, SwitchRowsNeitherHighlightNorOpenAnything) {
    show();
    auto& table = *screen->tableView();
    const auto highlights = [&](long section, long row) {
        return screen->tableViewShouldHighlightRowAtIndexPath(table, NSIndexPath::indexPathForRow(row, section));
    };
    EXPECT_TRUE(highlights(5, 0));
    EXPECT_TRUE(highlights(5, 1));
    EXPECT_FALSE(highlights(5, 2));
    EXPECT_FALSE(highlights(5, 3));
    for (long row = 0; row < 4; ++row) EXPECT_FALSE(highlights(6, row)) << row;
    EXPECT_TRUE(highlights(6, 4));
    EXPECT_TRUE(highlights(0, 0));
    EXPECT_TRUE(highlights(7, 5));

    tapRow(5, 2);
    tapRow(6, 1);
    EXPECT_EQ(presented<UIViewController>(), nullptr);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_FALSE(cell(5, 2)->isSelected());
}

TEST_F(SettingsScreen, TheAutoResetAndReminderRowsPushTheirScreens) {
    show();
    tapRow(1, 2);
    EXPECT_NE(std::dynamic_pointer_cast<ValueTableController>(navigation->topViewController()), nullptr);
    navigation->popViewControllerAnimated(false);
    settle();
    EXPECT_EQ(screen->tableView()->indexPathForSelectedRow(), std::nullopt) << "let go on the way back";

    tapRow(6, 4);
    EXPECT_NE(std::dynamic_pointer_cast<ReminderSettingsController>(navigation->topViewController()), nullptr);
}

TEST_F(SettingsScreen, WithoutANavigationControllerTheReminderRowDoesNothing) {
    show();
    window->setRootViewController(screen);
    settle();
    screen->handleSelection(NSIndexPath::indexPathForRow(4, 6));
    settle();
    EXPECT_EQ(screen->presentedViewController(), nullptr);
}

TEST_F(SettingsScreen, SoundAndColourRowsPushTheirListOrScreenSetForTheirRow) {
    show();
    using Alarm = SoundOptionFunction::AlarmSoundType;
    using Ticking = SoundOptionFunction::TickingSoundType;
    const std::vector<std::tuple<long, long, SoundOptionFunction>> sounds = {
        {2, 0, SoundOptionFunction::ticking(Ticking::focus)},
        {2, 1, SoundOptionFunction::ticking(Ticking::shortBreak)},
        {2, 2, SoundOptionFunction::ticking(Ticking::longBreak)},
        {3, 0, SoundOptionFunction::alarm(Alarm::focus)},
        {3, 1, SoundOptionFunction::alarm(Alarm::shortBreak)},
        {3, 2, SoundOptionFunction::alarm(Alarm::longBreak)},
    };
    for (const auto& [section, row, function] : sounds) {
        tapRow(section, row);
        auto list = std::dynamic_pointer_cast<SoundOptionsViewController>(navigation->topViewController());
        ASSERT_NE(list, nullptr) << section << "." << row;
        EXPECT_EQ(list->function(), function);
        navigation->popViewControllerAnimated(false);
        settle();
    }
    const std::vector<std::pair<long, ColourPickerFunction>> colours = {{0, ColourPickerFunction::focusColour},
                                                                        {1, ColourPickerFunction::shortBreakColour},
                                                                        {2, ColourPickerFunction::longBreakColor}};
    for (const auto& [row, function] : colours) {
        tapRow(4, row);
        auto picker = std::dynamic_pointer_cast<ColorPickerViewController>(navigation->topViewController());
        ASSERT_NE(picker, nullptr) << row;
        EXPECT_EQ(picker->colourPickerFunction(), function);
        navigation->popViewControllerAnimated(false);
        settle();
    }
    // A sender that is not a colour function hands nothing over.
    screen->performSegueWithIdentifier(OptionViewController::SegueIdentifier::colourPicker, 3);
    settle();
    auto picker = std::dynamic_pointer_cast<ColorPickerViewController>(navigation->topViewController());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->colourPickerFunction(), ColourPickerFunction::focusColour);
}

// The colour screen and the auto-reset list change one section each: only that section is shown
// afresh, from the list as it stands, which is rebuilt only on the next appearance.
TEST_F(SettingsScreen, ColourAndAutoResetNotificationsReloadOnlyTheirSection) {
    show("iPadPro12Inch");
    const auto scribble = [&] {
        for (long section : {1L, 4L}) cell(section, 0)->badgeLabel()->setText("scribbled");
    };
    scribble();
    P::save(P::focusThemeColor(UIColor::blackColor()));
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::colourSet(), {});
    window->layoutIfNeeded();
    EXPECT_EQ(cell(4, 0)->badgeLabel()->text(), "Focus");
    EXPECT_TRUE(sameColour(cell(4, 0)->badgeLabel()->backgroundColor(), defaultFocusThemeColor())) << "not rebuilt";
    EXPECT_EQ(cell(1, 0)->badgeLabel()->text(), "scribbled");

    scribble();
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::autoResetSound(), {});
    window->layoutIfNeeded();
    EXPECT_EQ(cell(1, 0)->badgeLabel()->text(), "4");
    EXPECT_EQ(cell(4, 0)->badgeLabel()->text(), "scribbled");
}

TEST_F(SettingsScreen, TheDefaultThemeIsStoredInBothSuitesOnlyWhenTheUserAgrees) {
    const auto green = UIColor::colorWithRed(0, 1, 0, 1);
    for (auto setting : {P::focusThemeColor(green), P::shortBreakThemeColor(green), P::longBreakThemeColor(green),
                         P::sharedFocusThemeColor(green), P::sharedShortBreakThemeColor(green),
                         P::sharedLongBreakThemeColor(green)}) {
        P::save(setting);
    }
    show();
    record(NotificationName::colourSet());
    takeWrites();
    tapRow(4, 3);
    ASSERT_TRUE(press("Cancel"));
    EXPECT_TRUE(colourWrites().empty());
    EXPECT_TRUE(sameColour(storedColor(P::Case::focusThemeColor), green));

    tapRow(4, 3);
    ASSERT_TRUE(press("Okay"));
    EXPECT_EQ(colourWrites(), (std::vector<std::string>{
                                "com.brelloc.quorvel Pomodoro Color", "com.brelloc.quorvel Short Break Color",
                                "com.brelloc.quorvel Long Break Color",
                                "group.Brelloc.PomodoroShare Pomodoro Color",
                                "group.Brelloc.PomodoroShare Short Break Color",
                                "group.Brelloc.PomodoroShare Long Break Color"}));
    const std::vector<std::pair<P::Case, SessionType>> colours = {{P::Case::focusThemeColor, SessionType::focus},
                                                                  {P::Case::shortBreakThemeColor, SessionType::shortBreak},
                                                                  {P::Case::longBreakThemeColor, SessionType::longBreak}};
    for (const auto& [which, type] : colours) {
        EXPECT_TRUE(sameColour(storedColor(which), defaultThemeColor(type)));
        EXPECT_TRUE(sameColour(storedColor(which, true), defaultThemeColor(type)));
    }
    screen->tableView()->scrollToRowAtIndexPath(NSIndexPath::indexPathForRow(0, 4), UITableViewScrollPosition::top, false);
    window->layoutIfNeeded();
    EXPECT_TRUE(sameColour(cell(4, 1)->badgeLabel()->backgroundColor(), defaultShortBreakThemeColor()));
    EXPECT_TRUE(sameColour(screen->view()->backgroundColor(), defaultFocusThemeColor()));
    EXPECT_TRUE(posted.empty()) << "the timer screen keeps its colours until it asks again";
}

TEST_F(SettingsScreen, TheFeedbackMailGoesToTheMailProgramWithVersionSystemAndDevice) {
    show();
    visibleCell(7, 0);
    screen->handleSelection(NSIndexPath::indexPathForRow(0, 7));
    auto composer = presented<MFMailComposeViewController>();
    ASSERT_NE(composer, nullptr);
    EXPECT_EQ(composer->subject(), "[Quorvel] Feedback");
    EXPECT_EQ(composer->toRecipients(), (std::vector<std::string>{ZuvoAlertManager::kSupportAddress}));
    EXPECT_EQ(composer->messageBody(), "Quorvel, Version 1.0, \niOS " + UIDevice::currentDevice().systemVersion() +
                                           ", Device iPhone");
    EXPECT_FALSE(composer->isHTML());
    settle();
    ASSERT_EQ(opener->opened.size(), 1u);
    EXPECT_EQ(opener->opened[0].rfind("mailto:" + std::string(ZuvoAlertManager::kSupportAddress) +
                                          "?subject=%5BQuorvel%5D%20Feedback&body=Quorvel%2C%20Version%201.0",
                                      0),
              0u);
    EXPECT_EQ(presented<UIViewController>(), nullptr) << "dismissed once it reported";
}

TEST_F(SettingsScreen, AMissingVersionLeavesItsTextEmptyAndATabletSaysSo) {
    // A bundle folder without its information property list.
    const auto bundleWithoutInfo = dataRoot_.path() / "EmptyBundle";
    std::filesystem::create_directories(bundleWithoutInfo);
    NSBundle::setMainBundlePath(bundleWithoutInfo);
    DeviceProfile::setCurrent(*DeviceProfile::named("iPadPro11Inch"));
    EXPECT_EQ(OptionViewController::feedbackMailBody(),
              "Quorvel, Version , \niOS " + UIDevice::currentDevice().systemVersion() + ", Device iPad");
    NSBundle::setMainBundlePath({});
}

TEST_F(SettingsScreen, WhereMailCannotBeSentTheEmailUsAlertShowsInstead) {
    UIApplication::sharedApplication().setURLOpener(
        std::make_shared<quorvel::testing::RecordingURLOpener>(std::set<std::string>{"http", "https"}));
    show();
    visibleCell(7, 0);
    screen->handleSelection(NSIndexPath::indexPathForRow(0, 7));
    EXPECT_EQ(presented<MFMailComposeViewController>(), nullptr);
    settle();
    auto notice = presented<UIAlertController>();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->title(), "Email Us");
    EXPECT_TRUE(opener->opened.empty());
}

TEST_F(SettingsScreen, TheOtherFeedbackRowsOpenTheirPages) {
    show();
    for (long row = 1; row < 6; ++row) tapRow(7, row);
    // The store's review page has no desktop handler; the four web pages open in row order.
    ASSERT_EQ(opener->opened.size(), 4u);
    for (const auto& link : opener->opened) EXPECT_EQ(link.rfind("https://", 0), 0u) << link;
    EXPECT_NE(opener->opened[0].find("privacy"), std::string::npos) << "the support row";
    EXPECT_NE(opener->opened[1].find("facebook"), std::string::npos);
    EXPECT_NE(opener->opened[2].find("twitter"), std::string::npos);
    EXPECT_NE(opener->opened[3].find("instagram"), std::string::npos);
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
    auto row = visibleCell(6, 3);
    ASSERT_NE(row, nullptr);
    auto badgeSwitch = row->switchButton();
    badgeSwitch->setOn(true);
    badgeSwitch->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(application.applicationIconBadgeNumber(), 24);
    badgeSwitch->setOn(false);
    badgeSwitch->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(application.applicationIconBadgeNumber(), 0);
    TimerViewModel::shared()->pauseTimer(true);
    TimerViewModel::resetSharedForTesting();
}

// Written as PNGs for a person to look at: the screen at its top and further down, on a phone and on
// a tablet.
TEST_F(SettingsScreen, LooksRightOnAPhoneAndATablet) {
    for (const char* model : {"iPhone8", "iPadPro11Inch"}) {
        show(model);
        const std::string name = std::string("settings_screen_") + model;
        const auto path = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / (name + ".png");
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(LayerRenderer::writeViewPNG(*window, path, 2));
        screen->tableView()->scrollToRowAtIndexPath(NSIndexPath::indexPathForRow(0, 5), UITableViewScrollPosition::top,
                                                    false);
        window->layoutIfNeeded();
        ASSERT_TRUE(LayerRenderer::writeViewPNG(*window, path.parent_path() / (name + "_lower.png"), 2));
    }
}
