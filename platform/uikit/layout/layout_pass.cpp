#include "platform/uikit/layout/layout_pass.h"

#include <vector>

#include "platform/foundation/ns_run_loop.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

namespace {

struct State {
    std::vector<std::weak_ptr<UIView>> roots;
    // Alive while a queued pass is; a run loop reset drops the block and with it the ticket, so the
    // next request queues a new pass instead of waiting for one that will never run.
    std::weak_ptr<int> ticket;
};

State& state() {
    static State s;
    return s;
}

}  // namespace

void LayoutPass::request(UIView& root) {
    auto weak = root.weak_from_this();
    if (!weak.expired()) state().roots.push_back(std::move(weak));
    schedule();
}

bool LayoutPass::isScheduled() {
    return !state().ticket.expired();
}

void LayoutPass::schedule() {
    if (isScheduled()) return;
    auto ticket = std::make_shared<int>(0);
    state().ticket = ticket;
    NSRunLoop::main().perform([ticket] { run(); });
}

void LayoutPass::run() {
    State& s = state();
    s.ticket.reset();
    std::vector<std::weak_ptr<UIView>> roots;
    roots.swap(s.roots);
    std::vector<std::shared_ptr<UIView>> done;
    for (auto& weak : roots) {
        auto view = weak.lock();
        if (!view) continue;
        view->layoutRequested_ = false;
        // The view may have joined another tree since it asked.
        UIView* top = view->root();
        std::shared_ptr<UIView> root = top == view.get() ? view : top->weak_from_this().lock();
        if (!root) continue;
        bool seen = false;
        for (auto& d : done) seen = seen || d == root;
        if (seen) continue;
        done.push_back(root);
        root->layoutSubtree();
    }
}

}  // namespace platform
