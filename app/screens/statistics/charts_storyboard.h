#pragma once

namespace quorvel {

// The "Charts" storyboard: the statistics screen under the identifier "ChartsViewController", with its
// view tree (the two chart areas in a stack, each with its average, chart, day panel and box, and the
// divider between them) and its outlets. Registered once at start, before the navigation container
// builds its screens.
class ChartsStoryboard {
public:
    static constexpr const char* kName = "Charts";
    static constexpr const char* kScreen = "ChartsViewController";

    static void registerScenes();
};

}  // namespace quorvel
