// One frame of the interface model: a layout pass over a 500-view tree after its window changed size,
// then the presentation values of every layer (a quarter of them animating), as the renderer reads them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/quartzcore/ca_basic_animation.h"
#include "platform/quartzcore/ca_layer.h"
#include "platform/quartzcore/ca_media_time.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/layout/ui_stack_view.h"
#include "platform/uikit/views/ui_view.h"

using namespace platform;

namespace {

constexpr int kCards = 20;

// Root → 20 cards stacked by constraints → each a vertical stack of four parts with fractional heights →
// each part holding four autoresizing views and one centred, fixed-size constrained view: 501 views.
std::shared_ptr<UIView> buildTree(std::vector<std::shared_ptr<UIView>>& all) {
    auto root = std::make_shared<UIView>(CGRect(0, 0, 375, 667));
    all.push_back(root);
    std::shared_ptr<UIView> previous;
    std::vector<std::shared_ptr<NSLayoutConstraint>> constraints;
    for (int c = 0; c < kCards; ++c) {
        auto card = std::make_shared<UIStackView>();
        card->setAxis(UILayoutConstraintAxis::vertical);
        card->setTranslatesAutoresizingMaskIntoConstraints(false);
        root->addSubview(card);
        all.push_back(card);
        constraints.push_back(card->leadingAnchor().constraintEqualToAnchor(root->leadingAnchor()));
        constraints.push_back(card->trailingAnchor().constraintEqualToAnchor(root->trailingAnchor()));
        constraints.push_back(
            card->heightAnchor().constraintEqualToAnchorMultiplier(root->heightAnchor(), 1.0 / kCards));
        constraints.push_back(previous ? card->topAnchor().constraintEqualToAnchor(previous->bottomAnchor())
                                       : card->topAnchor().constraintEqualToAnchor(root->topAnchor()));
        previous = card;
        for (double fraction : {0.30, 0.10, 0.36, 0.24}) {
            auto part = std::make_shared<UIView>();
            card->addArrangedSubview(part);
            all.push_back(part);
            constraints.push_back(
                part->heightAnchor().constraintEqualToAnchorMultiplier(card->heightAnchor(), fraction));
            for (int i = 0; i < 4; ++i) {
                auto leaf = std::make_shared<UIView>(CGRect(4 + 90 * i, 2, 80, 10));
                leaf->setAutoresizingMask(
                    UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleWidth |
                    UIViewAutoresizingFlexibleRightMargin | UIViewAutoresizingFlexibleHeight);
                part->addSubview(leaf);
                all.push_back(leaf);
            }
            auto ring = std::make_shared<UIView>();
            ring->setTranslatesAutoresizingMaskIntoConstraints(false);
            part->addSubview(ring);
            all.push_back(ring);
            constraints.push_back(ring->widthAnchor().constraintEqualToConstant(12));
            constraints.push_back(ring->heightAnchor().constraintEqualToConstant(12));
            constraints.push_back(ring->centerXAnchor().constraintEqualToAnchor(part->centerXAnchor()));
            constraints.push_back(ring->centerYAnchor().constraintEqualToAnchor(part->centerYAnchor()));
        }
    }
    NSLayoutConstraint::activateConstraints(constraints);
    return root;
}

void BM_LayoutAndPresentation500Views(benchmark::State& state) {
    auto clock = VirtualClock::install();
    std::vector<std::shared_ptr<UIView>> all;
    auto root = buildTree(all);
    root->layoutIfNeeded();
    // A quarter of the views fade forever, so their presentation values differ from the model.
    auto fade = CABasicAnimation::animationWithKeyPath("opacity");
    fade->setFromValue(1.0);
    fade->setToValue(0.2);
    fade->setDuration(1);
    fade->setRepeatCount(CAAnimation::kRepeatForever);
    for (size_t i = 0; i < all.size(); i += 4) all[i]->layer()->addAnimation(fade, "fade");

    // The pass really resolves the tree: the last card ends at the bottom, its last ring is centred.
    root->setFrame(CGRect(0, 0, 414, 736));
    root->layoutIfNeeded();
    auto lastCard = root->subviews().back();
    auto lastRing = lastCard->subviews().back()->subviews().back();
    CGRect ring = lastRing->convertRectToView(lastRing->bounds(), root.get());
    if (std::abs(lastCard->frame().maxY() - 736) > 1e-6 || std::abs(ring.midX() - 207) > 1e-6) {
        state.SkipWithError("layout did not resolve");
        return;
    }

    bool wide = false;
    double t = CACurrentMediaTime();
    double checksum = 0;
    for (auto _ : state) {
        wide = !wide;
        root->setFrame(CGRect(0, 0, wide ? 414 : 375, wide ? 736 : 667));
        root->layoutIfNeeded();
        t += 1.0 / 60;
        for (const auto& view : all) {
            auto shown = view->layer()->presentationLayer(t);
            checksum += shown->opacity() + shown->position().y;
        }
        benchmark::DoNotOptimize(checksum);
    }
    state.counters["views"] = double(all.size());
}

}  // namespace

BENCHMARK(BM_LayoutAndPresentation500Views)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
