#pragma once

#include "app/screens/timer/designable_view.h"
#include "platform/uikit/drawing/ui_image_view.h"

namespace quorvel {

// An image view with a border, rounded or circular corners and a drop shadow (see DesignableView); made
// also from an image, or an image and its highlighted form.
class ZuvoImageView : public DesignableView<platform::UIImageView> {
public:
    using DesignableView::DesignableView;
};

}  // namespace quorvel
