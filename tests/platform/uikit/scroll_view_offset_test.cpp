#include <gtest/gtest.h>

#include <optional>

#include "platform/uikit/ui_scroll_view.h"
#include "tests/platform/uikit/touch_fixture.h"

using namespace platform;
using quorvel::testing::TouchDriver;

namespace {

// Moves the content on by a fixed distance once, when it has scrolled past a line: what a view does
// whose content repeats, to keep the finger over the middle copy.
class Jumper : public UIScrollViewDelegate {
public:
    CGFloat line = 1e9;
    CGFloat jump = 0;
    bool jumped = false;

    void scrollViewDidScroll(UIScrollView& view) override {
        if (jumped || view.contentOffset().y < line) return;
        jumped = true;
        view.setContentOffset({0, view.contentOffset().y + jump});
    }
};

class ScrollViewOffset : public quorvel::testing::TouchTest {
protected:
    std::shared_ptr<UIScrollView> view = addView<UIScrollView>(window, CGRect(0, 0, 375, 667));
    std::shared_ptr<Jumper> jumper = std::make_shared<Jumper>();

    void SetUp() override {
        TouchTest::SetUp();
        view->setContentSize({375, 5000});
        view->setDelegate(jumper);
    }
};

}  // namespace

TEST_F(ScrollViewOffset, ADragGoesOnFromAnOffsetSetUnderTheFinger) {
    // A slow drag of 300 points, so that the content does not glide after it.
    const auto slow = {TouchDriver::Step{0, TouchDriver::Kind::down, {180, 500}},
                       TouchDriver::Step{0.2, TouchDriver::Kind::move, {180, 350}},
                       TouchDriver::Step{0.4, TouchDriver::Kind::move, {180, 200}},
                       TouchDriver::Step{1.0, TouchDriver::Kind::up, {180, 200}}};
    driver.play(slow);
    clock->advance(2);
    const CGFloat plain = view->contentOffset().y;
    EXPECT_NEAR(plain, 290, 1e-6) << "the finger's 300 points less the pan's 10 to begin";

    view->setContentOffset({0, 0});
    jumper->line = 100;
    jumper->jump = 1000;
    driver.play(slow);
    clock->advance(2);
    EXPECT_TRUE(jumper->jumped);
    EXPECT_NEAR(view->contentOffset().y, plain + 1000, 1e-6);
}
