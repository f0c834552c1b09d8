#pragma once

#include <vector>

namespace quorvel::shell {

// What the app is told, in the order it must hear it.
enum class LifeCycleStep { resignActive, enterBackground, enterForeground, becomeActive, terminate };

// Turns what happens to the desktop window into the app's life cycle: losing and regaining the focus
// is resigning and becoming active; minimising is the home button (resign active, then background) and
// restoring comes back (foreground, then active); closing terminates, resigning first. Each event
// yields only the steps the app's current state calls for, so repeated or crossing window events
// (a minimised window also loses the focus) never tell the app the same thing twice.
class WindowLifeCycle {
public:
    enum class State { active, inactive, background, terminated };
    enum class WindowEvent { focusLost, focusGained, minimized, restored, closed };

    // Launch ends active.
    State state() const { return state_; }
    std::vector<LifeCycleStep> handle(WindowEvent event);

private:
    State state_ = State::active;
};

}  // namespace quorvel::shell
