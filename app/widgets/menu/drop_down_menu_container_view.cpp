#include "app/widgets/menu/drop_down_menu_container_view.h"

#include <algorithm>

namespace quorvel {

using namespace platform;

void DropDownMenuContainerView::setNavigationBar(const std::shared_ptr<UIView>& bar) {
    navigationBar_ = bar;
    setNeedsLayout();
}

void DropDownMenuContainerView::setAppearsBehindNavigationBar(bool behind) {
    appearsBehindNavigationBar_ = behind;
    setNeedsLayout();
}

void DropDownMenuContainerView::layoutSubviews() {
    auto bar = navigationBar();
    if (!bar) return;
    const CGRect f = frame();
    const CGFloat top =
        appearsBehindNavigationBar_ ? 0 : bar->convertRectToView(bar->bounds(), superview()).maxY();
    if (top != f.minY()) setFrame(CGRect(f.minX(), top, f.size.width, std::max<CGFloat>(0, f.maxY() - top)));
    if (layoutHandler_) layoutHandler_();
}

}  // namespace quorvel
