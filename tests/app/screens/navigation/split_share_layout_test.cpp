// The timer screen of a tablet at each split share and way of holding it is the same screen however it
// was reached: launched into, by a change of share, or by turning the device; and its clock shows the
// font its device, orientation and share call for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>

#include "platform/uikit/device/interface_driver.h"
#include "platform/uikit/text/text_layout.h"
#include "tests/app/screens/navigation/launched_app.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::LaunchedApp;

struct SharePose {
    UIDeviceOrientation orientation;
    CGFloat share;
};

std::string sharePoseName(const ::testing::TestParamInfo<SharePose>& info) {
    const SharePose& pose = info.param;
    const char* share = pose.share == 1     ? "Full"
                        : pose.share > 0.6  ? "TwoThirds"
                        : pose.share == 0.5 ? "Half"
                                            : "OneThird";
    return std::string(UIDeviceOrientationIsLandscape(pose.orientation) ? "Landscape" : "Portrait") + share;
}

void PrintTo(const SharePose& pose, std::ostream* out) {
    *out << sharePoseName({pose, 0});
}

// What a person sees of the clock and the ring, in the window's points.
struct TimerLook {
    CGFloat clockPointSize = 0;  // as drawn, after any shrinking to the label's width
    CGRect clockLabel, clockButton, ring;

    bool operator==(const TimerLook&) const = default;
};

void PrintTo(const TimerLook& look, std::ostream* out) {
    const auto rect = [](const CGRect& r) {
        return "(" + std::to_string(r.minX()) + ", " + std::to_string(r.minY()) + ", " +
               std::to_string(r.width()) + ", " + std::to_string(r.height()) + ")";
    };
    *out << "clock " << look.clockPointSize << " pt in " << rect(look.clockLabel) << ", button "
         << rect(look.clockButton) << ", ring " << rect(look.ring);
}

CGRect inWindow(const UIView& view) {
    return view.convertRectToView(view.bounds(), nullptr);
}

// The width of a label's single line in its own font.
CGFloat naturalWidth(const UILabel& label) {
    return TextLayout(NSAttributedString(label.text(), {label.font(), label.textColor()}), 0, 1,
                      label.lineBreakMode(), label.textAlignment())
        .size()
        .width;
}

// The point size a shrink-to-fit label draws its single line in.
CGFloat shownPointSize(const UILabel& label) {
    const CGFloat size = label.font()->pointSize(), natural = naturalWidth(label);
    const CGFloat width = label.bounds().width();
    if (!label.adjustsFontSizeToFitWidth() || natural <= width) return size;
    return size * std::max(label.minimumScaleFactor(), width / natural);
}

// The shares in the order the window's S key steps through them.
constexpr CGFloat kShareCycle[] = {1, 2.0 / 3, 0.5, 1.0 / 3};

class SplitShareLayout : public LaunchedApp, public ::testing::WithParamInterface<SharePose> {
protected:
    void settle() { clock->advance(InterfaceDriver::kTransitionDuration + 1); }

    TimerLook look() {
        const auto screen = timerScreen();
        window->layoutIfNeeded();
        const auto button = screen->timerButton();
        const auto label = button->titleLabel();
        return {shownPointSize(*label), inWindow(*label), inWindow(*button),
                inWindow(*screen->progressView()->progressViewDisplay())};
    }
};

TEST_P(SplitShareLayout, LaunchShareChangeAndRotationDrawTheSameTimer) {
    const auto [orientation, share] = GetParam();
    emulate("iPadPro11Inch");
    hold(orientation);
    UIScreen::mainScreen().setSplitShare(share);
    launch();
    settle();
    const TimerLook launched = look();
    const auto screen = timerScreen();
    const CGFloat specified = TimerButton::titleFont(orientation, screen->splitStatus())->pointSize();
    EXPECT_DOUBLE_EQ(launched.clockPointSize, specified) << "the clock drawn in the size its share calls for";
    const auto label = screen->timerButton()->titleLabel();
    EXPECT_EQ(launched.clockLabel.width(), std::ceil(naturalWidth(*label)))
        << "the clock's frame fits its own text";

    // Round the shares from the launched one back to it, each a press of S.
    const auto at =
        std::find(std::begin(kShareCycle), std::end(kShareCycle), share) - std::begin(kShareCycle);
    for (int step = 1; step <= 4; ++step) {
        InterfaceDriver::setSplitShare(kShareCycle[(at + step) % 4]);
        settle();
    }
    EXPECT_EQ(look(), launched) << "after a round of share changes";

    const auto other = UIDeviceOrientationIsLandscape(orientation) ? UIDeviceOrientation::portrait
                                                                   : UIDeviceOrientation::landscapeLeft;
    ASSERT_TRUE(InterfaceDriver::rotateDevice(other));
    settle();
    ASSERT_TRUE(InterfaceDriver::rotateDevice(orientation));
    settle();
    EXPECT_EQ(look(), launched) << "after turning away and back";
}

INSTANTIATE_TEST_SUITE_P(EveryShareBothWays, SplitShareLayout,
                         ::testing::Values(SharePose{UIDeviceOrientation::landscapeLeft, 1},
                                           SharePose{UIDeviceOrientation::landscapeLeft, 2.0 / 3},
                                           SharePose{UIDeviceOrientation::landscapeLeft, 0.5},
                                           SharePose{UIDeviceOrientation::landscapeLeft, 1.0 / 3},
                                           SharePose{UIDeviceOrientation::portrait, 1},
                                           SharePose{UIDeviceOrientation::portrait, 2.0 / 3},
                                           SharePose{UIDeviceOrientation::portrait, 0.5},
                                           SharePose{UIDeviceOrientation::portrait, 1.0 / 3}),
                         sharePoseName);

}  // namespace
}  // namespace quorvel
