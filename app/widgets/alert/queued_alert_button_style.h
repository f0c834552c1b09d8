#pragma once

#include <memory>

#include "app/widgets/alert/queued_alert_item.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

// How an alert's buttons look by type: a background image per state and title colours. The theme
// colour and the sound switches are read from the settings afresh each time a button is styled.
class QueuedAlertButtonStyle {
public:
    struct TitleColors {
        std::shared_ptr<platform::UIColor> button;
        std::shared_ptr<platform::UIColor> cancel;
        std::shared_ptr<platform::UIColor> destructive;
    };

    // The named type a button is styled as: values outside them look like the default.
    static QueuedAlertViewButtonType kind(QueuedAlertViewButtonType type);
    static bool isToggle(QueuedAlertViewButtonType type);

    // Backgrounds and title colours of a new button.
    static void apply(platform::UIButton& button, QueuedAlertViewButtonType type, const TitleColors& colors);
    // A toggle after its handler ran: the normal background and title of its switch as it now stands.
    static void restyleToggle(platform::UIButton& button, QueuedAlertViewButtonType type);
    // The normal title colour, and the same colour at alpha 0.8 while highlighted.
    static void setTitleColor(platform::UIButton& button, const std::shared_ptr<platform::UIColor>& color);
};

}  // namespace quorvel
