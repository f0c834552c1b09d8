#include "app/screens/reminders/carousel_reminder_time_view_controller.h"

#include "app/widgets/carousel/carousel_cell.h"
#include "platform/foundation/console.h"
#include "platform/uikit/device/ui_screen.h"
#include "tests/app/screens/reminders/screen_test.h"

using namespace quorvel;
using namespace platform;
using HourPickerController = CarouselReminderTimeViewController;

namespace {

class HourPicker : public quorvel::testing::ScreenTest {
protected:
    std::shared_ptr<HourPickerController> open(std::int64_t hour) {
        auto picker = HourPickerController::loadFromNib();
        picker->show(root_, hour);
        picker->setDidChangeValue([this](std::int64_t chosen) { reported_.push_back(chosen); });
        clock_->advance(1);
        AudioServices::forgetPlayedSystemSounds();
        return picker;
    }
    std::vector<std::int64_t> reported_;
};

std::shared_ptr<CarouselCell> cell(HourPickerController& picker, long index, std::shared_ptr<UIView> reusing = nullptr) {
    return std::dynamic_pointer_cast<CarouselCell>(picker.hourItemView(index, std::move(reusing)));
}

}  // namespace

TEST_F(HourPicker, OpensOnTheHourAndFollowsTheRulerRoundMidnightWithOneClickAStep) {
    auto picker = open(14);
    auto& ruler = *picker->carousel();
    EXPECT_EQ(root_->presentedViewController(), picker);
    EXPECT_EQ(picker->modalPresentationStyle(), UIModalPresentationStyle::overFullScreen);
    EXPECT_EQ(picker->contentViewTopConstraint()->priority(), 749);
    EXPECT_EQ(ruler.currentItemIndex(), 14);
    EXPECT_EQ(picker->titleLabel()->text(), "2:00\u202fPM");
    EXPECT_TRUE(picker->subtitleLabel()->isHidden());
    EXPECT_EQ(picker->numberOfItemsInCarousel(ruler), 24);

    ruler.scrollByNumberOfItems(1, 0.2);
    clock_->advance(1);
    EXPECT_EQ(clicks(), 1u);
    EXPECT_EQ(picker->value(), 15);
    EXPECT_EQ(picker->titleLabel()->text(), "3:00\u202fPM");

    ruler.scrollToItemAtIndex(23, false);
    ruler.scrollByNumberOfItems(1, 0.2);
    clock_->advance(1);
    EXPECT_EQ(picker->value(), 0);
    EXPECT_EQ(picker->titleLabel()->text(), "12:00\u202fAM");

    const double width = ruler.bounds().size.width;
    EXPECT_EQ(picker->carouselValueForOption(ruler, ItemCarouselOption::wrap, 0), 1);
    EXPECT_EQ(picker->carouselValueForOption(ruler, ItemCarouselOption::fadeMin, 0), -width / 10);
    EXPECT_EQ(picker->carouselValueForOption(ruler, ItemCarouselOption::fadeMax, 0), width / 10);
    EXPECT_EQ(picker->carouselValueForOption(ruler, ItemCarouselOption::arc, 2.5), 2.5);
}

TEST_F(HourPicker, DoneReportsTheChosenHourAndCloseReportsNothing) {
    auto picker = open(14);
    picker->carouselDidSelectItemAtIndex(*picker->carousel(), 9);
    touches_.tap(centreOf(*picker->doneButton()));
    touches_.tap(centreOf(*picker->doneButton()));
    clock_->advance(1);
    EXPECT_EQ(reported_, std::vector<std::int64_t>{9});
    EXPECT_EQ(root_->presentedViewController(), nullptr);

    Console::Capture console;
    picker.reset();
    EXPECT_TRUE(console.contains("CarouselReminderTimeViewController deinit"));

    auto again = open(6);
    again->onClose();
    bool completed = false;
    again->dismissViewControllerAnimated(true, [&] { completed = true; });  // already sliding out
    clock_->advance(1);
    EXPECT_EQ(reported_, std::vector<std::int64_t>{9});
    EXPECT_FALSE(completed);
    EXPECT_EQ(root_->presentedViewController(), nullptr);
}

TEST_F(HourPicker, LabelsStandUnderEveryFifthHourAndLeaveReusedShortTicks) {
    auto picker = open(14);
    std::vector<long> labelled;
    for (long index = 0; index < 24; ++index) {
        if (!cell(*picker, index)->measureLabel()->text().empty()) labelled.push_back(index);
    }
    EXPECT_EQ(labelled, (std::vector<long>{0, 5, 10, 15, 20}));

    auto shortTick = cell(*picker, 3);
    EXPECT_EQ(shortTick->tag(), 0);
    EXPECT_EQ(shortTick->measure()->frame(), CGRect(8, 10, 2, 10));
    auto longTick = cell(*picker, 5, shortTick);
    EXPECT_EQ(longTick, shortTick);
    EXPECT_EQ(longTick->tag(), 1);
    EXPECT_EQ(longTick->measure()->frame(), CGRect(8, 0, 2, 20));
    EXPECT_EQ(longTick->measureLabel()->text(), "5:00\u202fAM");
    const auto label = longTick->measureLabel()->frame();
    EXPECT_EQ(label.origin.y, 25);
    EXPECT_EQ(label.size.height, 16);
    EXPECT_GT(label.size.width, 20);
    EXPECT_DOUBLE_EQ(label.origin.x, (8 + 18 - label.size.width) / 2);
    EXPECT_EQ(cell(*picker, 6, longTick)->measureLabel()->text(), "");
    render("reminder_hour_picker");
}

namespace {

class HourPickerOnANotchedPhone : public quorvel::testing::ScreenTest {
protected:
    HourPickerOnANotchedPhone() : ScreenTest("iPhoneXS") {
        window_->setFrame(UIScreen::mainScreen().bounds());  // made before the phone was chosen
        clock_->advance(1);
    }
};

}  // namespace

// The panel's white runs to the screen's foot; its buttons' titles stand above the home indicator, and
// the ruler keeps clear of the buttons.
TEST_F(HourPickerOnANotchedPhone, ItsButtonsStandAboveTheHomeIndicatorAndAnswerThere) {
    auto picker = HourPickerController::loadFromNib();
    picker->show(root_, 14);
    std::vector<std::int64_t> reported;
    picker->setDidChangeValue([&](std::int64_t chosen) { reported.push_back(chosen); });
    clock_->advance(1);
    const auto& screen = UIScreen::mainScreen();
    const double safeFoot = screen.bounds().maxY() - screen.safeAreaInsets().bottom;
    ASSERT_LT(safeFoot, screen.bounds().maxY());
    const auto done = picker->doneButton();
    EXPECT_LE(inWindow(*done->titleLabel()).maxY(), safeFoot);
    EXPECT_EQ(inWindow(*done->superview()).maxY(), screen.bounds().maxY());
    EXPECT_LE(inWindow(*picker->carouselContentView()).maxY(), inWindow(*done).minY());

    touches_.tap(centreOf(*done->titleLabel()));
    clock_->advance(1);
    EXPECT_EQ(reported, std::vector<std::int64_t>{14});
}
