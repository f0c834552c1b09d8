#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// Twelve dots round a ring, each shrinking away and fading in turn.
class SpinnerFadingCircleAltAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
