#include "app/screens/reminders/carousel_settings.h"

#include "platform/uikit/device/ui_device.h"

namespace quorvel {

CarouselSettings::CarouselSettings() : unitColor(platform::UIColor::colorWithWhite(0.5, 1)) {
    if (platform::UIDevice::currentDevice().userInterfaceIdiom() == platform::UIUserInterfaceIdiom::pad) {
        width = 27;
        height = 90;
        measurementUnitHeight = 30;
        fontSize = 18;
        fadeFactor = 15;
    }
}

}  // namespace quorvel
