#include "app/widgets/spinner/spinner_circle_animation.h"

#include <numbers>

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerCircleAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                          const std::shared_ptr<UIColor>& color) {
    const double now = layer.localTime();
    for (int i = 0; i < 8; ++i) {
        const double angle = i * std::numbers::pi / 4;
        auto dot = SpinnerParts::circle(SpinnerParts::onRing(size, angle, size.width / 4), color);
        dot->setTransform(SpinnerParts::scale(0, 0, 0));
        dot->addAnimation(SpinnerParts::pop(1.0, now + 0.125 * i), SpinnerParts::kAnimationKey);
        layer.addSublayer(dot);
    }
}

}  // namespace quorvel
