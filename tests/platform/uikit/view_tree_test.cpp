#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/views/ui_view.h"

using namespace platform;

namespace {

class HookView : public UIView {
public:
    explicit HookView(std::vector<std::string>* log) : log_(log) {}
    void willMoveToSuperview(UIView* s) override {
        log_->push_back(s ? "willMoveToSuperview" : "willLeaveSuperview");
    }
    void didMoveToSuperview() override { log_->push_back("didMoveToSuperview"); }
    void willMoveToWindow(UIWindow* w) override {
        log_->push_back(w ? "willMoveToWindow" : "willLeaveWindow");
    }
    void didMoveToWindow() override { log_->push_back("didMoveToWindow"); }

private:
    std::vector<std::string>* log_;
};

std::vector<long> tags(const UIView& v) {
    std::vector<long> t;
    for (auto& s : v.subviews()) t.push_back(s->tag());
    return t;
}

std::shared_ptr<UIView> tagged(long tag, const CGRect& frame = CGRect(0, 0, 10, 10)) {
    auto v = std::make_shared<UIView>(frame);
    v->setTag(tag);
    return v;
}

void expectNear(CGPoint a, CGPoint b) {
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.y, b.y, 1e-9);
}

}  // namespace

TEST(ViewTree, InsertReorderAndRemove) {
    auto root = std::make_shared<UIView>();
    auto a = tagged(1), b = tagged(2), c = tagged(3), d = tagged(4);
    root->addSubview(a);
    root->addSubview(b);
    root->insertSubview(c, 0);
    EXPECT_EQ(tags(*root), (std::vector<long>{3, 1, 2}));
    root->insertSubviewAboveSubview(d, c);
    EXPECT_EQ(tags(*root), (std::vector<long>{3, 4, 1, 2}));
    root->insertSubviewBelowSubview(b, d);
    EXPECT_EQ(tags(*root), (std::vector<long>{3, 2, 4, 1}));
    root->bringSubviewToFront(c);
    root->sendSubviewToBack(a);
    EXPECT_EQ(tags(*root), (std::vector<long>{1, 2, 4, 3}));
    root->insertSubview(tagged(5), 99);
    EXPECT_EQ(tags(*root).back(), 5);
    d->removeFromSuperview();
    EXPECT_EQ(tags(*root), (std::vector<long>{1, 2, 3, 5}));
    EXPECT_EQ(d->superview(), nullptr);
    EXPECT_EQ(root->viewWithTag(3), c);
}

TEST(ViewTree, AddingMovesAViewAndRefusesCycles) {
    auto a = std::make_shared<UIView>(), b = std::make_shared<UIView>(), other = std::make_shared<UIView>();
    other->addSubview(b);
    a->addSubview(b);
    EXPECT_TRUE(other->subviews().empty());
    b->addSubview(a);
    a->addSubview(a);
    EXPECT_EQ(a->superview(), nullptr);
    EXPECT_EQ(a->subviews().size(), 1u);
    EXPECT_TRUE(b->subviews().empty());
}

TEST(ViewTree, HooksInPlatformOrder) {
    std::vector<std::string> log;
    auto window = std::make_shared<UIWindow>(CGRect(0, 0, 100, 100));
    auto v = std::make_shared<HookView>(&log);
    window->addSubview(v);
    EXPECT_EQ(log, (std::vector<std::string>{"willMoveToSuperview", "willMoveToWindow", "didMoveToWindow",
                                             "didMoveToSuperview"}));
    EXPECT_EQ(v->window(), window);
    log.clear();
    v->removeFromSuperview();
    EXPECT_EQ(log, (std::vector<std::string>{"willLeaveSuperview", "willLeaveWindow", "didMoveToWindow",
                                             "didMoveToSuperview"}));
    EXPECT_EQ(v->window(), nullptr);
}

TEST(ViewTree, DeallocHandlerAndSubviewsOutliveTheirSuperview) {
    bool released = false;
    auto child = std::make_shared<UIView>();
    {
        auto parent = std::make_shared<UIView>();
        parent->addDeallocHandler([&] { released = true; });
        parent->addSubview(child);
    }
    EXPECT_TRUE(released);
    EXPECT_EQ(child->superview(), nullptr);
}

TEST(ViewTree, TintColorIsInheritedUntilSet) {
    auto root = std::make_shared<UIView>(), child = std::make_shared<UIView>();
    root->addSubview(child);
    EXPECT_TRUE(child->tintColor()->isEqual(UIColor::colorWithRed(0, 122.0 / 255, 1, 1)));
    root->setTintColor(UIColor::redColor());
    EXPECT_TRUE(child->tintColor()->isEqual(UIColor::redColor()));
    child->setTintColor(UIColor::greenColor());
    EXPECT_TRUE(child->tintColor()->isEqual(UIColor::greenColor()));
}

TEST(ViewGeometry, FrameCenterAndBoundsAgree) {
    auto v = std::make_shared<UIView>(CGRect(10, 20, 100, 50));
    EXPECT_EQ(v->center(), (CGPoint{60, 45}));
    EXPECT_EQ(v->bounds(), CGRect(0, 0, 100, 50));
    v->setTransform(CGAffineTransformMakeScale(2, 2));
    EXPECT_EQ(v->frame(), CGRect(-40, -5, 200, 100));
    EXPECT_EQ(v->bounds(), CGRect(0, 0, 100, 50));
    v->setTransform(CGAffineTransformIdentity);
    v->setFrame(CGRect(0, 0, -20, 10));
    EXPECT_EQ(v->frame(), CGRect(-20, 0, 20, 10));
}

TEST(ViewCoordinates, ConvertAcrossATransformedHierarchy) {
    auto root = std::make_shared<UIView>(CGRect(0, 0, 400, 400));
    auto a = std::make_shared<UIView>(CGRect(100, 100, 100, 100));
    auto b = std::make_shared<UIView>(CGRect(10, 10, 20, 40));
    root->addSubview(a);
    a->addSubview(b);
    a->setTransform(CGAffineTransformMakeRotation(std::numbers::pi / 2));  // about a's centre (150, 150)
    b->setTransform(CGAffineTransformMakeScale(2, 2));                     // about b's centre (20, 30)
    // b's (0, 0) → a: (20, 30) + 2·(−10, −20) = (0, −10) → root: centre + R90·((0, −10) − (50, 50)).
    expectNear(b->convertPointToView(CGPoint{0, 0}, a), CGPoint{0, -10});
    expectNear(b->convertPointToView(CGPoint{0, 0}, root), CGPoint{150 + 60, 150 - 50});
    expectNear(root->convertPointToView(CGPoint{210, 100}, b), CGPoint{0, 0});
    expectNear(b->convertPointFromView(CGPoint{210, 100}, root), CGPoint{0, 0});
    // Between siblings and back.
    auto c = std::make_shared<UIView>(CGRect(300, 0, 50, 50));
    root->addSubview(c);
    CGPoint inC = b->convertPointToView(CGPoint{3, 7}, c);
    expectNear(c->convertPointToView(inC, b), CGPoint{3, 7});
    // A rotated rect maps to its bounding box.
    CGRect r = a->convertRectToView(a->bounds(), root);
    EXPECT_NEAR(r.origin.x, 100, 1e-9);
    EXPECT_NEAR(r.size.width, 100, 1e-9);
}

TEST(ViewCoordinates, NullViewMeansTheWindowAndWindowsMeetOnTheScreen) {
    auto w1 = std::make_shared<UIWindow>(CGRect(0, 0, 100, 100));
    auto w2 = std::make_shared<UIWindow>(CGRect(50, 50, 100, 100));
    auto v = std::make_shared<UIView>(CGRect(10, 10, 10, 10));
    w1->addSubview(v);
    EXPECT_EQ(v->convertPointToView(CGPoint{1, 1}, nullptr), (CGPoint{11, 11}));
    EXPECT_EQ(v->convertPointFromView(CGPoint{11, 11}, nullptr), (CGPoint{1, 1}));
    EXPECT_EQ(v->convertPointToView(CGPoint{0, 0}, w2), (CGPoint{-40, -40}));
}

TEST(HitTesting, DeepestInteractiveViewOnTop) {
    auto root = std::make_shared<UIView>(CGRect(0, 0, 200, 200));
    auto back = tagged(1, CGRect(0, 0, 100, 100));
    auto front = tagged(2, CGRect(50, 50, 100, 100));
    auto inner = tagged(3, CGRect(10, 10, 20, 20));
    root->addSubview(back);
    root->addSubview(front);
    front->addSubview(inner);
    EXPECT_EQ(root->hitTest(CGPoint{70, 70}, nullptr), inner);
    EXPECT_EQ(root->hitTest(CGPoint{90, 90}, nullptr), front);
    EXPECT_EQ(root->hitTest(CGPoint{20, 20}, nullptr), back);
    EXPECT_EQ(root->hitTest(CGPoint{190, 10}, nullptr), root);
    EXPECT_EQ(root->hitTest(CGPoint{250, 10}, nullptr), nullptr);
    inner->addSubview(tagged(4, CGRect(60, 0, 20, 20)));  // beyond inner's bounds: not hit there
    EXPECT_EQ(root->hitTest(CGPoint{125, 65}, nullptr), front);
}

namespace {

// A carousel-style item: turned 60° about the vertical axis, seen with a perspective of 500 points.
std::shared_ptr<UIView> perspectiveItem(const std::shared_ptr<UIView>& container) {
    auto item = tagged(9, CGRect(50, 50, 100, 100));
    container->addSubview(item);
    CATransform3D perspective = CATransform3D::identity();
    perspective.m34 = -1.0 / 500;
    item->layer()->setTransform(
        CATransform3D::makeRotation(std::numbers::pi / 3, 0, 1, 0).concat(perspective));
    return item;
}

}  // namespace

TEST(HitTesting, ConvertAndHitThroughAPerspectiveTransform) {
    auto container = std::make_shared<UIView>(CGRect(0, 0, 200, 200));
    auto item = perspectiveItem(container);
    double s = std::sqrt(3.0) / 2;
    // x' = x·cos60° / w with w = 1 + x·sin60°/500, x from the item's centre; y shrinks with the same w.
    double w = 1 + 40 * s / 500, x = 40 * 0.5 / w;
    expectNear(item->convertPointToView(CGPoint{90, 90}, container), CGPoint{100 + x, 100 + 40 / w});
    expectNear(container->convertPointToView(CGPoint{100 + x, 100}, item), CGPoint{90, 50});
    double right = 100 + 25 / (1 + 50 * s / 500);  // the far edge, drawn narrower: about 123.0
    double left = 100 - 25 / (1 - 50 * s / 500);   // the near edge, drawn wider: about 72.6
    EXPECT_EQ(container->hitTest(CGPoint{right - 0.5, 100}, nullptr), item);
    EXPECT_EQ(container->hitTest(CGPoint{right + 0.5, 100}, nullptr), container);
    EXPECT_EQ(container->hitTest(CGPoint{left + 0.5, 100}, nullptr), item);
    EXPECT_EQ(container->hitTest(CGPoint{left - 0.5, 100}, nullptr), container);
    EXPECT_LT(left, 75);  // without perspective the edge would be at 75
}
