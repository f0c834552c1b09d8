#include "app/widgets/spinner/spinner_orbit_animation.h"

#include "app/widgets/spinner/spinner_parts.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/drawing/ui_bezier_path.h"

namespace quorvel {

using namespace platform;

void SpinnerOrbitAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                         const std::shared_ptr<UIColor>& color) {
    auto disc = SpinnerParts::square(CGRectMake(0, 0, size.width, size.height), color);
    disc->setTransform(CATransform3DIdentity);
    SpinnerParts::rasterize(*disc);
    auto mask = CAShapeLayer::layer();
    mask->setFrame(disc->bounds());
    mask->setFillColor(UIColor::blackColor());
    mask->setFillRule(CGPathFillRule::evenOdd);
    auto outline = UIBezierPath::bezierPathWithOvalInRect(CGRectMake(0, 0, size.width, size.height));
    outline->appendPath(*UIBezierPath::bezierPathWithOvalInRect(
        CGRectMake(size.width / 2 - size.width / 8, 3.0, size.width / 4, size.width / 4)));
    outline->closePath();
    mask->setPath(outline->CGPath());
    disc->setMask(mask);
    disc->addAnimation(SpinnerParts::keyframes("transform", 1.0, layer.localTime(), {0, 0.25, 0.5, 0.75, 1.0},
                                               SpinnerParts::quarterTurns(),
                                               SpinnerParts::timing(CAMediaTimingFunctionName::linear, 5)),
                       SpinnerParts::kAnimationKey);
    layer.addSublayer(disc);
}

}  // namespace quorvel
