#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// A turning disc with a round hole near its rim.
class SpinnerOrbitAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
