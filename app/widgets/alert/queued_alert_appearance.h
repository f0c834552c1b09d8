#pragma once

#include <memory>

#include "app/widgets/alert/queued_alert_item.h"
#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {

// The look of an alert that its appearance setters change.
struct QueuedAlertAppearance {
    std::shared_ptr<platform::UIColor> viewBackgroundColor;
    std::shared_ptr<platform::UIColor> titleColor;
    std::shared_ptr<platform::UIColor> messageColor;
    std::shared_ptr<platform::UIFont> titleFont;
    std::shared_ptr<platform::UIFont> messageFont;
    std::shared_ptr<platform::UIFont> buttonFont;
    std::shared_ptr<platform::UIColor> buttonColor;
    std::shared_ptr<platform::UIColor> cancelButtonColor;
    std::shared_ptr<platform::UIColor> destructiveButtonColor;
    platform::CGFloat cornerRadius = 0;
    platform::CGFloat shadowRadius = 0;
    QueuedAlertViewBackgroundStyle backgroundStyle = QueuedAlertViewBackgroundStyleGradient;

    // What every new alert starts from: made once, on first use.
    static const QueuedAlertAppearance& defaults();
};

}  // namespace quorvel
