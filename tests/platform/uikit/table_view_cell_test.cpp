#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "platform/uikit/tables/ui_table_view_cell.h"
#include "platform/uikit/text/ui_label.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/platform/uikit/swatch.h"

using namespace platform;

namespace {

class TableViewCell : public ::testing::Test {
protected:
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    void SetUp() override { quorvel::testing::restoreDefaultDevice(); }

    static std::shared_ptr<UITableViewCell> cell(UITableViewCellStyle style, const std::string& text,
                                                 const std::string& detail = "") {
        auto c = std::make_shared<UITableViewCell>(style, "id");
        c->setFrame(CGRect(0, 0, 375, 44));
        c->textLabel()->setText(text);
        if (c->detailTextLabel()) c->detailTextLabel()->setText(detail);
        return c;
    }
};

// Remembers the states a subclass is told about.
class Recording : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;
    std::vector<std::string> told;
    void setSelected(bool s, bool a) override {
        UITableViewCell::setSelected(s, a);
        told.push_back(s ? "selected" : "deselected");
    }
    void setHighlighted(bool h, bool a) override {
        UITableViewCell::setHighlighted(h, a);
        told.push_back(h ? "highlighted" : "unhighlighted");
    }
};

}  // namespace

TEST_F(TableViewCell, Value1PutsTheDetailAtTheTrailingEdgeAndTheTextAfterTheImage) {
    auto c = cell(UITableViewCellStyle::value1, "Focus", "25 min");
    c->layoutIfNeeded();
    const CGRect text = c->textLabel()->frame(), detail = c->detailTextLabel()->frame();
    EXPECT_EQ(text.minX(), UITableViewCell::kMargin);
    EXPECT_EQ(detail.maxX(), 375 - UITableViewCell::kMargin);
    EXPECT_GT(detail.width(), 20);
    EXPECT_LT(text.maxX(), detail.minX());

    c->imageView()->setImage(quorvel::testing::swatch({29, 29}));
    c->setNeedsLayout();
    c->layoutIfNeeded();
    EXPECT_EQ(c->imageView()->frame(), CGRect(16, (44 - 29) / 2.0, 29, 29));
    EXPECT_EQ(c->textLabel()->frame().minX(), 16 + 29 + 16);
}

TEST_F(TableViewCell, AnAccessoryTakesTheTrailingEndAndTheContentEndsBeforeIt) {
    auto c = cell(UITableViewCellStyle::value1, "Sound", "Bell");
    c->setAccessoryType(UITableViewCellAccessoryType::disclosureIndicator);
    c->layoutIfNeeded();
    auto mark = std::find_if(c->subviews().begin(), c->subviews().end(),
                             [](const auto& v) { return v->className() == "UITableViewCellAccessoryView"; });
    ASSERT_NE(mark, c->subviews().end());
    const CGRect chevron = (*mark)->frame();
    EXPECT_EQ(chevron.maxX(), 375 - UITableViewCell::kMargin);
    EXPECT_LT(c->contentView()->frame().maxX(), chevron.minX());
    EXPECT_LE(c->detailTextLabel()->frame().maxX(), c->contentView()->bounds().maxX());

    // A view of one's own replaces the mark.
    auto custom = std::make_shared<UIView>(CGRect(0, 0, 51, 31));
    c->setAccessoryView(custom);
    c->layoutIfNeeded();
    EXPECT_EQ(custom->superview(), c);
    EXPECT_EQ(custom->frame(), CGRect(375 - 16 - 51, (44 - 31) / 2.0, 51, 31));
    EXPECT_EQ(std::count_if(c->subviews().begin(), c->subviews().end(),
                            [](const auto& v) { return v->className() == "UITableViewCellAccessoryView"; }),
              0);
}

TEST_F(TableViewCell, SubtitleStacksItsTextsInTheMiddle) {
    auto c = cell(UITableViewCellStyle::subtitle, "Focus", "Every weekday");
    c->layoutIfNeeded();
    const CGRect text = c->textLabel()->frame(), detail = c->detailTextLabel()->frame();
    EXPECT_EQ(text.maxY(), detail.minY());
    EXPECT_NEAR(text.minY(), 44 - detail.maxY(), 1e-9);
    // Alone, the text takes the middle.
    c->detailTextLabel()->setText("");
    c->setNeedsLayout();
    c->layoutIfNeeded();
    EXPECT_NEAR(c->textLabel()->frame().midY(), 22, 1e-9);
}

TEST_F(TableViewCell, HighlightAndSelectionShowTheSelectedBackgroundUnlessTheStyleIsNone) {
    auto c = cell(UITableViewCellStyle::default_, "Row");
    c->setHighlighted(true);
    auto background = c->selectedBackgroundView();
    EXPECT_EQ(background->superview(), c);
    EXPECT_EQ(background->alpha(), 1);
    EXPECT_TRUE(c->textLabel()->isHighlighted());
    c->setHighlighted(false);
    EXPECT_EQ(background->alpha(), 0);

    c->setSelected(true);
    EXPECT_EQ(background->alpha(), 1);
    // An animated deselection fades the background out.
    c->setSelected(false, true);
    EXPECT_EQ(background->alpha(), 0);
    EXPECT_GT(background->layer()->presentationValue("opacity").toDouble(), 0.5);
    clock->advance(1);
    EXPECT_EQ(background->layer()->presentationValue("opacity").toDouble(), 0);

    c->setSelectionStyle(UITableViewCellSelectionStyle::none);
    c->setSelected(true);
    EXPECT_TRUE(c->isSelected());
    EXPECT_EQ(background->alpha(), 0);
    EXPECT_FALSE(c->textLabel()->isHighlighted());
}

TEST_F(TableViewCell, ReuseUndoesHighlightAndSelectionThroughTheSubclass) {
    auto c = std::make_shared<Recording>(UITableViewCellStyle::default_, "id");
    c->setSelected(true, false);
    c->setHighlighted(true, false);
    c->told.clear();
    c->prepareForReuse();
    EXPECT_EQ(c->told, (std::vector<std::string>{"unhighlighted", "deselected"}));
    c->told.clear();
    c->prepareForReuse();
    EXPECT_TRUE(c->told.empty());
}
