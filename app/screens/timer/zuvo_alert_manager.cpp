#include "app/screens/timer/zuvo_alert_manager.h"

#include "app/widgets/alert/queued_alert_view.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/uikit/ui_font.h"

namespace quorvel {

void ZuvoAlertManager::showReminderToggleAlert(bool enable, std::function<void(bool)> completion) {
    auto alert = std::make_shared<QueuedAlertView>(std::nullopt, enable ? "Receive reminders?"
                                                                        : "Don't receive reminders?");
    alert->setTransitionStyle(QueuedAlertViewTransitionStyleBounce);
    alert->addButtonWithTitle("Cancel", QueuedAlertViewButtonTypeCancel, [completion](QueuedAlertView&) {
        if (completion) completion(false);
    });
    alert->addButtonWithTitle("Okay", QueuedAlertViewButtonTypeDefault, [completion](QueuedAlertView&) {
        if (completion) completion(true);
    });
    alert->setButtonFont(platform::UIFont::boldSystemFontOfSize(16));
    alert->setButtonColor(platform::UIColor::whiteColor());
    platform::DispatchQueue::main()->async([alert] { alert->show(); });
}

}  // namespace quorvel
