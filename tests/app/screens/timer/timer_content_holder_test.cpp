#include "app/screens/timer/timer_content_holder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/foundation/console.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "tests/app/screens/timer/emulated_device.h"

namespace quorvel {
namespace {

using namespace platform;

// The holder as the storyboard makes it: four coloured sections, a vertical stack inside a screen-sized
// view, and a bottom constraint at 20.
class TimerContentHolderLayout : public testing::EmulatedDevice {
protected:
    void SetUp() override {
        EmulatedDevice::SetUp();
        screen = std::make_shared<UIView>(CGRectMake(0, 0, 375, 600));
        holder = std::make_shared<TimerContentHolder>(CGRectMake(0, 0, 375, 600));
        holder->setAxis(UILayoutConstraintAxis::vertical);
        screen->addSubview(holder);
        const std::shared_ptr<UIColor> colours[] = {UIColor::redColor(), UIColor::greenColor(),
                                                    UIColor::blueColor(), UIColor::orangeColor()};
        for (const auto& colour : colours) {
            auto section = std::make_shared<UIView>();
            section->setBackgroundColor(colour);
            holder->addArrangedSubview(section);
            sections.push_back(section);
        }
        holder->setStackViews(sections);
        holder->setBottomConstraint(
            holder->bottomAnchor().constraintEqualToAnchor(screen->bottomAnchor(), 20));
    }

    size_t heightConstraints() const {
        return std::ranges::count_if(holder->constraints(), [&](const auto& c) {
            return c->firstAttribute() == NSLayoutAttribute::height && c->secondItem() == holder.get();
        });
    }
    // One height constraint per share, and the sections laid out at those shares of the holder's height;
    // the sections without a share are out of the holder.
    void expectShares(const std::vector<CGFloat>& shares) const {
        EXPECT_EQ(heightConstraints(), shares.size());
        for (size_t i = 0; i < sections.size(); ++i) {
            if (i >= shares.size())
                EXPECT_FALSE(sections[i]->superview()) << "section " << i + 1;
            else
                EXPECT_NEAR(sections[i]->frame().size.height, 600 * shares[i], 1e-6) << "section " << i + 1;
        }
    }

    std::shared_ptr<UIView> screen;
    std::shared_ptr<TimerContentHolder> holder;
    std::vector<std::shared_ptr<UIView>> sections;
};

TEST_F(TimerContentHolderLayout, RotatingOftenKeepsOneSetOfHeightsAndLaysThemOutAtOnce) {
    emulate("iPhoneX");
    for (int turn = 0; turn < 12; ++turn) {
        SCOPED_TRACE(turn);
        if (turn % 2 == 1) {
            holder->updateForRotation(UIDeviceOrientation::landscapeRight, Split::fullSize);
            expectShares({0.61, 0.39});
        } else {
            holder->updateForRotation(UIDeviceOrientation::portrait, Split::fullSize);
            expectShares({0.30, 0.10, 0.36, 0.24});
            EXPECT_EQ(holder->arrangedSubviews(), sections);
        }
    }
    EXPECT_EQ(holder->bottomConstraint()->constant(), 0);
    holder->updateForRotation(UIDeviceOrientation::landscapeLeft, Split::oneThird);
    EXPECT_EQ(holder->splitStatus(), Split::oneThird);

    // Neither phone nor pad: every section stays, without heights.
    emulateUnknown(DeviceFamily::other, UIUserInterfaceIdiom::unspecified);
    holder->updateForRotation(UIDeviceOrientation::landscapeLeft, Split::fullSize);
    EXPECT_EQ(heightConstraints(), 0u);
    EXPECT_EQ(holder->arrangedSubviews(), sections);
}

TEST_F(TimerContentHolderLayout, MissingOutletsAreSkippedAndAHolderSaysWhenItGoes) {
    holder->setBottomConstraint(nullptr);
    holder->setStackViews(std::nullopt);
    holder->updateForRotation(UIDeviceOrientation::portrait, Split::fullSize);
    EXPECT_TRUE(holder->subviews().empty());
    holder->setStackViews(std::vector<std::shared_ptr<UIView>>(sections.begin(), sections.begin() + 2));
    holder->updateForRotation(UIDeviceOrientation::portrait, Split::fullSize);
    EXPECT_EQ(heightConstraints(), 2u);

    Console::Capture console;
    screen.reset();
    holder.reset();
    EXPECT_TRUE(console.contains("deinit -  TimerContentHolder"));
}

TEST_F(TimerContentHolderLayout, DrawnStandingAndLyingSideways) {
    emulate("iPhoneX");
    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
    std::filesystem::create_directories(out);
    auto draw = [&](UIDeviceOrientation orientation, CGSize size, const char* name) {
        screen->setFrame(CGRect({0, 0}, size));
        holder->setFrame(CGRect({0, 0}, size));
        holder->updateForRotation(orientation, Split::fullSize);
        EXPECT_TRUE(LayerRenderer::writeViewPNG(*screen, out / name, 1));
        return LayerRenderer::renderView(*screen, 1);
    };
    const auto standing =
        draw(UIDeviceOrientation::portrait, {375, 600}, "timer_content_holder_portrait.png");
    EXPECT_EQ(standing->pixelAt(100, 590).b, 0) << "the fourth section, orange, reaches the bottom";
    const auto sideways =
        draw(UIDeviceOrientation::landscapeLeft, {600, 375}, "timer_content_holder_landscape.png");
    EXPECT_EQ(sideways->pixelAt(300, 10), (UIImage::Pixel{255, 0, 0, 255})) << "the first section on top";
    EXPECT_EQ(sideways->pixelAt(300, 370), (UIImage::Pixel{0, 255, 0, 255})) << "the second fills the rest";
}

}  // namespace
}  // namespace quorvel
