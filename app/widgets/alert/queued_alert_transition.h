#pragma once

#include <functional>
#include <memory>

#include "app/widgets/alert/queued_alert_item.h"
#include "platform/quartzcore/ca_animation.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// Brings an alert's card in over the alert's view and takes it out again, in one of the transition
// styles. The completion runs once the motion ends, also when it is cut short; a style outside the
// named ones moves nothing and completes at once, so a caller waiting on it is never left waiting.
class QueuedAlertTransition {
public:
    using Completion = std::function<void()>;

    // Key-frame styles keep the completion on the animation under this key; `delegate` hears the
    // animation stop and runs it through runStoredHandler.
    static constexpr const char* kHandlerKey = "handler";

    static void transitionIn(QueuedAlertViewTransitionStyle style, platform::UIView& view,
                             platform::UIView& card,
                             const std::shared_ptr<platform::CAAnimationDelegate>& delegate,
                             Completion completion);
    static void transitionOut(QueuedAlertViewTransitionStyle style, platform::UIView& view,
                              platform::UIView& card,
                              const std::shared_ptr<platform::CAAnimationDelegate>& delegate,
                              Completion completion);

    static void runStoredHandler(const platform::CAAnimation& animation);
};

}  // namespace quorvel
