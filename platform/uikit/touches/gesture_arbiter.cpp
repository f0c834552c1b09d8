#include "platform/uikit/touches/gesture_arbiter.h"

#include <algorithm>

#include "platform/uikit/touches/touch_delivery.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

namespace {

using State = UIGestureRecognizerState;

bool inProgress(State s) {
    return s == State::began || s == State::changed;
}

bool isDone(State s) {
    return s == State::ended || s == State::cancelled || s == State::failed;
}

bool holds(const UITouchSet& touches, const UITouch* touch) {
    return std::ranges::any_of(touches, [touch](const auto& t) { return t.get() == touch; });
}

bool simultaneous(UIGestureRecognizer& a, UIGestureRecognizer& b) {
    auto delegate = a.delegate();
    return delegate && delegate->gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(a, b);
}

}  // namespace

GestureArbiter& GestureArbiter::shared() {
    // Never destroyed: views that outlive static destruction still withdraw their recognisers.
    static auto* arbiter = new GestureArbiter;
    return *arbiter;
}

bool GestureArbiter::isActive(const UIGestureRecognizer& recognizer) const {
    return std::ranges::any_of(active_, [&](const auto& r) { return r.get() == &recognizer; });
}

void GestureArbiter::attach(const std::shared_ptr<UITouch>& touch) {
    auto view = touch->view();
    if (!view) return;
    std::vector<std::shared_ptr<UIGestureRecognizer>> taking;
    for (auto v = view; v; v = v->superview()) {
        // A delegate may add or remove recognisers while it answers.
        for (const auto& r : std::vector(v->gestureRecognizers())) {
            if (!r->takesTouches()) continue;
            auto delegate = r->delegate();
            if (delegate && !delegate->gestureRecognizerShouldReceiveTouch(*r, *touch)) continue;
            taking.push_back(r);
        }
    }
    // The first touch of new input ends the waits of recognisers it does not reach (a second tap
    // elsewhere is no double tap).
    const bool fresh = std::ranges::all_of(active_, [](const auto& r) { return r->touches_.empty(); });
    if (fresh) {
        for (const auto& r : std::vector(active_)) {
            if (r->state_ == State::possible && std::ranges::find(taking, r) == taking.end()) fail(*r);
        }
        resetIfDone();
    }
    for (const auto& r : taking) {
        r->touches_.push_back(touch);
        touch->recognizers_.push_back(r);
        if (!isActive(*r)) active_.push_back(r);
    }
}

void GestureArbiter::deliver(const UIEvent& event) {
    ++delivering_;
    for (const auto& r : std::vector(active_)) {
        UITouchSet began, moved, ended, cancelled;
        for (const auto& touch : event.allTouches()) {
            if (!holds(r->touches_, touch.get())) continue;
            switch (touch->phase()) {
                case UITouchPhase::began:
                    began.push_back(touch);
                    break;
                case UITouchPhase::moved:
                    moved.push_back(touch);
                    break;
                case UITouchPhase::ended:
                    ended.push_back(touch);
                    break;
                case UITouchPhase::cancelled:
                    cancelled.push_back(touch);
                    break;
                case UITouchPhase::stationary:
                    break;
            }
        }
        if (!began.empty() && r->takesTouches()) r->touchesBegan(began, event);
        if (!moved.empty() && r->takesTouches()) r->touchesMoved(moved, event);
        if (!ended.empty() && r->takesTouches()) r->touchesEnded(ended, event);
        if (!cancelled.empty() && r->takesTouches()) r->touchesCancelled(cancelled, event);
    }
    --delivering_;
}

void GestureArbiter::finish(const UIEvent& event) {
    std::vector<std::shared_ptr<UIGestureRecognizer>> losing;
    UITouchSet lifted;
    for (const auto& touch : event.allTouches()) {
        if (touch->phase() != UITouchPhase::ended && touch->phase() != UITouchPhase::cancelled) continue;
        lifted.push_back(touch);
        for (const auto& r : touch->gestureRecognizers()) {
            if (std::ranges::find(losing, r) == losing.end()) losing.push_back(r);
        }
    }
    for (const auto& r : losing) {
        r->lastLocation_ = r->centroidInWindow();
        std::erase_if(r->touches_, [&](const auto& t) { return holds(lifted, t.get()); });
    }
    resetIfDone();
}

bool GestureArbiter::delaysForView(const UITouch& touch, UITouchPhase phase) const {
    for (const auto& r : touch.gestureRecognizers()) {
        if (!r->enabled_ || r->state_ != State::possible || !isActive(*r)) continue;
        if ((phase == UITouchPhase::began || phase == UITouchPhase::moved) && r->delaysTouchesBegan_)
            return true;
        if (phase == UITouchPhase::ended && r->delaysTouchesEnded_) return true;
    }
    return false;
}

void GestureArbiter::transition(UIGestureRecognizer& recognizer, State state) {
    auto keep = recognizer.weak_from_this().lock();
    const State from = recognizer.state_;
    if (from == State::possible) {
        if (state == State::failed) {
            fail(recognizer);
        } else if (state == State::began || state == State::ended) {
            tryToBegin(recognizer, state);
        }
    } else if (inProgress(from) &&
               (state == State::changed || state == State::ended || state == State::cancelled)) {
        recognizer.state_ = state;
        recognizer.sendActions();
    }
    TouchDelivery::shared().releaseHeld();
    if (!delivering_) resetIfDone();
}

bool GestureArbiter::mayBegin(UIGestureRecognizer& recognizer) const {
    auto delegate = recognizer.delegate();
    if (delegate && !delegate->gestureRecognizerShouldBegin(recognizer)) return false;
    UIView* view = recognizer.view_;
    if (view && !view->gestureRecognizerShouldBegin(recognizer)) return false;
    // A view under the touch may keep it from a recogniser of one of its ancestors.
    for (const auto& touch : recognizer.touches_) {
        for (auto v = touch->view(); v && v.get() != view; v = v->superview()) {
            if (v->takesPrecedenceOverGestureRecognizer(recognizer)) return false;
        }
    }
    return true;
}

GestureArbiter::Requirement GestureArbiter::requirementsOf(const UIGestureRecognizer& recognizer) const {
    Requirement result = Requirement::met;
    for (const auto& weak : recognizer.mustFail_) {
        auto other = weak.lock();
        // One that is not watching these touches cannot recognise them.
        if (!other || !isActive(*other) || other->state_ == State::failed) continue;
        if (other->state_ != State::possible) return Requirement::broken;
        result = Requirement::waiting;
    }
    return result;
}

bool GestureArbiter::excludes(UIGestureRecognizer& winner, UIGestureRecognizer& other) {
    const bool sharing =
        std::ranges::any_of(winner.touches_, [&](const auto& t) { return holds(other.touches_, t.get()); });
    if (!sharing || simultaneous(winner, other) || simultaneous(other, winner)) return false;
    return winner.canPreventGestureRecognizer(other) && other.canBePreventedByGestureRecognizer(winner);
}

void GestureArbiter::tryToBegin(UIGestureRecognizer& recognizer, State state) {
    if (auto shared = recognizer.weak_from_this().lock(); shared && !isActive(recognizer)) {
        active_.push_back(shared);
    }
    if (!mayBegin(recognizer)) return fail(recognizer);
    switch (requirementsOf(recognizer)) {
        case Requirement::broken:
            return fail(recognizer);
        case Requirement::waiting:
            recognizer.pending_ = state;
            return;
        case Requirement::met:
            break;
    }
    for (const auto& other : active_) {
        if (other.get() != &recognizer && inProgress(other->state_) && excludes(*other, recognizer)) {
            return fail(recognizer);
        }
    }
    recognizer.pending_.reset();
    recognizer.state_ = state;
    for (const auto& other : std::vector(active_)) {
        if (other.get() != &recognizer && other->state_ == State::possible && excludes(recognizer, *other)) {
            fail(*other);
        }
    }
    if (recognizer.cancelsTouchesInView_) {
        for (const auto& touch : UITouchSet(recognizer.touches_)) TouchDelivery::shared().cancel(touch);
    }
    recognizer.sendActions();
    resumeWaiting();
}

void GestureArbiter::fail(UIGestureRecognizer& recognizer) {
    if (recognizer.state_ != State::possible) return;
    recognizer.pending_.reset();
    recognizer.state_ = State::failed;
    resumeWaiting();
}

void GestureArbiter::resumeWaiting() {
    for (const auto& waiting : std::vector(active_)) {
        if (!waiting->pending_) continue;
        switch (requirementsOf(*waiting)) {
            case Requirement::waiting:
                break;
            case Requirement::broken:
                fail(*waiting);
                break;
            case Requirement::met: {
                const State state = *waiting->pending_;
                waiting->pending_.reset();
                tryToBegin(*waiting, state);
                break;
            }
        }
    }
}

void GestureArbiter::withdraw(UIGestureRecognizer& recognizer, bool tellTargets) {
    auto keep = recognizer.weak_from_this().lock();
    if (inProgress(recognizer.state_)) {
        recognizer.state_ = State::cancelled;
        if (tellTargets) recognizer.sendActions();
    }
    for (const auto& touch : recognizer.touches_) {
        std::erase_if(touch->recognizers_,
                      [&](const auto& weak) { return weak.lock().get() == &recognizer; });
    }
    recognizer.touches_.clear();
    recognizer.pending_.reset();
    std::erase_if(active_, [&](const auto& r) { return r.get() == &recognizer; });
    recognizer.state_ = State::possible;
    recognizer.reset();
    // Those waiting for it to fail wait no more.
    resumeWaiting();
    TouchDelivery::shared().releaseHeld();
}

void GestureArbiter::resetIfDone() {
    for (const auto& r : std::vector(active_)) {
        if (!r->touches_.empty() || !isDone(r->state_)) continue;
        std::erase(active_, r);
        r->state_ = State::possible;
        r->pending_.reset();
        r->reset();
    }
}

}  // namespace platform
