#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/uikit/views/ui_view.h"

using namespace platform;

namespace {

// Counts its layouts, records them in a shared log and can run a step inside layoutSubviews.
class LoggingView : public UIView {
public:
    LoggingView(std::string name, std::vector<std::string>* log, const CGRect& frame = CGRect(0, 0, 100, 100))
        : UIView(frame), name_(std::move(name)), log_(log) {}
    void layoutSubviews() override {
        ++layouts;
        if (log_) log_->push_back(name_);
        if (during) during(*this);
    }
    int layouts = 0;
    std::function<void(LoggingView&)> during;

private:
    std::string name_;
    std::vector<std::string>* log_;
};

}  // namespace

TEST(DeferredLayout, ManyRequestsLayOutOncePerPass) {
    auto clock = VirtualClock::install();
    auto view = std::make_shared<LoggingView>("v", nullptr);
    view->setNeedsLayout();
    view->setNeedsLayout();
    view->setFrame(CGRect(0, 0, 50, 50));
    EXPECT_EQ(view->layouts, 0);
    clock->runUntilIdle();
    EXPECT_EQ(view->layouts, 1);
    clock->runUntilIdle();
    EXPECT_EQ(view->layouts, 1);
    view->setNeedsLayout();
    clock->runUntilIdle();
    EXPECT_EQ(view->layouts, 2);
}

TEST(DeferredLayout, SuperviewsBeforeSubviewsAndOnlyMarkedOnes) {
    auto clock = VirtualClock::install();
    std::vector<std::string> log;
    auto root = std::make_shared<LoggingView>("root", &log);
    auto a = std::make_shared<LoggingView>("a", &log);
    auto b = std::make_shared<LoggingView>("b", &log);
    auto a1 = std::make_shared<LoggingView>("a1", &log);
    root->addSubview(a);
    root->addSubview(b);
    a->addSubview(a1);
    clock->runUntilIdle();
    log.clear();

    a1->setNeedsLayout();
    root->setNeedsLayout();
    clock->runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"root", "a1"}));
}

TEST(DeferredLayout, MovingKeepsTheLayoutButResizingAsksForOne) {
    auto clock = VirtualClock::install();
    auto view = std::make_shared<LoggingView>("v", nullptr);
    clock->runUntilIdle();
    view->setCenter(CGPoint{300, 300});
    view->setFrame(CGRect(10, 10, 100, 100));
    clock->runUntilIdle();
    EXPECT_EQ(view->layouts, 0);
    view->setBounds(CGRect(0, 0, 120, 100));
    clock->runUntilIdle();
    EXPECT_EQ(view->layouts, 1);
}

TEST(DeferredLayout, LayoutIfNeededRunsAtOnceAndThePassDoesNotRepeatIt) {
    auto clock = VirtualClock::install();
    std::vector<std::string> log;
    auto root = std::make_shared<LoggingView>("root", &log);
    auto child = std::make_shared<LoggingView>("child", &log);
    root->addSubview(child);
    root->setNeedsLayout();
    // Asking the child lays out the marked superview first.
    child->layoutIfNeeded();
    EXPECT_EQ(log, (std::vector<std::string>{"root", "child"}));
    clock->runUntilIdle();
    EXPECT_EQ(log.size(), 2u);
}

TEST(DeferredLayout, LayoutIfNeededInsideLayoutSubviewsDoesNotRecurse) {
    auto clock = VirtualClock::install();
    std::vector<std::string> log;
    auto root = std::make_shared<LoggingView>("root", &log);
    auto child = std::make_shared<LoggingView>("child", &log);
    root->addSubview(child);
    root->setNeedsLayout();
    root->during = [&](LoggingView& self) {
        // Asks for itself again and lays out its tree from inside its own layout.
        self.setNeedsLayout();
        child->setNeedsLayout();
        self.layoutIfNeeded();
        root->layoutIfNeeded();
    };
    clock->runUntilIdle();
    EXPECT_EQ(root->layouts, 1);
    EXPECT_EQ(child->layouts, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"root", "child"}));
}

TEST(DeferredLayout, RebuildingSubviewsInLayoutSubviewsSettles) {
    // A view that replaces its content on every layout must not mark itself again by doing so.
    auto clock = VirtualClock::install();
    auto view = std::make_shared<LoggingView>("v", nullptr);
    view->during = [](LoggingView& self) {
        for (auto& sub : std::vector(self.subviews())) sub->removeFromSuperview();
        self.addSubview(std::make_shared<UIView>(self.bounds()));
    };
    view->setNeedsLayout();
    clock->runUntilIdle();
    EXPECT_EQ(view->layouts, 1);
    EXPECT_EQ(view->subviews().size(), 1u);
}

TEST(DeferredLayout, PassStillRunsAfterTheRunLoopWasReset) {
    auto clock = VirtualClock::install();
    auto view = std::make_shared<LoggingView>("v", nullptr);
    view->setNeedsLayout();
    clock = VirtualClock::install();  // drops the queued pass
    view->setNeedsLayout();
    clock->runUntilIdle();
    EXPECT_EQ(view->layouts, 1);
}

TEST(DeferredLayout, SubviewDestroyedByItsSuperviewsLayoutIsSkipped) {
    auto clock = VirtualClock::install();
    auto root = std::make_shared<LoggingView>("root", nullptr);
    auto doomed = std::make_shared<LoggingView>("doomed", nullptr);
    root->addSubview(doomed);
    std::weak_ptr<LoggingView> weak = doomed;
    doomed.reset();
    root->during = [](LoggingView& self) { self.subviews().front()->removeFromSuperview(); };
    root->setNeedsLayout();
    clock->runUntilIdle();
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(root->subviews().empty());
}

TEST(DeferredLayout, SubtreeTakenOutWithWorkPendingIsStillLaidOut) {
    auto clock = VirtualClock::install();
    std::vector<std::string> log;
    auto root = std::make_shared<LoggingView>("root", &log);
    auto a = std::make_shared<LoggingView>("a", &log);
    auto a1 = std::make_shared<LoggingView>("a1", &log);
    root->addSubview(a);
    a->addSubview(a1);
    clock->runUntilIdle();
    log.clear();

    a1->setNeedsLayout();
    a->removeFromSuperview();
    clock->runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"a1"})) << "the pass of the old tree no longer reaches it";
    log.clear();
    a1->setNeedsLayout();
    clock->runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"a1"}));
}

TEST(Autoresizing, FlexiblePartsShareTheChangeInProportion) {
    auto parent = std::make_shared<UIView>(CGRect(0, 0, 100, 100));
    auto bar = std::make_shared<UIView>(CGRect(10, 10, 80, 20));
    bar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleBottomMargin);
    auto box = std::make_shared<UIView>(CGRect(10, 20, 60, 40));
    box->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin |
                             UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    parent->addSubview(bar);
    parent->addSubview(box);
    parent->setFrame(CGRect(0, 0, 200, 140));
    EXPECT_EQ(bar->frame(), CGRect(10, 10, 180, 20));  // the width alone takes +100
    // Width margins 10 | 60 | 30 share +100; the height alone takes +40.
    EXPECT_EQ(box->frame(), CGRect(20, 20, 120, 80));
}

TEST(Autoresizing, FixedConstrainedAndSwitchedOffViewsStayPut) {
    auto parent = std::make_shared<UIView>(CGRect(0, 0, 100, 100));
    auto fixed = std::make_shared<UIView>(CGRect(10, 10, 10, 10));
    auto constrained = std::make_shared<UIView>(CGRect(10, 10, 10, 10));
    constrained->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    constrained->setTranslatesAutoresizingMaskIntoConstraints(false);
    parent->addSubview(fixed);
    parent->addSubview(constrained);
    parent->setBounds(CGRect(0, 0, 300, 300));
    EXPECT_EQ(fixed->frame(), CGRect(10, 10, 10, 10));
    EXPECT_EQ(constrained->frame(), CGRect(10, 10, 10, 10));
    auto child = std::make_shared<UIView>(CGRect(0, 0, 100, 100));
    child->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    parent->addSubview(child);
    parent->setAutoresizesSubviews(false);
    parent->setBounds(CGRect(0, 0, 50, 50));
    EXPECT_EQ(child->frame().size.width, 100);
}
