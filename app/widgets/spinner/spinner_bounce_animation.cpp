#include "app/widgets/spinner/spinner_bounce_animation.h"

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerBounceAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                          const std::shared_ptr<UIColor>& color) {
    const double now = layer.localTime();
    for (int i = 0; i < 2; ++i) {
        auto disc = SpinnerParts::circle(SpinnerParts::inset(size), color);
        disc->setOpacity(0.6f);
        disc->setTransform(SpinnerParts::scale(0, 0, 0));
        disc->addAnimation(SpinnerParts::pop(2.0, now - 1.0 * i), SpinnerParts::kAnimationKey);
        layer.addSublayer(disc);
    }
}

}  // namespace quorvel
