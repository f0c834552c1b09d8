#include "app/screens/timer/statistics_bottom_container.h"

#include "app/core/timer_view_model.h"
#include "platform/uikit/text/ui_font.h"
#include "tests/app/screens/timer/app_alert_test.h"

namespace quorvel {
namespace {

using namespace platform;

class TimerScreen : public SessionResetable {};

// The table, 375 × 100 at y 500 of a phone's app window, showing round 3/4 and goal 7/12 of the shared
// engine, with the timer screen as its delegate.
class RoundAndGoalTable : public testing::AppAlertTest {
protected:
    static constexpr CGFloat kTop = 500;

    RoundAndGoalTable() {
        TimerViewModel::shared()->setCurrentRound(3);
        TimerViewModel::shared()->setCurrentGoal(7);
        show(container);
    }
    ~RoundAndGoalTable() override { TimerViewModel::resetSharedForTesting(); }

    void show(const std::shared_ptr<StatisticsBottomContainer>& table) {
        table->setDelegate(screen);
        table->updateSessionCounts("3", "4", "7", "12");
        appWindow->rootViewController()->view()->addSubview(table);
        appWindow->layoutIfNeeded();
    }
    std::shared_ptr<RevealTableViewCell> row() const {
        return std::dynamic_pointer_cast<RevealTableViewCell>(
            container->statisticsTableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)));
    }
    RevealCellRevealPosition position() const { return row()->revealPosition(); }
    // Opens the row, then taps its first (right-most) or second button.
    void openAndTap(int button) {
        row()->setRevealPosition(revealPositionRight, true);
        clock->advance(kSettle);
        driver.tap({375 - 375 / 4.0 * (button + 0.5), kTop + 50});
        clock->advance(kSettle);
    }
    static std::int64_t round() { return TimerViewModel::shared()->currentRound(); }
    static std::int64_t goal() { return TimerViewModel::shared()->currentGoal(); }

    std::shared_ptr<TimerScreen> screen = std::make_shared<TimerScreen>();
    std::shared_ptr<StatisticsBottomContainer> container =
        StatisticsBottomContainer::make(CGRectMake(0, kTop, 375, 100));
};

TEST_F(RoundAndGoalTable, OneStillRowWithTheCountsAndCountAndMuteBehindIt) {
    const auto& table = container->statisticsTableView();
    EXPECT_EQ(table->frame(), CGRectMake(0, 0, 375, 100));
    const auto cell = row();
    EXPECT_EQ(cell->nsession(), container->roundLabel());
    EXPECT_EQ(cell->ngoal()->superview(), cell->contentView());
    EXPECT_EQ(container->goalLabel()->attributedText()->string(), "7/12");

    const auto items = container->rightButtonItemsInRevealTableViewCell(*cell);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->title(), "COUNT");
    EXPECT_EQ(items[1]->title(), "MUTE");

    const auto closed = screenshot("round_and_goal_row_closed");
    row()->setRevealPosition(revealPositionRight, true);
    clock->advance(kSettle);
    const auto open = screenshot("round_and_goal_row_open");
    const auto red = [&](const UIImage& image, CGFloat x, CGFloat y) {
        return image.pixelAt(int(x * kScale), int((kTop + y) * kScale)).r;
    };
    int ink = 0;
    for (CGFloat x = 70; x < 110; x += 0.5)
        for (CGFloat y = 42; y < 58; y += 0.5) ink += red(*closed, x, y) < 160;
    EXPECT_GT(ink, 100) << "the round count is drawn";
    EXPECT_NEAR(red(*open, 375 - 4, 8), 116, 4) << "COUNT's dark grey at the edge";
    EXPECT_NEAR(red(*open, 375 / 2.0 + 4, 8), 164, 4) << "MUTE's light grey beside it";

    container->updateForRotation(UIDeviceOrientation::landscapeLeft, Split::oneHalf);
    appWindow->layoutIfNeeded();
    EXPECT_EQ(container->splitStatus(), Split::oneHalf);
    EXPECT_NE(row(), cell);
    EXPECT_EQ(position(), revealPositionCenter) << "a reload makes a fresh, closed row";
}

TEST_F(RoundAndGoalTable, CountResetsOnlyWhenChosenAndWhileTheTimerScreenIsThere) {
    openAndTap(0);
    EXPECT_EQ(shownAlert()->message(), "Reset Count?");
    ASSERT_TRUE(press("Cancel"));
    EXPECT_EQ(position(), revealPositionRight) << "cancelled: still open";
    EXPECT_EQ(round(), 3);

    openAndTap(0);
    ASSERT_TRUE(press("Reset Round"));
    EXPECT_EQ(position(), revealPositionCenter);
    EXPECT_EQ(round(), 0);
    EXPECT_EQ(goal(), 7);

    screen.reset();
    TimerViewModel::shared()->setCurrentRound(2);
    openAndTap(0);
    ASSERT_TRUE(press("Reset Round & Goal"));
    EXPECT_EQ(position(), revealPositionCenter);
    EXPECT_EQ(round(), 2) << "the timer screen is gone";
    EXPECT_EQ(goal(), 7);
}

TEST_F(RoundAndGoalTable, MuteStaysOpenWhileTheSoundsSwitchAndDoneClosesIt) {
    openAndTap(1);
    EXPECT_EQ(shownAlert()->message(), "Sound Options");
    ASSERT_TRUE(press("Alarm On"));
    EXPECT_EQ(position(), revealPositionRight);
    ASSERT_TRUE(press("Done"));
    EXPECT_EQ(position(), revealPositionCenter);
}

TEST_F(RoundAndGoalTable, TheHintOpensTheRowOnceEverAndATapClosesIt) {
    container->showRevealHintIfNeeded();
    clock->advance(kSettle);
    EXPECT_EQ(position(), revealPositionRight);
    driver.tap({40, kTop + 50});
    clock->advance(kSettle);
    EXPECT_EQ(position(), revealPositionCenter);

    container->removeFromSuperview();  // the next launch
    container = StatisticsBottomContainer::make(CGRectMake(0, kTop, 375, 100));
    show(container);
    container->showRevealHintIfNeeded();
    clock->advance(kSettle);
    EXPECT_EQ(position(), revealPositionCenter);
}

TEST_F(RoundAndGoalTable, TheCountsReadLargeValueSmallLimitInTheDevicesFont) {
    for (const auto& [device, font, value, limit] :
         {std::tuple{"iPhone8", "SFProDisplay-Light", 43, 14},
          std::tuple{"iPadPro11Inch", "SFProDisplay-Medium", 51, 16}}) {
        DeviceProfile::setCurrent(*DeviceProfile::named(device));
        const auto text = statisticsText("2", "4");
        EXPECT_EQ(text->string(), "2/4");
        ASSERT_EQ(text->runs().size(), 2u);
        EXPECT_EQ(text->runs()[0].length, 1u);
        EXPECT_EQ(text->runs()[0].attributes.font->fontName(), font);
        EXPECT_EQ(text->runs()[0].attributes.font->pointSize(), value);
        EXPECT_EQ(text->runs()[1].attributes.font->fontName(), font);
        EXPECT_EQ(text->runs()[1].attributes.font->pointSize(), limit);
    }
}

}  // namespace
}  // namespace quorvel
