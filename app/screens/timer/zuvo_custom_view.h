#pragma once

#include "app/screens/timer/designable_view.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// A plain view with a border, rounded or circular corners and a drop shadow (see DesignableView).
class ZuvoCustomView : public DesignableView<platform::UIView> {
public:
    using DesignableView::DesignableView;
};

}  // namespace quorvel
