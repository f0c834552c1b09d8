#include <gtest/gtest.h>

#include <filesystem>

#include "app/screens/timer/zuvo_custom_button.h"
#include "app/screens/timer/zuvo_custom_view.h"
#include "app/screens/timer/zuvo_image_view.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/ns_layout_anchor.h"
#include "platform/uikit/ui_image.h"
#include "platform/uikit/ui_bezier_path.h"
#include "platform/uikit/ui_graphics.h"

namespace quorvel {
namespace {

using namespace platform;

template <typename View>
class DesignableViews : public ::testing::Test {
protected:
    // The view 40 points high inside a superview, with a sibling above it.
    void SetUp() override {
        superview = std::make_shared<UIView>(CGRectMake(0, 0, 200, 100));
        view = std::make_shared<View>(CGRectMake(20, 30, 60, 40));
        superview->addSubview(view);
        superview->addSubview(std::make_shared<UIView>(CGRectMake(0, 0, 10, 10)));
    }
    void draw() { view->drawRect(view->bounds()); }

    std::shared_ptr<UIView> superview;
    std::shared_ptr<View> view;
};

using Designables = ::testing::Types<ZuvoCustomView, ZuvoCustomButton, ZuvoImageView>;
TYPED_TEST_SUITE(DesignableViews, Designables);

TYPED_TEST(DesignableViews, ANewViewShowsNothingAndIsNotClipped) {
    auto& view = *this->view;
    EXPECT_EQ(view.shadowOffset(), CGSizeMake(0, 1));
    EXPECT_EQ(view.shadowOpacity(), 0);
    EXPECT_EQ(*view.shadowColor(), *UIColor::clearColor());
    EXPECT_EQ(*view.shadowFillColor(), *UIColor::clearColor());
    EXPECT_EQ(*view.borderColor(), *UIColor::clearColor());
    EXPECT_FALSE(view.isCircle());
    this->draw();
    EXPECT_FALSE(view.shadowLayer());
    EXPECT_EQ(this->superview->layer()->sublayers().size(), 2u);
    EXPECT_FALSE(view.layer()->masksToBounds());
    EXPECT_EQ(view.layer()->borderWidth(), 0);
    EXPECT_EQ(view.layer()->cornerRadius(), 0);
}

TYPED_TEST(DesignableViews, BorderAndCornersChangeTheLayerAtOnce) {
    auto& view = *this->view;
    view.setBorderWidth(2);
    view.setBorderColor(UIColor::redColor());
    EXPECT_EQ(view.layer()->borderWidth(), 2);
    EXPECT_EQ(*view.layer()->borderColor(), *UIColor::redColor());
    view.setCornerRadius(7);
    EXPECT_TRUE(view.layer()->masksToBounds());
    EXPECT_EQ(view.layer()->cornerRadius(), 7);
    view.setIsCircle(true);
    EXPECT_EQ(view.layer()->cornerRadius(), 20) << "half of 40 points, whatever the corner radius";
    // A drawing pass with a shadow colour gives the layer the shadow's corner radius instead.
    view.setShadowCornerRadius(5);
    view.setShadowColor(UIColor::blackColor());
    EXPECT_EQ(view.layer()->cornerRadius(), 20);
    this->draw();
    EXPECT_EQ(view.layer()->cornerRadius(), 5);
}

TYPED_TEST(DesignableViews, TheShadowSitsBehindEverythingInTheSuperlayerAndFollowsEachPass) {
    auto& view = *this->view;
    view.setShadowColor(UIColor::blackColor());
    view.setShadowFillColor(UIColor::whiteColor());
    view.setShadowOpacity(0.5);
    view.setShadowRadius(4);
    view.setShadowOffset({0, 3});
    view.setShadowCornerRadius(8);
    EXPECT_FALSE(view.shadowLayer()) << "shadow properties wait for a drawing pass";
    this->draw();
    const auto shadow = view.shadowLayer();
    ASSERT_TRUE(shadow);
    const auto& sublayers = this->superview->layer()->sublayers();
    ASSERT_EQ(sublayers.size(), 3u);
    EXPECT_EQ(sublayers[0], shadow);
    const CGPathRef frame = UIBezierPath::bezierPathWithRoundedRect(CGRectMake(20, 30, 60, 40), 8)->CGPath();
    EXPECT_EQ(*shadow->path(), *frame);
    EXPECT_EQ(*shadow->shadowPath(), *frame);
    EXPECT_EQ(*shadow->fillColor(), *UIColor::whiteColor());
    EXPECT_EQ(*shadow->shadowColor(), *UIColor::blackColor());
    EXPECT_EQ(shadow->shadowOpacity(), 0.5f);
    EXPECT_EQ(shadow->shadowRadius(), 4);
    EXPECT_EQ(shadow->shadowOffset(), CGSizeMake(0, 3));

    this->draw();
    EXPECT_EQ(view.shadowLayer(), shadow) << "nothing changed: the layer stays";
    view.setShadowRadius(6);
    this->draw();
    EXPECT_NE(view.shadowLayer(), shadow);
    EXPECT_FALSE(shadow->superlayer());
    EXPECT_EQ(sublayers.size(), 3u);

    view.setShadowColor(UIColor::clearColor());
    this->draw();
    EXPECT_TRUE(view.shadowLayer()) << "kept, but off screen";
    EXPECT_FALSE(view.shadowLayer()->superlayer());
    EXPECT_EQ(sublayers.size(), 2u);
}

TYPED_TEST(DesignableViews, TheShadowGoesWhereTheViewGoes) {
    auto& view = *this->view;
    view.setShadowColor(UIColor::blackColor());
    view.removeFromSuperview();
    this->draw();
    ASSERT_TRUE(view.shadowLayer()) << "made without a superlayer to put it in";
    EXPECT_FALSE(view.shadowLayer()->superlayer());

    this->superview->addSubview(this->view);
    this->draw();
    EXPECT_EQ(view.shadowLayer()->superlayer(), this->superview->layer());
    auto other = std::make_shared<UIView>(CGRectMake(0, 0, 100, 100));
    other->addSubview(this->view);
    EXPECT_FALSE(view.shadowLayer()->superlayer()) << "it does not stay behind in the old superview";
    this->draw();
    EXPECT_EQ(other->layer()->sublayers().front(), view.shadowLayer());
}

TYPED_TEST(DesignableViews, TheStoryboardSetsThePropertiesByName) {
    auto& view = *this->view;
    EXPECT_TRUE(view.setValueForKey("cornerRadius", CGFloat(6)));
    EXPECT_EQ(view.layer()->cornerRadius(), 6);
    EXPECT_TRUE(view.setValueForKey("isCircle", true));
    EXPECT_TRUE(view.setValueForKey("shadowOffset", CGSizeMake(2, 2)));
    EXPECT_TRUE(view.setValueForKey("borderColor", UIColor::greenColor()));
    EXPECT_EQ(*view.layer()->borderColor(), *UIColor::greenColor());
    EXPECT_FALSE(view.setValueForKey("cornerRadius", true)) << "a value of another type";
    EXPECT_FALSE(view.setValueForKey("shadowLayer", CGFloat(1))) << "not inspectable";
    EXPECT_EQ(std::get<CGSize>(*view.valueForKey("shadowOffset")), CGSizeMake(2, 2));
    EXPECT_TRUE(std::get<bool>(*view.valueForKey("isCircle")));
    EXPECT_FALSE(view.valueForKey("alpha"));
}

TEST(ZuvoImageViewInitialisers, AnImageAndItsHighlightedForm) {
    UIGraphicsBeginImageContextWithOptions({8, 6}, false, 1);
    const auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ZuvoImageView plain(image);
    EXPECT_EQ(plain.bounds(), CGRectMake(0, 0, 8, 6));
    ZuvoImageView both(image, image);
    EXPECT_EQ(both.highlightedImage(), image);
    EXPECT_EQ(both.shadowOffset(), CGSizeMake(0, 1));
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
    root->addSubview(card);
    auto circle = std::make_shared<ZuvoCustomButton>(CGRectMake(140, 20, 60, 60));
    circle->setBackgroundColor(UIColor::colorWithRed(0.85, 0.33, 0.31, 1));
    circle->setBorderWidth(4);
    circle->setBorderColor(UIColor::whiteColor());
    circle->setIsCircle(true);
    root->addSubview(circle);
    // Only a colour: the initial opacity of 0 keeps it invisible.
    auto quiet = std::make_shared<ZuvoCustomView>(CGRectMake(20, 95, 200, 10));
    quiet->setBackgroundColor(UIColor::whiteColor());
    quiet->setShadowColor(UIColor::blackColor());
    root->addSubview(quiet);

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
