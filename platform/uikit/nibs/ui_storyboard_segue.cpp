#include "platform/uikit/nibs/ui_storyboard_segue.h"

#include "platform/uikit/navigation/ui_navigation_controller.h"

namespace platform {

UIStoryboardSegue::UIStoryboardSegue(std::string identifier, const std::shared_ptr<UIViewController>& source,
                                     std::shared_ptr<UIViewController> destination, UIStoryboardSegueKind kind)
    : identifier_(std::move(identifier)), source_(source), destination_(std::move(destination)), kind_(kind) {}

void UIStoryboardSegue::perform() {
    auto source = source_.lock();
    if (!source || !destination_) return;
    if (kind_ == UIStoryboardSegueKind::show) {
        if (auto navigation = source->navigationController()) return navigation->pushViewController(destination_, true);
    }
    source->presentViewController(destination_, true);
}

}  // namespace platform
