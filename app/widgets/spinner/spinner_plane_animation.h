#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// A square that flips over, about y and then about z, in perspective.
class SpinnerPlaneAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
