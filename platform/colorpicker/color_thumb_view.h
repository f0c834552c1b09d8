#pragma once

#include "platform/colorpicker/hsb_color.h"
#include "platform/coregraphics/cg_context.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

// The mark of the selected colour: a disc of the colour in a white ring, with a faint outline that shows
// it on white too. As a view of its own it may hang over its control's edge at the ends of a range.
// Touches pass through it to the control.
class ColorThumbView : public UIView {
public:
    explicit ColorThumbView(CGFloat radius);

    void setColor(const HSBColor& color);
    void drawRect(const CGRect& rect) override;

    // The mark drawn into a context, for a control that draws it itself.
    static void draw(CGContext& context, CGPoint centre, CGFloat radius, const HSBColor& color);

private:
    CGFloat radius_;
    HSBColor color_;
};

}  // namespace platform
