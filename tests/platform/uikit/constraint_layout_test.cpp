#include <gtest/gtest.h>

#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/layout/ui_stack_view.h"
#include "platform/uikit/views/ui_view.h"

using namespace platform;

namespace {

// A view with a fixed content size (a zero extent means none along that axis).
class Sized : public UIView {
public:
    Sized(CGFloat w, CGFloat h) : size_{w ? w : UIViewNoIntrinsicMetric, h ? h : UIViewNoIntrinsicMetric} {}
    CGSize intrinsicContentSize() const override { return size_; }

private:
    CGSize size_;
};

std::shared_ptr<UIView> constrainedChild(const std::shared_ptr<UIView>& parent) {
    auto v = std::make_shared<UIView>();
    v->setTranslatesAutoresizingMaskIntoConstraints(false);
    parent->addSubview(v);
    return v;
}

void expectFrame(const std::shared_ptr<UIView>& v, const CGRect& expected) {
    CGRect f = v->frame();
    EXPECT_NEAR(f.origin.x, expected.origin.x, 1e-6);
    EXPECT_NEAR(f.origin.y, expected.origin.y, 1e-6);
    EXPECT_NEAR(f.size.width, expected.size.width, 1e-6);
    EXPECT_NEAR(f.size.height, expected.size.height, 1e-6);
}

// A sheet that slides in: the holder's top sits below the root at `hidePriority`, competing with a
// 750 constraint that rests its bottom on the root's bottom. Inside, the timer screen's four parts take
// 30, 10, 36 and 24 % of the holder's height.
struct Sheet {
    std::shared_ptr<UIView> root = std::make_shared<UIView>(CGRect(0, 0, 375, 667));
    std::shared_ptr<UIStackView> holder = std::make_shared<UIStackView>();
    std::vector<std::shared_ptr<UIView>> parts;
    std::shared_ptr<NSLayoutConstraint> top;

    explicit Sheet(float hidePriority) {
        holder->setAxis(UILayoutConstraintAxis::vertical);
        holder->setTranslatesAutoresizingMaskIntoConstraints(false);
        root->addSubview(holder);
        top = holder->topAnchor().constraintEqualToAnchor(root->bottomAnchor());
        top->setPriority(hidePriority);
        auto shown = holder->bottomAnchor().constraintEqualToAnchor(root->bottomAnchor());
        shown->setPriority(750);
        NSLayoutConstraint::activateConstraints(
            {top, shown, holder->leadingAnchor().constraintEqualToAnchor(root->leadingAnchor()),
             holder->trailingAnchor().constraintEqualToAnchor(root->trailingAnchor()),
             holder->heightAnchor().constraintEqualToAnchorMultiplier(root->heightAnchor(), 0.5)});
        std::vector<std::shared_ptr<NSLayoutConstraint>> heights;
        for (double fraction : {0.30, 0.10, 0.36, 0.24}) {
            auto part = std::make_shared<UIView>();
            holder->addArrangedSubview(part);
            heights.push_back(
                part->heightAnchor().constraintEqualToAnchorMultiplier(holder->heightAnchor(), fraction));
            parts.push_back(part);
        }
        NSLayoutConstraint::activateConstraints(heights);
    }
};

}  // namespace

TEST(ConstraintLayout, FourPartStackAtSeveralHeightsWithPriorityDeciding) {
    auto clock = VirtualClock::install();
    for (float priority : {749.0f, 751.0f}) {
        Sheet sheet(priority);
        for (double height : {400.0, 667.0, 1024.0}) {
            sheet.root->setFrame(CGRect(0, 0, 375, height));
            clock->runUntilIdle();
            double h = height / 2;
            double holderY = priority > 750 ? height : height - h;
            expectFrame(sheet.holder, CGRect(0, holderY, 375, h));
            double y = 0;
            int i = 0;
            for (double fraction : {0.30, 0.10, 0.36, 0.24}) {
                SCOPED_TRACE(testing::Message()
                             << "priority " << priority << " height " << height << " part " << i);
                expectFrame(sheet.parts[i++], CGRect(0, y, 375, h * fraction));
                y += h * fraction;
            }
        }
    }
}

TEST(ConstraintLayout, PinnedEdgesFromTheVisualFormat) {
    auto clock = VirtualClock::install();
    auto root = std::make_shared<UIView>(CGRect(0, 0, 300, 200));
    auto table = constrainedChild(root);
    auto h = NSLayoutConstraint::constraintsWithVisualFormat("H:|-0-[view]-0-|", {{"view", table}});
    auto v = NSLayoutConstraint::constraintsWithVisualFormat("V:|-10-[view]-20-|", {{"view", table}});
    ASSERT_EQ(h.size(), 2u);
    ASSERT_EQ(v.size(), 2u);
    root->addConstraints(h);
    root->addConstraints(v);
    root->layoutIfNeeded();
    expectFrame(table, CGRect(0, 10, 300, 170));
    EXPECT_EQ(root->constraints().size(), 4u);
    EXPECT_TRUE(
        NSLayoutConstraint::constraintsWithVisualFormat("H:|-0-[missing]-0-|", {{"view", table}}).empty());
    EXPECT_TRUE(NSLayoutConstraint::constraintsWithVisualFormat("H:|-0-[view", {{"view", table}}).empty());
}

TEST(ConstraintLayout, CentredFixedSizeFollowsTheSuperview) {
    auto clock = VirtualClock::install();
    auto root = std::make_shared<UIView>(CGRect(0, 0, 300, 200));
    auto ring = constrainedChild(root);
    NSLayoutConstraint::activateConstraints(
        {ring->widthAnchor().constraintEqualToConstant(118),
         ring->heightAnchor().constraintEqualToConstant(118),
         ring->centerXAnchor().constraintEqualToAnchor(root->centerXAnchor()),
         ring->centerYAnchor().constraintEqualToAnchor(root->centerYAnchor())});
    clock->runUntilIdle();
    expectFrame(ring, CGRect(91, 41, 118, 118));
    root->setBounds(CGRect(0, 0, 500, 400));
    clock->runUntilIdle();
    expectFrame(ring, CGRect(191, 141, 118, 118));
}

TEST(ConstraintLayout, UnderdeterminedViewKeepsWhatItHas) {
    auto clock = VirtualClock::install();
    auto root = std::make_shared<UIView>(CGRect(0, 0, 300, 200));
    auto ring = constrainedChild(root);
    ring->setFrame(CGRect(20, 30, 10, 10));
    auto width = ring->widthAnchor().constraintEqualToConstant(118);
    width->setActive(true);
    root->layoutIfNeeded();
    expectFrame(ring, CGRect(20, 30, 118, 10));
    width->setConstant(131);
    root->layoutIfNeeded();
    expectFrame(ring, CGRect(20, 30, 131, 10));
}

TEST(ConstraintLayout, RemovingAViewDropsTheConstraintsThatCrossItsSubtree) {
    auto clock = VirtualClock::install();
    auto root = std::make_shared<UIView>(CGRect(0, 0, 300, 200));
    auto part = constrainedChild(root);
    auto inner = constrainedChild(part);
    auto toRoot = part->heightAnchor().constraintEqualToAnchorMultiplier(root->heightAnchor(), 0.3);
    auto own = part->widthAnchor().constraintEqualToConstant(50);
    auto innerToRoot = inner->topAnchor().constraintEqualToAnchor(root->topAnchor());
    auto innerToPart = inner->topAnchor().constraintEqualToAnchor(part->topAnchor());
    NSLayoutConstraint::activateConstraints({toRoot, own, innerToRoot, innerToPart});
    EXPECT_EQ(toRoot->owner(), root.get());
    EXPECT_EQ(innerToPart->owner(), part.get());
    part->removeFromSuperview();
    EXPECT_FALSE(toRoot->isActive());
    EXPECT_FALSE(innerToRoot->isActive());
    EXPECT_TRUE(own->isActive());
    EXPECT_TRUE(innerToPart->isActive());
    EXPECT_TRUE(root->constraints().empty());
}

TEST(ConstraintLayout, RearrangingTwiceLeavesOneSetOfHeights) {
    auto clock = VirtualClock::install();
    auto holder = std::make_shared<UIStackView>(CGRect(0, 0, 100, 400));
    holder->setAxis(UILayoutConstraintAxis::vertical);
    std::vector<std::shared_ptr<UIView>> parts;
    for (int i = 0; i < 4; ++i) parts.push_back(std::make_shared<UIView>());
    for (int round = 0; round < 2; ++round) {
        for (auto& sub : std::vector(holder->subviews())) sub->removeFromSuperview();
        std::vector<std::shared_ptr<NSLayoutConstraint>> heights;
        for (auto& part : parts) holder->addArrangedSubview(part);
        for (size_t i = 0; i < 2; ++i) {
            heights.push_back(parts[i]->heightAnchor().constraintEqualToAnchorMultiplier(
                holder->heightAnchor(), 0.65 - 0.3 * i));
        }
        // Phone landscape: the last two parts leave again.
        parts[2]->removeFromSuperview();
        parts[3]->removeFromSuperview();
        NSLayoutConstraint::activateConstraints(heights);
        holder->layoutIfNeeded();
    }
    int heights = 0;
    for (auto* c : parts[0]->constraintsNamingThisView()) {
        heights += c->firstAttribute() == NSLayoutAttribute::height && c->firstItem() == parts[0].get();
    }
    EXPECT_EQ(heights, 1);
    EXPECT_TRUE(parts[2]->constraintsNamingThisView().empty());
    expectFrame(parts[0], CGRect(0, 0, 100, 260));
    expectFrame(parts[1], CGRect(0, 260, 100, 140));
}

TEST(ConstraintLayout, ViewsInTwoTreesCannotBeTied) {
    Console::Capture console;
    auto a = std::make_shared<UIView>(), b = std::make_shared<UIView>();
    auto c = a->widthAnchor().constraintEqualToAnchor(b->widthAnchor());
    c->setActive(true);
    EXPECT_FALSE(c->isActive());
    EXPECT_EQ(console.lines().size(), 1u);
}

TEST(ConstraintLayout, ConstraintOutlivingItsViewNamesNothing) {
    auto root = std::make_shared<UIView>();
    auto child = constrainedChild(root);
    auto c = child->heightAnchor().constraintEqualToAnchor(root->heightAnchor());
    c->setActive(true);
    child->removeFromSuperview();
    child.reset();
    EXPECT_FALSE(c->isActive());
    EXPECT_EQ(c->firstItem(), nullptr);
    c->setActive(true);
    EXPECT_FALSE(c->isActive());
    c->setConstant(3);  // harmless
}

TEST(StackView, FillEquallyWithSpacing) {
    auto clock = VirtualClock::install();
    auto stack = std::make_shared<UIStackView>(CGRect(0, 0, 320, 50));
    stack->setDistribution(UIStackViewDistribution::fillEqually);
    stack->setSpacing(10);
    std::vector<std::shared_ptr<UIView>> v;
    for (int i = 0; i < 3; ++i) stack->addArrangedSubview(v.emplace_back(std::make_shared<UIView>()));
    stack->layoutIfNeeded();
    expectFrame(v[0], CGRect(0, 0, 100, 50));
    expectFrame(v[1], CGRect(110, 0, 100, 50));
    expectFrame(v[2], CGRect(220, 0, 100, 50));
    // A hidden view takes no room and no spacing.
    v[1]->setHidden(true);
    stack->layoutIfNeeded();
    expectFrame(v[0], CGRect(0, 0, 155, 50));
    expectFrame(v[2], CGRect(165, 0, 155, 50));
}

TEST(StackView, FillProportionallyByContentSize) {
    auto clock = VirtualClock::install();
    auto stack = std::make_shared<UIStackView>(CGRect(0, 0, 100, 300));
    stack->setAxis(UILayoutConstraintAxis::vertical);
    stack->setDistribution(UIStackViewDistribution::fillProportionally);
    auto a = std::make_shared<Sized>(0, 10), b = std::make_shared<Sized>(0, 20);
    stack->addArrangedSubview(a);
    stack->addArrangedSubview(b);
    clock->runUntilIdle();
    expectFrame(a, CGRect(0, 0, 100, 100));
    expectFrame(b, CGRect(0, 100, 100, 200));
}

TEST(StackView, CentredAlignmentKeepsContentSizeAcross) {
    auto clock = VirtualClock::install();
    auto stack = std::make_shared<UIStackView>(CGRect(0, 0, 100, 100));
    stack->setAxis(UILayoutConstraintAxis::vertical);
    stack->setAlignment(UIStackViewAlignment::center);
    auto a = std::make_shared<Sized>(40, 20);
    stack->addArrangedSubview(a);
    clock->runUntilIdle();
    // Across: 40 wide, centred. Along: the stack's edges win over the content height.
    expectFrame(a, CGRect(30, 0, 40, 100));
    a->removeFromSuperview();
    EXPECT_TRUE(stack->arrangedSubviews().empty());
}
