#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/quartzcore/ca_animation_group.h"
#include "platform/quartzcore/ca_keyframe_animation.h"
#include "platform/quartzcore/ca_layer.h"
#include "platform/quartzcore/ca_media_timing_function.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

// The shapes and animations the spinner styles are built from. Every animation loops forever and stays
// on its layer when a cycle ends.
class SpinnerParts {
public:
    // The key a style's animation goes under unless the style names another.
    static inline const std::string kAnimationKey = "spinkit-anim";

    // A layer of `frame` filled with `color`, turning about its centre.
    static std::shared_ptr<platform::CALayer> square(const platform::CGRect& frame,
                                                     const std::shared_ptr<platform::UIColor>& color);
    // The same, rounded into a circle (corner radius half its height).
    static std::shared_ptr<platform::CALayer> circle(const platform::CGRect& frame,
                                                     const std::shared_ptr<platform::UIColor>& color);
    // Cached as a bitmap at the main screen's scale.
    static void rasterize(platform::CALayer& layer);
    // The drawing square of `size` less 2 points on each side.
    static platform::CGRect inset(platform::CGSize size);
    // A square of `side` whose top-left corner sits on the circle inscribed in a square of `size`, at
    // `angle` clockwise from the top.
    static platform::CGRect onRing(platform::CGSize size, double angle, platform::CGFloat side);

    // Adds `plane` to the host, turning over about y and then about z, in perspective, about its centre.
    static void addFlipping(platform::CALayer& host, const std::shared_ptr<platform::CALayer>& plane);

    // A disc of `size` in `color` that shows only where its mask strokes a ring 2 points wide, from angle
    // 0 back round to `endAngle` (anticlockwise on screen).
    struct Ring {
        std::shared_ptr<platform::CALayer> layer;
        std::shared_ptr<platform::CAShapeLayer> mask;
    };
    static Ring ring(platform::CGSize size, const std::shared_ptr<platform::UIColor>& color, double endAngle);

    static platform::CATransform3D scale(double x, double y, double z);
    // Turns about z by 0, π/2, π, 3π/2 and 2π: one revolution in quarters, so that no step is a half turn
    // whose direction would be ambiguous.
    static std::vector<platform::CAValue> quarterTurns();

    // `count` copies of a named timing curve.
    static std::vector<std::shared_ptr<platform::CAMediaTimingFunction>> timing(
        platform::CAMediaTimingFunctionName name, std::size_t count);
    // A looping key-frame animation; the timing curves shape the steps between the values.
    static std::shared_ptr<platform::CAKeyframeAnimation> keyframes(
        const std::string& keyPath, double duration, double beginTime, std::vector<double> keyTimes,
        std::vector<platform::CAValue> values,
        std::vector<std::shared_ptr<platform::CAMediaTimingFunction>> timing = {});
    // A looping group of key-frame animations whose values are spread evenly over the group's duration.
    static std::shared_ptr<platform::CAAnimationGroup> group(
        double duration, double beginTime,
        const std::vector<std::pair<std::string, std::vector<platform::CAValue>>>& tracks);
    // Grows from nothing to full size and shrinks back, eased, over `duration`.
    static std::shared_ptr<platform::CAKeyframeAnimation> pop(double duration, double beginTime);
};

}  // namespace quorvel
