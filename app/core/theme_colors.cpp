#include "app/core/theme_colors.h"

#include <cairo.h>

#include "platform/uikit/drawing/ui_graphics.h"

namespace quorvel {

namespace {

std::shared_ptr<platform::UIColor> opaque(int red, int green, int blue) {
    return platform::UIColor::colorWithRed(red / 255.0, green / 255.0, blue / 255.0, 1.0);
}

// A 1 × 1 context filled with the colour; an empty image when no context opens.
std::shared_ptr<platform::UIImage> swatch(double white, double alpha) {
    platform::UIGraphicsBeginImageContext({1, 1});
    platform::CGContext* context = platform::UIGraphicsGetCurrentContext();
    if (!context) {
        cairo_surface_t* empty = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 0, 0);
        auto image = std::make_shared<platform::UIImage>(empty, 1);
        cairo_surface_destroy(empty);
        return image;
    }
    context->setFillColor(platform::UIColor::colorWithWhite(white, alpha));
    context->fillRect(platform::CGRectMake(0, 0, 1, 1));
    auto image = platform::UIGraphicsGetImageFromCurrentImageContext();
    platform::UIGraphicsEndImageContext();
    return image;
}

}  // namespace

const std::shared_ptr<platform::UIImage>& translucentWhiteImage() {
    static const auto image = swatch(0.9803921568627451, 0.18);
    return image;
}

const std::shared_ptr<platform::UIImage>& translucentBlackImage() {
    static const auto image = swatch(0, 0.8);
    return image;
}

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
