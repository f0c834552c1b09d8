#include "app/widgets/spinner/spinner_arc_alt_animation.h"

#include <numbers>

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerArcAltAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                          const std::shared_ptr<UIColor>& color) {
    const auto ring = SpinnerParts::ring(size, color, 2 * std::numbers::pi);
    const double now = layer.localTime();
    ring.mask->addAnimation(
        SpinnerParts::keyframes("strokeEnd", 1.2, now, {0, 0.4, 1.0}, {0.0, 1.0, 1.0},
                                SpinnerParts::timing(CAMediaTimingFunctionName::easeOut, 3)),
        "spinkit-anim.end");
    ring.mask->addAnimation(
        SpinnerParts::keyframes("strokeStart", 1.2, now, {0, 0.6, 1.0}, {0.0, 0.0, 1.0},
                                SpinnerParts::timing(CAMediaTimingFunctionName::easeInEaseOut, 3)),
        "spinkit-anim.start");
    layer.addSublayer(ring.layer);
}

}  // namespace quorvel
