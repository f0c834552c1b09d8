#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// Five bars that stretch up one after another.
class SpinnerWaveAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
