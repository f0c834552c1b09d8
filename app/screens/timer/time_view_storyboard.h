#pragma once

namespace quorvel {

// The "TimeView" storyboard: the timer screen under the identifier "TimeViewController", its view tree
// (the stack of the clock, the minute ring, the progress ring with its play button and the round and
// goal table) and its outlets. Registered once at start, before the navigation container shows it.
class TimeViewStoryboard {
public:
    static constexpr const char* kName = "TimeView";
    static constexpr const char* kScreen = "TimeViewController";

    static void registerScenes();
};

}  // namespace quorvel
