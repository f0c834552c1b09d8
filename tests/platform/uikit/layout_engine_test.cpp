#include <gtest/gtest.h>

#include "platform/uikit/layout/layout_engine.h"

using namespace platform;

namespace {

using C = LayoutEngine::Component;
int var(int rect, C c) {
    return LayoutEngine::variable(rect, c);
}

}  // namespace

TEST(LayoutEngine, SizeOnlyKeepsPositionAndEdgeOnlyKeepsSize) {
    LayoutEngine engine;
    int a = engine.addRect(CGRect(10, 10, 50, 50));
    int b = engine.addRect(CGRect(10, 10, 50, 50));
    int untouched = engine.addRect(CGRect(5, 6, 7, 8));
    engine.addEquation({{var(a, C::kWidth), 1}}, 80, 1000);
    // b's right edge at 200
    engine.addEquation({{var(b, C::kMinX), 1}, {var(b, C::kWidth), 1}}, 200, 1000);
    auto frames = engine.solve();
    EXPECT_EQ(frames[a], CGRect(10, 10, 80, 50));
    EXPECT_EQ(frames[b], CGRect(150, 10, 50, 50));
    EXPECT_EQ(frames[untouched], CGRect(5, 6, 7, 8));
}

TEST(LayoutEngine, HigherPriorityWinsWhateverTheOrder) {
    for (float first : {749.0f, 751.0f}) {
        LayoutEngine engine;
        int a = engine.addRect(CGRect(0, 0, 10, 10));
        engine.addEquation({{var(a, C::kMinY), 1}}, 100, first);
        engine.addEquation({{var(a, C::kMinY), 1}}, 300, 750);
        EXPECT_EQ(engine.solve()[a].origin.y, first > 750 ? 100 : 300);
        EXPECT_EQ(engine.droppedCount(), 1u);
    }
}

TEST(LayoutEngine, ImpliedEquationIsNotAContradiction) {
    LayoutEngine engine;
    int a = engine.addRect(CGRect());
    engine.addEquation({{var(a, C::kMinX), 1}}, 10, 1000);
    engine.addEquation({{var(a, C::kWidth), 1}}, 30, 1000);
    engine.addEquation({{var(a, C::kMinX), 1}, {var(a, C::kWidth), 1}}, 40.0000000001, 1000);
    EXPECT_EQ(engine.solve()[a], CGRect(10, 0, 30, 0));
    EXPECT_EQ(engine.droppedCount(), 0u);
}
