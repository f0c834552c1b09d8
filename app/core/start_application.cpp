#include "app/core/start_application.h"

#include "platform/uikit/application/ui_application.h"

namespace quorvel {

std::shared_ptr<AppDelegate> startApplication(std::shared_ptr<AutoResetPrompt> autoResetPrompt) {
    auto delegate = std::make_shared<AppDelegate>(std::move(autoResetPrompt));
    platform::UIApplication::sharedApplication().launch(delegate);
    return delegate;
}

}  // namespace quorvel
