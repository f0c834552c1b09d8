#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/uikit/tables/ui_table_view.h"
#include "platform/uikit/tables/ui_table_view_data_source.h"
#include "platform/uikit/tables/ui_table_view_delegate.h"
#include "platform/uikit/text/ui_label.h"
#include "tests/platform/uikit/touch_fixture.h"

using namespace platform;
using quorvel::testing::TouchDriver;

namespace {

// Fifty rows; writes down what the table tells its delegate.
class TouchedRows : public UITableViewDataSource, public UITableViewDelegate {
public:
    std::vector<std::string> told;
    std::optional<long> unhighlightable;
    std::function<std::optional<NSIndexPath>(const NSIndexPath&)> redirect;

    long tableViewNumberOfRowsInSection(UITableView&, long) override { return 50; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& t,
                                                                    const NSIndexPath& p) override {
        auto cell = t.dequeueReusableCellWithIdentifier("row", p);
        cell->textLabel()->setText(std::to_string(p.row));
        return cell;
    }
    bool tableViewShouldHighlightRowAtIndexPath(UITableView&, const NSIndexPath& p) override {
        return p.row != unhighlightable;
    }
    std::optional<NSIndexPath> tableViewWillSelectRowAtIndexPath(UITableView&,
                                                                 const NSIndexPath& p) override {
        return redirect ? redirect(p) : p;
    }
    void tableViewDidSelectRowAtIndexPath(UITableView&, const NSIndexPath& p) override {
        told.push_back("select " + std::to_string(p.row));
    }
    void tableViewDidDeselectRowAtIndexPath(UITableView&, const NSIndexPath& p) override {
        told.push_back("deselect " + std::to_string(p.row));
    }
};

class TableViewTouch : public quorvel::testing::TouchTest {
protected:
    std::shared_ptr<UITableView> table = addView<UITableView>(window, CGRect(0, 0, 375, 667));
    std::shared_ptr<TouchedRows> rows = std::make_shared<TouchedRows>();

    void SetUp() override {
        TouchTest::SetUp();
        table->registerClass<UITableViewCell>("row");
        table->setDataSource(rows);
        table->setDelegate(rows);
        table->layoutIfNeeded();
    }
    // The middle of a row, on the screen.
    CGPoint row(long r) const { return {180, 44.0 * r + 22 - table->contentOffset().y}; }
};

}  // namespace

TEST_F(TableViewTouch, ATapSelectsTheRowAndTellsTheDelegate) {
    driver.play({{0, TouchDriver::Kind::down, row(3)}});
    EXPECT_TRUE(table->cellForRowAtIndexPath({0, 3})->isHighlighted());
    driver.play({{0.1, TouchDriver::Kind::up, row(3)}});
    EXPECT_FALSE(table->cellForRowAtIndexPath({0, 3})->isHighlighted());
    EXPECT_TRUE(table->cellForRowAtIndexPath({0, 3})->isSelected());
    EXPECT_EQ(table->indexPathForSelectedRow(), (NSIndexPath{0, 3}));

    // Another row takes the selection over.
    driver.tap(row(5));
    EXPECT_EQ(rows->told, (std::vector<std::string>{"select 3", "deselect 3", "select 5"}));
    EXPECT_FALSE(table->cellForRowAtIndexPath({0, 3})->isSelected());

    // With several allowed, a second tap takes a row out.
    table->setAllowsMultipleSelection(true);
    driver.tap(row(7));
    driver.tap(row(5));
    EXPECT_EQ(table->indexPathsForSelectedRows(), (std::vector<NSIndexPath>{{0, 7}}));
    EXPECT_EQ(rows->told.back(), "deselect 5");
}

TEST_F(TableViewTouch, ScrollingCancelsThePressAndSelectsNothing) {
    driver.play({{0, TouchDriver::Kind::down, row(8)}});
    EXPECT_TRUE(table->cellForRowAtIndexPath({0, 8})->isHighlighted());
    const auto pressed = table->cellForRowAtIndexPath({0, 8});
    auto script = TouchDriver::dragScript(row(8), {180, row(8).y - 200}, 0.3);
    script.erase(script.begin());  // the finger is down already
    driver.play(script);
    clock->advance(5);
    EXPECT_GT(table->contentOffset().y, 100);
    EXPECT_FALSE(pressed->isHighlighted());
    EXPECT_TRUE(rows->told.empty());
    EXPECT_EQ(table->indexPathForSelectedRow(), std::nullopt);
}

TEST_F(TableViewTouch, TheDelegateDecidesWhatATapSelects) {
    rows->unhighlightable = 2;
    driver.play({{0, TouchDriver::Kind::down, row(2)}});
    EXPECT_FALSE(table->cellForRowAtIndexPath({0, 2})->isHighlighted());
    driver.play({{0.1, TouchDriver::Kind::up, row(2)}});
    EXPECT_TRUE(rows->told.empty());

    rows->redirect = [](const NSIndexPath& p) -> std::optional<NSIndexPath> {
        if (p.row == 4) return std::nullopt;
        return NSIndexPath{0, p.row + 1};
    };
    driver.tap(row(4));
    EXPECT_TRUE(rows->told.empty());
    driver.tap(row(6));
    EXPECT_EQ(rows->told, (std::vector<std::string>{"select 7"}));
    EXPECT_EQ(table->indexPathForSelectedRow(), (NSIndexPath{0, 7}));

    // Nothing is selected by touch when selection is off or the table is editing.
    table->setAllowsSelection(false);
    driver.tap(row(10));
    table->setAllowsSelection(true);
    table->setEditing(true);
    driver.tap(row(10));
    EXPECT_EQ(rows->told.size(), 1u);
}

TEST_F(TableViewTouch, AFixedTableStillSelects) {
    table->setScrollEnabled(false);
    driver.drag(row(1), {180, 400}, 0.3);
    EXPECT_EQ(table->contentOffset().y, 0);
    EXPECT_TRUE(rows->told.empty());  // lifted on another row
    driver.tap(row(1));
    EXPECT_EQ(rows->told, (std::vector<std::string>{"select 1"}));
}
