#include "app/widgets/spinner/spinner_three_bounce_animation.h"

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerThreeBounceAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                               const std::shared_ptr<UIColor>& color) {
    const double now = layer.localTime();
    const CGFloat unit = size.width / 8;
    for (int i = 0; i < 3; ++i) {
        auto dot = SpinnerParts::circle(CGRectMake(3 * unit * i, size.height / 2, 2 * unit, 2 * unit), color);
        dot->setTransform(SpinnerParts::scale(0, 0, 0));
        dot->addAnimation(SpinnerParts::pop(1.5, now + 0.25 * i), SpinnerParts::kAnimationKey);
        layer.addSublayer(dot);
    }
}

}  // namespace quorvel
