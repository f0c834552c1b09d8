#pragma once

#include <memory>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/quartzcore/ca_layer.h"
#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

// One spinner style: adds its shapes and their looping animations to a host layer. Their begin times
// count from the host layer's own time at set-up, which is the media time unless the host was paused
// and resumed: then a new style still starts at once instead of after the time spent paused.
class SpinnerAnimating {
public:
    virtual ~SpinnerAnimating() = default;
    virtual void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                              const std::shared_ptr<platform::UIColor>& color) = 0;
};

}  // namespace quorvel
