#pragma once

#include <memory>
#include <vector>

#include "platform/uikit/controls/ui_button.h"

namespace quorvel {

// The app's navigation container as the engine and the timer screen see it: the button that names the
// current session, the one that skips or stops it, and the left bar button of each screen in menu order.
class TimerNavigationContainer {
public:
    virtual ~TimerNavigationContainer() = default;

    virtual std::shared_ptr<platform::UIButton> sessionButton() = 0;
    virtual std::shared_ptr<platform::UIButton> skipButton() { return nullptr; }
    virtual std::vector<std::shared_ptr<platform::UIButton>> navigationBarButtons() { return {}; }
};

}  // namespace quorvel
