#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "app/screens/timer/circular_progress.h"
#include "app/screens/timer/progress_button.h"
#include "app/screens/timer/progress_view.h"
#include "app/widgets/icons/icon_font.h"
#include "platform/foundation/clock.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/quartzcore/ca_basic_animation.h"
#include "platform/quartzcore/ca_media_time.h"
#include "platform/quartzcore/ca_media_timing_function.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "tests/app/screens/timer/emulated_device.h"

namespace quorvel {
namespace {

using namespace platform;

struct RecordingTimerScreen : TimerSettable {
    void toggleTimer(TimerStatus status) override { toggled.push_back(status); }
    void toggleTimer() override { ADD_FAILURE() << "no control calls the plain action"; }
    std::vector<TimerStatus> toggled;
};

bool samePixels(const UIImage& a, const UIImage& b) {
    if (a.size() != b.size() || a.scale() != b.scale()) return false;
    for (int y = 0; y < a.size().height * a.scale(); ++y) {
        for (int x = 0; x < a.size().width * a.scale(); ++x) {
            if (!(a.pixelAt(x, y) == b.pixelAt(x, y))) return false;
        }
    }
    return true;
}

class ProgressRing : public testing::EmulatedDevice {
protected:
    std::shared_ptr<CABasicAnimation> fill() const {
        return std::dynamic_pointer_cast<CABasicAnimation>(
            ring->progressLayer()->animationForKey("animateCircle"));
    }
    double shownEnd(double afterSeconds) {
        clock->advance(afterSeconds);
        return ring->progressLayer()->presentationValue("strokeEnd", CACurrentMediaTime()).toDouble();
    }

    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<CircularProgress> ring =
        std::make_shared<CircularProgress>(CGRectMake(0, 0, 101.5, 101.5));
};

TEST_F(ProgressRing, BuildsAnArcOverATrackFromTwelveOClock) {
    const auto& sublayers = ring->layer()->sublayers();
    ASSERT_EQ(sublayers.size(), 2u);
    EXPECT_EQ(sublayers[0], ring->tracklayer());
    EXPECT_EQ(sublayers[1], ring->progressLayer()) << "the arc above the track";
    EXPECT_EQ(ring->layer()->cornerRadius(), 101.5 / 2);
    EXPECT_EQ(ring->progressLayer()->strokeEnd(), 0.0);
    EXPECT_EQ(ring->tracklayer()->strokeEnd(), 1.0);
    EXPECT_EQ(ring->progressLayer()->lineWidth(), 5.0);
    EXPECT_EQ(*ring->progressLayer()->strokeColor(), *UIColor::redColor()->CGColor());
    EXPECT_EQ(*ring->tracklayer()->strokeColor(), *UIColor::clearColor()->CGColor());
    const CGPath& path = *ring->progressLayer()->path();
    EXPECT_EQ(path, *ring->tracklayer()->path());
    const CGRect box = path.boundingBox();
    EXPECT_NEAR(box.size.width, 100, 1e-6) << "radius (width − 1.5) / 2";
    EXPECT_NEAR(box.midX(), 50.75, 1e-6);
    ASSERT_TRUE(path.currentPoint());
    EXPECT_NEAR(path.currentPoint()->x, 50.75, 1e-6);
    EXPECT_NEAR(path.currentPoint()->y, 0.75, 1e-6) << "a full turn back to the top";
}

TEST_F(ProgressRing, ValuesShowAtOnceOrAnimateFromEmpty) {
    ring->setValue(0.5f, 0);
    EXPECT_EQ(ring->value(), 0.5);
    EXPECT_EQ(ring->progressLayer()->strokeEnd(), 0.5);
    EXPECT_FALSE(fill()) << "no duration: no animation";

    ring->setValue(0.25f, 3);
    ASSERT_TRUE(fill());
    EXPECT_EQ(fill()->keyPath(), "strokeEnd");
    EXPECT_EQ(fill()->fromValue().toDouble(), 0.0);
    EXPECT_EQ(fill()->toValue().toDouble(), 0.25);
    EXPECT_EQ(fill()->duration(), 3.0);
    EXPECT_EQ(*fill()->timingFunction(),
              *CAMediaTimingFunction::functionWithName(CAMediaTimingFunctionName::linear));
    EXPECT_NEAR(shownEnd(1.5), 0.125, 1e-6);
}

TEST_F(ProgressRing, AnEmptiedRingRefillsAndANaNShowsFull) {
    ring->setValue(0.0f, 0);
    EXPECT_EQ(ring->value(), 1.0);
    EXPECT_EQ(ring->progressLayer()->strokeEnd(), 1.0);
    ASSERT_TRUE(fill());
    EXPECT_EQ(fill()->duration(), 0.4);
    EXPECT_NEAR(shownEnd(0.2), 0.5, 1e-6);
    EXPECT_NEAR(shownEnd(0.3), 1.0, 1e-6);

    ring->progressLayer()->removeAllAnimations();
    ring->setValue(std::numeric_limits<float>::quiet_NaN(), 2);
    EXPECT_EQ(ring->value(), 1.0);
    EXPECT_EQ(ring->progressLayer()->strokeEnd(), 1.0);
    EXPECT_FALSE(fill()) << "a NaN never animates, whatever the duration";
}

TEST_F(ProgressRing, TheProgressViewShowsAWhiteRingSizedByTheLayoutAndDrawn) {
    auto view = std::make_shared<ProgressView>();
    view->setFrame(CGRectMake(0, 0, 300, 200));
    view->setBackgroundColor(UIColor::colorWithRed(0.85, 0.33, 0.31, 1));
    view->addSubview(ring);
    auto height = ring->heightAnchor().constraintEqualToConstant(10);
    auto width = ring->widthAnchor().constraintEqualToConstant(10);
    ring->setHeightConstraint(height);
    ring->setWidthConstraint(width);
    view->setProgressViewDisplay(ring);
    EXPECT_EQ(ring->value(), 1.0);
    EXPECT_EQ(ring->lineWidth(), 2.0);
    EXPECT_EQ(*ring->progressLayer()->strokeColor(), *UIColor::whiteColor()->CGColor());
    EXPECT_EQ(ring->layer()->sublayers().size(), 2u) << "rebuilt, not added twice";

    view->updateForRotation(UIDeviceOrientation::portrait, Split::fullSize);
    EXPECT_EQ(view->splitStatus(), Split::fullSize);
    EXPECT_EQ(height->constant(), 118) << "an iPhone 8's side";
    EXPECT_EQ(width->constant(), 118);
    EXPECT_EQ(ring->frame(), CGRectMake(91, 41, 118, 118));
    EXPECT_NEAR(ring->progressLayer()->path()->boundingBox().size.width, 116.5, 1e-6);

    auto button = std::make_shared<ProgressButton>(CGRectMake(110, 60, 80, 80));
    view->addSubview(button);
    view->setProgressButton(button);
    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
    std::filesystem::create_directories(out);
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*view, out / "progress_view.png", 2));
    EXPECT_EQ(ring->layer()->sublayers().size(), 2u) << "each drawing pass rebuilds the ring";
    const auto image = LayerRenderer::renderView(*view, 2);
    const auto top = image->pixelAt(150 * 2, 42 * 2);
    EXPECT_GT(top.g, 200) << "white arc at twelve o'clock";
    const auto inside = image->pixelAt(100 * 2, 100 * 2);
    EXPECT_LT(inside.g, 150) << "the background shows inside the ring";
}

TEST(ProgressButtonTest, ShowsPlayOrPauseAndTapsReachOnlyASetDelegate) {
    auto button = std::make_shared<ProgressButton>(CGRectMake(0, 0, 80, 80));
    const auto play = IconFont::imageWithIcon("\uF215", 32, UIColor::whiteColor());
    const auto pause = IconFont::imageWithIcon("\uF210", 32, UIColor::whiteColor());
    EXPECT_TRUE(samePixels(*button->imageForState(UIControlStateNormal), *play));
    button->updateTimerStatus(TimerStatus::Running);
    EXPECT_EQ(button->currentTimerStatus(), TimerStatus::Running);
    EXPECT_TRUE(samePixels(*button->imageForState(UIControlStateNormal), *pause));
    button->updateTimerStatus(TimerStatus::Stopped);
    EXPECT_TRUE(samePixels(*button->imageForState(UIControlStateNormal), *play));

    EXPECT_EQ(button->backgroundImageForState(UIControlStateNormal),
              std::make_shared<ProgressButton>()->backgroundImageForState(UIControlStateNormal))
        << "made once and shared";
    EXPECT_NE(button->backgroundImageForState(UIControlStateHighlighted),
              button->backgroundImageForState(UIControlStateNormal));

    button->setBorderWidth(3);
    button->setBorderColor(UIColor::redColor());
    EXPECT_EQ(button->layer()->borderWidth(), 3);
    EXPECT_EQ(*button->layer()->borderColor(), *UIColor::redColor()->CGColor());
    button->layoutIfNeeded();
    EXPECT_EQ(button->layer()->cornerRadius(), 40);
    EXPECT_TRUE(button->layer()->masksToBounds());

    button->sendActionsForControlEvents(UIControlEventTouchUpInside);  // no delegate: nothing
    auto screen = std::make_shared<RecordingTimerScreen>();
    button->setDelegate(screen);
    button->prepareForInterfaceBuilder();
    button->updateTimerStatus(TimerStatus::Running);
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(screen->toggled, std::vector<TimerStatus>{TimerStatus::Running}) << "set up twice, taps once";
}

}  // namespace
}  // namespace quorvel
