#include "shell/window_life_cycle.h"

namespace quorvel::shell {

std::vector<LifeCycleStep> WindowLifeCycle::handle(WindowEvent event) {
    using Step = LifeCycleStep;
    std::vector<Step> steps;
    switch (event) {
        case WindowEvent::focusLost:
            if (state_ == State::active) {
                steps = {Step::resignActive};
                state_ = State::inactive;
            }
            break;
        case WindowEvent::focusGained:
            if (state_ == State::inactive) {
                steps = {Step::becomeActive};
                state_ = State::active;
            }
            break;
        case WindowEvent::minimized:
            if (state_ == State::active) steps.push_back(Step::resignActive);
            if (state_ == State::active || state_ == State::inactive) {
                steps.push_back(Step::enterBackground);
                state_ = State::background;
            }
            break;
        case WindowEvent::restored:
            if (state_ == State::background) {
                steps = {Step::enterForeground, Step::becomeActive};
                state_ = State::active;
            }
            break;
        case WindowEvent::closed:
            if (state_ == State::active) steps.push_back(Step::resignActive);
            if (state_ != State::terminated) {
                steps.push_back(Step::terminate);
                state_ = State::terminated;
            }
            break;
    }
    return steps;
}

}  // namespace quorvel::shell
