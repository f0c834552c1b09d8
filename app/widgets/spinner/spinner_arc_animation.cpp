#include "app/widgets/spinner/spinner_arc_animation.h"

#include <numbers>

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerArcAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                       const std::shared_ptr<UIColor>& color) {
    const auto ring = SpinnerParts::ring(size, color, 5 * std::numbers::pi / 3);
    ring.layer->addAnimation(
        SpinnerParts::keyframes("transform.rotation.z", 0.8, layer.localTime(), {0, 0.5, 1.0},
                                {0.0, std::numbers::pi, 2 * std::numbers::pi}),
        SpinnerParts::kAnimationKey);
    layer.addSublayer(ring.layer);
}

}  // namespace quorvel
