#include "app/screens/reminders/reminder_settings_controller.h"

#include "app/core/user_data_manager.h"
#include "app/screens/reminders/carousel_reminder_time_view_controller.h"
#include "app/screens/reminders/option_common_cell.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "tests/app/screens/reminders/screen_test.h"

using namespace quorvel;
using namespace platform;
using P = UserDefaultProperties;

namespace {

// The reminder screen pushed on a navigation stack over the first-launch reminder: Tuesday at 14:00, on.
class ReminderScreen : public quorvel::testing::ScreenTest {
protected:
    ReminderScreen() {
        authorize();
        screen_ = ReminderSettingsController::loadFromNib();
        navigation_ = UINavigationController::withRootViewController(screen_);
        window_->setRootViewController(navigation_);
        clock_->advance(1);
        table_ = screen_->tableView();
    }

    std::shared_ptr<OptionCommonCell> cellAt(long section, long row) {
        table_->layoutIfNeeded();
        return std::dynamic_pointer_cast<OptionCommonCell>(
            table_->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, section)));
    }
    void select(long section, long row) {
        screen_->tableViewDidSelectRowAtIndexPath(*table_, NSIndexPath::indexPathForRow(row, section));
        clock_->advance(1);
    }
    // Flips the reminder switch and answers the question with the button of that title.
    std::string flipSwitchAndAnswer(const std::string& answer) {
        auto toggle = cellAt(0, 1)->switchButton();
        toggle->setOn(!toggle->isOn(), false);
        toggle->sendActionsForControlEvents(UIControlEventValueChanged);
        clock_->advance(1);
        auto alert = QueuedAlertView::currentAlertView();
        if (!alert) return "no question";
        for (const auto& button : alert->buttons()) {
            if (button->titleForState(UIControlStateNormal) == answer) {
                button->sendActionsForControlEvents(UIControlEventTouchUpInside);
            }
        }
        clock_->advance(1);
        return alert->message().value_or("");
    }

    std::shared_ptr<ReminderSettingsController> screen_;
    std::shared_ptr<UINavigationController> navigation_;
    std::shared_ptr<UITableView> table_;
};

}  // namespace

TEST_F(ReminderScreen, ShowsTheHourBadgeTheSwitchAndTheTickedWeekdaysUnderTheirHeaders) {
    EXPECT_EQ(screen_->title(), "Reminder");
    ASSERT_EQ(table_->numberOfSections(), 2);
    EXPECT_EQ(table_->numberOfRowsInSection(0), 2);
    EXPECT_EQ(table_->numberOfRowsInSection(1), 7);
    EXPECT_EQ(screen_->tableViewTitleForHeaderInSection(*table_, 0), "SCHEDULE");
    EXPECT_EQ(screen_->tableViewTitleForHeaderInSection(*table_, 1), "REPEAT");

    auto time = cellAt(0, 0);
    EXPECT_EQ(time->optionTitleLabel()->text(), "Reminder Time");
    EXPECT_FALSE(time->badgeContainer()->isHidden());
    EXPECT_TRUE(time->switchButtonContainer()->isHidden());
    EXPECT_EQ(time->badgeLabel()->text(), "2:00\u202fPM");
    auto enable = cellAt(0, 1);
    EXPECT_EQ(enable->optionTitle(), "Receive Reminder");
    EXPECT_FALSE(enable->switchButtonContainer()->isHidden());
    EXPECT_TRUE(enable->switchButton()->isOn());
    EXPECT_FALSE(screen_->tableViewShouldHighlightRowAtIndexPath(*table_, NSIndexPath::indexPathForRow(1, 0)));
    EXPECT_TRUE(screen_->tableViewShouldHighlightRowAtIndexPath(*table_, NSIndexPath::indexPathForRow(0, 0)));
    EXPECT_EQ(cellAt(1, 2)->optionTitleLabel()->text(), "Every Tuesday");
    EXPECT_EQ(cellAt(1, 2)->accessoryType(), UITableViewCellAccessoryType::checkmark);
    EXPECT_EQ(cellAt(1, 3)->accessoryType(), UITableViewCellAccessoryType::none);
    render("reminder_screen");
}

TEST_F(ReminderScreen, TappingAWeekdayTicksItAndReschedulesAtOnceAndAgainUnticksIt) {
    select(1, 0);  // Sunday
    EXPECT_EQ(cellAt(1, 0)->accessoryType(), UITableViewCellAccessoryType::checkmark);
    EXPECT_EQ(UserDataManager::getAppSettingData().focusReminderWeekday, "27");
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"ReminderAlert-3", "ReminderAlert-1"}));  // stored order
    select(1, 2);  // Tuesday
    EXPECT_EQ(cellAt(1, 2)->accessoryType(), UITableViewCellAccessoryType::none);
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"ReminderAlert-1"}));
}

TEST_F(ReminderScreen, TheSwitchChangesOnlyOnceConfirmedAndSpringsBackOnCancel) {
    EXPECT_EQ(flipSwitchAndAnswer("Cancel"), "Don't receive reminders?");
    EXPECT_TRUE(UserDataManager::getAppSettingData().focusReminderEnabled);
    EXPECT_TRUE(cellAt(0, 1)->switchButton()->isOn());
    EXPECT_EQ(pendingIdentifiers(), std::vector<std::string>{"ReminderAlert-3"});

    EXPECT_EQ(flipSwitchAndAnswer("Okay"), "Don't receive reminders?");
    EXPECT_FALSE(UserDataManager::getAppSettingData().focusReminderEnabled);
    EXPECT_FALSE(cellAt(0, 1)->switchButton()->isOn());
    EXPECT_TRUE(pendingIdentifiers().empty());

    EXPECT_EQ(flipSwitchAndAnswer("Okay"), "Receive reminders?");
    EXPECT_EQ(pendingIdentifiers(), std::vector<std::string>{"ReminderAlert-3"});
}

TEST_F(ReminderScreen, TheHourPickerOpensOnTheStoredHourAndOnlyDoneChangesIt) {
    select(0, 0);
    auto picker = std::dynamic_pointer_cast<CarouselReminderTimeViewController>(navigation_->presentedViewController());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->value(), 14);
    picker->carouselDidSelectItemAtIndex(*picker->carousel(), 9);
    picker->onClose();
    clock_->advance(1);
    EXPECT_EQ(UserDataManager::getAppSettingData().focusReminderTime, 14);

    select(0, 0);
    picker = std::dynamic_pointer_cast<CarouselReminderTimeViewController>(navigation_->presentedViewController());
    ASSERT_NE(picker, nullptr);
    picker->carouselDidSelectItemAtIndex(*picker->carousel(), 9);
    picker->onDone();
    clock_->advance(1);
    EXPECT_EQ(navigation_->presentedViewController(), nullptr);
    EXPECT_EQ(UserDataManager::getAppSettingData().focusReminderTime, 9);
    EXPECT_EQ(cellAt(0, 0)->badgeLabel()->text(), "9:00\u202fAM");
}

TEST_F(ReminderScreen, AReusedSwitchRowKeepsNeitherItsSwitchNorItsClosure) {
    auto cell = cellAt(0, 1);
    ASSERT_TRUE(cell->didValueChange());
    cell->setCellType(OptionCommonCellType::maker(true));
    cell->configure();
    EXPECT_FALSE(cell->didValueChange());
    EXPECT_TRUE(cell->switchButtonContainer()->isHidden());
    EXPECT_TRUE(cell->badgeContainer()->isHidden());
    EXPECT_EQ(cell->accessoryType(), UITableViewCellAccessoryType::checkmark);

    auto badge = cellAt(0, 0);
    const auto white = UIColor::whiteColor(), black = UIColor::blackColor();
    badge->setCellType(OptionCommonCellType::badge({white, black, black, white}, "x"));
    badge->configure();
    badge->setHighlighted(true, false);
    EXPECT_EQ(badge->badgeContainer()->backgroundColor(), black);
    EXPECT_EQ(badge->badgeLabel()->textColor(), white);
    badge->setHighlighted(false, false);
    EXPECT_EQ(badge->badgeContainer()->backgroundColor(), white);
    EXPECT_EQ(badge->badgeLabel()->textColor(), black);
}
