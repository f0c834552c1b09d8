#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/controls/target_actions.h"
#include "platform/uikit/touches/ui_event.h"
#include "platform/uikit/touches/ui_gesture_recognizer_delegate.h"

namespace platform {

class UIView;

enum class UIGestureRecognizerState : int { possible = 0, began, changed, ended, cancelled, failed };
// A discrete gesture (a tap) goes straight from possible to recognised.
inline constexpr UIGestureRecognizerState UIGestureRecognizerStateRecognized =
    UIGestureRecognizerState::ended;

// Watches the touches that go down in its view (or in the view's subviews) and decides whether they
// make its gesture. A subclass reads the touches in the touches methods and sets its state; the rest
// is common: the targets hear every change once it began, the delegate and the view may refuse it,
// a recogniser can wait for another to fail, and only one recogniser wins a touch unless their
// delegates let them share it (see GestureArbiter). When a recogniser begins, the touches it took are
// cancelled in their views (unless cancelsTouchesInView is off). Main thread only.
class UIGestureRecognizer : public std::enable_shared_from_this<UIGestureRecognizer> {
public:
    using Action = TargetActions<UIGestureRecognizer>::Action;

    UIGestureRecognizer() = default;
    // With one action that no target names.
    explicit UIGestureRecognizer(Action action);
    UIGestureRecognizer(const UIGestureRecognizer&) = delete;
    UIGestureRecognizer& operator=(const UIGestureRecognizer&) = delete;
    virtual ~UIGestureRecognizer() = default;

    void addTarget(const void* target, Action action) { targets_.add(target, std::move(action)); }
    // `method` of `target` (given the recogniser if it takes it), for as long as the target lives.
    template <typename T, typename Method>
    void addTarget(const std::shared_ptr<T>& target, Method method) {
        targets_.add(target.get(), TargetActions<UIGestureRecognizer>::weakly(target, method));
    }
    // A null target removes every action.
    void removeTarget(const void* target) { targets_.remove(target); }

    UIGestureRecognizerState state() const { return state_; }
    std::shared_ptr<UIView> view() const;

    // A disabled recogniser takes no touches; disabling one in progress cancels it.
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    std::shared_ptr<UIGestureRecognizerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<UIGestureRecognizerDelegate> delegate) { delegate_ = std::move(delegate); }

    void setCancelsTouchesInView(bool value) { cancelsTouchesInView_ = value; }
    // While this recogniser may still recognise, its touches' beginnings and moves wait before they
    // reach the views.
    void setDelaysTouchesBegan(bool value) { delaysTouchesBegan_ = value; }

    // This recogniser recognises only once `other` has failed, and fails if `other` recognises.
    void requireGestureRecognizerToFail(const std::shared_ptr<UIGestureRecognizer>& other);

    // The centre of its touches; once they have lifted, where they were last.
    virtual CGPoint locationInView(const UIView* view) const;
    CGPoint locationInView(const std::shared_ptr<UIView>& view) const { return locationInView(view.get()); }
    size_t numberOfTouches() const { return touches_.size(); }

    // Whether recognising this gesture keeps `other` from recognising, and the other way round.
    virtual bool canPreventGestureRecognizer(const UIGestureRecognizer& other) const {
        (void)other;
        return true;
    }
    virtual bool canBePreventedByGestureRecognizer(const UIGestureRecognizer& other) const {
        (void)other;
        return true;
    }

    // For subclasses: the touches of one phase, while the recogniser is possible or in progress.
    virtual void touchesBegan(const UITouchSet& touches, const UIEvent& event);
    virtual void touchesMoved(const UITouchSet& touches, const UIEvent& event);
    virtual void touchesEnded(const UITouchSet& touches, const UIEvent& event);
    virtual void touchesCancelled(const UITouchSet& touches, const UIEvent& event);

protected:
    // Changes the state. Leaving the possible state may be refused or deferred (see GestureArbiter).
    void setState(UIGestureRecognizerState state);
    // Back to the possible state once its gesture is over; subclasses forget what they measured.
    virtual void reset() {}

    const UITouchSet& touches() const { return touches_; }
    // The centre of the touches in window coordinates.
    CGPoint centroidInWindow() const;
    // Between the coordinates of the view's window and those of `view` (the window's when null).
    CGPoint pointInView(CGPoint windowPoint, const UIView* view) const;
    CGPoint pointInWindow(CGPoint viewPoint, const UIView* view) const;

private:
    friend class GestureArbiter;
    friend class UIView;

    bool takesTouches() const;
    void sendActions() { targets_.send(*this, ~0u); }

    TargetActions<UIGestureRecognizer> targets_;
    UIView* view_ = nullptr;
    std::weak_ptr<UIGestureRecognizerDelegate> delegate_;
    UIGestureRecognizerState state_ = UIGestureRecognizerState::possible;
    // A state the recogniser asked for while it waits for others to fail.
    std::optional<UIGestureRecognizerState> pending_;
    std::vector<std::weak_ptr<UIGestureRecognizer>> mustFail_;
    UITouchSet touches_;
    CGPoint lastLocation_;  // window coordinates
    bool enabled_ = true;
    bool cancelsTouchesInView_ = true;
    bool delaysTouchesBegan_ = false;
    bool delaysTouchesEnded_ = true;
};

}  // namespace platform
