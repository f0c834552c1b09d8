#include "app/widgets/spinner/spinner_9_cube_grid_animation.h"

#include "app/widgets/spinner/spinner_parts.h"

namespace quorvel {

using namespace platform;

void Spinner9CubeGridAnimation::setupSpinnerAnimationInLayer(CALayer& layer, CGSize size,
                                                             const std::shared_ptr<UIColor>& color) {
    const double now = layer.localTime();
    const CGFloat side = size.width / 3;
    const CAValue none = SpinnerParts::scale(0, 0, 0), full = SpinnerParts::scale(1, 1, 0);
    for (int diagonal = 0; diagonal <= 4; ++diagonal) {
        for (int x = 0; x <= 2; ++x) {
            const int y = diagonal - x;
            if (y < 0 || y > 2) continue;
            auto cube = SpinnerParts::square(CGRectMake(x * side, y * side, side, side), color);
            cube->setTransform(SpinnerParts::scale(0, 0, 0));
            cube->addAnimation(
                SpinnerParts::keyframes("transform", 1.5, now + 0.1 * diagonal, {0, 0.4, 0.6, 1.0},
                                        {none, full, full, none},
                                        SpinnerParts::timing(CAMediaTimingFunctionName::easeInEaseOut, 4)),
                SpinnerParts::kAnimationKey);
            layer.addSublayer(cube);
        }
    }
}

}  // namespace quorvel
