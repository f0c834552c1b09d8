#include "app/screens/timer/zuvo_size_calculator.h"

#include <algorithm>

#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/device/ui_screen.h"

namespace quorvel {

using namespace platform;

CGFloat ZuvoSizeCalculator::screenWidth() {
    static const CGFloat width = UIScreen::mainScreen().bounds().size.width;
    return width;
}

CGFloat ZuvoSizeCalculator::screenHeight() {
    static const CGFloat height = UIScreen::mainScreen().bounds().size.height;
    return height;
}

CGFloat ZuvoSizeCalculator::longerSide() {
    static const CGFloat side = std::max(screenWidth(), screenHeight());
    return side;
}

CGFloat ZuvoSizeCalculator::menuLongerSide() {
    static const CGFloat side = [] {
        const CGSize size = UIScreen::mainScreen().bounds().size;
        return std::max(size.width, size.height);
    }();
    return side;
}

bool ZuvoSizeCalculator::IS_IPHONE_4_OR_LESS() {
    return UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiom::phone && longerSide() < 568.0;
}

}  // namespace quorvel
