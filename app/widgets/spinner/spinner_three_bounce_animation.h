#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// Three dots in a row that swell one after another.
class SpinnerThreeBounceAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
