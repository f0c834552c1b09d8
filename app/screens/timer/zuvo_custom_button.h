#pragma once

#include "app/screens/timer/designable_view.h"
#include "platform/uikit/controls/ui_button.h"

namespace quorvel {

// A button with a border, rounded or circular corners and a drop shadow (see DesignableView).
class ZuvoCustomButton : public DesignableView<platform::UIButton> {
public:
    using DesignableView::DesignableView;
};

}  // namespace quorvel
