#include "platform/uikit/controllers/ui_popover_presentation_controller.h"

#include <algorithm>

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/navigation/ui_bar_button_item.h"

namespace platform {

CGRect UIPopoverPresentationController::anchorInWindow(const UIWindow& window) const {
    if (auto item = barButtonItem()) {
        if (auto view = item->view(); view && view->window()) return view->convertRectToView(view->bounds(), nullptr);
    }
    if (auto source = sourceView()) return source->convertRectToView(sourceRect_, nullptr);
    CGRect bounds = window.bounds();
    return CGRect(bounds.midX(), bounds.midY(), 0, 0);
}

CGRect UIPopoverPresentationController::frameOfPresentedViewInContainerView() const {
    auto window = containerView();
    if (!window) return CGRect::zero();
    CGRect bounds = window->bounds();
    if (window->traitCollection().horizontalSizeClass != UIUserInterfaceSizeClass::regular) return bounds;
    auto presented = presentedViewController();
    CGSize size = presented ? presented->preferredContentSize() : CGSize{};
    if (size.width <= 0 || size.height <= 0) size = kDefaultSize;
    size.width = std::min(size.width, bounds.width() - 2 * kMargin);
    CGRect anchor = anchorInWindow(*window);
    CGFloat below = bounds.maxY() - anchor.maxY() - 2 * kMargin;
    CGFloat above = anchor.minY() - bounds.minY() - 2 * kMargin;
    bool goesBelow = below >= size.height || below >= above;
    size.height = std::min(size.height, std::max(0.0, goesBelow ? below : above));
    CGFloat x = std::clamp(anchor.midX() - size.width / 2, bounds.minX() + kMargin,
                           bounds.maxX() - kMargin - size.width);
    CGFloat y = goesBelow ? anchor.maxY() + kMargin : anchor.minY() - kMargin - size.height;
    return CGRect(x, y, size.width, size.height);
}

}  // namespace platform
