#pragma once

#include <memory>

#include "platform/uikit/controllers/ui_presentation_controller.h"

namespace platform {

class UIBarButtonItem;

// Shows the presented view as a panel next to what it came from: a rectangle of a source view, or a
// bar button item. Where the window is compact in width there is no room beside anything, and the panel
// covers the window instead.
class UIPopoverPresentationController : public UIPresentationController {
public:
    // The panel's size when the presented controller prefers none.
    static constexpr CGSize kDefaultSize{320, 480};
    // The panel keeps this far from the window's edges, and this far from its source.
    static constexpr CGFloat kMargin = 10;

    using UIPresentationController::UIPresentationController;

    std::shared_ptr<UIView> sourceView() const { return sourceView_.lock(); }
    void setSourceView(const std::shared_ptr<UIView>& view) { sourceView_ = view; }
    // In the source view's coordinates.
    CGRect sourceRect() const { return sourceRect_; }
    void setSourceRect(const CGRect& rect) { sourceRect_ = rect; }
    std::shared_ptr<UIBarButtonItem> barButtonItem() const { return barButtonItem_.lock(); }
    void setBarButtonItem(const std::shared_ptr<UIBarButtonItem>& item) { barButtonItem_ = item; }

    // Below the source when there is room, else above it; centred on it, kept inside the window.
    CGRect frameOfPresentedViewInContainerView() const override;

protected:
    bool slides() const override { return false; }

private:
    // The source in window coordinates (the bar button item's view before the source view); the
    // window's centre when there is none.
    CGRect anchorInWindow(const UIWindow& window) const;

    std::weak_ptr<UIView> sourceView_;
    CGRect sourceRect_ = CGRect::zero();
    std::weak_ptr<UIBarButtonItem> barButtonItem_;
};

}  // namespace platform
