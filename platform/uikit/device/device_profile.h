#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"

namespace platform {

enum class UIUserInterfaceIdiom : int { unspecified = -1, phone = 0, pad = 1 };

// What kind of hardware the model is, independent of the idiom the app runs in.
enum class DeviceFamily { phone, pad, other };

enum class UIInterfaceOrientation : int {
    unknown = 0,
    portrait = 1,
    portraitUpsideDown = 2,
    landscapeLeft = 4,
    landscapeRight = 3,
};

inline bool UIInterfaceOrientationIsLandscape(UIInterfaceOrientation o) {
    return o == UIInterfaceOrientation::landscapeLeft || o == UIInterfaceOrientation::landscapeRight;
}

// The emulated hardware: which model, how big its screen is and where its notch and home indicator
// leave room. The shell and tests choose one; everything that asks "what device is this" reads it.
struct DeviceProfile {
    std::string identifier;   // the model's case name, e.g. "iPadPro11Inch"
    std::string description;  // a readable name, e.g. "iPad Pro (11-inch)"
    bool simulator = false;
    DeviceFamily family = DeviceFamily::phone;
    UIUserInterfaceIdiom idiom = UIUserInterfaceIdiom::phone;
    CGSize portraitSize;  // points
    CGFloat scale = 2;
    CGFloat nativeScale = 2;  // pixels per point of the panel itself; differs from scale on a few models
    // Indexed by interface orientation: portrait, upside down, landscape left, landscape right.
    std::array<UIEdgeInsets, 4> safeAreaInsets{};

    UIEdgeInsets safeAreaInsetsFor(UIInterfaceOrientation orientation) const;
    // The screen in points as the interface is turned.
    CGSize screenSizeFor(UIInterfaceOrientation orientation) const;

    // Every model the app's layout tables name, plus a few small phones.
    static const std::vector<DeviceProfile>& knownModels();
    static std::optional<DeviceProfile> named(std::string_view identifier);

    // The profile of the emulated device; an iPhone 8 until someone sets another. Main thread.
    static const DeviceProfile& current();
    static void setCurrent(const DeviceProfile& profile);
};

}  // namespace platform
