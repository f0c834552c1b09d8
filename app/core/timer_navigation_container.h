#pragma once

#include <memory>

#include "platform/uikit/ui_button.h"

namespace quorvel {

// The app's navigation container as the engine sees it: the button that names the current session.
class TimerNavigationContainer {
public:
    virtual ~TimerNavigationContainer() = default;

    virtual std::shared_ptr<platform::UIButton> sessionButton() = 0;
};

}  // namespace quorvel
