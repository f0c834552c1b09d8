#pragma once

#include "platform/uikit/controls/control_thumb.h"
#include "platform/uikit/controls/ui_control.h"

namespace platform {

// An on/off control of fixed size: a rounded track, green (or the on tint) when on and light grey
// when off, with a white thumb at the on or off end. A tap flips it; dragging the thumb sets it by
// the side the thumb is let go on. Changes made by the user send value changed, changes made in code
// do not.
class UISwitch : public UIControl {
public:
    static constexpr CGSize kSize = {51, 31};

    UISwitch() : UISwitch(CGRect()) {}
    // Takes the origin of `frame`; the size is always kSize.
    explicit UISwitch(const CGRect& frame);

    bool isOn() const { return on_; }
    void setOn(bool on) { setOn(on, false); }
    void setOn(bool on, bool animated);
    void setThumbTintColor(const std::shared_ptr<UIColor>& color) { thumb_->setThumbTintColor(color); }

    void setFrame(const CGRect& frame) override;
    CGSize sizeThatFits(CGSize size) const override {
        (void)size;
        return kSize;
    }
    CGSize intrinsicContentSize() const override { return kSize; }

    bool beginTrackingWithTouch(UITouch& touch, const UIEvent* event) override;
    bool continueTrackingWithTouch(UITouch& touch, const UIEvent* event) override;
    void endTrackingWithTouch(UITouch& touch, const UIEvent* event) override;
    void cancelTrackingWithEvent(const UIEvent* event) override;
    // It is dragged sideways, so it keeps sideways pans from its ancestors too.
    bool takesPrecedenceOverGestureRecognizer(const UIGestureRecognizer& recognizer) const override;

protected:
    void stateDidChange() override { dimPartsWhenDisabled(); }

private:
    // The thumb's left edge at the off and on ends.
    static constexpr CGFloat kOffX = 2;
    static constexpr CGFloat kOnX = kSize.width - 2 - (kSize.height - 4);

    // Shows the thumb at `x` and the track coloured for the side it is nearer.
    void showThumbAt(CGFloat x);

    std::shared_ptr<UIView> track_;
    std::shared_ptr<ControlThumb> thumb_;
    std::shared_ptr<UIColor> onTint_;
    bool on_ = false;
    bool dragging_ = false;
    CGFloat touchStartX_ = 0;
};

}  // namespace platform
