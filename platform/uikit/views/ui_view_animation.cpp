#include "platform/uikit/views/ui_view_animation.h"

#include "platform/foundation/ns_run_loop.h"
#include "platform/quartzcore/ca_basic_animation.h"
#include "platform/quartzcore/ca_layer.h"
#include "platform/quartzcore/ca_media_timing_function.h"
#include "platform/quartzcore/ca_spring_animation.h"

namespace platform {

namespace {

std::shared_ptr<CAMediaTimingFunction> curveOf(unsigned options) {
    switch ((options >> 16) & 0xF) {
        case 1:
            return CAMediaTimingFunction::functionWithName(CAMediaTimingFunctionName::easeIn);
        case 3:
            return CAMediaTimingFunction::functionWithName(CAMediaTimingFunctionName::linear);
        default:
            return CAMediaTimingFunction::functionWithName(CAMediaTimingFunctionName::easeInEaseOut);
    }
}

// Counts a block's animations down to its completion.
struct Group {
    int pending = 0;
    bool finished = true;
    UIViewAnimation::Completion completion;

    void stopped(bool animationFinished) {
        finished = finished && animationFinished;
        if (--pending == 0 && completion) {
            auto done = std::move(completion);
            done(finished);
        }
    }
};

}  // namespace

void UIViewAnimation::run(const Parameters& parameters, const std::function<void()>& animations,
                          Completion completion) {
    // A block without duration changes its values at once.
    blocks_.push_back({parameters, enabled_ && parameters.duration > 0, {}});
    if (animations) animations();
    Block block = std::move(blocks_.back());
    blocks_.pop_back();
    commit(block, std::move(completion));
}

void UIViewAnimation::runWithoutAnimation(const std::function<void()>& actions) {
    blocks_.push_back({{}, false, {}});
    if (actions) actions();
    blocks_.pop_back();
}

void UIViewAnimation::note(const std::shared_ptr<CALayer>& layer, const char* key) {
    Block& block = blocks_.back();
    if (!block.animating || !layer) return;
    for (const auto& c : block.changes) {
        if (c.key == key && c.layer.lock() == layer) return;  // the first value before the block counts
    }
    Change change{layer, key, layer->valueForKey(key), {}};
    if (block.parameters.options & UIViewAnimationOptionBeginFromCurrentState) {
        change.onScreen = layer->presentationValue(key);
    }
    block.changes.push_back(std::move(change));
}

void UIViewAnimation::commit(Block& block, Completion completion) {
    auto group = std::make_shared<Group>();
    group->completion = std::move(completion);
    const Parameters& p = block.parameters;
    group->pending = 1;  // held until every animation is added, so none can complete the block early
    for (const auto& change : block.changes) {
        auto layer = change.layer.lock();
        if (!layer) continue;
        if (layer->valueForKey(change.key) == change.before) continue;
        std::shared_ptr<CABasicAnimation> animation;
        if (p.spring) {
            animation = CASpringAnimation::animationWithDampingRatio(change.key, p.dampingRatio, p.duration,
                                                                     p.initialVelocity);
        } else {
            animation = CABasicAnimation::animationWithKeyPath(change.key);
            animation->setTimingFunction(curveOf(p.options));
        }
        animation->setDuration(p.duration);
        animation->setFromValue(change.onScreen.isNull() ? change.before : change.onScreen);
        if (p.delay > 0) {
            animation->setBeginTime(layer->localTime() + p.delay);
            animation->setFillMode(CAFillMode::backwards);
        }
        if (p.options & UIViewAnimationOptionRepeat) animation->setRepeatCount(CAAnimation::kRepeatForever);
        if (p.options & UIViewAnimationOptionAutoreverse) animation->setAutoreverses(true);
        ++group->pending;
        animation->setCompletion([group](bool finished) { group->stopped(finished); });
        layer->addAnimation(animation, change.key);
    }
    if (group->pending == 1) {
        // Nothing moved: the completion still comes, as soon as the current work is done.
        NSRunLoop::main().perform([group] { group->stopped(true); });
    } else {
        group->stopped(true);
    }
}

}  // namespace platform
