#include "app/screens/timer/timer_content_holder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/foundation/console.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/ns_layout_anchor.h"
#include "platform/uikit/ui_image.h"
#include "platform/uikit/ui_color.h"
#include "tests/app/screens/timer/emulated_device.h"

namespace quorvel {
namespace {

using namespace platform;

// The holder as the storyboard makes it: four coloured parts, a vertical stack inside a screen-sized
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
            auto part = std::make_shared<UIView>();
            part->setBackgroundColor(colour);
            holder->addArrangedSubview(part);
            parts.push_back(part);
        }
        holder->setStackViews(parts);
        holder->setBottomConstraint(holder->bottomAnchor().constraintEqualToAnchor(screen->bottomAnchor(), 20));
    }

    // The height constraints that tie parts to the holder, wherever they are.
    std::vector<NSLayoutConstraint*> heightConstraints() const {
        std::vector<NSLayoutConstraint*> found;
        for (const auto& c : holder->constraints()) {
            if (c->firstAttribute() == NSLayoutAttribute::height && c->secondItem() == holder.get()) found.push_back(c.get());
        }
        return found;
    }

    // The parts still in the holder, with their heights as shares of the holder's.
    std::vector<CGFloat> shownShares() const {
        std::vector<CGFloat> shares;
        for (const auto& part : parts) {
            if (part->superview() == holder) shares.push_back(part->frame().size.height / holder->bounds().size.height);
        }
        return shares;
    }

    std::shared_ptr<UIView> screen;
    std::shared_ptr<TimerContentHolder> holder;
    std::vector<std::shared_ptr<UIView>> parts;
};

void expectShares(const std::vector<CGFloat>& shown, const std::vector<CGFloat>& expected) {
    ASSERT_EQ(shown.size(), expected.size());
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_NEAR(shown[i], expected[i], 1e-9) << "part " << i + 1;
}

TEST_F(TimerContentHolderLayout, RotatingOftenKeepsOneSetOfHeightsAndLaysThemOutAtOnce) {
    emulate("iPhoneX");
    for (int turn = 0; turn < 12; ++turn) {
        const bool sideways = turn % 2 == 1;
        holder->updateForRotation(sideways ? UIDeviceOrientation::landscapeRight : UIDeviceOrientation::portrait,
                                  Split::fullSize);
        SCOPED_TRACE(turn);
        if (sideways) {
            EXPECT_EQ(heightConstraints().size(), 2u);
            expectShares(shownShares(), {0.61, 0.39});
            EXPECT_FALSE(parts[2]->superview());
            EXPECT_FALSE(parts[3]->superview());
        } else {
            EXPECT_EQ(heightConstraints().size(), 4u);
            expectShares(shownShares(), {0.30, 0.10, 0.36, 0.24});
            EXPECT_EQ(holder->arrangedSubviews(), parts);
        }
    }
    EXPECT_EQ(holder->bottomConstraint()->constant(), 0);
    EXPECT_EQ(holder->splitStatus(), Split::fullSize);
}

TEST_F(TimerContentHolderLayout, SplitChangesOnATabletReplaceTheHeights) {
    emulate("iPadPro11Inch");
    for (Split split : {Split::oneThird, Split::fullSize, Split::twoThirds, Split::oneHalf}) {
        holder->updateForRotation(UIDeviceOrientation::landscapeLeft, split);
        EXPECT_EQ(heightConstraints().size(), 4u);
        EXPECT_EQ(holder->splitStatus(), split);
    }
    expectShares(shownShares(), {0.30, 0.10, 0.36, 0.24});
}

TEST_F(TimerContentHolderLayout, ANeitherPhoneNorPadDeviceKeepsItsPartsWithoutHeightsInLandscape) {
    emulateUnknown(DeviceFamily::other, UIUserInterfaceIdiom::unspecified);
    holder->updateForRotation(UIDeviceOrientation::portrait, Split::fullSize);
    holder->updateForRotation(UIDeviceOrientation::landscapeLeft, Split::fullSize);
    EXPECT_TRUE(heightConstraints().empty());
    EXPECT_EQ(holder->arrangedSubviews(), parts);
}

TEST_F(TimerContentHolderLayout, MissingOutletsAndShortPartListsAreLaidOutAsFarAsTheyGo) {
    holder->setBottomConstraint(nullptr);
    holder->setStackViews(std::nullopt);
    holder->updateForRotation(UIDeviceOrientation::portrait, Split::fullSize);
    EXPECT_TRUE(holder->subviews().empty());

    holder->setStackViews(std::vector<std::shared_ptr<UIView>>(parts.begin(), parts.begin() + 2));
    holder->updateForRotation(UIDeviceOrientation::portrait, Split::fullSize);
    EXPECT_EQ(heightConstraints().size(), 2u);
}

TEST_F(TimerContentHolderLayout, AHolderSaysWhenItGoes) {
    Console::Capture console;
    screen.reset();
    holder.reset();
    EXPECT_TRUE(console.contains("deinit -  TimerContentHolder"));
}

TEST_F(TimerContentHolderLayout, DrawnStandingAndLyingSideways) {
    emulate("iPhoneX");
    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
    std::filesystem::create_directories(out);
    holder->updateForRotation(UIDeviceOrientation::portrait, Split::fullSize);
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*screen, out / "timer_content_holder_portrait.png", 1));
    const auto standing = LayerRenderer::renderView(*screen, 1);
    EXPECT_EQ(standing->pixelAt(100, 590).b, 0) << "the fourth part, orange, reaches the holder's bottom";

    screen->setFrame(CGRectMake(0, 0, 600, 375));
    holder->setFrame(CGRectMake(0, 0, 600, 375));
    holder->updateForRotation(UIDeviceOrientation::landscapeLeft, Split::fullSize);
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*screen, out / "timer_content_holder_landscape.png", 1));
    const auto sideways = LayerRenderer::renderView(*screen, 1);
    EXPECT_EQ(sideways->pixelAt(300, 10), (UIImage::Pixel{255, 0, 0, 255})) << "the first part on top";
    EXPECT_EQ(sideways->pixelAt(300, 370), (UIImage::Pixel{0, 255, 0, 255})) << "the second fills the rest";
}

}  // namespace
}  // namespace quorvel
