#include "app/widgets/spinner/spinner_fading_circle_alt_animation.h"

#include <cmath>

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerFadingCircleAltAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                                   const std::shared_ptr<UIColor>& color) {
    const double now = layer.localTime();
    const CGFloat radius = size.width / 2;
    for (int i = 0; i < 12; ++i) {
        const double angle = i * 30 * 0.0174532925;
        auto dot = SpinnerParts::circle(CGRectMake(radius + radius * std::cos(angle),
                                                   radius + radius * std::sin(angle), radius / 2, radius / 2),
                                        color);
        SpinnerParts::rasterize(*dot);
        dot->addAnimation(
            SpinnerParts::group(1.2, now - (1.2 - 0.1 * i),
                                {{"transform", {SpinnerParts::scale(1, 1, 0), SpinnerParts::scale(0, 0, 0)}},
                                 {"opacity", {1.0, 0.0}}}),
            SpinnerParts::kAnimationKey);
        layer.addSublayer(dot);
    }
}

}  // namespace quorvel
