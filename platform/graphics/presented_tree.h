#pragma once

#include <memory>
#include <unordered_map>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/quartzcore/ca_layer.h"

namespace platform {

class UIView;

// A layer tree as it shows at one moment: each layer's presentation copy (made once, for layers that
// animate) and the box of what a layer and its sublayers draw. One frame's renderer and its damage
// tracker share one, so an animated layer is copied once a frame. Main thread.
class PresentedTree {
public:
    struct Shown {
        const CALayer* layer;
        std::shared_ptr<CALayer> keep;  // the presentation copy, when the layer animates
    };

    explicit PresentedTree(double mediaTime) : time_(mediaTime) {}

    // What `model` shows now: itself, or its presentation copy while it animates.
    Shown shown(const CALayer& model) const;
    // A conservative box of what the layer draws itself (shadow included), in its coordinates.
    CGRect ownExtent(const CALayer& model, const CALayer& look) const;
    // A conservative box of what the layer and its sublayers draw, in its coordinates.
    CGRect extent(const CALayer& model, const CALayer& look) const;
    // The extent and where the mask draws: what the layer covers while it is drawn as a group (with
    // opacity below one or a mask), in its coordinates.
    CGRect groupExtent(const CALayer& model, const CALayer& look) const;
    // Whether the layer's shadow follows whatever it and its sublayers draw (no shadow path, not a
    // plain box), so the whole subtree shapes it.
    static bool shadowsDrawing(const CALayer& model, const CALayer& look);
    // The view whose drawRect draws into the layer; none for a plain view, which draws nothing itself.
    static std::shared_ptr<UIView> drawingView(const CALayer& model);

private:
    double time_;
    mutable std::unordered_map<const CALayer*, std::shared_ptr<CALayer>> presented_;
};

}  // namespace platform
