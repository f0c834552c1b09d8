// Touch to callback in a 500-view tree: the hit test down to a leaf, the walk up for recognisers, the
// arbitration and the delivery through the responder chain, until a tap recogniser's action, a
// button's touch-up-inside or a pan's change runs.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/touches/touch_input.h"
#include "platform/uikit/touches/ui_pan_gesture_recognizer.h"
#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"

using namespace platform;

namespace {

constexpr int kRows = 20, kCells = 4, kLeaves = 5;

// Window → 20 rows → 4 cells each → 5 leaves each: 500 views below the window. The first leaf of
// the first and the last row is a button; the cells of those rows carry a tap recogniser, the window a
// pan recogniser.
struct Scene {
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGRect(0, 0, 375, 667));
    long taps = 0, presses = 0, pans = 0;

    Scene() {
        window->makeKeyAndVisible();
        const CGFloat rowHeight = 667.0 / kRows;
        for (int r = 0; r < kRows; ++r) {
            auto row = std::make_shared<UIView>(CGRect(0, r * rowHeight, 375, rowHeight));
            window->addSubview(row);
            for (int c = 0; c < kCells; ++c) {
                auto cell = std::make_shared<UIView>(CGRect(c * 93.75, 0, 93.75, rowHeight));
                row->addSubview(cell);
                const bool edge = r == 0 || r == kRows - 1;
                if (edge) {
                    cell->addGestureRecognizer(
                        std::make_shared<UITapGestureRecognizer>([this](UIGestureRecognizer&) { ++taps; }));
                }
                for (int l = 0; l < kLeaves; ++l) {
                    const CGRect frame(l * 18.75, 0, 18.75, rowHeight);
                    if (edge && l == 0) {
                        auto button = UIButton::buttonWithType(UIButtonType::custom);
                        button->setFrame(frame);
                        button->addTarget(
                            this, [this](UIControl&) { ++presses; }, UIControlEventTouchUpInside);
                        cell->addSubview(button);
                    } else {
                        cell->addSubview(std::make_shared<UIView>(frame));
                    }
                }
            }
        }
        window->addGestureRecognizer(
            std::make_shared<UIPanGestureRecognizer>([this](UIGestureRecognizer&) { ++pans; }));
    }
};

// Taps alternate between the first and the last row so that no two make a double tap.
void tapBetween(benchmark::State& state, CGPoint first, CGPoint second, long Scene::*count) {
    VirtualClock::install();
    Scene scene;
    TouchInput input;
    bool flip = false;
    for (auto _ : state) {
        const CGPoint at = flip ? second : first;
        flip = !flip;
        input.down(at);
        input.up(at);
    }
    if (scene.*count != long(state.iterations())) state.SkipWithError("a tap went astray");
    state.SetItemsProcessed(state.iterations());
}

void BM_TapToRecognizer(benchmark::State& state) {
    tapBetween(state, {50, 10}, {50, 650}, &Scene::taps);
}
BENCHMARK(BM_TapToRecognizer);

void BM_TapToControl(benchmark::State& state) {
    tapBetween(state, {5, 10}, {5, 650}, &Scene::presses);
}
BENCHMARK(BM_TapToControl);

// One move of a drag in progress, to the window's pan.
void BM_PanMove(benchmark::State& state) {
    VirtualClock::install();
    Scene scene;
    TouchInput input;
    input.down({200, 300});
    CGFloat x = 200;
    for (auto _ : state) {
        x = x > 360 ? 20 : x + 1;
        input.move({x, 300});
    }
    input.up({x, 300});
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PanMove);

}  // namespace

BENCHMARK_MAIN();
