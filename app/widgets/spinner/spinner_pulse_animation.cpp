#include "app/widgets/spinner/spinner_pulse_animation.h"

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerPulseAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                         const std::shared_ptr<UIColor>& color) {
    auto disc = SpinnerParts::circle(SpinnerParts::inset(size), color);
    disc->setOpacity(1.0f);
    disc->setTransform(SpinnerParts::scale(0, 0, 0));
    auto pulse =
        SpinnerParts::group(1.0, layer.localTime(),
                            {{"transform", {SpinnerParts::scale(0, 0, 0), SpinnerParts::scale(1, 1, 0)}},
                             {"opacity", {1.0, 0.0}}});
    pulse->setTimingFunction(
        CAMediaTimingFunction::functionWithName(CAMediaTimingFunctionName::easeInEaseOut));
    disc->addAnimation(pulse, SpinnerParts::kAnimationKey);
    layer.addSublayer(disc);
}

}  // namespace quorvel
