#include "app/screens/timer/carousel_sizing.h"

#include "app/screens/timer/device_groups.h"
#include "platform/devicekit/device.h"
#include "platform/uikit/device/ui_device.h"

namespace quorvel {

using namespace platform;

namespace {

// Main height, sub height and spacing of one row.
struct Ticks {
    CGFloat main, sub, spacing;
};

// The main, sub and spacing columns follow how the screen is turned.
bool screenIsLandscape() {
    return Device::current().orientation() == Device::Orientation::landscape;
}

Ticks byScreen(Ticks landscape, Ticks portrait) {
    return screenIsLandscape() ? landscape : portrait;
}

Ticks phoneTicks() {
    if (DeviceGroups::currentIs(Device::iPhoneX)) return byScreen({48, 23, 21.5}, {48, 23, 20});
    if (DeviceGroups::currentIs(Device::iPhoneXSMax)) return {48, 23, 21.5};
    if (DeviceGroups::currentIs(Device::iPhone8Plus)) return byScreen({48, 20, 22}, {45, 21.5, 21.5});
    return {42, 20, 20};
}

Ticks fullScreenTabletTicks() {
    if (DeviceGroups::currentIs(Device::iPadPro10Inch)) return byScreen({67, 32, 30}, {96, 40.8, 35.3});
    if (DeviceGroups::currentIs(Device::iPadPro11Inch)) return byScreen({67, 32, 20}, {96, 45.1, 37.3});
    if (DeviceGroups::currentIsTwelveNineInchPad()) return byScreen({77, 36, 39}, {100, 48, 47});
    return byScreen({67, 32, 30}, {87, 40.8, 35.4});
}

Ticks splitTabletTicks(Split split) {
    const bool tenInch = DeviceGroups::currentIs(Device::iPadPro10Inch);
    const bool elevenInch = DeviceGroups::currentIs(Device::iPadPro11Inch);
    const bool twelveNineInch = DeviceGroups::currentIsTwelveNineInchPad();
    switch (split) {
        case Split::oneThird:
            if (tenInch || elevenInch) return byScreen({48, 23, 20}, {66, 32, 30});
            if (twelveNineInch) return byScreen({48, 23, 22}, {77, 36, 36});
            return byScreen({48, 23, 16}, {66, 32, 26});
        case Split::oneHalf:
            if (elevenInch) return {66, 32, 31};
            if (twelveNineInch) return {77, 36, 36};
            return {66, 32, 26};
        default:
            // Two thirds of a standing screen is the narrower: its values are the smaller ones.
            if (elevenInch) return byScreen({66, 32, 31}, {49, 23.5, 16});
            if (twelveNineInch) return byScreen({77, 36, 36}, {70, 33.5, 21.5});
            return byScreen({66, 32, 26}, {49, 23.5, 16});
    }
}

CGFloat fadeFactorFor(const Device& device, Split splitStatus) {
    if (device.isPhone())
        return UIDeviceOrientationIsLandscape(UIDevice::currentDevice().orientation()) ? 80 : 50;
    if (DeviceGroups::currentIsTwelveNineInchPad()) return splitStatus == Split::oneThird ? 80 : 120;
    if (device.isPad()) return 60;
    return 0;
}

}  // namespace

CarouselSizing CarouselSizing::compute(Split splitStatus) {
    const Device device = Device::current();
    Ticks ticks = device.isPhone()                 ? phoneTicks()
                  : splitStatus == Split::fullSize ? fullScreenTabletTicks()
                                                   : splitTabletTicks(splitStatus);
    CarouselSizing sizing;
    sizing.mainIndicatorHeight = ticks.main;
    sizing.subIndicatorHeight = ticks.sub;
    sizing.indicatorSpacing = ticks.spacing;
    sizing.lineWidth = UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiom::pad ? 3 : 2;
    sizing.fadeFactor = fadeFactorFor(device, splitStatus);
    return sizing;
}

}  // namespace quorvel
