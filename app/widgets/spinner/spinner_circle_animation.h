#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// Eight dots round a ring that swell in turn.
class SpinnerCircleAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
