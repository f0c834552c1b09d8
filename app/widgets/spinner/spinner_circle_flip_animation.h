#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// A disc that flips over as the plane does.
class SpinnerCircleFlipAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
