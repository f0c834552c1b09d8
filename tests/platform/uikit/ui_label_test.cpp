#include "platform/uikit/text/ui_label.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/drawing/ui_image.h"

namespace platform {
namespace {

// The box of the pixels a label draws, in points, when drawn at `scale` with a margin of 10 points.
CGRect inkOf(UILabel& label, CGFloat scale) {
    const CGSize size = label.bounds().size;
    UIGraphicsBeginImageContextWithOptions({size.width + 20, size.height + 20}, false, scale);
    UIGraphicsGetCurrentContext()->translateCTM(10, 10);
    label.drawRect(label.bounds());
    const auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
    for (int y = 0; y < image->pixelHeight(); ++y) {
        for (int x = 0; x < image->pixelWidth(); ++x) {
            if (image->pixelAt(x, y).a < 40) continue;
            minX = std::min(minX, x), maxX = std::max(maxX, x + 1);
            minY = std::min(minY, y), maxY = std::max(maxY, y + 1);
        }
    }
    if (maxX < 0) return CGRect::null();
    return CGRectMake(minX / scale - 10, minY / scale - 10, (maxX - minX) / scale, (maxY - minY) / scale);
}

TEST(UILabelMeasuring, MeasuredSizeIsTheSizeDrawnAtAnyScale) {
    UILabel label;
    label.setFont(UIFont::fontWithName("SFProDisplay-Medium", 24));
    label.setText("Long Break 25:00");
    label.sizeToFit();
    const CGSize size = label.bounds().size;
    EXPECT_EQ(size, label.intrinsicContentSize());
    const CGRect ink = inkOf(label, 1);
    const CGRect ink3 = inkOf(label, 3);
    // Every drawn pixel is inside the measured box, and the text fills its width.
    EXPECT_TRUE(CGRectMake(-0.5, -0.5, size.width + 1, size.height + 1).contains(ink3)) << ink3.size.width;
    EXPECT_GT(ink3.size.width, size.width - 4) << "only the side bearings are bare";
    EXPECT_NEAR(ink.size.width, ink3.size.width, 1.0);
    EXPECT_NEAR(ink.origin.y, ink3.origin.y, 1.0);
}

TEST(UILabelMeasuring, MeasuringAgainFollowsTheTextFontAndWidth) {
    UILabel label;
    label.setNumberOfLines(0);
    label.setText("25:00");
    const CGSize short24 = label.sizeThatFits({300, 0});
    EXPECT_EQ(label.sizeThatFits({300, 0}), short24);
    label.setText("25:00 25:00");
    const CGSize long24 = label.sizeThatFits({300, 0});
    EXPECT_GT(long24.width, short24.width);
    EXPECT_LT(label.sizeThatFits({short24.width + 1, 0}).width, long24.width) << "a narrower width wraps";
    label.setFont(UIFont::systemFontOfSize(40));
    EXPECT_GT(label.sizeThatFits({300, 0}).height, long24.height);
}

TEST(UILabelMeasuring, LinesWrapInTheWidthUpToTheLimit) {
    UILabel label;
    label.setFont(UIFont::systemFontOfSize(16));
    label.setText("one two three four five six seven eight nine ten");
    const CGFloat line = std::ceil(label.sizeThatFits({0, 0}).height);
    EXPECT_GT(label.sizeThatFits({0, 0}).width, 200) << "one line";
    label.setNumberOfLines(0);
    const CGSize wrapped = label.sizeThatFits({100, 0});
    EXPECT_LE(wrapped.width, 100);
    EXPECT_GE(wrapped.height, 3 * line - 2);
    label.setNumberOfLines(2);
    EXPECT_NEAR(label.sizeThatFits({100, 0}).height, 2 * line, 2);
    EXPECT_EQ(label.sizeThatFits({NAN, 0}), label.sizeThatFits({1e12, 0})) << "unlimited";
    label.setText("");
    EXPECT_EQ(label.sizeThatFits({100, 0}), CGSizeMake(0, 0));
}

TEST(UILabelMeasuring, AttributedRunsMeasureWithTheirOwnFonts) {
    UILabel label;
    NSAttributedString text("ROUND ", {UIFont::systemFontOfSize(10), nullptr});
    text.appendAttributedString(
        NSAttributedString("3", {UIFont::boldSystemFontOfSize(40), UIColor::redColor()}));
    label.setAttributedText(std::make_shared<NSAttributedString>(text));
    EXPECT_EQ(label.text(), "ROUND 3");
    const CGSize size = label.intrinsicContentSize();
    EXPECT_EQ(size, label.sizeThatFits({0, 0}));
    EXPECT_GT(size.height, UIFont::boldSystemFontOfSize(40)->lineHeight() - 1);
}

TEST(UILabelMeasuring, RunsReachingPastTheEndStopAtIt) {
    const auto red = UIColor::redColor();
    NSAttributedString text("ROUND", {UIFont::systemFontOfSize(10), nullptr});
    text.setAttributes({nullptr, red}, 2, std::numeric_limits<std::size_t>::max());
    text.setAttributes({nullptr, red}, 9, 3);
    ASSERT_EQ(text.runs().size(), 2u);
    EXPECT_EQ(text.runs()[0].length, 2u);
    EXPECT_EQ(text.runs()[1].location, 2u);
    EXPECT_EQ(text.runs()[1].length, 3u);
    EXPECT_EQ(text.runs()[1].attributes.foregroundColor, red);
}

TEST(UILabelFonts, MissingFontFallsBackToTheSystemFont) {
    UILabel label;
    label.setFont(UIFont::fontWithName("NoSuchFace-Bold", 30));
    ASSERT_TRUE(label.font());
    EXPECT_EQ(label.font()->pointSize(), 17);
    label.setText("Skip");
    EXPECT_GT(label.intrinsicContentSize().width, 0);
}

TEST(UILabelDrawing, NarrowLabelsTruncateOrShrinkInsideTheirBounds) {
    UILabel label(CGRectMake(0, 0, 60, 30));
    label.setFont(UIFont::systemFontOfSize(20));
    label.setText("Focus Session Long Break");
    CGRect ink = inkOf(label, 2);
    EXPECT_LE(ink.maxX(), 60.5);
    label.setAdjustsFontSizeToFitWidth(true);
    label.setMinimumScaleFactor(0.1);
    ink = inkOf(label, 2);
    EXPECT_LE(ink.maxX(), 60.5);
    EXPECT_LT(ink.height(), 15) << "a smaller font";
}

TEST(UILabelDrawing, ShadowAndColourDrawBeneathTheText) {
    UILabel label(CGRectMake(0, 0, 40, 30));
    label.setFont(UIFont::boldSystemFontOfSize(24));
    label.setText("II");
    label.setTextColor(UIColor::whiteColor());
    label.setShadowColor(UIColor::blackColor());
    label.setShadowOffset({3, 3});
    const CGRect ink = inkOf(label, 1);
    label.setShadowColor(nullptr);
    EXPECT_NEAR(ink.width(), inkOf(label, 1).width() + 3, 1);
}

TEST(UILabelDrawing, ShadowFollowsTheTextAndTheWidthAcrossDraws) {
    UILabel label(CGRectMake(0, 0, 80, 30));
    label.setFont(UIFont::boldSystemFontOfSize(24));
    label.setText("I");
    label.setShadowColor(UIColor::blackColor());
    label.setShadowOffset({3, 0});
    const CGRect one = inkOf(label, 1);
    label.setText("III");
    const CGRect three = inkOf(label, 1);
    label.setShadowColor(nullptr);
    EXPECT_NEAR(three.width(), inkOf(label, 1).width() + 3, 1) << "the shadow of the new text";
    EXPECT_GT(three.width(), one.width());

    label.setShadowColor(UIColor::blackColor());
    label.setTextAlignment(NSTextAlignment::right);
    inkOf(label, 1);
    label.setFrame(CGRectMake(0, 0, 120, 30));
    const CGRect wider = inkOf(label, 1);
    EXPECT_NEAR(wider.maxX(), 123, 2) << "text and shadow move to the new right edge together";
    EXPECT_NEAR(wider.width(), three.width(), 1);
}

}  // namespace
}  // namespace platform
