#include "app/widgets/spinner/spinner_wave_animation.h"

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerWaveAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                        const std::shared_ptr<UIColor>& color) {
    const double now = layer.localTime();
    const CGFloat width = size.width / 5;
    for (int i = 0; i < 5; ++i) {
        auto bar = SpinnerParts::square(CGRectMake(width * i, 0, width - 3.0, size.height), color);
        bar->setTransform(SpinnerParts::scale(1.0, 0.3, 0.0));
        const CAValue low = SpinnerParts::scale(1, 0.4, 0), high = SpinnerParts::scale(1, 1, 0);
        bar->addAnimation(SpinnerParts::keyframes(
                              "transform", 1.2, now + 0.1 * i, {0, 0.2, 0.4, 1.0}, {low, high, low, low},
                              SpinnerParts::timing(CAMediaTimingFunctionName::easeInEaseOut, 4)),
                          SpinnerParts::kAnimationKey);
        layer.addSublayer(bar);
    }
}

}  // namespace quorvel
