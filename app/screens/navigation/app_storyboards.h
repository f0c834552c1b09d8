#pragma once

namespace quorvel {

// Every storyboard of the app, registered before the app launches: the main one ("Main"), whose first
// scene is the navigation container showing the timer screen, and the screens it switches between.
class AppStoryboards {
public:
    static constexpr const char* kMain = "Main";
    static constexpr const char* kContainer = "MainNavigationControllerViewController";

    static void registerAll();
};

}  // namespace quorvel
