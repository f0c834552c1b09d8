#pragma once

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/device/device_profile.h"

namespace platform {

enum class UIUserInterfaceSizeClass : int { unspecified = 0, compact = 1, regular = 2 };

// The environment a window's content is laid out for. Besides the size classes it carries the share of
// the screen's width the app has in split view, from which the split bits are read.
struct UITraitCollection {
    static constexpr int kSplitOneThird = 0x100;
    static constexpr int kSplitOneHalf = 0x200;
    static constexpr int kSplitTwoThirds = 0x400;

    UIUserInterfaceIdiom userInterfaceIdiom = UIUserInterfaceIdiom::unspecified;
    UIUserInterfaceSizeClass horizontalSizeClass = UIUserInterfaceSizeClass::unspecified;
    UIUserInterfaceSizeClass verticalSizeClass = UIUserInterfaceSizeClass::unspecified;
    CGFloat displayScale = 0;
    CGFloat splitShare = 1;  // window width ÷ screen width

    // 0x100, 0x200 or 0x400 for a third, a half or two thirds of the screen; 0 for the whole of it.
    int splitBits() const;

    // The traits of a window of `windowSize` on the current device and screen.
    static UITraitCollection forWindowSize(CGSize windowSize);
    // The same with the interface turned to `orientation`, so a transition can tell the traits to come.
    static UITraitCollection forWindowSize(CGSize windowSize, UIInterfaceOrientation orientation);

    bool operator==(const UITraitCollection&) const = default;
};

}  // namespace platform
