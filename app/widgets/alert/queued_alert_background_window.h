#pragma once

#include "app/widgets/alert/queued_alert_item.h"
#include "platform/uikit/ui_window.h"

namespace quorvel {

// The window under the alerts that dims everything below it.
class QueuedAlertBackgroundWindow : public platform::UIWindow {
public:
    static constexpr platform::UIWindowLevel kLevel = 1985.0;

    QueuedAlertBackgroundWindow(const platform::CGRect& frame, QueuedAlertViewBackgroundStyle style);

    QueuedAlertViewBackgroundStyle style() const { return style_; }
    void setStyle(QueuedAlertViewBackgroundStyle style);

    // Black at alpha 0.75 for the dimming styles; nothing for the others.
    void drawRect(const platform::CGRect& rect) override;

private:
    QueuedAlertViewBackgroundStyle style_;
};

}  // namespace quorvel
