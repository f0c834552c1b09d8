#include "platform/uikit/controllers/ui_alert_action.h"

namespace platform {

std::shared_ptr<UIAlertAction> UIAlertAction::actionWithTitle(const std::string& title, UIAlertActionStyle style,
                                                               Handler handler) {
    return std::shared_ptr<UIAlertAction>(new UIAlertAction(title, style, std::move(handler)));
}

void UIAlertAction::runHandler() {
    if (!handler_) return;
    auto keep = shared_from_this();
    Handler handler = handler_;
    handler(*this);
}

}  // namespace platform
