#include <gtest/gtest.h>

#include <filesystem>

#include "app/screens/timer/badge_label.h"
#include "app/screens/timer/resizing_behavior.h"
#include "app/screens/timer/zuvo_size_calculator.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/text/ui_font.h"
#include "tests/app/screens/timer/emulated_device.h"
#include "tests/support/own_process.h"

namespace quorvel {
namespace {

using namespace platform;

CGRect fit(ResizingBehavior::Case behaviour, const CGRect& rect, const CGRect& target) {
    return ResizingBehavior(behaviour).apply(rect, target);
}

TEST(ResizingBehaviorFit, EachBehaviourScalesAndCentresOnTheTarget) {
    const CGRect rect = CGRectMake(0, 0, 100, 50), target = CGRectMake(0, 0, 300, 300);
    EXPECT_EQ(fit(ResizingBehavior::aspectFit, rect, target), CGRectMake(0, 75, 300, 150));
    EXPECT_EQ(fit(ResizingBehavior::aspectFill, rect, target), CGRectMake(-150, 0, 600, 300));
    EXPECT_EQ(fit(ResizingBehavior::stretch, rect, target), target);
    EXPECT_EQ(fit(ResizingBehavior::center, rect, target), CGRectMake(100, 125, 100, 50));
    EXPECT_EQ(fit(ResizingBehavior::aspectFit, CGRectMake(100, 50, -100, -50), CGRectMake(10, 20, 30, 30)),
              CGRectMake(10, 27.5, 30, 15));
    EXPECT_EQ(fit(ResizingBehavior::aspectFill, rect, CGRect::zero()), rect);
    // A side with no length scales by 1, never by infinity.
    EXPECT_EQ(fit(ResizingBehavior::aspectFill, CGRectMake(0, 0, 0, 50), target), CGRectMake(150, 0, 0, 300));
    for (int raw = 0; raw < 4; ++raw) EXPECT_EQ(ResizingBehavior::initWithRawValue(raw)->rawValue(), raw);
    EXPECT_FALSE(ResizingBehavior::initWithRawValue(4));
}

TEST(BadgeLabelPadding, ThePaddingSurroundsTheTextWhoseWholeWidthIsDrawn) {
    auto label = std::make_shared<BadgeLabel>();
    EXPECT_EQ(label->intrinsicContentSize(), CGSizeMake(16, 8)) << "no text: the padding alone";
    label->setFont(UIFont::boldSystemFontOfSize(13));
    label->setText("NEW");
    const CGSize text = label->UILabel::intrinsicContentSize();
    EXPECT_EQ(label->intrinsicContentSize(), CGSizeMake(text.width + 16, text.height + 8));
    // Uneven padding: sized to fit, the label still has room for all of its text.
    label->setPadding({2, 12, 2, 4});
    label->setBackgroundColor(UIColor::redColor());
    label->setTextColor(UIColor::whiteColor());
    label->setFrame(CGRect({0, 0}, label->intrinsicContentSize()));
    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
    std::filesystem::create_directories(out);
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*label, out / "badge_label.png", 4));
    const auto image = LayerRenderer::renderView(*label, 4);
    int first = -1, last = -1;
    for (int x = 0; x < image->pixelWidth(); ++x) {
        for (int y = 0; y < image->pixelHeight(); ++y) {
            if (image->pixelAt(x, y).g > 128) last = (first < 0 ? first = x : x);
        }
    }
    EXPECT_GE(first, 11 * 4) << "inside the left padding";
    EXPECT_LE(last, image->pixelWidth() - 3 * 4) << "inside the right padding";
    EXPECT_GT(last - first, text.width * 4 * 0.8) << "not cut short";
}

// The measures are made once per process: each case reads them first, in a process of its own, on the
// device it emulates.
class ZuvoSizeCalculatorMeasures : public testing::EmulatedDevice {};

TEST_F(ZuvoSizeCalculatorMeasures, A480PointPhoneIsFourInchOrLess) {
    testing::inOwnProcess([] {
        emulate("iPhone4s");
        EXPECT_TRUE(ZuvoSizeCalculator::IS_IPHONE_4_OR_LESS());
    });
}

TEST_F(ZuvoSizeCalculatorMeasures, A568PointPhoneIsNot) {
    testing::inOwnProcess([] {
        emulate("iPhoneSE");
        EXPECT_FALSE(ZuvoSizeCalculator::IS_IPHONE_4_OR_LESS());
    });
}

TEST_F(ZuvoSizeCalculatorMeasures, ATabletIsNotAndLeavesTheMeasuresUnread) {
    testing::inOwnProcess([] {
        emulate("iPadPro9Inch");
        EXPECT_FALSE(ZuvoSizeCalculator::IS_IPHONE_4_OR_LESS());
        emulate("iPhone4s");
        EXPECT_EQ(ZuvoSizeCalculator::longerSide(), 480);
    });
}

TEST_F(ZuvoSizeCalculatorMeasures, TheFirstReadFixesThemForGood) {
    testing::inOwnProcess([] {
        emulate("iPhoneX");
        hold(UIDeviceOrientation::landscapeLeft);
        EXPECT_EQ(ZuvoSizeCalculator::screenHeight(), 375);
        EXPECT_EQ(ZuvoSizeCalculator::screenWidth(), 812);
        hold(UIDeviceOrientation::portrait);
        emulate("iPadPro12Inch");
        EXPECT_EQ(ZuvoSizeCalculator::screenHeight(), 375) << "read sideways, kept";
        EXPECT_EQ(ZuvoSizeCalculator::longerSide(), 812);
        EXPECT_EQ(ZuvoSizeCalculator::menuLongerSide(), 1366) << "read apart, and only now";
    });
}

}  // namespace
}  // namespace quorvel
