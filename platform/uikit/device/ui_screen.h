#pragma once

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/device/device_profile.h"

namespace platform {

// One of the screen's two coordinate spaces: the interface's, which turns with the interface, or the
// fixed one, which is always the hardware's portrait.
class UIScreenCoordinateSpace {
public:
    explicit UIScreenCoordinateSpace(bool fixed) : fixed_(fixed) {}

    CGRect bounds() const;
    CGPoint convertPoint(CGPoint point, const UIScreenCoordinateSpace& to) const;
    CGRect convertRect(const CGRect& rect, const UIScreenCoordinateSpace& to) const;


private:
    bool fixed_;
};

// The emulated device's display. Its size follows the current DeviceProfile turned by the interface
// orientation; the app has the whole of it or, in split view, a share of its width from the left edge.
// The interface driver sets both. Main thread.
class UIScreen {
public:
    static UIScreen& mainScreen();

    CGRect bounds() const;
    CGRect nativeBounds() const;  // portrait, in pixels
    CGFloat scale() const { return DeviceProfile::current().scale; }
    CGFloat nativeScale() const { return DeviceProfile::current().nativeScale; }

    UIScreenCoordinateSpace coordinateSpace() const { return UIScreenCoordinateSpace(false); }
    UIScreenCoordinateSpace fixedCoordinateSpace() const { return UIScreenCoordinateSpace(true); }

    UIInterfaceOrientation interfaceOrientation() const { return orientation_; }
    void setInterfaceOrientation(UIInterfaceOrientation orientation);
    UIEdgeInsets safeAreaInsets() const { return DeviceProfile::current().safeAreaInsetsFor(orientation_); }

    // The app's share of the screen's width: 1, or a third, a half or two thirds in split view.
    CGFloat splitShare() const { return splitShare_; }
    void setSplitShare(CGFloat share);
    // Where the app's windows go: the screen's full height and the app's share of its width.
    CGRect applicationFrame() const;

    void reset() {
        orientation_ = UIInterfaceOrientation::portrait;
        splitShare_ = 1;
    }

private:
    UIScreen() = default;
    UIInterfaceOrientation orientation_ = UIInterfaceOrientation::portrait;
    CGFloat splitShare_ = 1;
};

}  // namespace platform
