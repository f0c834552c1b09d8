#pragma once

#include <memory>

#include "app/widgets/alert/queued_alert_item.h"
#include "platform/uikit/application/ui_window.h"

namespace quorvel {

// The window under the alerts that dims everything below it. There is one while alerts are up: it
// fades in with the first and out after the last.
class QueuedAlertBackgroundWindow : public platform::UIWindow {
public:
    static constexpr platform::UIWindowLevel kLevel = 1985.0;
    static constexpr double kFadeDuration = 0.3;

    QueuedAlertBackgroundWindow(const platform::CGRect& frame, QueuedAlertViewBackgroundStyle style);

    QueuedAlertViewBackgroundStyle style() const { return style_; }
    void setStyle(QueuedAlertViewBackgroundStyle style);

    // Black at alpha 0.75 for the dimming styles; nothing for the others.
    void drawRect(const platform::CGRect& rect) override;

    // The one window, while there is one.
    static const std::shared_ptr<QueuedAlertBackgroundWindow>& shared();
    // Makes it key and fades it in unless it is up; a fade-out under way turns back.
    static void showShared(const platform::CGRect& frame, QueuedAlertViewBackgroundStyle style);
    // Fades it out and then releases it, or releases it at once.
    static void hideShared(bool animated);

private:
    QueuedAlertViewBackgroundStyle style_;
};

}  // namespace quorvel
