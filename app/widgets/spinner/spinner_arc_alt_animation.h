#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// A ring drawn and then erased from the same end.
class SpinnerArcAltAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
