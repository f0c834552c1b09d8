#include "platform/uikit/controls/ui_slider.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/platform/uikit/control_events.h"
#include "tests/platform/uikit/touch_fixture.h"

using namespace platform;
using quorvel::testing::TouchDriver;

namespace {

// A slider at (20, 100), 300 wide: its thumb travels 272 points, its centre from x 34 to 306.
class SliderTouches : public quorvel::testing::TouchTest {
protected:
    void SetUp() override {
        TouchTest::SetUp();
        window->addSubview(slider);
        quorvel::testing::logControlEvents(*slider, log);
    }
    size_t changes() const { return std::ranges::count(log, "value"); }
    std::shared_ptr<UISlider> slider = std::make_shared<UISlider>(CGRect(20, 100, 300, UISlider::kHeight));
};

}  // namespace

TEST_F(SliderTouches, DraggingTheThumbMovesTheValueAsItGoes) {
    std::vector<float> seen;
    slider->addTarget(
        this, [&](UIControl&) { seen.push_back(slider->value()); }, UIControlEventValueChanged);
    driver.drag({34, 115}, {170, 115}, 0.2);
    EXPECT_NEAR(slider->value(), 0.5f, 1e-6);
    EXPECT_EQ(seen.size(), 12u);
    EXPECT_TRUE(std::ranges::is_sorted(seen));
    driver.drag({175, 110}, {600, 110}, 0.2);
    EXPECT_EQ(slider->value(), 1.f) << "held 5 points off the centre, dragged past the end";
}

TEST_F(SliderTouches, OnlyATouchOnTheThumbMovesIt) {
    slider->setValue(0.5f);
    driver.drag({60, 115}, {300, 115}, 0.2);
    EXPECT_EQ(slider->value(), 0.5f);
    EXPECT_EQ(changes(), 0u);
}

TEST_F(SliderTouches, ANonContinuousSliderTellsOnceWhenLetGo) {
    slider->setContinuous(false);
    driver.drag({34, 115}, {306, 115}, 0.2);
    EXPECT_EQ(changes(), 1u);
    EXPECT_EQ(slider->value(), 1.f);
    driver.drag({306, 115}, {320, 115}, 0.2);
    EXPECT_EQ(changes(), 1u) << "a drag that changes nothing";
}

TEST(UISliderValues, ValuesStayInRangeAndPlaceTheThumb) {
    UISlider slider(CGRect(0, 0, 228, 31));
    slider.setMinimumValue(10);
    slider.setMaximumValue(20);
    slider.setValue(25);
    EXPECT_EQ(slider.value(), 20.f);
    slider.setValue(std::nanf(""));
    EXPECT_EQ(slider.value(), 20.f);
    slider.setValue(15);
    const CGRect track = slider.trackRectForBounds(slider.bounds());
    EXPECT_EQ(track, CGRect(0, 13.5, 228, 4));
    EXPECT_EQ(slider.thumbRectForBounds(slider.bounds(), track, 15), CGRect(100, 1.5, 28, 28));
    EXPECT_EQ(slider.thumbRectForBounds(slider.bounds(), track, 20).origin.x, 200);
    slider.setMinimumValue(30);
    EXPECT_EQ(slider.value(), 30.f) << "the range moves with the minimum";
    EXPECT_EQ(slider.maximumValue(), 30.f);
    EXPECT_EQ(slider.thumbRectForBounds(slider.bounds(), track, 30).origin.x, 0) << "an empty range";
}
