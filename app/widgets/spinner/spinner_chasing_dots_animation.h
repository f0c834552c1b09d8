#pragma once

#include "app/widgets/spinner/spinner_animating.h"

namespace quorvel {

// Two dots on a turning square, swelling in turn.
class SpinnerChasingDotsAnimation : public SpinnerAnimating {
public:
    void setupSpinnerAnimationInLayer(platform::CALayer& layer, platform::CGSize size,
                                      const std::shared_ptr<platform::UIColor>& color) override;
};

}  // namespace quorvel
