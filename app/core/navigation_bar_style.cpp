#include "app/core/navigation_bar_style.h"

#include "app/core/color_image.h"
#include "app/core/user_data_manager.h"
#include "platform/uikit/drawing/ui_image.h"

namespace quorvel {

void styleNavigationBar(bool translucent, const std::shared_ptr<platform::UINavigationBar>& bar) {
    if (!bar) return;
    bar->setTranslucent(translucent);
    bar->setShadowImage(std::make_shared<platform::UIImage>());
    bar->setTintColor(platform::UIColor::whiteColor());
    bar->setTitleTextAttributes({.font = nullptr, .foregroundColor = platform::UIColor::whiteColor()});
    std::shared_ptr<platform::UIImage> background;
    if (translucent) {
        background = std::make_shared<platform::UIImage>();
    } else {
        background = ColorImage::imageWithColor(UserDataManager::getPomodoroData().themeColorOf(SessionType::focus));
    }
    bar->setBackgroundImage(background, platform::UIBarMetrics::defaultMetrics);
}

}  // namespace quorvel
