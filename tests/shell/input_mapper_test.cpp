#include <gtest/gtest.h>

#include <cstdio>

#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/touches/ui_event.h"
#include "shell/input_mapper.h"
#include "tests/platform/uikit/default_device.h"

using namespace platform;
using quorvel::shell::DeviceViewport;
using quorvel::shell::InputMapper;

namespace {

// Writes "phase x,y" for every touch it handles, at the touch's place in the window.
class TouchLog : public UIView {
public:
    using UIView::UIView;
    std::vector<std::string> entries;

    void touchesBegan(const UITouchSet& t, const UIEvent*) override { note("began", t); }
    void touchesMoved(const UITouchSet& t, const UIEvent*) override { note("moved", t); }
    void touchesEnded(const UITouchSet& t, const UIEvent*) override { note("ended", t); }
    void touchesCancelled(const UITouchSet& t, const UIEvent*) override { note("cancelled", t); }

private:
    void note(const char* phase, const UITouchSet& touches) {
        for (const auto& touch : touches) {
            const CGPoint p = touch->locationInView(nullptr);
            char text[64];
            std::snprintf(text, sizeof text, "%s %g,%g", phase, p.x, p.y);
            entries.push_back(text);
        }
    }
};

SDL_Event mouseButton(Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT, Uint32 which = 0) {
    SDL_Event e{};
    e.button.type = type;
    e.button.button = button;
    e.button.which = which;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event mouseMotion(int x, int y, Uint32 which = 0) {
    SDL_Event e{};
    e.motion.type = SDL_MOUSEMOTION;
    e.motion.which = which;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

SDL_Event finger(Uint32 type, SDL_FingerID id, float x, float y, SDL_TouchID device = 7) {
    SDL_Event e{};
    e.tfinger.type = type;
    e.tfinger.touchId = device;
    e.tfinger.fingerId = id;
    e.tfinger.x = x;
    e.tfinger.y = y;
    return e;
}

class InputMapperTest : public ::testing::Test {
protected:
    void SetUp() override {
        quorvel::testing::restoreDefaultDevice();
        window->addSubview(view);
        window->makeKeyAndVisible();
    }

    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGRect(0, 0, 375, 667));
    std::shared_ptr<TouchLog> view = std::make_shared<TouchLog>(CGRect(0, 0, 375, 667));
    TouchInput touches;
    InputMapper mapper{touches};
    // The phone's screen in a window the user widened to 500 × 667 units, on a display with two
    // pixels a unit: two pixels a point, the screen 62.5 units from the window's left edge.
    DeviceViewport viewport{{375, 667}, {500, 667}, {1000, 1334}};
};

}  // namespace

TEST_F(InputMapperTest, TheLeftButtonIsAFingerAtThePointUnderThePointer) {
    EXPECT_FALSE(mapper.handle(mouseMotion(100, 100), viewport));  // hovering touches nothing
    EXPECT_FALSE(mapper.handle(mouseButton(SDL_MOUSEBUTTONDOWN, 100, 100, SDL_BUTTON_RIGHT), viewport));
    EXPECT_TRUE(mapper.handle(mouseButton(SDL_MOUSEBUTTONDOWN, 162, 50), viewport));
    EXPECT_TRUE(mapper.handle(mouseMotion(172, 80), viewport));
    EXPECT_TRUE(mapper.handle(mouseButton(SDL_MOUSEBUTTONUP, 182, 90), viewport));
    EXPECT_FALSE(mapper.handle(mouseMotion(190, 90), viewport));
    EXPECT_EQ(view->entries, (std::vector<std::string>{"began 99.5,50", "moved 109.5,80", "ended 119.5,90"}));
}

TEST_F(InputMapperTest, APressOnTheBorderTouchesNothingAndADragStopsAtTheScreensEdge) {
    EXPECT_FALSE(mapper.handle(mouseButton(SDL_MOUSEBUTTONDOWN, 30, 300), viewport));
    EXPECT_FALSE(mapper.handle(mouseButton(SDL_MOUSEBUTTONUP, 30, 300), viewport));
    EXPECT_TRUE(view->entries.empty());

    mapper.handle(mouseButton(SDL_MOUSEBUTTONDOWN, 400, 600), viewport);
    mapper.handle(mouseMotion(480, 700), viewport);
    mapper.handle(mouseButton(SDL_MOUSEBUTTONUP, 490, 720), viewport);
    EXPECT_EQ(view->entries, (std::vector<std::string>{"began 337.5,600", "moved 375,667", "ended 375,667"}));
}

TEST_F(InputMapperTest, TouchScreenFingersAreFingersOfTheirOwnAndSDLsMouseCopiesAreSkipped) {
    // Fractions of the window: x 0.5 is unit 250, point 187.5.
    EXPECT_TRUE(mapper.handle(finger(SDL_FINGERDOWN, 41, 0.5f, 0.25f), viewport));
    EXPECT_FALSE(mapper.handle(mouseButton(SDL_MOUSEBUTTONDOWN, 250, 166, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID),
                               viewport));
    EXPECT_TRUE(mapper.handle(finger(SDL_FINGERDOWN, 42, 0.75f, 0.5f), viewport));
    EXPECT_TRUE(mapper.handle(finger(SDL_FINGERUP, 41, 0.5f, 0.25f), viewport));
    EXPECT_FALSE(mapper.handle(finger(SDL_FINGERMOTION, 41, 0.6f, 0.25f), viewport));  // lifted already
    EXPECT_TRUE(mapper.handle(finger(SDL_FINGERUP, 42, 0.75f, 0.5f), viewport));
    // A touch device SDL makes up from the mouse is the mouse, already handled.
    EXPECT_FALSE(mapper.handle(finger(SDL_FINGERDOWN, 1, 0.5f, 0.5f, SDL_MOUSE_TOUCHID), viewport));
    EXPECT_EQ(view->entries, (std::vector<std::string>{"began 187.5,166.75", "began 312.5,333.5",
                                                       "ended 187.5,166.75", "ended 312.5,333.5"}));
}

TEST_F(InputMapperTest, CancellingLiftsEveryFingerWithoutEffect) {
    mapper.handle(mouseButton(SDL_MOUSEBUTTONDOWN, 162, 50), viewport);
    mapper.handle(finger(SDL_FINGERDOWN, 9, 0.5f, 0.5f), viewport);
    mapper.cancelAll();
    EXPECT_FALSE(mapper.handle(mouseButton(SDL_MOUSEBUTTONUP, 162, 50), viewport));
    EXPECT_FALSE(mapper.handle(finger(SDL_FINGERUP, 9, 0.5f, 0.5f), viewport));
    ASSERT_EQ(view->entries.size(), 4u);
    EXPECT_EQ(view->entries[2].substr(0, 9), "cancelled");
    EXPECT_EQ(view->entries[3].substr(0, 9), "cancelled");
}
