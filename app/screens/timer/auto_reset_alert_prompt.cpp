#include "app/screens/timer/auto_reset_alert_prompt.h"

#include <utility>

#include "app/screens/timer/zuvo_alert_manager.h"

namespace quorvel {

void AutoResetAlertPrompt::showAutoResetAlert(std::function<void(bool reset)> answer) {
    ZuvoAlertManager::showAutoResetAlert(std::move(answer));
}

}  // namespace quorvel
