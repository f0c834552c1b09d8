#pragma once

#include <memory>

namespace platform {

// What a visual-effect view would show over what lies behind it. The renderer has no live blur, so an
// effect is a description that views keep and pass on.
class UIVisualEffect {
public:
    virtual ~UIVisualEffect() = default;
};

}  // namespace platform
