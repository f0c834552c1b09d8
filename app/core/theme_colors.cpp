#include "app/core/theme_colors.h"

namespace quorvel {

namespace {

std::shared_ptr<platform::UIColor> opaque(int red, int green, int blue) {
    return platform::UIColor::colorWithRed(red / 255.0, green / 255.0, blue / 255.0, 1.0);
}

}  // namespace

const std::shared_ptr<platform::UIColor>& defaultFocusThemeColor() {
    static const auto color = opaque(255, 64, 64);
    return color;
}

const std::shared_ptr<platform::UIColor>& defaultShortBreakThemeColor() {
    static const auto color = opaque(106, 130, 238);
    return color;
}

const std::shared_ptr<platform::UIColor>& defaultLongBreakThemeColor() {
    static const auto color = opaque(54, 62, 71);
    return color;
}

const std::shared_ptr<platform::UIColor>& swipeButtonDarkGrey() {
    static const auto color = opaque(116, 111, 106);
    return color;
}

const std::shared_ptr<platform::UIColor>& swipeButtonLightGrey() {
    static const auto color = opaque(164, 158, 152);
    return color;
}

const std::shared_ptr<platform::UIColor>& navigationGrey() {
    static const auto color = opaque(210, 210, 210);
    return color;
}

const std::shared_ptr<platform::UIColor>& defaultThemeColor(SessionType type) {
    switch (type) {
        case SessionType::shortBreak:
            return defaultShortBreakThemeColor();
        case SessionType::longBreak:
            return defaultLongBreakThemeColor();
        case SessionType::focus:
            break;
    }
    return defaultFocusThemeColor();
}

}  // namespace quorvel
