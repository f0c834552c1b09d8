#pragma once

#include "platform/uikit/controls/control_thumb.h"
#include "platform/uikit/controls/ui_control.h"

namespace platform {

// A value between a minimum and a maximum chosen by dragging a thumb along a thin track: the part of
// the track before the thumb shows the minimum track colour (the tint unless set), the rest the
// maximum track colour. Only a touch that goes down on the thumb drags it. While the thumb moves the
// slider sends value changed, or once when it is let go if it is not continuous; values set in code
// send nothing.
class UISlider : public UIControl {
public:
    static constexpr CGFloat kThumbDiameter = 28;
    static constexpr CGFloat kTrackHeight = 4;
    static constexpr CGFloat kHeight = 31;

    UISlider() : UISlider(CGRect()) {}
    explicit UISlider(const CGRect& frame);

    float value() const { return value_; }
    // Kept between the minimum and the maximum; a value that is not a number is ignored.
    void setValue(float value) { setValue(value, false); }
    void setValue(float value, bool animated);
    void setMinimumValue(float value);
    float maximumValue() const { return maximum_; }
    void setMaximumValue(float value);
    void setContinuous(bool continuous) { continuous_ = continuous; }

    std::shared_ptr<UIColor> minimumTrackTintColor() const;
    void setThumbTintColor(const std::shared_ptr<UIColor>& color) { thumb_->setThumbTintColor(color); }

    CGRect trackRectForBounds(const CGRect& bounds) const;
    CGRect thumbRectForBounds(const CGRect& bounds, const CGRect& trackRect, float value) const;

    CGSize sizeThatFits(CGSize size) const override { return {size.width, kHeight}; }
    CGSize intrinsicContentSize() const override { return {UIViewNoIntrinsicMetric, kHeight}; }
    void layoutSubviews() override;
    void tintColorDidChange() override { layoutSubviews(); }

    bool beginTrackingWithTouch(UITouch& touch, const UIEvent* event) override;
    bool continueTrackingWithTouch(UITouch& touch, const UIEvent* event) override;
    void endTrackingWithTouch(UITouch& touch, const UIEvent* event) override;
    // While its thumb is held it keeps sideways pans from its ancestors too.
    bool takesPrecedenceOverGestureRecognizer(const UIGestureRecognizer& recognizer) const override;

protected:
    void stateDidChange() override { dimPartsWhenDisabled(); }

private:
    // How far from the thumb a touch still takes it, in points.
    static constexpr CGFloat kThumbReach = 10;

    std::shared_ptr<UIView> minimumTrack_;
    std::shared_ptr<UIView> maximumTrack_;
    std::shared_ptr<ControlThumb> thumb_;
    std::shared_ptr<UIColor> minimumTint_;
    std::shared_ptr<UIColor> maximumTint_;
    float value_ = 0;
    float minimum_ = 0;
    float maximum_ = 1;
    bool continuous_ = true;
    CGFloat grabOffset_ = 0;  // from the thumb's centre to the touch
    float valueAtGrab_ = 0;
};

}  // namespace platform
