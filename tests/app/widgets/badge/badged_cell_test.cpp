#include "app/widgets/badge/badged_cell.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "platform/foundation/clock.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/text/ns_attributed_string.h"

namespace quorvel {
namespace {

using namespace platform;
using Pixel = UIImage::Pixel;
constexpr CGFloat kScale = 2;

bool near(Pixel p, Pixel q) {
    return std::abs(p.r - q.r) <= 2 && std::abs(p.g - q.g) <= 2 && std::abs(p.b - q.b) <= 2 &&
           std::abs(p.a - q.a) <= 2;
}

class BadgedCellTest : public ::testing::Test {
protected:
    void SetUp() override { DeviceProfile::setCurrent(*DeviceProfile::named("iPhone8")); }

    // A cell laid out before its badge text (if any) is set.
    std::shared_ptr<BadgedCell> makeCell(std::optional<std::string> badge = std::nullopt,
                                         UITableViewCellStyle style = UITableViewCellStyle::default_,
                                         const std::string& text = "Sessions") {
        auto cell = std::make_shared<BadgedCell>(style, "badged");
        cell->setFrame(CGRectMake(0, 0, 320, 44));
        cell->textLabel()->setText(text);
        cell->layoutIfNeeded();
        if (badge) cell->setBadgeString(badge);
        return cell;
    }

    // The badge as it draws itself, alone.
    static std::shared_ptr<UIImage> drawn(BadgeView& badge) {
        UIGraphicsBeginImageContextWithOptions(badge.bounds().size, false, kScale);
        badge.drawRect(badge.bounds());
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        return image;
    }
    // A pixel of the fill: inside the left end of the badge, clear of its corners and its text.
    static Pixel fillOf(BadgeView& badge) {
        return drawn(badge)->pixelAt(int(3 * kScale), int(badge.bounds().size.height / 2 * kScale));
    }

    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
};

}  // namespace

TEST_F(BadgedCellTest, BadgeSitsAtTheRightEdgeCentredAndSizedByItsText) {
    auto cell = makeCell("12");
    const CGSize text = NSAttributedString("12", {UIFont::systemFontOfSize(14), nullptr}).size();
    ASSERT_GT(text.height, 0);
    const CGRect frame = cell->badge()->frame();
    EXPECT_DOUBLE_EQ(frame.size.width, text.width + 13);
    EXPECT_DOUBLE_EQ(frame.size.height, text.height + 50 / text.height);
    EXPECT_DOUBLE_EQ(frame.maxX(), cell->contentView()->bounds().size.width - 12);
    EXPECT_NEAR(frame.origin.y, std::round((44 - frame.size.height) / 2), 1e-9);

    cell->badge()->setFontSize(28);
    cell->setBadgeRightOffset(30);
    cell->layoutSubviews();
    EXPECT_GT(cell->badge()->frame().size.height, frame.size.height);
    EXPECT_DOUBLE_EQ(cell->badge()->frame().maxX(), cell->contentView()->bounds().size.width - 30);
}

TEST_F(BadgedCellTest, LabelsThatWouldRunUnderTheBadgeEndBeforeItOthersKeepTheirWidth) {
    auto cell = makeCell(std::nullopt, UITableViewCellStyle::subtitle, "A title long enough to reach the badge");
    auto beside = std::make_shared<UILabel>(CGRectMake(16, 0, 60, 20));
    auto beyond = std::make_shared<UILabel>(CGRectMake(310, 0, 8, 20));
    cell->contentView()->addSubview(beside);
    cell->contentView()->addSubview(beyond);
    cell->resizeableLabels().push_back(beside);
    cell->resizeableLabels().push_back(beyond);
    cell->setBadgeString("128");

    const CGFloat badgeX = cell->badge()->frame().origin.x;
    EXPECT_DOUBLE_EQ(cell->textLabel()->frame().maxX(), badgeX - 10);
    EXPECT_DOUBLE_EQ(cell->detailTextLabel()->frame().maxX(), badgeX - 10);
    EXPECT_EQ(beside->frame(), CGRectMake(16, 0, 60, 20));
    EXPECT_EQ(beyond->frame(), CGRectMake(310, 0, 0, 20)) << "no negative width";
}

TEST_F(BadgedCellTest, NoStringOrEditingTakesTheBadgeAwayAndAnEmptyOneIsFlatNotInfinite) {
    auto cell = makeCell("7");
    cell->setBadgeString(std::nullopt);
    EXPECT_FALSE(cell->badge()->superview());
    cell->setBadgeString("8");
    EXPECT_EQ(cell->badge()->superview(), cell->contentView());
    EXPECT_GT(cell->badge()->frame().size.width, 13);

    cell->setEditing(true, false);
    EXPECT_TRUE(cell->badge()->isHidden());
    cell->layoutSubviews();
    EXPECT_TRUE(cell->badge()->isHidden());
    cell->setEditing(false, false);
    EXPECT_FALSE(cell->badge()->isHidden());

    cell->setBadgeString("");
    const CGRect frame = cell->badge()->frame();
    EXPECT_EQ(frame.size, CGSizeMake(13, 0));
    EXPECT_TRUE(std::isfinite(frame.origin.y));
}

TEST_F(BadgedCellTest, ColoursReachTheBadgeAtLayoutAndTheTextColourOnlyWhenSet) {
    auto cell = makeCell("1");
    auto badge = cell->badge();
    EXPECT_FALSE(badge->badgeTextColor());
    cell->setBadgeColor(UIColor::redColor());
    cell->setBadgeTextColor(UIColor::yellowColor());
    EXPECT_TRUE(badge->badgeColor()->isEqual(BadgeView::defaultBadgeColor())) << "not before the next layout";
    cell->layoutSubviews();
    EXPECT_TRUE(badge->badgeColor()->isEqual(UIColor::redColor()));
    cell->setBadgeTextColor(nullptr);
    cell->layoutSubviews();
    EXPECT_TRUE(badge->badgeTextColor()->isEqual(UIColor::yellowColor())) << "none is not handed over";
}

TEST_F(BadgedCellTest, FillFollowsTheCellsSelectionUnlessItsStyleIsNone) {
    auto cell = makeCell("42");
    auto badge = cell->badge();
    const Pixel blueGrey{135, 153, 188, 255};
    EXPECT_TRUE(near(fillOf(*badge), blueGrey));
    cell->setSelected(true);
    EXPECT_TRUE(near(fillOf(*badge), Pixel{255, 255, 255, 255}));
    cell->setBadgeColorHighlighted(UIColor::greenColor());
    cell->layoutSubviews();
    EXPECT_TRUE(near(fillOf(*badge), Pixel{0, 255, 0, 255}));

    cell->setSelectionStyle(UITableViewCellSelectionStyle::none);
    cell->setHighlighted(true);
    EXPECT_TRUE(near(fillOf(*badge), blueGrey)) << "a cell that shows no selection keeps the normal fill";

    auto orphan = std::make_shared<BadgeView>(CGRectMake(0, 0, 30, 20));
    orphan->setBadgeString("5");
    EXPECT_TRUE(near(fillOf(*orphan), blueGrey)) << "a badge without a cell has the normal fill";
}

TEST_F(BadgedCellTest, TextIsCutOutOfTheFillOrDrawnInItsColour) {
    auto cell = makeCell("88");
    auto badge = cell->badge();
    auto lowestAlphaOverText = [&](const UIImage& image, int* redPixels) {
        const CGRect box = badge->bounds().insetBy(7, 3);
        int lowest = 255;
        for (int y = int(box.minY() * kScale); y < int(box.maxY() * kScale); ++y) {
            for (int x = int(box.minX() * kScale); x < int(box.maxX() * kScale); ++x) {
                const Pixel p = image.pixelAt(x, y);
                lowest = std::min(lowest, int(p.a));
                *redPixels += p.r > 200 && p.g < 60 && p.b < 60;
            }
        }
        return lowest;
    };
    int red = 0;
    EXPECT_EQ(lowestAlphaOverText(*drawn(*badge), &red), 0) << "the letters are holes";
    EXPECT_EQ(red, 0);

    cell->setBadgeTextColor(UIColor::redColor());
    cell->layoutSubviews();
    EXPECT_EQ(lowestAlphaOverText(*drawn(*badge), &red), 255) << "no holes";
    EXPECT_GT(red, 10) << "red letters";
}

TEST_F(BadgedCellTest, HighlightWithShadowShadesTheLabelsForGoodAndTheBadgeWhileHighlighted) {
    auto cell = makeCell(std::nullopt, UITableViewCellStyle::value1);
    cell->setShowShadow(true);
    cell->setBadgeString("9");
    cell->setHighlighted(true, false);
    for (const auto& label : {cell->textLabel(), cell->detailTextLabel()}) {
        EXPECT_EQ(label->layer()->shadowOffset(), CGSizeMake(0, 1));
        EXPECT_EQ(label->layer()->shadowRadius(), 1);
        EXPECT_EQ(label->layer()->shadowOpacity(), 0.8f);
    }
    drawn(*cell->badge());
    EXPECT_EQ(cell->badge()->layer()->shadowOpacity(), 0.8f);
    EXPECT_EQ(cell->badge()->layer()->shadowOffset(), CGSizeMake(0, 1));

    cell->setHighlighted(false, false);
    drawn(*cell->badge());
    EXPECT_EQ(cell->badge()->layer()->shadowOpacity(), 0);
    EXPECT_EQ(cell->textLabel()->layer()->shadowOpacity(), 0.8f) << "label shadows stay";

    cell->setSelectionStyle(UITableViewCellSelectionStyle::none);
    cell->setHighlighted(true, false);
    drawn(*cell->badge());
    EXPECT_EQ(cell->badge()->layer()->shadowOpacity(), 0);
}

TEST_F(BadgedCellTest, TheBadgeForgetsItsCellWhenTheCellGoes) {
    auto cell = makeCell();
    auto badge = cell->badge();
    EXPECT_EQ(badge->parent().get(), cell.get());
    cell.reset();
    EXPECT_FALSE(badge->parent());
}

// Also: drawing leaves each badge where layout put it, and see-through.
TEST_F(BadgedCellTest, BadgedCellsDrawnForAPerson) {
    auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 320, 176));
    window->setBackgroundColor(UIColor::whiteColor());
    window->makeKeyAndVisible();
    struct Row {
        UITableViewCellStyle style;
        std::string title, detail, badge;
        std::shared_ptr<UIColor> fill, text;
        bool selected;
    };
    const std::vector<Row> rows{
        {UITableViewCellStyle::default_, "Focus sessions today", "", "12", nullptr, nullptr, false},
        {UITableViewCellStyle::value1, "Selected row", "", "3", nullptr, nullptr, true},
        {UITableViewCellStyle::subtitle, "Coloured badge", "with a text colour", "New", UIColor::redColor(),
         UIColor::whiteColor(), false},
        {UITableViewCellStyle::default_, "A title so long that it would run under the badge", "", "128",
         nullptr, nullptr, false},
    };
    std::vector<CGRect> placed;
    for (size_t i = 0; i < rows.size(); ++i) {
        auto cell = std::make_shared<BadgedCell>(rows[i].style, "badged");
        cell->setFrame(CGRectMake(0, 44.0 * i, 320, 44));
        cell->textLabel()->setText(rows[i].title);
        if (cell->detailTextLabel()) cell->detailTextLabel()->setText(rows[i].detail);
        cell->setBadgeColor(rows[i].fill);
        cell->setBadgeTextColor(rows[i].text);
        cell->setSelected(rows[i].selected);
        window->addSubview(cell);
        cell->setBadgeString(rows[i].badge);
        placed.push_back(cell->badge()->frame());
    }
    const auto path = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "badged_cells.png";
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*window, path, kScale));
    const auto image = LayerRenderer::renderView(*window, kScale);
    const auto fillAt = [&](size_t row) {
        auto cell = std::static_pointer_cast<BadgedCell>(window->subviews()[row]);
        const CGRect badge = cell->badge()->convertRectToView(cell->badge()->bounds(), window.get());
        return image->pixelAt(int((badge.minX() + 3) * kScale), int(badge.midY() * kScale));
    };
    EXPECT_TRUE(near(fillAt(0), Pixel{135, 153, 188, 255}));
    EXPECT_TRUE(near(fillAt(1), Pixel{255, 255, 255, 255}));
    EXPECT_TRUE(near(fillAt(2), Pixel{255, 0, 0, 255}));
    for (size_t i = 0; i < rows.size(); ++i) {
        auto badge = std::static_pointer_cast<BadgedCell>(window->subviews()[i])->badge();
        EXPECT_EQ(badge->frame(), placed[i]) << rows[i].title;
        EXPECT_TRUE(badge->backgroundColor()->isEqual(UIColor::clearColor())) << rows[i].title;
        EXPECT_EQ(badge->layer()->cornerRadius(), BadgeView::kDefaultRadius) << rows[i].title;
    }
}

}  // namespace quorvel
