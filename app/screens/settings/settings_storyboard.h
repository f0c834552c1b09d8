#pragma once

namespace quorvel {

// The "Settings" storyboard: the settings screen under the identifier "OptionViewController" (its
// grouped table with the row cell as prototype) and the screens its segues lead to. Registering it also
// lets the "Show Badge on Ticking" switch reach the timer engine's badge at once. Registered once at
// start, before the navigation container builds its screens.
class SettingsStoryboard {
public:
    static constexpr const char* kName = "Settings";
    static constexpr const char* kScreen = "OptionViewController";

    static void registerScenes();
};

}  // namespace quorvel
