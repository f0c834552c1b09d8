// The two average lines over the charts on every device, way of holding it and split share: each reads
// whole, in smaller type where its area is narrow, never cut short by an ellipsis. Each layout is also
// written to the test output (averages_minutes/, averages_hours/) for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/device/interface_driver.h"
#include "platform/uikit/text/text_layout.h"
#include "tests/app/screens/statistics/charts_fixture.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::ChartsTest;

// `count` sessions of `minutes` on each day from `firstDaysAgo` down to `lastDaysAgo`, in one save.
void storeEachDay(int firstDaysAgo, int lastDaysAgo, int count, std::int64_t minutes) {
    auto context = CoreDataManager::context();
    ASSERT_TRUE(context);
    for (int day = firstDaysAgo; day >= lastDaysAgo; --day) {
        for (int i = 0; i < count; ++i) {
            auto session =
                std::dynamic_pointer_cast<Session>(context->insertNewObjectForEntityForName("Session"));
            ASSERT_TRUE(session);
            session->setTimestamp(ChartsTest::daysAgo(day, 8).dateByAddingTimeInterval(60.0 * i));
            session->setDuration(minutes);
            session->setType(0);
        }
    }
    ASSERT_TRUE(CoreDataManager::shared()->save());
}

struct AverageLayout {
    std::string model;
    UIDeviceOrientation orientation;
    CGFloat share;

    std::string name() const {
        std::string text =
            model + (orientation == UIDeviceOrientation::portrait ? "_portrait" : "_landscape");
        if (share < 1) text += "_split" + std::to_string(int(share * 100 + 0.5));
        return text;
    }
};

// Every model held upright and on its side, a tablet at each share of its screen too.
std::vector<AverageLayout> everyAverageLayout() {
    std::vector<AverageLayout> layouts;
    for (const auto& profile : DeviceProfile::knownModels()) {
        for (const auto orientation : {UIDeviceOrientation::portrait, UIDeviceOrientation::landscapeLeft}) {
            layouts.push_back({profile.identifier, orientation, 1});
            if (profile.idiom != UIUserInterfaceIdiom::pad) continue;
            for (const CGFloat share : {2.0 / 3, 0.5, 1.0 / 3})
                layouts.push_back({profile.identifier, orientation, share});
        }
    }
    return layouts;
}

// The size of the label's whole text on one line in its font at `points`, laid out with no limit.
CGSize wholeLine(const UILabel& label, CGFloat points) {
    return TextLayout(NSAttributedString(label.text(), {label.font()->fontWithSize(points), nullptr}), 0, 1,
                      NSLineBreakMode::byClipping, NSTextAlignment::left)
        .size();
}

// The point size a one-line label draws in: its font's, or smaller as far as the label allows when the
// line is wider than the label.
CGFloat drawnPointSize(const UILabel& label) {
    const CGFloat size = label.font()->pointSize(), natural = wholeLine(label, size).width;
    if (!label.adjustsFontSizeToFitWidth() || natural <= label.bounds().width()) return size;
    return size * std::max(label.minimumScaleFactor(), label.bounds().width() / natural);
}

class ChartsAverageFit : public ChartsTest {
protected:
    // Shows the screen in every layout; in each, both averages fit their labels whole at the size drawn,
    // and no smaller than a person reads.
    void expectWholeInEveryLayout(const std::string& folder) {
        const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / folder;
        std::filesystem::create_directories(out);
        for (const AverageLayout& layout : everyAverageLayout()) {
            useDevice(layout.model.c_str());
            InterfaceDriver::rotateDevice(layout.orientation);
            show();
            InterfaceDriver::setSplitShare(layout.share);
            clock->advance(InterfaceDriver::kTransitionDuration + 0.1);
            window->layoutIfNeeded();
            for (const auto& label : {screen->avg7DaysLabel(), screen->avg30DaysLabel()}) {
                ASSERT_EQ(label->numberOfLines(), 1);
                const CGFloat points = drawnPointSize(*label);
                const CGSize line = wholeLine(*label, points);
                EXPECT_TRUE(line.width <= label->bounds().width() + 0.01 &&
                            line.height <= label->bounds().height())
                    << layout.name() << ": \"" << label->text() << "\" is cut at " << points << " points in "
                    << label->bounds().width() << " x " << label->bounds().height();
                EXPECT_GE(points, 8.5) << layout.name() << ": \"" << label->text() << "\"";
            }
            LayerRenderer::writeViewPNG(*window, out / (layout.name() + ".png"), 1);
        }
    }
};

}  // namespace

TEST_F(ChartsAverageFit, AveragesOfTwoDigitMinutesReadWholeOnEveryDeviceAndShare) {
    storeEachDay(22, 14, 1, 25);
    storeEachDay(10, 0, 1, 25);
    show();
    ASSERT_EQ(screen->avg7DaysLabel()->text(), "Average 0.8 Focus Sessions (  20 minutes )");
    ASSERT_EQ(screen->avg30DaysLabel()->text(), "Average 0.7 Focus Sessions (  17 minutes )");
    expectWholeInEveryLayout("averages_minutes");
}

TEST_F(ChartsAverageFit, AveragesOfHoursReadWholeOnEveryDeviceAndShare) {
    storeEachDay(29, 14, 5, 25);
    storeEachDay(13, 0, 12, 54);
    show();
    ASSERT_EQ(screen->avg7DaysLabel()->text(), "Average 12 Focus Sessions ( 10 hours 48 minutes )");
    ASSERT_EQ(screen->avg30DaysLabel()->text(), "Average 8 Focus Sessions ( 6 hours 10 minutes )");
    expectWholeInEveryLayout("averages_hours");
}

}  // namespace quorvel
