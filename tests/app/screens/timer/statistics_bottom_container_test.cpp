#include "app/screens/timer/statistics_bottom_container.h"

#include <algorithm>

#include "app/core/temp_user_default_properties.h"
#include "app/core/timer_view_model.h"
#include "app/widgets/reveal/reveal_cell_button_item.h"
#include "platform/uikit/ui_font.h"
#include "tests/app/screens/timer/app_alert_test.h"
#include "tests/app/screens/timer/emulated_device.h"

namespace quorvel {
namespace {

using namespace platform;
using Temp = TempUserDefaultProperties;

// Stands for the timer screen.
class TimerScreen : public SessionResetable {};

// The round and goal table, 375 × 100, low on a phone's app window, showing round 3/4 and goal 7/12 of
// the shared engine; the timer screen is its delegate.
class RoundAndGoalTable : public testing::AppAlertTest {
protected:
    static constexpr CGFloat kTop = 500;

    RoundAndGoalTable() {
        auto engine = TimerViewModel::shared();
        engine->setCurrentRound(3);
        engine->setCurrentGoal(7);
        container->setDelegate(screen);
        appWindow->rootViewController()->view()->addSubview(container);
        container->updateSessionCounts("3", "4", "7", "12");
        appWindow->layoutIfNeeded();
    }
    ~RoundAndGoalTable() override { TimerViewModel::resetSharedForTesting(); }

    std::shared_ptr<RevealTableViewCell> row() const {
        return std::dynamic_pointer_cast<RevealTableViewCell>(
            container->statisticsTableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)));
    }
    void open() {
        row()->setRevealPosition(revealPositionRight, true);
        clock->advance(kSettle);
    }
    // A real tap on the middle of a swipe button of the open row: the first stands at the right edge,
    // the next to its left, each a quarter of the row wide.
    void tapSwipeButton(const std::string& title) {
        const auto& items = row()->rightCellButtonItems();
        const auto found = std::ranges::find(items, title, &RevealCellButtonItem::title);
        ASSERT_NE(found, items.end()) << "no " << title << " button";
        const CGFloat quarter = 375 / 4.0;
        driver.tap({375 - quarter * (CGFloat(found - items.begin()) + 0.5), kTop + 50});
        clock->advance(kSettle);
    }
    static std::int64_t round() { return TimerViewModel::shared()->currentRound(); }
    static std::int64_t goal() { return TimerViewModel::shared()->currentGoal(); }

    std::shared_ptr<TimerScreen> screen = std::make_shared<TimerScreen>();
    std::shared_ptr<StatisticsBottomContainer> container =
        StatisticsBottomContainer::make(CGRectMake(0, kTop, 375, 100));
};

TEST_F(RoundAndGoalTable, OneStillRowFillsTheTableAndCarriesTheValueLabels) {
    const auto& table = container->statisticsTableView();
    EXPECT_EQ(table->frame(), CGRectMake(0, 0, 375, 100)) << "pinned to the container's edges";
    EXPECT_FALSE(table->bounces());
    EXPECT_FALSE(table->isScrollEnabled());
    EXPECT_EQ(table->separatorStyle(), UITableViewCellSeparatorStyle::none);
    EXPECT_EQ(table->numberOfSections(), 1);
    EXPECT_EQ(table->numberOfRowsInSection(0), 1);
    EXPECT_EQ(container->tableViewHeightForRowAtIndexPath(*table, NSIndexPath::indexPathForRow(0, 0)), 102);

    const auto cell = row();
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->reuseIdentifier(), "swipeableCell");
    EXPECT_EQ(cell->selectionStyle(), UITableViewCellSelectionStyle::none);
    EXPECT_EQ(cell->nsession(), container->roundLabel());
    EXPECT_EQ(cell->ngoal(), container->goalLabel());
    EXPECT_EQ(container->roundLabel()->superview(), cell->contentView());
    EXPECT_EQ(container->roundLabel()->attributedText()->string(), "3/4");
    EXPECT_EQ(container->goalLabel()->attributedText()->string(), "7/12");
    EXPECT_TRUE(container->leftButtonItemsInRevealTableViewCell(*cell).empty());
}

TEST_F(RoundAndGoalTable, ARotationKeepsTheSplitAndMakesAFreshClosedRow) {
    open();
    const auto before = row();
    container->updateForRotation(UIDeviceOrientation::landscapeLeft, Split::oneHalf);
    appWindow->layoutIfNeeded();
    EXPECT_EQ(container->splitStatus(), Split::oneHalf);
    ASSERT_NE(row(), nullptr);
    EXPECT_NE(row(), before);
    EXPECT_EQ(row()->revealPosition(), revealPositionCenter);
    EXPECT_EQ(row()->nsession(), container->roundLabel());
}

TEST_F(RoundAndGoalTable, TheSwipeButtonsAreCountAndMuteEachAQuarterOfTheRowMadeAnewEachTime) {
    const auto cell = row();
    const auto items = container->rightButtonItemsInRevealTableViewCell(*cell);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->title(), "COUNT");
    EXPECT_EQ(items[1]->title(), "MUTE");
    EXPECT_TRUE(*items[0]->backgroundColor() == *UIColor::colorWithRed(116 / 255.0, 111 / 255.0, 106 / 255.0, 1));
    EXPECT_TRUE(*items[1]->backgroundColor() == *UIColor::colorWithRed(164 / 255.0, 158 / 255.0, 152 / 255.0, 1));
    for (const auto& item : items) {
        EXPECT_EQ(item->width(), 375 / 4.0);
        EXPECT_TRUE(*item->tintColor() == *UIColor::whiteColor());
    }
    EXPECT_NE(container->rightButtonItemsInRevealTableViewCell(*cell)[0], items[0]);
}

TEST_F(RoundAndGoalTable, CountThenCancelKeepsTheCountersAndTheRowOpen) {
    open();
    tapSwipeButton("COUNT");
    ASSERT_NE(shownAlert(), nullptr);
    EXPECT_EQ(shownAlert()->message(), "Reset Count?");
    EXPECT_EQ(row()->revealPosition(), revealPositionRight) << "a tap on the button leaves the row open";
    ASSERT_TRUE(press("Cancel"));
    EXPECT_EQ(round(), 3);
    EXPECT_EQ(goal(), 7);
    EXPECT_EQ(row()->revealPosition(), revealPositionRight);
}

TEST_F(RoundAndGoalTable, CountThenAResetAppliesItAndClosesTheRow) {
    open();
    tapSwipeButton("COUNT");
    ASSERT_TRUE(press("Reset Round"));
    EXPECT_EQ(round(), 0);
    EXPECT_EQ(goal(), 7);
    EXPECT_EQ(row()->revealPosition(), revealPositionCenter);

    TimerViewModel::shared()->setCurrentRound(2);
    open();
    tapSwipeButton("COUNT");
    ASSERT_TRUE(press("Reset Round & Goal"));
    EXPECT_EQ(round(), 0);
    EXPECT_EQ(goal(), 0);
    EXPECT_EQ(analyticsEvents(), (std::vector<std::string>{"Timer_Event Swipe=Clear_Round", "Timer_Event Swipe=Clear_Round"}));
}

TEST_F(RoundAndGoalTable, WithoutTheTimerScreenAResetIsNotAppliedButTheRowCloses) {
    screen.reset();
    open();
    tapSwipeButton("COUNT");
    ASSERT_TRUE(press("Reset Round & Goal"));
    EXPECT_EQ(round(), 3);
    EXPECT_EQ(goal(), 7);
    EXPECT_EQ(row()->revealPosition(), revealPositionCenter);
}

TEST_F(RoundAndGoalTable, MuteShowsTheSoundSwitchesAndDoneClosesTheRow) {
    open();
    tapSwipeButton("MUTE");
    ASSERT_NE(shownAlert(), nullptr);
    EXPECT_EQ(shownAlert()->message(), "Sound Options");
    ASSERT_TRUE(press("Alarm On"));
    EXPECT_EQ(row()->revealPosition(), revealPositionRight) << "a switch keeps the alert and the row open";
    ASSERT_TRUE(press("Done"));
    EXPECT_EQ(QueuedAlertView::currentAlertView(), nullptr);
    EXPECT_EQ(row()->revealPosition(), revealPositionCenter);
}

TEST_F(RoundAndGoalTable, TheHintOpensTheRowOnceAndATapOnTheOpenRowClosesIt) {
    container->showRevealHintIfNeeded();
    clock->advance(kSettle);
    EXPECT_EQ(row()->revealPosition(), revealPositionRight);
    EXPECT_TRUE(UserDefaultProperties::standardDefaults()->boolForKey(Temp::key(Temp::Case::showedOnceRevealingCell)));

    driver.tap({40, kTop + 50});
    clock->advance(kSettle);
    EXPECT_EQ(row()->revealPosition(), revealPositionCenter);

    // The next launch's table.
    container->removeFromSuperview();
    container = StatisticsBottomContainer::make(CGRectMake(0, kTop, 375, 100));
    appWindow->rootViewController()->view()->addSubview(container);
    appWindow->layoutIfNeeded();
    container->showRevealHintIfNeeded();
    clock->advance(kSettle);
    EXPECT_EQ(row()->revealPosition(), revealPositionCenter);
}

TEST_F(RoundAndGoalTable, TheRowClosedAndOpenAsTheAppDrawsIt) {
    const auto pixelAt = [&](const UIImage& image, CGFloat x, CGFloat y) {
        return image.pixelAt(int(x * kScale), int((kTop + y) * kScale));
    };
    const auto closed = screenshot("round_and_goal_row_closed");
    int ink = 0;
    for (CGFloat x = 70; x < 110; x += 0.5) {
        for (CGFloat y = 42; y < 58; y += 0.5) {
            if (pixelAt(*closed, x, y).r < 160) ++ink;
        }
    }
    EXPECT_GT(ink, 100) << "the round count is drawn";

    open();
    const auto opened = screenshot("round_and_goal_row_open");
    EXPECT_NEAR(pixelAt(*opened, 375 - 4, 8).r, 116, 4) << "COUNT's darker grey at the edge";
    EXPECT_NEAR(pixelAt(*opened, 375 / 2.0 + 4, 8).r, 164, 4) << "MUTE's lighter grey beside it";
    EXPECT_EQ(pixelAt(*opened, 375 / 2.0 - 4, 8).r, 255) << "the row's content moved left by half its width";
}

// The counts' text, by device.
using StatisticsText = testing::EmulatedDevice;

TEST_F(StatisticsText, TheValueIsLargeAndTheLimitSmallInTheDevicesFont) {
    const struct {
        const char* device;
        const char* font;
        CGFloat value, limit;
    } devices[] = {{"iPhone8", "SFProDisplay-Light", 43, 14}, {"iPadPro11Inch", "SFProDisplay-Medium", 51, 16}};
    for (const auto& device : devices) {
        SCOPED_TRACE(device.device);
        emulate(device.device);
        const auto text = statisticsText("2", "4");
        EXPECT_EQ(text->string(), "2/4");
        ASSERT_EQ(text->runs().size(), 2u);
        EXPECT_EQ(text->runs()[0].length, 1u);
        EXPECT_EQ(text->runs()[0].attributes.font->fontName(), device.font);
        EXPECT_EQ(text->runs()[0].attributes.font->pointSize(), device.value);
        EXPECT_EQ(text->runs()[1].attributes.font->fontName(), device.font);
        EXPECT_EQ(text->runs()[1].attributes.font->pointSize(), device.limit);
        EXPECT_EQ(text->runs()[1].attributes.foregroundColor, nullptr);
    }
}

}  // namespace
}  // namespace quorvel
