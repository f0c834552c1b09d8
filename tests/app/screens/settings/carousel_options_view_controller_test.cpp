#include "app/screens/settings/carousel_options_view_controller.h"

#include "app/core/user_data_manager.h"
#include "app/screens/timer/count_texts.h"
#include "app/widgets/carousel/carousel_cell.h"
#include "platform/uikit/controls/ui_button.h"
#include "tests/app/screens/reminders/screen_test.h"

using namespace quorvel;
using namespace platform;
using P = UserDefaultProperties;
using Picker = CarouselOptionsViewController;

namespace {

// Presents the picker the way the settings screen does, and counts its closing calls.
class LengthPicker : public quorvel::testing::ScreenTest {
protected:
    std::shared_ptr<Picker> open(CarouselFunction function) {
        auto picker = Picker::loadFromNib();
        picker->setFunction(function);
        picker->setup(true);
        picker->setWillDismiss([this] { ++willDismissCalls_; });
        picker->setCompletionBlock([this](bool saved) { completions_.push_back(saved); });
        picker->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
        root_->presentViewController(picker, false, [picker] { picker->animateIn(); });
        clock_->advance(1);
        AudioServices::forgetPlayedSystemSounds();
        takeWrites();
        return picker;
    }
    std::string shownText(const Picker& picker) { return picker.descriptionLabel()->text(); }

    int willDismissCalls_ = 0;
    std::vector<bool> completions_;
};

}  // namespace

TEST_F(LengthPicker, OpensOnTheStoredLengthAndClicksOncePerStepRoundTheWrap) {
    auto picker = open(CarouselFunction::timer(TimerLengthSetting::focus));
    auto& ruler = *picker->carousel();
    EXPECT_EQ(ruler.currentItemIndex(), 24);
    EXPECT_EQ(picker->selectedTime(), 25);
    EXPECT_EQ(shownText(*picker), "25 Minutes");
    EXPECT_TRUE(picker->subtitleLabel()->isHidden());
    EXPECT_EQ(picker->contentViewTopConstraint()->priority(), 749);
    double white = 1, alpha = 0;
    ASSERT_TRUE(picker->view()->backgroundColor()->getWhite(&white, &alpha));
    EXPECT_EQ(white, 0);
    EXPECT_NEAR(alpha, 0.3, 1e-6);

    ruler.scrollByNumberOfItems(1, 0.2);
    clock_->advance(1);
    EXPECT_EQ(clicks(), 1u);
    EXPECT_EQ(shownText(*picker), "26 Minutes");

    picker->carouselDidSelectItemAtIndex(ruler, 9);
    EXPECT_EQ(picker->selectedTime(), 10);
    EXPECT_EQ(shownText(*picker), "10 Minutes");

    ruler.scrollToItemAtIndex(64, false);
    ruler.scrollByNumberOfItems(1, 0.2);
    clock_->advance(1);
    EXPECT_EQ(ruler.currentItemIndex(), 0);
    EXPECT_EQ(picker->selectedTime(), 1);
}

TEST_F(LengthPicker, AStoredValueOutsideTheRulerOpensAtItsNearestEndSoSaveNeverStoresZero) {
    P::save(P::shortBreakLength(0));
    P::save(P::longBreakLength(1));
    P::save(P::goalLimit(99));
    auto shortBreak = open(CarouselFunction::timer(TimerLengthSetting::shortBreak));
    EXPECT_EQ(shortBreak->carousel()->currentItemIndex(), 0);
    EXPECT_EQ(shortBreak->selectedTime(), 1);
    shortBreak->save();
    EXPECT_EQ(UserDataManager::getPomodoroData().shortBreakLength, 1);
    clock_->advance(1);

    // 1 is where the ruler already stands: no move is reported, yet the value is the stored one.
    auto longBreak = open(CarouselFunction::timer(TimerLengthSetting::longBreak));
    longBreak->save();
    EXPECT_EQ(UserDataManager::getPomodoroData().longBreakLength, 1);
    clock_->advance(1);

    auto goal = open(CarouselFunction::focus(SessionSetting::dailyGoal));
    EXPECT_EQ(goal->carousel()->currentItemIndex(), 64);
    EXPECT_EQ(shownText(*goal), "65 Sessions");
}

TEST_F(LengthPicker, CountsShowTheirFocusTimeAndSaveTheSettingThenItsSharedCopy) {
    auto round = open(CarouselFunction::focus(SessionSetting::sessionsPerRound));
    EXPECT_EQ(round->selectedTime(), 4);
    EXPECT_EQ(shownText(*round), "4 Sessions");
    EXPECT_FALSE(round->subtitleLabel()->isHidden());
    EXPECT_EQ(round->subtitleLabel()->text(), "1 Hour 40 Minutes");
    round->dismissView();
    clock_->advance(1);

    P::save(P::focusLength(30));
    auto goal = open(CarouselFunction::focus(SessionSetting::dailyGoal));
    goal->carouselDidSelectItemAtIndex(*goal->carousel(), 7);
    EXPECT_EQ(goal->subtitleLabel()->text(), "4 Hours ");  // the daily goal also counts focus time
    willDismissCalls_ = 0;
    completions_.clear();
    goal->save();
    const auto writes = takeWrites();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_FALSE(writes[0].starts_with(P::kAppGroupSuiteName));
    EXPECT_TRUE(writes[0].ends_with(" DailyPomodoroGoal"));
    EXPECT_EQ(writes[1], std::string(P::kAppGroupSuiteName) + " DailyPomodoroGoal");
    EXPECT_EQ(UserDataManager::getPomodoroData().goalLimit, 8);
    EXPECT_EQ(P::appGroupDefaults()->integerForKey("DailyPomodoroGoal"), 8);
    EXPECT_EQ(willDismissCalls_, 1);
    EXPECT_EQ(completions_, std::vector<bool>{true});
    clock_->advance(1);
    EXPECT_EQ(root_->presentedViewController(), nullptr);
}

TEST_F(LengthPicker, OnlyATapOnTheDimmedBackgroundClosesWithoutSaving) {
    auto picker = open(CarouselFunction::timer(TimerLengthSetting::focus));
    const auto ruler = inWindow(*picker->carousel());
    // An item left of the centre: the ruler selects it and stays open.
    touches_.tap({ruler.origin.x + ruler.size.width / 2 - 3 * 18, ruler.origin.y + 20});
    clock_->advance(1);
    EXPECT_EQ(picker->selectedTime(), 22);
    EXPECT_EQ(willDismissCalls_, 0);
    EXPECT_EQ(root_->presentedViewController(), picker);

    touches_.tap({100, 100});  // above the panel
    touches_.tap({100, 100});  // again, while closing
    clock_->advance(1);
    EXPECT_EQ(willDismissCalls_, 1);
    EXPECT_TRUE(completions_.empty());
    EXPECT_TRUE(takeWrites().empty());
    EXPECT_EQ(root_->presentedViewController(), nullptr);
    EXPECT_EQ(UserDataManager::getPomodoroData().focusLength, 25);
}

TEST_F(LengthPicker, ATapOnSaveSavesAndClosesOnce) {
    auto picker = open(CarouselFunction::timer(TimerLengthSetting::shortBreak));
    picker->carouselDidSelectItemAtIndex(*picker->carousel(), 11);
    std::shared_ptr<UIView> save;
    for (const auto& view : picker->carouselHolder()->superview()->subviews()) {
        if (auto button = std::dynamic_pointer_cast<UIButton>(view)) save = button;
    }
    ASSERT_NE(save, nullptr);
    touches_.tap(centreOf(*save));
    touches_.tap(centreOf(*save));
    clock_->advance(1);
    EXPECT_EQ(UserDataManager::getPomodoroData().shortBreakLength, 12);
    EXPECT_EQ(willDismissCalls_, 1);
    EXPECT_EQ(completions_, std::vector<bool>{true});
    EXPECT_EQ(root_->presentedViewController(), nullptr);
}

TEST_F(LengthPicker, RulerItemsAreLongAndNumberedEveryFifthValue) {
    auto picker = open(CarouselFunction::timer(TimerLengthSetting::focus));
    auto& ruler = *picker->carousel();
    EXPECT_EQ(picker->numberOfItemsInCarousel(ruler), 65);
    const auto first = std::dynamic_pointer_cast<CarouselCell>(picker->itemView(5));
    EXPECT_EQ(first->frame(), CGRect(0, 0, 18, 60));
    EXPECT_EQ(first->tag(), 1);
    EXPECT_EQ(first->measure()->frame(), CGRect(8, 0, 2, 20));
    EXPECT_EQ(first->measureLabel()->text(), "6");
    EXPECT_EQ(first->measureLabel()->frame(), CGRect(-10, 25, 38, 16));
    const auto between = std::dynamic_pointer_cast<CarouselCell>(picker->itemView(6));
    EXPECT_EQ(between->tag(), 0);
    EXPECT_EQ(between->measure()->frame(), CGRect(8, 10, 2, 10));
    EXPECT_EQ(between->measureLabel()->text(), "");

    const double width = ruler.bounds().size.width;
    EXPECT_EQ(picker->carouselValueForOption(ruler, ItemCarouselOption::wrap, 0), 1.0);
    EXPECT_EQ(picker->carouselValueForOption(ruler, ItemCarouselOption::fadeMin, 0), -width / 40);
    EXPECT_EQ(picker->carouselValueForOption(ruler, ItemCarouselOption::fadeMax, 0), width / 40);
    EXPECT_EQ(picker->carouselValueForOption(ruler, ItemCarouselOption::fadeRange, 0), 1.0);
    EXPECT_EQ(picker->carouselValueForOption(ruler, ItemCarouselOption::spacing, 0.75), 0.75);
    render("length_picker_focus");
}

TEST(LengthPickerSizes, APadRulerIsHalfAsLargeAgain) {
    quorvel::testing::TempDataRoot root;
    auto clock = VirtualClock::install();
    DeviceProfile::setCurrent(*DeviceProfile::named("iPadPro11Inch"));
    auto picker = Picker::loadFromNib();
    const auto cell = std::dynamic_pointer_cast<CarouselCell>(picker->itemView(0));
    EXPECT_EQ(cell->frame(), CGRect(0, 0, 27, 90));
    EXPECT_EQ(cell->measure()->frame(), CGRect(12.5, 0, 2, 30));
    EXPECT_EQ(cell->measureLabel()->frame(), CGRect(-10, 35, 47, 26));
    EXPECT_EQ(picker->carouselValueForOption(*picker->carousel(), ItemCarouselOption::fadeMax, 0),
              picker->carousel()->bounds().size.width / 60);
}
