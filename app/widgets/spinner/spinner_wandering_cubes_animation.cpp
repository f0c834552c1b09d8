#include "app/widgets/spinner/spinner_wandering_cubes_animation.h"

#include <cmath>
#include <vector>

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void SpinnerWanderingCubesAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                                  const std::shared_ptr<UIColor>& color) {
    const double now = layer.localTime();
    const CGFloat side = std::floor(size.width / 3);
    const CGFloat travel = size.width - side;
    // Corner by corner: where the cube is, how far it has turned (a quarter turn a side) and its size.
    auto at = [](CGFloat x, CGFloat y, double angle, double scale) -> CAValue {
        return CATransform3DMakeTranslation(x, y, 0).rotatedBy(angle, 0, 0, 1).scaledBy(scale, scale, 1);
    };
    const std::vector<CAValue> corners{CATransform3DIdentity, at(travel, 0, -1.570796325, 0.5),
                                       at(travel, travel, -3.14159265, 1), at(0, travel, -4.712388975, 0.5),
                                       at(0, 0, -6.2831853, 1)};
    for (int i = 0; i < 2; ++i) {
        auto cube = SpinnerParts::square(CGRectMake(0, 0, side, side), color);
        SpinnerParts::rasterize(*cube);
        cube->addAnimation(
            SpinnerParts::keyframes("transform", 1.8, now - 0.9 * i, {0, 0.25, 0.5, 0.75, 1.0}, corners,
                                    SpinnerParts::timing(CAMediaTimingFunctionName::easeInEaseOut, 5)),
            SpinnerParts::kAnimationKey);
        layer.addSublayer(cube);
    }
}

}  // namespace quorvel
