#include "app/screens/timer/progress_ring_side.h"

#include "app/screens/timer/device_groups.h"
#include "platform/devicekit/device.h"

namespace quorvel {

using namespace platform;

namespace {

CGFloat fullScreenSide(bool landscape) {
    auto pick = [landscape](CGFloat inLandscape, CGFloat inPortrait) {
        return landscape ? inLandscape : inPortrait;
    };
    if (DeviceGroups::currentIsTwelveNineInchPad()) return pick(177.6, 225.3);
    if (DeviceGroups::currentIs(Device::iPadPro11Inch)) return pick(115.2, 183.5);
    if (DeviceGroups::currentIs(Device::iPadPro10Inch)) return pick(115.2, 144.6);
    if (Device::current().isPad()) return pick(130, 170);
    if (DeviceGroups::currentIsOneOf({Device::iPhone8Plus, Device::iPhoneXSMax})) return 131;
    return 118;
}

// One row of the split table: a third (landscape, portrait), a half, two thirds (landscape, portrait).
struct SplitRow {
    CGFloat thirdLandscape, thirdPortrait, half, twoThirdsLandscape, twoThirdsPortrait;

    CGFloat at(Split split, bool landscape) const {
        switch (split) {
            case Split::oneThird:
                return landscape ? thirdLandscape : thirdPortrait;
            case Split::oneHalf:
                return half;
            default:
                return landscape ? twoThirdsLandscape : twoThirdsPortrait;
        }
    }
};

SplitRow splitRow() {
    if (DeviceGroups::currentIs(Device::iPadPro9Inch)) return {114, 114, 114, 114, 114};
    if (DeviceGroups::currentIs(Device::iPadPro10Inch)) return {118, 133, 123, 123, 133};
    if (DeviceGroups::currentIs(Device::iPadPro11Inch)) return {118, 133, 133, 133, 133};
    if (DeviceGroups::currentIsTwelveNineInchPad()) return {131, 156, 156, 156, 156};
    return {114, 114, 114, 114, 114};
}

}  // namespace

CGFloat ProgressRingSide::sideLength(UIDeviceOrientation orientation, Split split) {
    const bool landscape = UIDeviceOrientationIsLandscape(orientation);
    if (split == Split::fullSize) return fullScreenSide(landscape);
    return splitRow().at(split, landscape);
}

}  // namespace quorvel
