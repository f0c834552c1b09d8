#include "app/screens/timer/timer_button.h"

#include <array>

#include "app/screens/timer/device_groups.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr const char* kClockFace = "HelveticaNeue-UltraLight";

CGFloat fullScreenSize(bool landscape) {
    const auto pick = [landscape](CGFloat inLandscape, CGFloat otherwise) {
        return landscape ? inLandscape : otherwise;
    };
    const Device device = Device::current();
    if (device.isPhone()) {
        const bool larger = DeviceGroups::currentIsOneOf(DeviceGroups::phoneGroupModels(1)) ||
                            DeviceGroups::currentIsOneOf(DeviceGroups::phoneGroupModels(3));
        return larger ? 118 : 108;
    }
    if (!device.isPad()) return 0;
    if (DeviceGroups::currentIsOneOf(DeviceGroups::deviceGroupModels(2))) return pick(208, 194);
    if (DeviceGroups::currentIsOneOf(DeviceGroups::deviceGroupModels(3))) return pick(205, 194);
    if (DeviceGroups::currentIsOneOf(DeviceGroups::deviceGroupModels(1))) return pick(224, 251);
    return pick(188, 169);
}

CGFloat splitSize(Split split, bool landscape) {
    // Per column: the tablet group tested, then a third (landscape, otherwise), a half, two thirds
    // (landscape, otherwise); tested left to right, the last row for any other device.
    struct Column {
        int group;
        std::array<CGFloat, 5> sizes;
    };
    static constexpr std::array<Column, 5> columns{{{0, {96, 96, 142, 142, 142}},
                                                    {2, {108, 100, 148, 148, 168}},
                                                    {3, {108, 100, 168, 168, 168}},
                                                    {1, {118, 118, 194, 194, 194}},
                                                    {-1, {96, 96, 142, 142, 142}}}};
    for (const auto& column : columns) {
        if (column.group >= 0 &&
            !DeviceGroups::currentIsOneOf(DeviceGroups::deviceGroupModels(column.group))) {
            continue;
        }
        const auto& s = column.sizes;
        switch (split) {
            case Split::oneThird:
                return landscape ? s[0] : s[1];
            case Split::oneHalf:
                return s[2];
            default:
                return landscape ? s[3] : s[4];
        }
    }
    return 0;
}

}  // namespace

TimerButton::TimerButton() {
    setUp();
}

TimerButton::TimerButton(const CGRect& frame) : UIButton(frame) {
    setUp();
}

void TimerButton::setUp() {
    applyTitleFont();
    addTarget(
        this, [this](UIControl&) { setTimerStatus(); }, UIControlEventTouchUpInside);
}

void TimerButton::setTimerStatus() {
    if (auto settable = delegate()) settable->toggleTimer(currentTimerStatus_);
}

void TimerButton::setTitle(const std::string& title, unsigned state) {
    UIView::performWithoutAnimation([&] {
        UIButton::setTitle(title, state);
        layoutIfNeeded();
    });
}

void TimerButton::setTitleColor(std::shared_ptr<UIColor> color, unsigned state) {
    UIButton::setTitleColor(color, state);
    if (state != UIControlStateNormal) return;
    UIButton::setTitleColor(color ? color->colorWithAlphaComponent(0.7) : nullptr, UIControlStateHighlighted);
}

std::shared_ptr<UIFont> TimerButton::titleFont(UIDeviceOrientation detectedOrientation, Split split) {
    const CGFloat size =
        split == Split::fullSize
            ? fullScreenSize(UIDeviceOrientationIsLandscape(detectedOrientation))
            : splitSize(split, UIDeviceOrientationIsLandscape(UIDevice::currentDevice().orientation()));
    return UIFont::fontWithName(kClockFace, size);
}

void TimerButton::applyTitleFont() {
    titleLabel()->setFont(titleFont(detectedOrientation_, splitStatus_));
}

void TimerButton::updateForRotation(UIDeviceOrientation orientation, Split split) {
    detectedOrientation_ = orientation;
    splitStatus_ = split;
    std::weak_ptr<UIView> weakSelf = weak_from_this();
    DispatchQueue::main()->async([weakSelf] {
        if (auto self = std::static_pointer_cast<TimerButton>(weakSelf.lock())) self->applyTitleFont();
    });
}

}  // namespace quorvel
