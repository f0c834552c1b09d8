#pragma once

#include <functional>
#include <vector>

namespace platform {

// Handed to controllers before a size or trait change so they can move with it: the blocks given to
// animateAlongsideTransition run inside the transition's animation, their completions once it is over.
// The coordinator is also the context the blocks are handed. Main thread.
class UIViewControllerTransitionCoordinator {
public:
    using Block = std::function<void(const UIViewControllerTransitionCoordinator& context)>;

    UIViewControllerTransitionCoordinator(double duration, bool animated)
        : duration_(duration), animated_(animated) {}

    // Either block may be empty. Always accepted.
    bool animateAlongsideTransition(Block animation, Block completion);

    double transitionDuration() const { return animated_ ? duration_ : 0; }
    bool isAnimated() const { return animated_; }

    // The transition runs these: the animations inside its animation block, then the completions.
    void runAnimations();
    void runCompletions();

private:
    double duration_;
    bool animated_;
    std::vector<Block> animations_;
    std::vector<Block> completions_;
};

}  // namespace platform
