#pragma once

#include <memory>
#include <optional>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// How a designable view's soft shadow looks.
struct ShadowStyle {
    platform::CGSize offset;
    platform::CGFloat opacity = 0;
    platform::CGFloat radius = 0;
    platform::CGFloat cornerRadius = 0;
    std::shared_ptr<platform::UIColor> color;
    std::shared_ptr<platform::UIColor> fillColor;
};

// The shadow of a designable view: a shape layer of the view's frame placed at the back of the view's
// superlayer, so the view's own clipping does not cut it off. Each drawing pass brings it up to date; a
// pass that finds nothing changed leaves the layer tree alone, because the renderer draws every frame.
// Main thread.
class DesignableShadow {
public:
    DesignableShadow() = default;
    DesignableShadow(const DesignableShadow&) = delete;
    DesignableShadow& operator=(const DesignableShadow&) = delete;
    // A shadow does not outlive its view on screen.
    ~DesignableShadow() { takeOffScreen(); }

    // The layer of the last pass that drew a shadow, on screen or not.
    const std::shared_ptr<platform::CAShapeLayer>& layer() const { return layer_; }

    // A clear (or missing) colour takes the shadow off screen. Any other makes the view's layer clip to
    // its bounds with the shadow's corner radius, and puts a new shadow layer at the back of the view's
    // superlayer (when it has one) unless the current one already shows this style at this frame there.
    // True when the layer tree changed.
    bool drawingPass(platform::UIView& view, const ShadowStyle& style);
    // The view leaves its superview: its shadow leaves with it, and a later pass puts it back. True when
    // a layer was on screen.
    bool takeOffScreen();

private:
    // What the layer on screen was made from.
    struct Made {
        ShadowStyle style;
        platform::CGRect frame;
        const platform::CALayer* superlayer = nullptr;
    };
    bool stillShows(const platform::UIView& view, const ShadowStyle& style) const;

    std::shared_ptr<platform::CAShapeLayer> layer_;
    std::optional<Made> made_;
};

}  // namespace quorvel
