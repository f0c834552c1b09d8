#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// Two cubes that chase each other round the square's corners, shrinking on its sides.
class SpinnerWanderingCubesAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
