#include <gtest/gtest.h>

#include "app/core/app_notification_names.h"
#include "app/core/user_data_manager.h"
#include "app/screens/settings/value_selection_cell.h"
#include "app/screens/settings/value_table_controller.h"
#include "platform/uikit/application/ui_window.h"
#include "tests/app/screens/settings/settings_screen_test.h"

using namespace quorvel;
using P = UserDefaultProperties;
using platform::NSIndexPath;

namespace {

class AutoResetList : public quorvel::testing::SettingsScreenTest {
protected:
    void show() {
        window->setRootViewController(list);
        window->makeKeyAndVisible();
        clock->runUntilIdle();
        list->tableView()->layoutIfNeeded();
    }
    std::optional<long> markedRow() {
        auto selected = list->tableView()->indexPathForSelectedRow();
        return selected ? std::optional(selected->row) : std::nullopt;
    }
    void tap(long row) {
        auto table = list->tableView();
        table->selectRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0), false, platform::UITableViewScrollPosition::none);
        list->tableViewDidSelectRowAtIndexPath(*table, NSIndexPath::indexPathForRow(row, 0));
    }
    std::shared_ptr<ValueSelectionCell> cellAt(long row) {
        return std::dynamic_pointer_cast<ValueSelectionCell>(
            list->tableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0)));
    }

    std::shared_ptr<platform::UIWindow> window = std::make_shared<platform::UIWindow>();
    std::shared_ptr<ValueTableController> list = std::make_shared<ValueTableController>();
};

}  // namespace

TEST_F(AutoResetList, NeverThenEveryHourOfTheDayInShortTimeForm) {
    show();
    EXPECT_EQ(list->title(), "Auto Reset Counter");
    const auto& rows = list->timeArray();
    ASSERT_EQ(rows.size(), 25u);
    EXPECT_EQ(list->tableView()->numberOfRowsInSection(0), 25);
    EXPECT_EQ(rows[0], (SettingsMapper{"Never", 666}));
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i].value, std::int64_t(i - 1));
    EXPECT_EQ(rows[1].name.substr(0, 5), "12:00");
    EXPECT_EQ(rows[8].name.substr(0, 4), "7:00");
    EXPECT_EQ(rows[14].name.substr(0, 4), "1:00");
    EXPECT_EQ(cellAt(8)->textDisplayLabel()->text(), rows[8].name);

    // A second load lists the hours once.
    list->buildTimeArray();
    EXPECT_EQ(list->timeArray().size(), 25u);
}

TEST_F(AutoResetList, MarksTheStoredChoice) {
    P::save(P::resetCounterAtMidnight(false));
    show();
    EXPECT_EQ(markedRow(), 0);

    list = std::make_shared<ValueTableController>();
    P::save(P::resetCounterAtMidnight(true));
    P::save(P::autoResetHour(7));
    show();
    EXPECT_EQ(markedRow(), 8);

    list = std::make_shared<ValueTableController>();
    P::save(P::autoResetHour(666));
    show();
    EXPECT_EQ(markedRow(), std::nullopt);
}

TEST_F(AutoResetList, AChoiceIsStoredAtOnceAndAnnounced) {
    record(NotificationName::autoResetSound());
    show();
    tap(2);  // 1 a.m.
    EXPECT_TRUE(standard()->boolForKey(P::key(P::Case::resetCounterAtMidnight)));
    EXPECT_EQ(standard()->integerForKey(P::key(P::Case::autoResetHour)), 1);
    tap(0);  // "Never"
    EXPECT_FALSE(standard()->boolForKey(P::key(P::Case::resetCounterAtMidnight)));
    EXPECT_EQ(standard()->integerForKey(P::key(P::Case::autoResetHour)), 666);
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_FALSE(posted[1].object.has_value());
    EXPECT_EQ(markedRow(), 0);
}

TEST_F(AutoResetList, SelectionFlashesGreyShowsTheIconAndColoursTheCircle) {
    show();  // first-launch: on at hour 0, so the 12 a.m. row is marked
    auto previous = cellAt(1);
    auto chosen = cellAt(5);
    tap(5);
    EXPECT_TRUE(*chosen->backgroundColor() == *platform::UIColor::whiteColor());  // the model value at once
    EXPECT_NE(chosen->layer()->animationKeys(), std::vector<std::string>{});      // fading from grey
    EXPECT_FALSE(chosen->icon()->isHidden());
    EXPECT_TRUE(*chosen->grayCirle()->backgroundColor() == *UserDataManager::getPomodoroData().focusThemeColor);
    EXPECT_TRUE(previous->icon()->isHidden());
    EXPECT_TRUE(*previous->grayCirle()->backgroundColor() == *ValueSelectionCell::selectionGrey());
    clock->advance(0.6);
    EXPECT_EQ(chosen->layer()->animationKeys(), std::vector<std::string>{});

    // A tag of 1 spares one selection the flash.
    chosen->setSelected(false, false);
    chosen->setTag(1);
    chosen->setSelected(true, false);
    EXPECT_EQ(chosen->layer()->animationKeys(), std::vector<std::string>{});
    EXPECT_EQ(chosen->tag(), 0);
}

TEST(ValueSelectionCellLook, ConfiguringAndReuseClearTheBadge) {
    auto cell = std::make_shared<ValueSelectionCell>();
    EXPECT_EQ(cell->selectionStyle(), platform::UITableViewCellSelectionStyle::none);
    cell->setBadgeString("new");
    cell->configure("7:00 AM", 7, 0);
    EXPECT_FALSE(cell->badgeString());
    EXPECT_EQ(cell->integerUpdateValue(), 7);
    cell->setBadgeString("new");
    cell->prepareForReuse();
    EXPECT_FALSE(cell->badgeString());
}
