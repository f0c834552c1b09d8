#pragma once

#include <vector>

#include "app/widgets/alert/queued_alert_background_window.h"
#include "app/widgets/alert/queued_alert_view.h"

namespace quorvel::testing {

// The program's one queue of alerts as a process finds it, for one case, and so again when the case
// ends: the alerts it left up or queued are dismissed at once, their windows hidden, and the dimming
// under them goes.
class FreshAlertQueue {
public:
    FreshAlertQueue() { clear(); }
    ~FreshAlertQueue() { clear(); }
    FreshAlertQueue(const FreshAlertQueue&) = delete;
    FreshAlertQueue& operator=(const FreshAlertQueue&) = delete;

private:
    static void clear() {
        // Each dismissal brings up the next alert of the queue, at once while nothing moves.
        while (const auto current = QueuedAlertView::currentAlertView()) {
            QueuedAlertView::setAnimating(false);
            current->dismissAnimated(false);
        }
        for (const auto& alert : std::vector(QueuedAlertView::sharedQueue())) alert->dismissAnimated(false);
        QueuedAlertView::sharedQueue().clear();
        QueuedAlertView::setAnimating(false);
        QueuedAlertBackgroundWindow::hideShared(false);
    }
};

}  // namespace quorvel::testing
