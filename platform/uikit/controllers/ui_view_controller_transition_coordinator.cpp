#include "platform/uikit/controllers/ui_view_controller_transition_coordinator.h"

namespace platform {

bool UIViewControllerTransitionCoordinator::animateAlongsideTransition(Block animation, Block completion) {
    if (animation) animations_.push_back(std::move(animation));
    if (completion) completions_.push_back(std::move(completion));
    return true;
}

void UIViewControllerTransitionCoordinator::runAnimations() {
    // A block may add another; those run too.
    for (size_t i = 0; i < animations_.size(); ++i) {
        Block block = animations_[i];
        block(*this);
    }
}

void UIViewControllerTransitionCoordinator::runCompletions() {
    for (size_t i = 0; i < completions_.size(); ++i) {
        Block block = completions_[i];
        block(*this);
    }
}

}  // namespace platform
