#include <gtest/gtest.h>

#include <filesystem>

#include "app/screens/timer/zuvo_custom_button.h"
#include "app/screens/timer/zuvo_custom_view.h"
#include "app/screens/timer/zuvo_image_view.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/drawing/ui_bezier_path.h"
#include "platform/uikit/drawing/ui_image.h"

namespace quorvel {
namespace {

using namespace platform;

// A view 40 points high inside a superview, with a sibling in front of it.
template <typename View>
class DesignableViews : public ::testing::Test {
protected:
    void SetUp() override {
        superview->addSubview(view);
        superview->addSubview(std::make_shared<UIView>(CGRectMake(0, 0, 10, 10)));
    }
    void draw() { view->drawRect(view->bounds()); }

    std::shared_ptr<UIView> superview = std::make_shared<UIView>(CGRectMake(0, 0, 200, 100));
    std::shared_ptr<View> view = std::make_shared<View>(CGRectMake(20, 30, 60, 40));
};

using Designables = ::testing::Types<ZuvoCustomView, ZuvoCustomButton, ZuvoImageView>;
TYPED_TEST_SUITE(DesignableViews, Designables);

TYPED_TEST(DesignableViews, NothingShowsUntilSetThenBorderAndCornersChangeTheLayerAtOnce) {
    auto& view = *this->view;
    EXPECT_EQ(view.shadowOffset(), CGSizeMake(0, 1));
    EXPECT_EQ(*view.shadowColor(), *UIColor::clearColor());
    this->draw();
    EXPECT_FALSE(view.shadowLayer());
    EXPECT_FALSE(view.layer()->masksToBounds());

    EXPECT_TRUE(view.setValueForKey("borderWidth", CGFloat(2)));
    EXPECT_TRUE(view.setValueForKey("borderColor", UIColor::redColor()));
    EXPECT_FALSE(view.setValueForKey("borderWidth", true)) << "a value of another type";
    EXPECT_FALSE(view.setValueForKey("shadowLayer", CGFloat(1))) << "not settable by name";
    EXPECT_EQ(view.layer()->borderWidth(), 2);
    EXPECT_EQ(*view.layer()->borderColor(), *UIColor::redColor());
    view.setCornerRadius(7);
    view.setIsCircle(true);
    EXPECT_TRUE(view.layer()->masksToBounds());
    EXPECT_EQ(view.layer()->cornerRadius(), 20) << "half of 40 points, whatever the corner radius";

    view.setShadowCornerRadius(5);
    view.setShadowColor(UIColor::blackColor());
    EXPECT_EQ(view.layer()->cornerRadius(), 20) << "shadow properties wait for a drawing pass";
    this->draw();
    EXPECT_EQ(view.layer()->cornerRadius(), 5);
}

TYPED_TEST(DesignableViews, TheShadowSitsBehindEverythingInTheSuperlayerAndFollowsTheView) {
    auto& view = *this->view;
    view.setShadowColor(UIColor::blackColor());
    view.setShadowFillColor(UIColor::whiteColor());
    view.setShadowOpacity(0.5);
    view.setShadowRadius(4);
    view.setShadowCornerRadius(8);
    this->draw();
    const auto shadow = view.shadowLayer();
    ASSERT_TRUE(shadow);
    const auto& sublayers = this->superview->layer()->sublayers();
    ASSERT_EQ(sublayers.size(), 3u);
    EXPECT_EQ(sublayers[0], shadow);
    const CGPathRef frame = UIBezierPath::bezierPathWithRoundedRect(CGRectMake(20, 30, 60, 40), 8)->CGPath();
    EXPECT_TRUE(*shadow->path() == *frame && *shadow->shadowPath() == *frame);
    EXPECT_EQ(*shadow->fillColor(), *UIColor::whiteColor());
    EXPECT_EQ(shadow->shadowOpacity(), 0.5f);
    EXPECT_EQ(shadow->shadowOffset(), CGSizeMake(0, 1));

    this->draw();
    EXPECT_EQ(view.shadowLayer(), shadow) << "nothing changed, nothing replaced";
    view.setShadowRadius(6);
    this->draw();
    EXPECT_NE(view.shadowLayer(), shadow);
    EXPECT_EQ(sublayers.size(), 3u) << "the new one in the old one's place";

    auto other = std::make_shared<UIView>(CGRectMake(0, 0, 100, 100));
    other->addSubview(this->view);
    EXPECT_EQ(sublayers.size(), 1u) << "the shadow does not stay behind in the old superview";
    this->draw();
    EXPECT_EQ(other->layer()->sublayers().front(), view.shadowLayer());

    view.setShadowColor(UIColor::clearColor());
    this->draw();
    ASSERT_TRUE(view.shadowLayer()) << "kept, but off screen";
    EXPECT_FALSE(view.shadowLayer()->superlayer());
}

TEST(DesignableViewsLook, ACardWithAShadowACircleWithABorderAndAnInvisibleShadow) {
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, 240, 120));
    root->setBackgroundColor(UIColor::colorWithWhite(0.93, 1));
    auto card = std::make_shared<ZuvoCustomView>(CGRectMake(20, 20, 90, 60));
    card->setBackgroundColor(UIColor::whiteColor());
    card->setShadowColor(UIColor::blackColor());
    card->setShadowOpacity(0.6);
    card->setShadowRadius(6);
    card->setShadowOffset({0, 6});
    card->setShadowCornerRadius(12);
    auto circle = std::make_shared<ZuvoCustomButton>(CGRectMake(140, 20, 60, 60));
    circle->setBackgroundColor(UIColor::colorWithRed(0.85, 0.33, 0.31, 1));
    circle->setBorderWidth(4);
    circle->setBorderColor(UIColor::whiteColor());
    circle->setIsCircle(true);
    // Only a colour: the shadow's opacity of 0 keeps it invisible.
    auto quiet = std::make_shared<ZuvoImageView>(nullptr, nullptr);
    quiet->setFrame(CGRectMake(20, 95, 200, 10));
    quiet->setBackgroundColor(UIColor::whiteColor());
    quiet->setShadowColor(UIColor::blackColor());
    for (const std::shared_ptr<UIView>& view :
         {std::shared_ptr<UIView>(card), std::shared_ptr<UIView>(circle), std::shared_ptr<UIView>(quiet)})
        root->addSubview(view);

    root->layoutIfNeeded();
    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
    std::filesystem::create_directories(out);
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*root, out / "designable_views.png", 2));
    const auto image = LayerRenderer::renderView(*root, 2);
    auto grey = [&](CGFloat x, CGFloat y) { return image->pixelAt(int(x * 2), int(y * 2)).g; };
    const int background = grey(5, 5);
    EXPECT_LT(grey(65, 84), background - 30) << "the card's shadow below it";
    EXPECT_EQ(grey(21, 21), background) << "the card's corner is rounded away";
    EXPECT_EQ(grey(141, 21), background) << "outside the circle";
    EXPECT_GT(grey(142, 50), 240) << "the white border on the circle's edge";
    EXPECT_EQ(grey(120, 107), background) << "no shadow under the quiet view";
}

}  // namespace
}  // namespace quorvel
