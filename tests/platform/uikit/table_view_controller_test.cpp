#include "platform/uikit/tables/ui_table_view_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/nibs/ui_nib.h"
#include "platform/uikit/nibs/ui_storyboard.h"

using namespace platform;

namespace {

// A badged row loaded from its nib.
struct BadgeCell : UITableViewCell {
    using UITableViewCell::UITableViewCell;
    void awakeFromNib() override { woken = true; }
    bool woken = false;
};

// The hour list: a first row "Never" and one row per hour.
struct HourListController : UITableViewController {
    HourListController() : UITableViewController(UITableViewStyle::grouped) {}
    void viewDidLoad() override {
        tableView()->registerNib(UINib::nibWithNibName("OptionCommonCell"), "OptionCommonCell");
    }
    long tableViewNumberOfRowsInSection(UITableView&, long) override { return 25; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override {
        return table.dequeueReusableCellWithIdentifier("OptionCommonCell", indexPath);
    }
};

void registerCellNib() {
    UINib::registerNib("OptionCommonCell", [](UINibBuilder& nib) {
        nib.addTopLevel(std::make_shared<BadgeCell>(UITableViewCellStyle::default_, "OptionCommonCell"));
    });
}

}  // namespace

TEST(TableViewController, MakesItsTableAndServesItAndClearsTheSelectionOnEachAppearance) {
    auto clock = VirtualClock::install();
    registerCellNib();
    auto list = std::make_shared<HourListController>();
    auto navigation = UINavigationController::withRootViewController(list);
    auto window = std::make_shared<UIWindow>();
    window->setRootViewController(navigation);
    window->makeKeyAndVisible();
    clock->runUntilIdle();

    auto table = list->tableView();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->style(), UITableViewStyle::grouped);
    EXPECT_EQ(table->dataSource(), list);
    auto cell = std::dynamic_pointer_cast<BadgeCell>(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)));
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->woken);

    table->selectRowAtIndexPath(NSIndexPath::indexPathForRow(3, 0), false, UITableViewScrollPosition::none);
    navigation->pushViewController(std::make_shared<UIViewController>(), false);
    clock->runUntilIdle();
    navigation->popViewControllerAnimated(false);
    EXPECT_FALSE(table->indexPathForSelectedRow());  // cleared as it comes back
    list->setClearsSelectionOnViewWillAppear(false);
    table->selectRowAtIndexPath(NSIndexPath::indexPathForRow(3, 0), false, UITableViewScrollPosition::none);
    clock->runUntilIdle();
    navigation->pushViewController(std::make_shared<UIViewController>(), false);
    clock->runUntilIdle();
    navigation->popViewControllerAnimated(false);
    clock->runUntilIdle();
    EXPECT_TRUE(table->indexPathForSelectedRow());
}

TEST(TableViewController, AStoryboardMayGiveItsTable) {
    struct Sounds : UITableViewController {};
    UIStoryboard::registerScene(
        "Settings", "SoundOptionsViewController", [] { return std::make_shared<Sounds>(); },
        [](UINibBuilder& nib) {
            auto table = nib.add(std::make_shared<UITableView>(CGRect(0, 0, 375, 667), UITableViewStyle::plain));
            auto owner = std::static_pointer_cast<UITableViewController>(nib.owner());
            nib.setOwnerView(table);
            nib.connectOwner([table, owner] {
                table->setDataSource(owner);
                table->setDelegate(owner);
            });
        });
    auto sounds = std::dynamic_pointer_cast<UITableViewController>(
        UIStoryboard::storyboardWithName("Settings")->instantiateViewControllerWithIdentifier("SoundOptionsViewController"));
    ASSERT_NE(sounds, nullptr);
    EXPECT_EQ(sounds->tableView()->style(), UITableViewStyle::plain);
    EXPECT_EQ(sounds->tableView()->delegate(), sounds);
}
