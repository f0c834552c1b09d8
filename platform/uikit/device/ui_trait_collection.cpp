#include "platform/uikit/device/ui_trait_collection.h"

#include <cmath>

#include "platform/uikit/device/ui_screen.h"

namespace platform {

namespace {

// Widths of at least this many points get the regular horizontal size class on a tablet.
constexpr CGFloat kRegularPadWidth = 660;

}  // namespace

int UITraitCollection::splitBits() const {
    // The nearest of the shares the split driver offers; the whole screen carries no bit.
    struct Share {
        double fraction;
        int bits;
    };
    static constexpr Share shares[] = {
        {1.0 / 3, kSplitOneThird}, {0.5, kSplitOneHalf}, {2.0 / 3, kSplitTwoThirds}, {1.0, 0}};
    int best = 0;
    double distance = std::abs(splitShare - 1.0);
    for (const Share& s : shares) {
        double d = std::abs(splitShare - s.fraction);
        if (d < distance) {
            distance = d;
            best = s.bits;
        }
    }
    return best;
}

UITraitCollection UITraitCollection::forWindowSize(CGSize windowSize) {
    return forWindowSize(windowSize, UIScreen::mainScreen().interfaceOrientation());
}

UITraitCollection UITraitCollection::forWindowSize(CGSize windowSize, UIInterfaceOrientation orientation) {
    const DeviceProfile& device = DeviceProfile::current();
    CGFloat screenWidth = device.screenSizeFor(orientation).width;
    UITraitCollection traits;
    traits.userInterfaceIdiom = device.idiom;
    traits.displayScale = device.scale;
    traits.splitShare = screenWidth > 0 ? windowSize.width / screenWidth : 1;
    bool landscape = UIInterfaceOrientationIsLandscape(orientation);
    if (device.idiom == UIUserInterfaceIdiom::pad) {
        traits.horizontalSizeClass = windowSize.width >= kRegularPadWidth ? UIUserInterfaceSizeClass::regular
                                                                          : UIUserInterfaceSizeClass::compact;
        traits.verticalSizeClass = UIUserInterfaceSizeClass::regular;
    } else {
        // Only the large phones are wide enough for a regular width, and only lying down.
        bool wide = landscape && device.portraitSize.width >= 414;
        traits.horizontalSizeClass =
            wide ? UIUserInterfaceSizeClass::regular : UIUserInterfaceSizeClass::compact;
        traits.verticalSizeClass =
            landscape ? UIUserInterfaceSizeClass::compact : UIUserInterfaceSizeClass::regular;
    }
    return traits;
}

}  // namespace platform
