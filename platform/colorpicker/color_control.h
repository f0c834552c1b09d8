#pragma once

#include <functional>

#include "platform/colorpicker/hsb_color.h"
#include "platform/coregraphics/cg_context.h"
#include "platform/uikit/controls/ui_control.h"

namespace platform {

// A control that shows one colour and lets the user move it: a touch going down or moving picks the
// colour under it and sends value changed; lifting the finger sends touch up as any control does.
// Colours set in code send nothing. Main thread.
class ColorControl : public UIControl {
public:
    using UIControl::UIControl;

    const HSBColor& selectedHSBColor() const { return selected_; }
    void setSelectedHSBColor(const HSBColor& color);

    bool beginTrackingWithTouch(UITouch& touch, const UIEvent* event) override;
    bool continueTrackingWithTouch(UITouch& touch, const UIEvent* event) override;
    void endTrackingWithTouch(UITouch& touch, const UIEvent* event) override;
    void cancelTrackingWithEvent(const UIEvent* event) override;

protected:
    // The colour a touch at `point` (in the control's coordinates) picks, starting from the selected one.
    virtual HSBColor colorAtPoint(CGPoint point) const = 0;
    // The selected colour changed from `before`; the control draws itself anew unless it says otherwise.
    virtual void selectionChanged(const HSBColor& before);
    // Runs `paint`, which may cover more, and shows of it only the rounded rectangle, edges smoothed once.
    static void paintInRoundedRect(CGContext& context, const CGRect& rect, CGFloat cornerRadius,
                                   const std::function<void()>& paint);

private:
    void pick(UITouch& touch);

    HSBColor selected_;
};

}  // namespace platform
