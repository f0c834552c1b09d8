#include "shell/device_viewport.h"

#include <algorithm>
#include <cmath>

namespace quorvel::shell {

namespace {

constexpr CGFloat kDesktopShare = 0.9;

bool hasArea(CGSize size) {
    return size.width > 0 && size.height > 0;
}

}  // namespace

CGSize DeviceViewport::windowSizeFor(CGSize screen, CGSize desktop, CGFloat zoom) {
    if (!hasArea(screen)) return {1, 1};
    if (!(zoom > 0)) zoom = 1;
    if (hasArea(desktop)) {
        zoom = std::min({zoom, desktop.width * kDesktopShare / screen.width,
                         desktop.height * kDesktopShare / screen.height});
    }
    return {std::max<CGFloat>(1, std::round(screen.width * zoom)),
            std::max<CGFloat>(1, std::round(screen.height * zoom))};
}

DeviceViewport::DeviceViewport(CGSize screen, CGSize window, CGSize output)
    : screen_(screen), window_(window), output_(output) {
    if (hasArea(screen) && hasArea(output)) {
        pixelsPerPoint_ = std::min(output.width / screen.width, output.height / screen.height);
    }
    const CGFloat width = std::round(screen.width * pixelsPerPoint_);
    const CGFloat height = std::round(screen.height * pixelsPerPoint_);
    screenInOutput_ = CGRect(std::floor((output.width - width) / 2), std::floor((output.height - height) / 2),
                             width, height);
}

CGFloat DeviceViewport::zoom() const {
    return output_.width > 0 ? pixelsPerPoint_ * window_.width / output_.width : 1;
}

CGPoint DeviceViewport::screenPointAt(CGPoint windowPosition) const {
    const CGFloat unitsToPixels = window_.width > 0 ? output_.width / window_.width : 1;
    return {(windowPosition.x * unitsToPixels - screenInOutput_.origin.x) / pixelsPerPoint_,
            (windowPosition.y * unitsToPixels - screenInOutput_.origin.y) / pixelsPerPoint_};
}

CGPoint DeviceViewport::screenPointAtFraction(CGPoint fraction) const {
    return screenPointAt({fraction.x * window_.width, fraction.y * window_.height});
}

bool DeviceViewport::showsPoint(CGPoint p) const {
    return p.x >= 0 && p.y >= 0 && p.x < screen_.width && p.y < screen_.height;
}

CGPoint DeviceViewport::clampedToScreen(CGPoint p) const {
    return {std::clamp<CGFloat>(p.x, 0, screen_.width), std::clamp<CGFloat>(p.y, 0, screen_.height)};
}

}  // namespace quorvel::shell
