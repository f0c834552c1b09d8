#pragma once

#include <functional>
#include <string>

namespace quorvel {

class QueuedAlertView;

// Runs with the alert whose button was pressed, or which is showing or going away.
using QueuedAlertViewHandler = std::function<void(QueuedAlertView& alertView)>;

// Stored as plain integers: a value outside the named ones is kept and styled like the default.
enum QueuedAlertViewButtonType : long {
    QueuedAlertViewButtonTypeDefault = 0,
    QueuedAlertViewButtonTypeDestructive = 1,
    QueuedAlertViewButtonTypeCancel = 2,
    // The sound options' switches: pressing one restyles it from the setting and keeps the alert open.
    QueuedAlertViewButtonTypeAlarmToggle = 3,
    QueuedAlertViewButtonTypeTickingToggle = 4,
};

enum QueuedAlertViewTransitionStyle : long {
    QueuedAlertViewTransitionStyleSlideFromBottom = 0,
    QueuedAlertViewTransitionStyleSlideFromTop = 1,
    QueuedAlertViewTransitionStyleFade = 2,
    QueuedAlertViewTransitionStyleBounce = 3,
    QueuedAlertViewTransitionStyleDropDown = 4,
};

// 0 and 1 dim the screen; anything else leaves it clear.
enum QueuedAlertViewBackgroundStyle : long {
    QueuedAlertViewBackgroundStyleGradient = 0,
    QueuedAlertViewBackgroundStyleSolid = 1,
};

enum QueuedAlertViewButtonsListStyle : long {
    // Exactly two buttons stand side by side; any other number stack in rows.
    QueuedAlertViewButtonsListStyleNormal = 0,
    QueuedAlertViewButtonsListStyleRows = 1,
};

// One button of an alert, in the order added.
struct QueuedAlertItem {
    std::string title;
    QueuedAlertViewButtonType type = QueuedAlertViewButtonTypeDefault;
    QueuedAlertViewHandler action;
};

}  // namespace quorvel
