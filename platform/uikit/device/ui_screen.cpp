#include "platform/uikit/device/ui_screen.h"

namespace platform {

namespace {

// Maps a point of the turned interface onto the portrait hardware, whose size is `fixed`.
CGPoint toFixed(CGPoint p, UIInterfaceOrientation o, CGSize fixed) {
    switch (o) {
        case UIInterfaceOrientation::landscapeRight:  // interface top is the hardware's right edge
            return {fixed.width - p.y, p.x};
        case UIInterfaceOrientation::landscapeLeft:  // interface top is the hardware's left edge
            return {p.y, fixed.height - p.x};
        case UIInterfaceOrientation::portraitUpsideDown:
            return {fixed.width - p.x, fixed.height - p.y};
        default:
            return p;
    }
}

CGPoint fromFixed(CGPoint p, UIInterfaceOrientation o, CGSize fixed) {
    switch (o) {
        case UIInterfaceOrientation::landscapeRight:
            return {p.y, fixed.width - p.x};
        case UIInterfaceOrientation::landscapeLeft:
            return {fixed.height - p.y, p.x};
        case UIInterfaceOrientation::portraitUpsideDown:
            return {fixed.width - p.x, fixed.height - p.y};
        default:
            return p;
    }
}

}  // namespace

CGRect UIScreenCoordinateSpace::bounds() const {
    if (fixed_) return CGRect(CGPoint{}, DeviceProfile::current().portraitSize);
    return UIScreen::mainScreen().bounds();
}

CGPoint UIScreenCoordinateSpace::convertPoint(CGPoint point, const UIScreenCoordinateSpace& to) const {
    if (fixed_ == to.fixed_) return point;
    UIInterfaceOrientation o = UIScreen::mainScreen().interfaceOrientation();
    CGSize fixed = DeviceProfile::current().portraitSize;
    return fixed_ ? fromFixed(point, o, fixed) : toFixed(point, o, fixed);
}

CGRect UIScreenCoordinateSpace::convertRect(const CGRect& rect, const UIScreenCoordinateSpace& to) const {
    if (rect.isNull() || fixed_ == to.fixed_) return rect;
    CGRect s = rect.standardized();
    CGPoint a = convertPoint(s.origin, to);
    CGPoint b = convertPoint(CGPoint{s.maxX(), s.maxY()}, to);
    return CGRect(a, CGSize{b.x - a.x, b.y - a.y}).standardized();
}

UIScreen& UIScreen::mainScreen() {
    static UIScreen screen;
    return screen;
}

CGRect UIScreen::bounds() const {
    return CGRect(CGPoint{}, DeviceProfile::current().screenSizeFor(orientation_));
}

CGRect UIScreen::nativeBounds() const {
    const DeviceProfile& p = DeviceProfile::current();
    return CGRect(0, 0, p.portraitSize.width * p.nativeScale, p.portraitSize.height * p.nativeScale);
}

void UIScreen::setSplitShare(CGFloat share) {
    // A share outside (0, 1] would leave the app no room or more than the screen.
    if (share > 0 && share <= 1) splitShare_ = share;
}

CGRect UIScreen::applicationFrame() const {
    CGSize size = bounds().size;
    return CGRect(0, 0, size.width * splitShare_, size.height);
}

void UIScreen::setInterfaceOrientation(UIInterfaceOrientation orientation) {
    // The interface is never unknown once shown; keep the last real one.
    if (orientation != UIInterfaceOrientation::unknown) orientation_ = orientation;
}

}  // namespace platform
