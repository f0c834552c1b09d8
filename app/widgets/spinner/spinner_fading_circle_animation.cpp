#include "app/widgets/spinner/spinner_fading_circle_animation.h"

#include <numbers>

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerFadingCircleAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                                const std::shared_ptr<UIColor>& color) {
    const double now = layer.localTime();
    for (int i = 0; i < 12; ++i) {
        const double angle = i * std::numbers::pi / 6;
        auto square = SpinnerParts::square(SpinnerParts::onRing(size, angle, size.width / 6), color);
        square->setOpacity(0);
        square->setTransform(CATransform3DMakeRotation(angle, 0, 0, 1));
        square->addAnimation(
            SpinnerParts::keyframes("opacity", 1.0, now + 0.084 * i, {0, 0.5, 1.0}, {1.0, 0.0, 0.0},
                                    SpinnerParts::timing(CAMediaTimingFunctionName::easeInEaseOut, 2)),
            SpinnerParts::kAnimationKey);
        layer.addSublayer(square);
    }
}

}  // namespace quorvel
