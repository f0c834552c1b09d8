#pragma once

#include "platform/uikit/controls/target_actions.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

// A control's states, as bits.
enum : unsigned {
    UIControlStateNormal = 0,
    UIControlStateHighlighted = 1 << 0,
    UIControlStateDisabled = 1 << 1,
    UIControlStateSelected = 1 << 2,
};

// What a control tells its targets, as bits.
enum : unsigned {
    UIControlEventTouchDown = 1 << 0,
    UIControlEventTouchDownRepeat = 1 << 1,
    UIControlEventTouchDragInside = 1 << 2,
    UIControlEventTouchDragOutside = 1 << 3,
    UIControlEventTouchDragEnter = 1 << 4,
    UIControlEventTouchDragExit = 1 << 5,
    UIControlEventTouchUpInside = 1 << 6,
    UIControlEventTouchUpOutside = 1 << 7,
    UIControlEventTouchCancel = 1 << 8,
    UIControlEventValueChanged = 1 << 12,
    UIControlEventAllEvents = 0xFFFFFFFF,
};

enum class UIControlContentHorizontalAlignment : int { center = 0, left = 1, right = 2, fill = 3 };
enum class UIControlContentVerticalAlignment : int { center = 0, top = 1, bottom = 2, fill = 3 };

// A view with the enabled, selected and highlighted states that controls show, which tracks the first
// touch that goes down on it and tells its targets: touch down, drags inside and outside (a touch
// within kTouchSlop points of the bounds counts as inside) with the crossings of that edge, touch up
// inside or outside, and cancel. It is highlighted while the touch is inside. Subclasses follow the
// touch in the tracking methods and send value changes. A disabled control passes touches on. A change
// of state calls stateDidChange, where a control updates what it shows.
class UIControl : public UIView {
public:
    using Action = TargetActions<UIControl>::Action;

    static constexpr CGFloat kTouchSlop = 70;

    UIControl() = default;
    explicit UIControl(const CGRect& frame) : UIView(frame) {}

    bool isEnabled() const { return enabled_; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted);
    unsigned state() const;

    UIControlContentHorizontalAlignment contentHorizontalAlignment() const { return horizontal_; }
    void setContentHorizontalAlignment(UIControlContentHorizontalAlignment a);
    UIControlContentVerticalAlignment contentVerticalAlignment() const { return vertical_; }

    // Target-action. The target only names the pair for removeTarget; a control that targets itself
    // passes `this`.
    void addTarget(const void* target, Action action, unsigned events) {
        targets_.add(target, std::move(action), events);
    }
    // `method` of `target` (given the control if it takes it), for as long as the target lives.
    template <typename T, typename Method>
    void addTarget(const std::shared_ptr<T>& target, Method method, unsigned events) {
        targets_.add(target.get(), TargetActions<UIControl>::weakly(target, method), events);
    }
    // A null target removes the events from every pair.
    void removeTarget(const void* target, unsigned events) { targets_.remove(target, events); }
    void sendActionsForControlEvents(unsigned events) { targets_.send(*this, events); }

    // Tracking the touch.
    bool isTracking() const { return tracking_; }
    bool isTouchInside() const { return touchInside_; }
    // No stops the control from following the touch (it still hears how the touch ends).
    virtual bool beginTrackingWithTouch(UITouch& touch, const UIEvent* event);
    virtual bool continueTrackingWithTouch(UITouch& touch, const UIEvent* event);
    virtual void endTrackingWithTouch(UITouch& touch, const UIEvent* event);
    virtual void cancelTrackingWithEvent(const UIEvent* event);

    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;
    bool handlesTouchPhase(UITouchPhase phase) const override {
        (void)phase;
        return true;
    }
    // An enabled control's action comes before a single-finger single tap of an ancestor.
    bool takesPrecedenceOverGestureRecognizer(const UIGestureRecognizer& recognizer) const override;

protected:
    virtual void stateDidChange() {}
    // Controls drawn from parts (track, thumb) show them faded while disabled.
    void dimPartsWhenDisabled();
    // A one-finger pan along the x axis: what a control dragged sideways keeps from its ancestors.
    static bool isSidewaysPan(const UIGestureRecognizer& recognizer);

private:
    // The control's own touch among `touches`, if it is tracking one there.
    std::shared_ptr<UITouch> trackedIn(const UITouchSet& touches) const;
    bool isInside(const UITouch& touch) const;
    void stopTracking();

    TargetActions<UIControl> targets_;
    std::weak_ptr<UITouch> touch_;
    bool tracking_ = false;
    bool touchInside_ = false;
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
    UIControlContentHorizontalAlignment horizontal_ = UIControlContentHorizontalAlignment::center;
    UIControlContentVerticalAlignment vertical_ = UIControlContentVerticalAlignment::center;
};

}  // namespace platform
