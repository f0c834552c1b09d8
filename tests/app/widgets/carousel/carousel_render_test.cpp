#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/widgets/carousel/carousel_cell.h"
#include "app/widgets/carousel/item_carousel.h"
#include "platform/foundation/clock.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {
namespace {

using namespace platform;
using Pixel = UIImage::Pixel;
constexpr CGFloat kScale = 2;

// A ruler of minutes 0 to 64 drawn as the timer screen's ring draws it on a phone: a long tick with its
// number every five minutes, short ticks between, fading out a width ÷ 50 either side of the centre.
class MinuteRuler : public ItemCarouselDataSource, public ItemCarouselDelegate {
public:
    static constexpr CGFloat kMain = 42, kSub = 20, kSpacing = 20, kLine = 2, kFade = 50;

    long numberOfItemsInCarousel(ItemCarousel&) override { return 65; }
    std::shared_ptr<UIView> carouselViewForItemAtIndex(ItemCarousel&, long index,
                                                       std::shared_ptr<UIView> reusing) override {
        auto cell = std::dynamic_pointer_cast<CarouselCell>(reusing);
        if (!cell) {
            cell = std::make_shared<CarouselCell>(CGRect{0, 0, kSpacing, kMain});
            cell->measure()->setBackgroundColor(UIColor::whiteColor());
            cell->measure()->layer()->setCornerRadius(1);
            cell->setContentMode(UIViewContentMode::center);
            cell->measureLabel()->setTextAlignment(NSTextAlignment::center);
            cell->measureLabel()->setFont(UIFont::systemFontOfSize(14));
            cell->measureLabel()->setTextColor(UIColor::whiteColor());
            cell->measureLabel()->setBackgroundColor(UIColor::clearColor());
            cell->measureLabel()->setFrame(CGRectIntegral({-10, kMain, kSpacing + 20, kMain - kSub}));
        }
        const bool major = index % 5 == 0;
        cell->setTag(major ? 1 : 0);
        cell->measure()->setFrame(
            {(kSpacing - 2) * 0.5, major ? 0 : kMain * 0.5, kLine, major ? kMain : kMain * 0.5});
        cell->measureLabel()->setText(major ? std::to_string(index) : "");
        return cell;
    }
    double carouselValueForOption(ItemCarousel& carousel, ItemCarouselOption option, double value) override {
        switch (option) {
            case ItemCarouselOption::spacing:
            case ItemCarouselOption::fadeRange:
                return 1;
            case ItemCarouselOption::fadeMin:
                return -(carousel.bounds().size.width / kFade);
            case ItemCarouselOption::fadeMax:
                return carousel.bounds().size.width / kFade;
            default:
                return value;
        }
    }
};

bool isWhite(Pixel p) {
    return p.r > 230 && p.g > 230 && p.b > 230;
}
bool isBackground(Pixel p) {
    return std::abs(p.r - 0x20) <= 2 && std::abs(p.g - 0x28) <= 2 && std::abs(p.b - 0x33) <= 2;
}

}  // namespace

TEST(CarouselRender, AMinuteRingOf65TicksCurvesAwayAndFadesAtItsSides) {
    auto clock = VirtualClock::install();
    DeviceProfile::setCurrent(*DeviceProfile::named("iPhone8"));
    auto window = std::make_shared<UIWindow>(CGRect{0, 0, 375, 200});
    window->setBackgroundColor(UIColor::colorWithRed(0x20 / 255.0, 0x28 / 255.0, 0x33 / 255.0, 1));
    window->makeKeyAndVisible();
    auto carousel = std::make_shared<ItemCarousel>(CGRect{0, 25, 375, 150});
    auto ruler = std::make_shared<MinuteRuler>();
    window->addSubview(carousel);
    carousel->setType(ItemCarouselType::cylinder);
    carousel->setDecelerationRate(0.2);
    carousel->setDelegate(ruler);
    carousel->setDataSource(ruler);
    carousel->setScrollOffset(25);
    window->layoutIfNeeded();
    clock->advance(1);

    const auto path = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "carousel_minute_ring.png";
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*window, path, kScale));
    const auto image = LayerRenderer::renderView(*window, kScale);
    ASSERT_TRUE(image);
    const auto at = [&](CGFloat x, CGFloat y) { return image->pixelAt(int(x * kScale), int(y * kScale)); };

    // The long tick of minute 25 stands in the middle, 42 points high from the ring's middle line.
    const CGFloat top = 25 + 75 - MinuteRuler::kMain / 2;
    EXPECT_TRUE(isWhite(at(187.5, top + 5)));
    EXPECT_TRUE(isWhite(at(187.5, top + MinuteRuler::kMain - 5)));
    EXPECT_TRUE(isBackground(at(187.5, top - 5)));
    // Its neighbours are short ticks 20 points away: only their lower half is drawn.
    EXPECT_TRUE(isBackground(at(167.5, top + 5)));
    EXPECT_TRUE(isWhite(at(167.5, top + MinuteRuler::kMain - 5)));
    // Minute 25's number is written under it.
    int ink = 0;
    for (CGFloat x = 177; x < 198; x += 0.5) {
        for (CGFloat y = top + MinuteRuler::kMain; y < top + 2 * MinuteRuler::kMain - MinuteRuler::kSub;
             y += 0.5) {
            ink += isWhite(at(x, y));
        }
    }
    EXPECT_GT(ink, 10);
    // Ticks crowd together towards the sides as the ring curves away, and fade out before the edges.
    EXPECT_TRUE(isBackground(at(4, top + MinuteRuler::kMain - 5)));
    EXPECT_TRUE(isBackground(at(371, top + MinuteRuler::kMain - 5)));
}

}  // namespace quorvel
