#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// A short arc of a ring turning round its centre.
class SpinnerArcAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
