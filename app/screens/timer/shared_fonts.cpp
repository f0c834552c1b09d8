#include "app/screens/timer/shared_fonts.h"

#include "platform/uikit/device/ui_device.h"

namespace quorvel {

using platform::UIFont;

std::shared_ptr<UIFont> navigationBarButtonFont() {
    static const auto font = UIFont::fontWithName("HelveticaNeue-Light", 18);
    return font;
}

std::shared_ptr<UIFont> elapsedTimeLabelFont() {
    // One for each idiom, as the emulated device has it now.
    static const auto pad = UIFont::fontWithName("HelveticaNeue-Light", 18);
    static const auto phone = UIFont::fontWithName("Helvetica-Light", 14);
    return platform::UI_USER_INTERFACE_IDIOM() == platform::UIUserInterfaceIdiom::pad ? pad : phone;
}

std::shared_ptr<UIFont> alertButtonFont() {
    static const auto font = UIFont::boldSystemFontOfSize(16);
    return font;
}

}  // namespace quorvel
