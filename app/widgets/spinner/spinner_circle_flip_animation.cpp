#include "app/widgets/spinner/spinner_circle_flip_animation.h"

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerCircleFlipAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                              const std::shared_ptr<UIColor>& color) {
    SpinnerParts::addFlipping(layer, SpinnerParts::circle(SpinnerParts::inset(size), color));
}

}  // namespace quorvel
