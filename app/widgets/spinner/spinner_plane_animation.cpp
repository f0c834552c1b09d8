#include "app/widgets/spinner/spinner_plane_animation.h"

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerPlaneAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                         const std::shared_ptr<UIColor>& color) {
    SpinnerParts::addFlipping(layer, SpinnerParts::square(SpinnerParts::inset(size), color));
}

}  // namespace quorvel
