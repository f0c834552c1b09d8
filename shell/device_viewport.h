#pragma once

#include "platform/coregraphics/cg_geometry.h"

namespace quorvel::shell {

using platform::CGFloat;
using platform::CGPoint;
using platform::CGRect;
using platform::CGSize;

// Where the emulated screen lies in the desktop window. The window is measured in desktop units (what
// the window system sizes windows in) and shows output pixels (more of them on a high-density display);
// the screen is drawn at the pixel size it covers, centred, the rest of the window left as a border.
class DeviceViewport {
public:
    // The window that shows a screen of `screen` points at `zoom` desktop units a point, made smaller
    // where it would not fit in 90 % of `desktop`, so the desktop's panels and the window's frame fit
    // too.
    static CGSize windowSizeFor(CGSize screen, CGSize desktop, CGFloat zoom = 1);

    DeviceViewport(CGSize screen, CGSize window, CGSize output);

    // Output pixels per point of the screen.
    CGFloat pixelsPerPoint() const { return pixelsPerPoint_; }
    // Desktop units per point of the screen.
    CGFloat zoom() const;
    // The screen in output pixels, on whole pixels.
    CGRect screenInOutput() const { return screenInOutput_; }
    CGSize screen() const { return screen_; }
    CGSize output() const { return output_; }

    // The screen point under a position in the window's units or in fractions of its size (as touch
    // screens report). Positions off the screen give points off its bounds.
    CGPoint screenPointAt(CGPoint windowPosition) const;
    CGPoint screenPointAtFraction(CGPoint fraction) const;
    bool showsPoint(CGPoint screenPoint) const;
    // A point on the screen's edge for one beyond it: a finger cannot leave the glass.
    CGPoint clampedToScreen(CGPoint screenPoint) const;

private:
    CGSize screen_, window_, output_;
    CGFloat pixelsPerPoint_ = 1;
    CGRect screenInOutput_;
};

}  // namespace quorvel::shell
