#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// Twelve squares round a ring, each lighting up and fading in turn.
class SpinnerFadingCircleAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
