#include "app/screens/navigation/app_storyboards.h"

#include "app/screens/navigation/main_navigation_controller_view_controller.h"
#include "app/screens/settings/settings_storyboard.h"
#include "app/screens/statistics/charts_storyboard.h"
#include "app/screens/timer/time_view_storyboard.h"
#include "platform/uikit/nibs/ui_storyboard.h"

namespace quorvel {

using namespace platform;

void AppStoryboards::registerAll() {
    TimeViewStoryboard::registerScenes();
    ChartsStoryboard::registerScenes();
    SettingsStoryboard::registerScenes();
    UIStoryboard::registerScene(kMain, kContainer,
                                [] { return std::make_shared<MainNavigationControllerViewController>(); });
    UIStoryboard::setInitialScene(kMain, kContainer);
}

}  // namespace quorvel
