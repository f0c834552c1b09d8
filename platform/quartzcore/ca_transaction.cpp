#include "platform/quartzcore/ca_transaction.h"

#include <optional>

#include "platform/foundation/clock.h"
#include "platform/foundation/ns_run_loop.h"

namespace platform {

namespace {

// A completion block waiting for the animations added after it was set.
struct CompletionGroup {
    std::function<void()> block;
    int pending = 0;
    bool committed = false;
    bool fired = false;
};

struct Frame {
    bool implicit = false;
    std::optional<bool> disableActions;
    std::optional<double> animationDuration;
    std::shared_ptr<CompletionGroup> completion;
};

std::vector<Frame>& frames() {
    static std::vector<Frame> stack;
    // Installing a clock starts the main run loop afresh and drops a queued implicit commit; the
    // transactions of the run loop before it are over.
    static const Clock* owner = nullptr;
    if (owner != &Clock::shared()) {
        stack.clear();
        owner = &Clock::shared();
    }
    return stack;
}

void fireWhenDone(const std::shared_ptr<CompletionGroup>& group) {
    if (!group || group->fired || !group->committed || group->pending > 0) return;
    group->fired = true;
    if (group->block) NSRunLoop::main().perform(group->block);
}

void seal(const std::shared_ptr<CompletionGroup>& group) {
    if (!group) return;
    group->committed = true;
    fireWhenDone(group);
}

// The innermost frame, opening an implicit one that commits after this run-loop turn if none is open.
Frame& currentFrame() {
    auto& stack = frames();
    if (stack.empty()) {
        Frame implicit;
        implicit.implicit = true;
        stack.push_back(std::move(implicit));
        NSRunLoop::main().perform([] {
            auto& s = frames();
            if (!s.empty() && s.front().implicit) {
                // Commit the implicit transaction with anything left open inside it.
                while (!s.empty()) CATransaction::commit();
            }
        });
    }
    return stack.back();
}

}  // namespace

struct CATransaction::Waiters {
    std::vector<std::shared_ptr<CompletionGroup>> groups;
};

void CATransaction::begin() {
    frames().push_back(Frame{});
}

void CATransaction::commit() {
    auto& stack = frames();
    if (stack.empty()) return;
    auto completion = std::move(stack.back().completion);
    stack.pop_back();
    seal(completion);
}

int CATransaction::depth() {
    int count = 0;
    for (const Frame& f : frames()) count += f.implicit ? 0 : 1;
    return count;
}

bool CATransaction::disableActions() {
    const auto& stack = frames();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (it->disableActions) return *it->disableActions;
    }
    return false;
}

void CATransaction::setDisableActions(bool disable) {
    currentFrame().disableActions = disable;
}

double CATransaction::animationDuration() {
    const auto& stack = frames();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (it->animationDuration) return *it->animationDuration;
    }
    return 0.25;
}

void CATransaction::setAnimationDuration(double seconds) {
    currentFrame().animationDuration = seconds;
}

void CATransaction::setCompletionBlock(std::function<void()> block) {
    Frame& frame = currentFrame();
    // A block set earlier in this transaction keeps waiting for the animations added before now.
    seal(frame.completion);
    frame.completion = std::make_shared<CompletionGroup>();
    frame.completion->block = std::move(block);
}

std::shared_ptr<CATransaction::Waiters> CATransaction::animationAdded() {
    auto waiters = std::make_shared<Waiters>();
    for (Frame& frame : frames()) {
        if (!frame.completion) continue;
        ++frame.completion->pending;
        waiters->groups.push_back(frame.completion);
    }
    return waiters;
}

void CATransaction::animationStopped(const std::shared_ptr<Waiters>& waiters) {
    if (!waiters) return;
    auto groups = std::move(waiters->groups);  // a second stop changes nothing
    for (const auto& group : groups) {
        --group->pending;
        fireWhenDone(group);
    }
}

}  // namespace platform
