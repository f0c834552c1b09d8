#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/controls/ui_page_control.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/tables/ui_table_view.h"
#include "platform/uikit/tables/ui_table_view_data_source.h"
#include "platform/uikit/tables/ui_table_view_delegate.h"
#include "platform/uikit/text/ui_label.h"
#include "tests/platform/graphics/pixel_probe.h"

namespace platform {
namespace {


// Rows of (title, detail) in titled sections, shown in value1 cells: a settings list.
class Settings : public UITableViewDataSource, public UITableViewDelegate {
public:
    struct Section {
        std::string title;
        std::vector<std::pair<std::string, std::string>> rows;
        std::string footer;
    };
    std::vector<Section> sections;
    UITableViewCellStyle style = UITableViewCellStyle::value1;

    long numberOfSectionsInTableView(UITableView&) override { return long(sections.size()); }
    long tableViewNumberOfRowsInSection(UITableView&, long s) override {
        return long(sections[size_t(s)].rows.size());
    }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& p) override {
        auto cell = table.dequeueReusableCellWithIdentifier("setting");
        if (!cell) cell = std::make_shared<UITableViewCell>(style, "setting");
        const auto& [title, detail] = sections[size_t(p.section)].rows[size_t(p.row)];
        cell->textLabel()->setText(title);
        if (cell->detailTextLabel()) cell->detailTextLabel()->setText(detail);
        cell->setAccessoryType(p.section == 0 ? UITableViewCellAccessoryType::disclosureIndicator
                               : p.row == 0   ? UITableViewCellAccessoryType::checkmark
                                              : UITableViewCellAccessoryType::none);
        return cell;
    }
    std::optional<std::string> tableViewTitleForHeaderInSection(UITableView&, long s) override {
        const auto& title = sections[size_t(s)].title;
        return title.empty() ? std::nullopt : std::optional(title);
    }
    std::optional<std::string> tableViewTitleForFooterInSection(UITableView&, long s) override {
        const auto& footer = sections[size_t(s)].footer;
        return footer.empty() ? std::nullopt : std::optional(footer);
    }
};

std::filesystem::path output(const std::string& name) {
    return std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / name;
}

bool near(Pixel p, int r, int g, int b) {
    return std::abs(p.r - r) <= 2 && std::abs(p.g - g) <= 2 && std::abs(p.b - b) <= 2 && p.a == 255;
}

class TableRender : public ::testing::Test {
protected:
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<Settings> settings = std::make_shared<Settings>();
};

}  // namespace

// A grouped settings list, written as a PNG for a person to look at.
TEST_F(TableRender, GroupedSettingsList) {
    settings->sections = {
        {"Timer length", {{"Focus", "25 min"}, {"Short break", "5 min"}, {"Long break", "15 min"}}, ""},
        {"Ticking sound", {{"Focus session", "Clock"}, {"Break", "None"}}, "Plays while the timer runs."},
    };
    auto table = std::make_shared<UITableView>(CGRect(0, 0, 375, 480), UITableViewStyle::grouped);
    table->setDataSource(settings);
    table->setDelegate(settings);
    table->selectRowAtIndexPath(NSIndexPath{1, 1}, false, UITableViewScrollPosition::none);

    ASSERT_TRUE(LayerRenderer::writeViewPNG(*table, output("table_grouped.png"), kScale));
    const auto image = LayerRenderer::renderView(*table, kScale);
    const CGRect firstRow = table->rectForRowAtIndexPath({0, 0});
    EXPECT_TRUE(near(at(*image, 5, 5), 242, 242, 247));                       // the grey ground
    EXPECT_TRUE(near(at(*image, 100, firstRow.midY() - 12), 255, 255, 255));  // a white row
    EXPECT_TRUE(near(at(*image, 5, table->rectForRowAtIndexPath({1, 1}).midY()), 209, 209, 214));  // selected
    // A line between the first two rows, from the text's edge: not under the margin.
    const CGFloat line = firstRow.maxY() - 0.25;
    EXPECT_TRUE(near(at(*image, 100, line), 198, 198, 200));
    EXPECT_TRUE(near(at(*image, 8, line), 255, 255, 255));
}

TEST_F(TableRender, PlainListRulesItsEmptyRows) {
    settings->sections = {
        {"Auto reset", {{"Never", "Counts are kept"}, {"00:00", "At midnight"}, {"01:00", ""}}, ""}};
    settings->style = UITableViewCellStyle::subtitle;
    auto table = std::make_shared<UITableView>(CGRect(0, 0, 375, 300), UITableViewStyle::plain);
    table->setDataSource(settings);
    table->setDelegate(settings);

    ASSERT_TRUE(LayerRenderer::writeViewPNG(*table, output("table_plain.png"), kScale));
    const auto image = LayerRenderer::renderView(*table, kScale);
    // The line under the fifth row, two rows past the last, below the section's header bar.
    const CGFloat empty = table->rectForHeaderInSection(0).height() + 5 * 44 - 0.25;
    EXPECT_TRUE(near(at(*image, 100, 5), 247, 247, 247));
    EXPECT_TRUE(near(at(*image, 100, empty), 198, 198, 200));
    EXPECT_TRUE(near(at(*image, 100, empty - 20), 255, 255, 255));
    // A footer view says there are no more rows: no lines below the last.
    table->setTableFooterView(std::make_shared<UIView>());
    EXPECT_TRUE(near(at(*LayerRenderer::renderView(*table, kScale), 100, empty), 255, 255, 255));
}

TEST_F(TableRender, PageControlDots) {
    auto root = std::make_shared<UIView>(CGRect(0, 0, 148, 37));
    root->setBackgroundColor(UIColor::colorWithRed(0.2, 0.3, 0.5, 1));
    auto control = std::make_shared<UIPageControl>(root->bounds());
    control->setNumberOfPages(4);
    control->setCurrentPage(1);
    root->addSubview(control);

    ASSERT_TRUE(LayerRenderer::writeViewPNG(*root, output("page_control.png"), kScale));
    const auto image = LayerRenderer::renderView(*root, kScale);
    const CGPoint current = control->rectForPage(1).center(), other = control->rectForPage(2).center();
    EXPECT_TRUE(near(at(*image, current.x, current.y), 255, 255, 255));
    const Pixel dim = at(*image, other.x, other.y);
    EXPECT_GT(dim.r, 0.2 * 255 + 20);
    EXPECT_LT(dim.r, 200);
    // One page and hidesForSinglePage: nothing drawn.
    control->setNumberOfPages(1);
    control->setHidesForSinglePage(true);
    const CGPoint only = control->rectForPage(0).center();
    EXPECT_TRUE(near(at(*LayerRenderer::renderView(*root, kScale), only.x, only.y), 51, 77, 128));
}

}  // namespace platform
