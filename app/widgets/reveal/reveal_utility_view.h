#pragma once

#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// A view behind a reveal cell's content that keeps its own colour: a table highlighting its row sets
// the background of every view in it, so only setCustomBackgroundColor colours this one.
class RevealUtilityView : public platform::UIView {
public:
    using platform::UIView::UIView;

    void setBackgroundColor(const std::shared_ptr<platform::UIColor>& color) override { (void)color; }
    void setCustomBackgroundColor(const std::shared_ptr<platform::UIColor>& color) {
        platform::UIView::setBackgroundColor(color);
    }
};

}  // namespace quorvel
