#pragma once

#include <memory>

#include "app/core/app_delegate.h"
#include "app/core/auto_reset_prompt.h"

namespace quorvel {

// Launches the app with its delegate, as the desktop shell does at start-up: the delegate's launch,
// then its activation. The shell then runs the main run loop and drives the life cycle through
// UIApplication (minimise, restore, focus, close). The timer screen's alert answers the auto-reset
// question. Main thread.
std::shared_ptr<AppDelegate> startApplication(std::shared_ptr<AutoResetPrompt> autoResetPrompt = nullptr);

}  // namespace quorvel
