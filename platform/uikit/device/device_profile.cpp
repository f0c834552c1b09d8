#include "platform/uikit/device/device_profile.h"

namespace platform {

namespace {

size_t slot(UIInterfaceOrientation orientation) {
    switch (orientation) {
        case UIInterfaceOrientation::portraitUpsideDown:
            return 1;
        case UIInterfaceOrientation::landscapeLeft:
            return 2;
        case UIInterfaceOrientation::landscapeRight:
            return 3;
        default:
            return 0;
    }
}

// A phone with a home button: the status bar takes 20 points in portrait and is gone in landscape.
DeviceProfile classicPhone(std::string id, std::string name, CGSize size, CGFloat scale) {
    DeviceProfile p{
        std::move(id), std::move(name), false, DeviceFamily::phone, UIUserInterfaceIdiom::phone, size,
        scale,         scale,           {}};
    p.safeAreaInsets = {UIEdgeInsets{20, 0, 0, 0}, UIEdgeInsets{20, 0, 0, 0}, UIEdgeInsets{}, UIEdgeInsets{}};
    return p;
}

// A phone with a sensor housing: room for it at the top in portrait and at both sides in landscape.
DeviceProfile notchedPhone(std::string id, std::string name, CGSize size, CGFloat scale) {
    DeviceProfile p{
        std::move(id), std::move(name), false, DeviceFamily::phone, UIUserInterfaceIdiom::phone, size,
        scale,         scale,           {}};
    UIEdgeInsets portrait{44, 0, 34, 0}, landscape{0, 44, 21, 44};
    p.safeAreaInsets = {portrait, portrait, landscape, landscape};
    return p;
}

// Renders at 3x and scales down to its 1080-pixel-wide panel.
DeviceProfile plusPhone() {
    DeviceProfile p = classicPhone("iPhone8Plus", "iPhone 8 Plus", {414, 736}, 3);
    p.nativeScale = 1080.0 / 414.0;
    return p;
}

DeviceProfile tablet(std::string id, std::string name, CGSize size, bool homeIndicator) {
    DeviceProfile p{
        std::move(id), std::move(name), false, DeviceFamily::pad, UIUserInterfaceIdiom::pad, size, 2, 2, {}};
    UIEdgeInsets insets = homeIndicator ? UIEdgeInsets{24, 0, 20, 0} : UIEdgeInsets{20, 0, 0, 0};
    p.safeAreaInsets = {insets, insets, insets, insets};
    return p;
}

DeviceProfile& currentProfile() {
    static DeviceProfile profile = *DeviceProfile::named("iPhone8");
    return profile;
}

}  // namespace

UIEdgeInsets DeviceProfile::safeAreaInsetsFor(UIInterfaceOrientation orientation) const {
    return safeAreaInsets[slot(orientation)];
}

CGSize DeviceProfile::screenSizeFor(UIInterfaceOrientation orientation) const {
    if (UIInterfaceOrientationIsLandscape(orientation)) return {portraitSize.height, portraitSize.width};
    return portraitSize;
}

const std::vector<DeviceProfile>& DeviceProfile::knownModels() {
    static const std::vector<DeviceProfile> models = {
        classicPhone("iPhone4s", "iPhone 4s", {320, 480}, 2),
        classicPhone("iPhoneSE", "iPhone SE", {320, 568}, 2),
        classicPhone("iPhone8", "iPhone 8", {375, 667}, 2),
        plusPhone(),
        notchedPhone("iPhoneX", "iPhone X", {375, 812}, 3),
        notchedPhone("iPhoneXS", "iPhone Xs", {375, 812}, 3),
        notchedPhone("iPhoneXR", "iPhone XR", {414, 896}, 2),
        notchedPhone("iPhoneXSMax", "iPhone Xs Max", {414, 896}, 3),
        tablet("iPadPro9Inch", "iPad Pro (9.7-inch)", {768, 1024}, false),
        tablet("iPadPro10Inch", "iPad Pro (10.5-inch)", {834, 1112}, false),
        tablet("iPadPro11Inch", "iPad Pro (11-inch)", {834, 1194}, true),
        tablet("iPadPro12Inch", "iPad Pro (12.9-inch)", {1024, 1366}, false),
        tablet("iPadPro12Inch2", "iPad Pro (12.9-inch) (2nd generation)", {1024, 1366}, false),
        tablet("iPadPro12Inch3", "iPad Pro (12.9-inch) (3rd generation)", {1024, 1366}, true),
    };
    return models;
}

std::optional<DeviceProfile> DeviceProfile::named(std::string_view identifier) {
    for (const auto& model : knownModels()) {
        if (model.identifier == identifier) return model;
    }
    return std::nullopt;
}

const DeviceProfile& DeviceProfile::current() {
    return currentProfile();
}

void DeviceProfile::setCurrent(const DeviceProfile& profile) {
    currentProfile() = profile;
}

}  // namespace platform
