#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/tables/ui_table_view.h"
#include "platform/uikit/tables/ui_table_view_data_source.h"
#include "platform/uikit/tables/ui_table_view_delegate.h"
#include "platform/uikit/tables/ui_table_view_header_footer_view.h"
#include "platform/uikit/text/ui_label.h"
#include "tests/platform/uikit/default_device.h"

using namespace platform;

namespace {

// A cell that counts how often it was made and prepared for reuse, and what it was told.
class CountedCell : public UITableViewCell {
public:
    static inline int made = 0;
    int reused = 0;
    std::vector<std::string> states;

    CountedCell(UITableViewCellStyle style, const std::string& id) : UITableViewCell(style, id) { ++made; }
    void prepareForReuse() override {
        UITableViewCell::prepareForReuse();
        ++reused;
    }
    void setSelected(bool selected, bool animated) override {
        UITableViewCell::setSelected(selected, animated);
        states.push_back(std::string(selected ? "selected" : "deselected") + (animated ? " animated" : ""));
    }
};

// Rows per section, each cell labelled "section.row"; heights and titles when given.
class Rows : public UITableViewDataSource, public UITableViewDelegate {
public:
    std::vector<long> sections{1000};
    std::function<CGFloat(const NSIndexPath&)> height;
    std::map<long, std::string> headerTitles, footerTitles;
    std::function<void(UITableView&, const NSIndexPath&)> onCell;
    int asked = 0;
    std::vector<NSIndexPath> didSelect;

    long numberOfSectionsInTableView(UITableView&) override { return long(sections.size()); }
    long tableViewNumberOfRowsInSection(UITableView&, long section) override {
        return sections[size_t(section)];
    }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& path) override {
        ++asked;
        auto cell = table.dequeueReusableCellWithIdentifier("row", path);
        cell->textLabel()->setText(std::to_string(path.section) + "." + std::to_string(path.row));
        if (onCell) onCell(table, path);
        return cell;
    }
    std::optional<std::string> tableViewTitleForHeaderInSection(UITableView&, long s) override {
        auto it = headerTitles.find(s);
        return it == headerTitles.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<std::string> tableViewTitleForFooterInSection(UITableView&, long s) override {
        auto it = footerTitles.find(s);
        return it == footerTitles.end() ? std::nullopt : std::optional(it->second);
    }
    CGFloat tableViewHeightForRowAtIndexPath(UITableView& table, const NSIndexPath& path) override {
        return height ? height(path) : UITableViewDelegate::tableViewHeightForRowAtIndexPath(table, path);
    }
    void tableViewDidSelectRowAtIndexPath(UITableView&, const NSIndexPath& path) override {
        didSelect.push_back(path);
    }
};

class TableView : public ::testing::Test {
protected:
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<Rows> rows = std::make_shared<Rows>();

    void SetUp() override {
        quorvel::testing::restoreDefaultDevice();
        CountedCell::made = 0;
    }
    void TearDown() override { quorvel::testing::restoreDefaultDevice(); }

    std::shared_ptr<UITableView> table(UITableViewStyle style = UITableViewStyle::plain,
                                       CGFloat height = 440) {
        auto t = std::make_shared<UITableView>(CGRect(0, 0, 320, height), style);
        t->registerClass(
            [](const std::string& id) {
                return std::make_shared<CountedCell>(UITableViewCellStyle::default_, id);
            },
            "row");
        t->setDataSource(rows);
        t->setDelegate(rows);
        t->layoutIfNeeded();
        return t;
    }

    static std::string text(const std::shared_ptr<UITableViewCell>& cell) {
        return cell ? cell->textLabel()->text() : "";
    }
};

}  // namespace

TEST_F(TableView, AThousandRowsMakeOnlyTheCellsInViewAndReuseThemWhileScrolling) {
    auto t = table();
    EXPECT_EQ(t->contentSize(), (CGSize{320, 1000 * 44}));
    EXPECT_EQ(t->visibleCells().size(), 10u);  // 440 points of 44-point rows
    EXPECT_EQ(CountedCell::made, 10);

    // One screen per step to the end: never more cells than fit, the rest reused.
    for (CGFloat y = 0; y <= t->maximumContentOffset().y; y += 440) {
        t->setContentOffset({0, y});
        t->layoutIfNeeded();
        for (const auto& cell : t->visibleCells()) {
            const auto path = *t->indexPathForCell(*cell);
            EXPECT_EQ(text(cell), "0." + std::to_string(path.row));
            EXPECT_EQ(cell->frame(), CGRect(0, 44.0 * path.row, 320, 44));
            EXPECT_EQ(cell->superview(), t);
        }
    }
    EXPECT_LE(CountedCell::made, 11);
    EXPECT_EQ(t->visibleCells().back()->textLabel()->text(), "0.999");
    EXPECT_EQ(rows->asked, 1000);
    int reused = 0;
    for (const auto& cell : t->visibleCells()) reused += static_cast<CountedCell&>(*cell).reused;
    EXPECT_GT(reused, 0);

    // Half a row down from a row shows parts of eleven rows.
    t->setContentOffset({0, 22});
    t->layoutIfNeeded();
    EXPECT_EQ(t->indexPathsForVisibleRows().front(), (NSIndexPath{0, 0}));
    EXPECT_EQ(t->indexPathsForVisibleRows().back(), (NSIndexPath{0, 10}));
}

TEST_F(TableView, RowsTakeTheHeightsTheDelegateGivesThem) {
    rows->sections = {3, 2};
    rows->height = [](const NSIndexPath& p) { return p.section == 0 ? 30.0 + 10 * p.row : 100.0; };
    auto t = table();
    EXPECT_EQ(t->rectForRowAtIndexPath({0, 0}), CGRect(0, 0, 320, 30));
    EXPECT_EQ(t->rectForRowAtIndexPath({0, 2}), CGRect(0, 70, 320, 50));
    EXPECT_EQ(t->rectForRowAtIndexPath({1, 1}), CGRect(0, 220, 320, 100));
    EXPECT_EQ(t->rectForSection(1), CGRect(0, 120, 320, 200));
    EXPECT_EQ(t->contentSize().height, 320);
    EXPECT_EQ(t->cellForRowAtIndexPath({1, 0})->frame(), CGRect(0, 120, 320, 100));

    EXPECT_EQ(t->indexPathForRowAtPoint({10, 69.5}), (NSIndexPath{0, 1}));
    EXPECT_EQ(t->indexPathForRowAtPoint({10, 70}), (NSIndexPath{0, 2}));
    EXPECT_EQ(t->indexPathForRowAtPoint({10, 319}), (NSIndexPath{1, 1}));
    EXPECT_EQ(t->indexPathForRowAtPoint({10, 320}), std::nullopt);
    EXPECT_EQ(t->indexPathForRowAtPoint({10, -1}), std::nullopt);

    // Heights that are no heights take none; without a delegate answer rows take the row height.
    rows->height = [](const NSIndexPath& p) { return p.row == 0 ? NAN : -5.0; };
    t->reloadData();
    EXPECT_EQ(t->rectForRowAtIndexPath({0, 0}).height(), 44);
    EXPECT_EQ(t->rectForRowAtIndexPath({0, 1}).height(), 44);
    rows->height = nullptr;
    t->setRowHeight(60);
    t->layoutIfNeeded();
    EXPECT_EQ(t->contentSize().height, 5 * 60);
}

TEST_F(TableView, ReloadingAsksAgainAndGivesTheOldCellsBackForReuse) {
    rows->sections = {4, 4};
    auto t = table();
    EXPECT_EQ(rows->asked, 8);

    rows->sections = {2, 4};
    t->reloadData();
    const auto cells = t->visibleCells();
    EXPECT_EQ(cells.size(), 6u);
    EXPECT_EQ(rows->asked, 14);
    EXPECT_EQ(CountedCell::made, 8);  // every new cell came from the pool
    EXPECT_EQ(text(t->cellForRowAtIndexPath({1, 0})), "1.0");
    EXPECT_EQ(t->rectForRowAtIndexPath({1, 0}).minY(), 2 * 44);

    // Rows and sections reload at once, and only those.
    t->reloadRowsAtIndexPaths({{0, 1}}, UITableViewRowAnimation::none);
    EXPECT_EQ(rows->asked, 15);
    t->reloadSections({1}, UITableViewRowAnimation::fade);
    EXPECT_EQ(rows->asked, 19);
    EXPECT_EQ(t->cellForRowAtIndexPath({0, 0}), cells.front());

    // Between beginUpdates and endUpdates they wait for the end.
    t->beginUpdates();
    t->reloadSections({0}, UITableViewRowAnimation::none);
    t->reloadSections({1}, UITableViewRowAnimation::fade);
    EXPECT_EQ(rows->asked, 19);
    t->endUpdates();
    EXPECT_EQ(rows->asked, 25);
}

TEST_F(TableView, SelectionByCodeMarksCellsAndNeverTellsTheDelegate) {
    rows->sections = {20};
    auto t = table();
    t->selectRowAtIndexPath(NSIndexPath{0, 2}, false, UITableViewScrollPosition::none);
    auto second = std::static_pointer_cast<CountedCell>(t->cellForRowAtIndexPath({0, 2}));
    EXPECT_TRUE(second->isSelected());
    // One row at a time: selecting another deselects the first.
    t->selectRowAtIndexPath(NSIndexPath{0, 4}, true, UITableViewScrollPosition::none);
    EXPECT_EQ(t->indexPathForSelectedRow(), (NSIndexPath{0, 4}));
    EXPECT_EQ(second->states, (std::vector<std::string>{"selected", "deselected animated"}));
    t->deselectRowAtIndexPath({0, 4}, true);
    EXPECT_EQ(t->indexPathForSelectedRow(), std::nullopt);
    EXPECT_TRUE(rows->didSelect.empty());

    t->setAllowsMultipleSelection(true);
    t->selectRowAtIndexPath(NSIndexPath{0, 1}, false, UITableViewScrollPosition::none);
    t->selectRowAtIndexPath(NSIndexPath{0, 3}, false, UITableViewScrollPosition::none);
    EXPECT_EQ(t->indexPathsForSelectedRows(), (std::vector<NSIndexPath>{{0, 1}, {0, 3}}));
    t->selectRowAtIndexPath(std::nullopt, false, UITableViewScrollPosition::none);
    EXPECT_TRUE(t->indexPathsForSelectedRows().empty());

    // A row selected off screen is shown selected when it scrolls in; the scroll position can bring it.
    t->selectRowAtIndexPath(NSIndexPath{0, 15}, false, UITableViewScrollPosition::bottom);
    EXPECT_EQ(t->contentOffset().y, 16 * 44 - 440);
    EXPECT_TRUE(t->cellForRowAtIndexPath({0, 15})->isSelected());
    EXPECT_FALSE(t->cellForRowAtIndexPath({0, 14})->isSelected());

    // Reloading clears the selection.
    t->reloadData();
    EXPECT_TRUE(t->indexPathsForSelectedRows().empty());
    EXPECT_FALSE(t->cellForRowAtIndexPath({0, 15})->isSelected());
}

TEST_F(TableView, ARowSelectedWhileItsCellIsMadeShowsSelected) {
    rows->sections = {5};
    rows->onCell = [](UITableView& t, const NSIndexPath& p) {
        if (p.row == 3) t.selectRowAtIndexPath(p, false, UITableViewScrollPosition::none);
    };
    auto t = table();
    EXPECT_TRUE(t->cellForRowAtIndexPath({0, 3})->isSelected());
    EXPECT_FALSE(t->cellForRowAtIndexPath({0, 2})->isSelected());
    EXPECT_EQ(t->indexPathForSelectedRow(), (NSIndexPath{0, 3}));
}

TEST_F(TableView, GroupedSectionsSitApartUnderTheirTitles) {
    rows->sections = {2, 3};
    rows->headerTitles = {{0, "Timer length"}};
    rows->footerTitles = {{1, "Shown below the last section."}};
    auto t = table(UITableViewStyle::grouped, 600);
    const CGRect header0 = t->rectForHeaderInSection(0);
    EXPECT_GT(header0.height(), 30);
    EXPECT_EQ(t->rectForRowAtIndexPath({0, 0}).minY(), header0.maxY());
    // Untitled: the standard gaps between sections.
    EXPECT_EQ(t->rectForFooterInSection(0).height(), 17.5);
    EXPECT_EQ(t->rectForHeaderInSection(1).height(), 17.5);
    auto title = std::dynamic_pointer_cast<UITableViewHeaderFooterView>(t->headerViewForSection(0));
    ASSERT_TRUE(title);
    EXPECT_EQ(title->textLabel()->text(), "TIMER LENGTH");
    EXPECT_EQ(title->superview(), t);
    EXPECT_EQ(title->frame(), header0);
    EXPECT_EQ(t->headerViewForSection(1), nullptr);
    ASSERT_TRUE(t->footerViewForSection(1));
    EXPECT_EQ(t->footerViewForSection(1)->frame(), t->rectForFooterInSection(1));

    // A grouped section is closed above its first row and below its last by full-width lines.
    auto first = t->cellForRowAtIndexPath({1, 0}), middle = t->cellForRowAtIndexPath({1, 1}),
         last = t->cellForRowAtIndexPath({1, 2});
    for (const auto& cell : {first, middle, last}) cell->layoutIfNeeded();
    auto lines = [](const std::shared_ptr<UITableViewCell>& cell) {
        std::vector<CGRect> found;
        for (const auto& v : cell->subviews()) {
            if (v->className().find("Separator") != std::string::npos && !v->isHidden())
                found.push_back(v->frame());
        }
        return found;
    };
    const CGFloat hair = 1 / UIScreen::mainScreen().scale();
    EXPECT_EQ(lines(first), (std::vector<CGRect>{{0, 0, 320, hair}, {16, 44 - hair, 304, hair}}));
    EXPECT_EQ(lines(middle), (std::vector<CGRect>{{16, 44 - hair, 304, hair}}));
    EXPECT_EQ(lines(last), (std::vector<CGRect>{{0, 44 - hair, 320, hair}}));
    t->setSeparatorStyle(UITableViewCellSeparatorStyle::none);
    t->layoutIfNeeded();
    middle->layoutIfNeeded();
    EXPECT_TRUE(lines(middle).empty());
}

TEST_F(TableView, APlainTablePinsTheHeaderOfTheSectionOnTop) {
    rows->sections = {10, 10};
    rows->headerTitles = {{0, "A"}, {1, "B"}};
    auto t = table(UITableViewStyle::plain, 300);
    const CGFloat h = t->rectForHeaderInSection(0).height();
    EXPECT_EQ(h, 28);

    t->setContentOffset({0, 100});
    t->layoutIfNeeded();
    EXPECT_EQ(t->headerViewForSection(0)->frame().minY(), 100);   // pinned at the top edge
    EXPECT_EQ(t->headerViewForSection(1)->superview(), nullptr);  // not in view yet

    // The next section's header pushes it out.
    const CGFloat sectionEnd = t->rectForSection(0).maxY();
    t->setContentOffset({0, sectionEnd - h / 2});
    t->layoutIfNeeded();
    EXPECT_EQ(t->headerViewForSection(0)->frame().maxY(), sectionEnd);
    // Out of view, its views leave the table.
    t->setContentOffset({0, sectionEnd + 100});
    t->layoutIfNeeded();
    EXPECT_EQ(t->headerViewForSection(0)->superview(), nullptr);
    EXPECT_EQ(t->headerViewForSection(1)->frame().minY(), sectionEnd + 100);
}

TEST_F(TableView, ScrollingToARowPlacesItWhereAsked) {
    rows->sections = {100};
    auto t = table();
    t->scrollToRowAtIndexPath({0, 50}, UITableViewScrollPosition::top, false);
    EXPECT_EQ(t->contentOffset().y, 50 * 44);
    t->scrollToRowAtIndexPath({0, 50}, UITableViewScrollPosition::middle, false);
    EXPECT_EQ(t->contentOffset().y, 50 * 44 + 22 - 220);
    t->scrollToRowAtIndexPath({0, 99}, UITableViewScrollPosition::top, false);
    EXPECT_EQ(t->contentOffset().y, 100 * 44 - 440);  // no further than the end
    t->scrollToRowAtIndexPath({0, 2}, UITableViewScrollPosition::none, true);
    clock->advance(1);
    EXPECT_EQ(t->contentOffset().y, 2 * 44);
    t->scrollToRowAtIndexPath({5, 0}, UITableViewScrollPosition::top, false);  // no such row
    EXPECT_EQ(t->contentOffset().y, 2 * 44);
}

TEST_F(TableView, CellsComeFromThePoolTheFactoryOrNowhere) {
    auto t = std::make_shared<UITableView>(CGRect(0, 0, 320, 400));
    EXPECT_EQ(t->dequeueReusableCellWithIdentifier("plain"), nullptr);
    Console::Capture console;
    auto made = t->dequeueReusableCellWithIdentifier("plain", NSIndexPath{0, 0});
    ASSERT_TRUE(made);
    EXPECT_TRUE(console.contains("plain"));
    t->registerClass<CountedCell>("counted");
    EXPECT_TRUE(std::dynamic_pointer_cast<CountedCell>(t->dequeueReusableCellWithIdentifier("counted")));
}

TEST_F(TableView, EditingReachesTheCellsInViewAndThoseMadeLater) {
    rows->sections = {30};
    auto t = table();
    t->setEditing(true, true);
    EXPECT_TRUE(t->cellForRowAtIndexPath({0, 0})->isEditing());
    t->setContentOffset({0, 600});
    EXPECT_TRUE(t->cellForRowAtIndexPath({0, 20})->isEditing());
    t->setEditing(false);
    EXPECT_FALSE(t->cellForRowAtIndexPath({0, 20})->isEditing());
}

TEST_F(TableView, WithoutADataSourceItIsEmpty) {
    auto t = std::make_shared<UITableView>(CGRect(0, 0, 320, 400));
    t->registerClass<UITableViewCell>("row");
    t->layoutIfNeeded();
    EXPECT_EQ(t->numberOfSections(), 0);
    EXPECT_TRUE(t->visibleCells().empty());
    EXPECT_EQ(t->contentSize().height, 0);
    rows->sections = {2};
    t->setDataSource(rows);
    EXPECT_EQ(t->visibleCells().size(), 2u);
    rows.reset();
    t->reloadData();
    EXPECT_TRUE(t->visibleCells().empty());
}

// On a notched phone lying on its side the sensor housing takes 44 points at either side: the rows'
// backgrounds and the grouped ground fill the width, while the texts, accessories, lines and section
// titles keep inside the safe area, as the window measures them.
TEST_F(TableView, OnALandscapeNotchedPhoneRowsKeepTheirContentInsideTheSafeArea) {
    DeviceProfile::setCurrent(*DeviceProfile::named("iPhoneXS"));
    UIScreen::mainScreen().reset();
    UIScreen::mainScreen().setInterfaceOrientation(UIInterfaceOrientation::landscapeRight);
    auto window = std::make_shared<UIWindow>();
    window->makeKeyAndVisible();
    ASSERT_EQ(window->bounds().width(), 812);
    ASSERT_EQ(window->safeAreaInsets().left, 44);

    rows->sections = {3};
    rows->headerTitles = {{0, "Sounds"}};
    auto t = table(UITableViewStyle::grouped, 375);
    t->setFrame(window->bounds());
    window->addSubview(t);
    auto withMark = t->cellForRowAtIndexPath({0, 1});
    ASSERT_TRUE(withMark);
    withMark->setAccessoryType(UITableViewCellAccessoryType::disclosureIndicator);
    window->layoutIfNeeded();

    auto inWindow = [&](const std::shared_ptr<UIView>& view) {
        return view->convertRectToView(view->bounds(), window);
    };
    const CGFloat hair = 1 / UIScreen::mainScreen().scale();
    for (const auto& cell : t->visibleCells()) {
        cell->layoutIfNeeded();
        EXPECT_EQ(inWindow(cell).width(), 812) << text(cell);
        EXPECT_EQ(inWindow(cell->textLabel()).minX(), 44 + UITableViewCell::kMargin) << text(cell);
        EXPECT_LE(inWindow(cell->contentView()).maxX(), 812 - 44) << text(cell);
        for (const auto& line : cell->subviews()) {
            if (line->className().find("Separator") == std::string::npos || line->isHidden()) continue;
            const CGRect frame = line->frame();
            // The section's closing lines run across; the lines between rows start at the text.
            if (frame.minX() > 0) {
                EXPECT_EQ(frame, CGRect(44 + 16, 44 - hair, 812 - 60, hair)) << text(cell);
            }
        }
    }
    int marks = 0;
    for (const auto& view : withMark->subviews()) {
        if (view->className().find("Accessory") == std::string::npos) continue;
        ++marks;
        EXPECT_EQ(inWindow(view).maxX(), 812 - 44 - UITableViewCell::kMargin);
        EXPECT_LT(inWindow(withMark->contentView()).maxX(), inWindow(view).minX());
    }
    EXPECT_EQ(marks, 1);
    auto title = std::dynamic_pointer_cast<UITableViewHeaderFooterView>(t->headerViewForSection(0));
    ASSERT_TRUE(title);
    EXPECT_EQ(inWindow(title).width(), 812);
    EXPECT_EQ(inWindow(title->textLabel()).minX(), 44 + 16);
    EXPECT_EQ(inWindow(title->textLabel()).maxX(), 812 - 44 - 16);
}
