#pragma once

#include <functional>
#include <memory>

#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// Holds an open drop-down menu over the screen. Under a navigation bar it starts at the bar's bottom
// edge, keeping its own bottom; a menu that slides out from behind the bar starts at the top.
// After each layout the layout handler runs, for the menu to follow a bar that moved.
class DropDownMenuContainerView : public platform::UIView {
public:
    using platform::UIView::UIView;

    std::shared_ptr<platform::UIView> navigationBar() const { return navigationBar_.lock(); }
    void setNavigationBar(const std::shared_ptr<platform::UIView>& bar);
    bool appearsBehindNavigationBar() const { return appearsBehindNavigationBar_; }
    void setAppearsBehindNavigationBar(bool behind);

    void setLayoutHandler(std::function<void()> handler) { layoutHandler_ = std::move(handler); }

    void layoutSubviews() override;

private:
    std::weak_ptr<platform::UIView> navigationBar_;
    bool appearsBehindNavigationBar_ = false;
    std::function<void()> layoutHandler_;
};

}  // namespace quorvel
