#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// A three-by-three grid of squares that swell in diagonals from the top left.
class Spinner9CubeGridAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
