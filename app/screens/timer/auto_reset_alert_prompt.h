#pragma once

#include <functional>

#include "app/core/auto_reset_prompt.h"

namespace quorvel {

// Start-up's auto-reset question, asked with the app's own alert.
class AutoResetAlertPrompt : public AutoResetPrompt {
public:
    void showAutoResetAlert(std::function<void(bool reset)> answer) override;
};

}  // namespace quorvel
