#include "app/widgets/spinner/spinner_chasing_dots_animation.h"

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerChasingDotsAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                               const std::shared_ptr<UIColor>& color) {
    const double now = layer.localTime();
    auto spin = CALayer::layer();
    spin->setFrame(CGRectMake(0, 0, size.width, size.height));
    spin->setAnchorPoint({0.5, 0.5});
    spin->setTransform(CATransform3DIdentity);
    SpinnerParts::rasterize(*spin);
    spin->addAnimation(SpinnerParts::keyframes("transform", 2.0, now, {0, 0.25, 0.5, 0.75, 1.0},
                                               SpinnerParts::quarterTurns(),
                                               SpinnerParts::timing(CAMediaTimingFunctionName::linear, 5)),
                       "spinner-anim");
    for (int i = 0; i < 2; ++i) {
        const CGFloat corner = 0.3 * size.width * i;
        auto dot =
            SpinnerParts::circle(CGRectMake(corner, corner, 0.6 * size.width, 0.6 * size.height), color);
        dot->setTransform(SpinnerParts::scale(0, 0, 0));
        dot->addAnimation(SpinnerParts::pop(2.0, now - i), SpinnerParts::kAnimationKey);
        spin->addSublayer(dot);
    }
    layer.addSublayer(spin);
}

}  // namespace quorvel
