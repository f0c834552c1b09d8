#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// Two translucent discs, half a cycle apart, that swell and shrink over each other.
class SpinnerBounceAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
