#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "app/screens/timer/badge_label.h"
#include "app/screens/timer/resizing_behavior.h"
#include "app/screens/timer/zuvo_size_calculator.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/ns_layout_anchor.h"
#include "platform/uikit/ui_image.h"
#include "platform/uikit/ui_font.h"
#include "tests/app/screens/timer/emulated_device.h"

namespace quorvel {
namespace {

using namespace platform;

TEST(ResizingBehaviorFit, EachBehaviourScalesAndCentresOnTheTarget) {
    const CGRect rect = CGRectMake(0, 0, 100, 50);
    const CGRect target = CGRectMake(0, 0, 300, 300);
    EXPECT_EQ(ResizingBehavior(ResizingBehavior::aspectFit).apply(rect, target), CGRectMake(0, 75, 300, 150));
    EXPECT_EQ(ResizingBehavior(ResizingBehavior::aspectFill).apply(rect, target), CGRectMake(-150, 0, 600, 300));
    EXPECT_EQ(ResizingBehavior(ResizingBehavior::stretch).apply(rect, target), target);
    EXPECT_EQ(ResizingBehavior(ResizingBehavior::center).apply(rect, target), CGRectMake(100, 125, 100, 50));
    // A target away from the origin and a rect given with negative sizes.
    EXPECT_EQ(ResizingBehavior(ResizingBehavior::aspectFit).apply(CGRectMake(100, 50, -100, -50),
                                                                  CGRectMake(10, 20, 30, 30)),
              CGRectMake(10, 27.5, 30, 15));
}

TEST(ResizingBehaviorFit, NothingToDoOrNothingToScaleByLeavesFiniteRects) {
    const CGRect rect = CGRectMake(5, 5, 100, 50);
    EXPECT_EQ(ResizingBehavior(ResizingBehavior::aspectFill).apply(rect, CGRect::zero()), rect);
    EXPECT_EQ(ResizingBehavior(ResizingBehavior::aspectFit).apply(rect, rect), rect);
    // A rect with no width scales that side by 1 rather than by infinity.
    EXPECT_EQ(ResizingBehavior(ResizingBehavior::aspectFill).apply(CGRectMake(0, 0, 0, 50), CGRectMake(0, 0, 300, 300)),
              CGRectMake(150, 0, 0, 300));
    EXPECT_EQ(ResizingBehavior(ResizingBehavior::stretch).apply(CGRectMake(0, 0, 0, 0), CGRectMake(0, 0, 10, 10)),
              CGRectMake(5, 5, 0, 0));
}

TEST(ResizingBehaviorFit, RawValuesZeroToThree) {
    for (int raw = 0; raw < 4; ++raw) EXPECT_EQ(ResizingBehavior::initWithRawValue(raw)->rawValue(), raw);
    EXPECT_FALSE(ResizingBehavior::initWithRawValue(4));
    EXPECT_FALSE(ResizingBehavior::initWithRawValue(-1));
}

TEST(BadgeLabelPadding, IntrinsicSizeAddsThePaddingAndTheTextIsDrawnInsideIt) {
    auto label = std::make_shared<BadgeLabel>();
    EXPECT_EQ(label->padding(), (UIEdgeInsets{4, 8, 4, 8}));
    EXPECT_EQ(label->intrinsicContentSize(), CGSizeMake(16, 8)) << "no text: the padding alone";
    label->setFont(UIFont::boldSystemFontOfSize(13));
    label->setText("NEW");
    const CGSize text = label->UILabel::intrinsicContentSize();
    EXPECT_EQ(label->intrinsicContentSize(), CGSizeMake(text.width + 16, text.height + 8));

    // Uneven padding: sized to fit, the label still has room for the whole text.
    label->setPadding({2, 12, 2, 4});
    EXPECT_EQ(label->intrinsicContentSize(), CGSizeMake(text.width + 16, text.height + 4));
    label->setBackgroundColor(UIColor::redColor());
    label->setTextColor(UIColor::whiteColor());
    label->setFrame(CGRect({0, 0}, label->intrinsicContentSize()));
    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
    std::filesystem::create_directories(out);
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*label, out / "badge_label.png", 4));
    const auto image = LayerRenderer::renderView(*label, 4);
    auto columnHasText = [&](int x) {
        for (int y = 0; y < image->pixelHeight(); ++y) {
            if (image->pixelAt(x, y).g > 128) return true;
        }
        return false;
    };
    int first = -1, last = -1;
    for (int x = 0; x < image->pixelWidth(); ++x) {
        if (columnHasText(x)) last = (first < 0 ? first = x : x);
    }
    EXPECT_GE(first, 11 * 4) << "inside the left padding";
    EXPECT_LE(last, image->pixelWidth() - 3 * 4) << "inside the right padding";
    EXPECT_GT(last - first, text.width * 4 * 0.8) << "the text is drawn whole";
}

class ZuvoSizeCalculatorMeasures : public testing::EmulatedDevice {};

// The measures are made once per process: each case reads them on the device it emulates first.
TEST_F(ZuvoSizeCalculatorMeasures, ASmallPhoneIsFourInchOrLess) {
    emulate("iPhone4s");
    EXPECT_TRUE(ZuvoSizeCalculator::IS_IPHONE_4_OR_LESS());
    EXPECT_EQ(ZuvoSizeCalculator::longerSide(), 480);
}

TEST_F(ZuvoSizeCalculatorMeasures, A568PointPhoneIsNot) {
    emulate("iPhoneSE");
    EXPECT_FALSE(ZuvoSizeCalculator::IS_IPHONE_4_OR_LESS());
}

TEST_F(ZuvoSizeCalculatorMeasures, ATabletIsNotAndLeavesTheMeasuresUnread) {
    emulate("iPadPro9Inch");
    EXPECT_FALSE(ZuvoSizeCalculator::IS_IPHONE_4_OR_LESS());
    emulate("iPhone4s");
    EXPECT_EQ(ZuvoSizeCalculator::screenHeight(), 480) << "read only now";
}

TEST_F(ZuvoSizeCalculatorMeasures, TheFirstReadFixesThemForGood) {
    emulate("iPhoneX");
    hold(UIDeviceOrientation::landscapeLeft);
    std::vector<std::thread> readers;
    for (int i = 0; i < 4; ++i) {
        readers.emplace_back([] {
            ZuvoSizeCalculator::screenWidth();
            ZuvoSizeCalculator::screenHeight();
        });
    }
    for (auto& reader : readers) reader.join();
    hold(UIDeviceOrientation::portrait);
    EXPECT_EQ(ZuvoSizeCalculator::screenWidth(), 812) << "turned sideways at the first read";
    EXPECT_EQ(ZuvoSizeCalculator::screenHeight(), 375);
    EXPECT_EQ(ZuvoSizeCalculator::longerSide(), 812);
    EXPECT_EQ(ZuvoSizeCalculator::menuLongerSide(), 812);
    EXPECT_EQ(ZuvoSizeCalculator::menuOffsetBase(), 52.0);
    emulate("iPadPro12Inch");
    EXPECT_EQ(ZuvoSizeCalculator::longerSide(), 812);
}

}  // namespace
}  // namespace quorvel
