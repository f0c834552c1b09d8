#pragma once

#include <cstdint>
#include <unordered_map>

#include "platform/coregraphics/cg_affine_transform.h"
#include "platform/graphics/damage_region.h"
#include "platform/graphics/presented_tree.h"

namespace platform {

class CAShapeLayer;

// Remembers, for one layer tree drawn into one picture, where each layer drew last time and which
// revision it was, and finds what the next frame must repaint: the old and the new box of every layer
// that changed (its revision, an animation, a move) together with everything below it, and the old box
// of every layer that no longer shows (removed, hidden, transparent). Main thread.
class DamageTracker {
public:
    // Adds to `damage` what changed since the last call, with `toPixels` mapping the root into the
    // picture as LayerRenderer::render draws it (its bounds' origin at the origin). The first call
    // damages everything the tree draws.
    void collect(const CALayer& root, const CGAffineTransform& toPixels, const PresentedTree& tree,
                 DamageRegion& damage);
    // Whether the layer or its sublayers drew into `damage` at the last collect (true for a layer the
    // tracker has not seen): a repaint of `damage` can skip the layers for which this is false.
    bool drawsInto(const CALayer& layer, const DamageRegion& damage) const;
    // `area` (in pixels) grown by every drawing that meets it and must be drawn whole to give the same
    // pixels as a full redraw: images, patterns, turned shadows and opacity groups, whose filters Cairo
    // places by where their drawing is cut. Colours, paths and text are left out.
    CGRect wholeDrawingsMeeting(const CGRect& area) const;
    // Whether the last collect saw an animated layer, which changes with time alone.
    bool sawAnimation() const { return sawAnimation_; }
    // Forgets every layer: the next collect damages the whole tree.
    void forget() { records_.clear(); }

private:
    struct Record {
        std::uint64_t revision = 0;
        CGRect own;      // in pixels, cut by the superlayers' clips
        // In pixels, not cut: the shadow of an ancestor's drawing is made without the clips above it.
        CGRect drawn;
        CGRect subtree;  // in pixels, the sublayers' too
        CGRect whole;    // in pixels, what must be drawn whole (see wholeDrawingsMeeting); null if nothing
        CGRect groupBox;  // in whole pixels, where a group's surface lies; null for a layer drawn directly
        const CALayer* parent = nullptr;
        // How far, in pixels, a change below spreads through the layer's shadow of its drawing; 0 without.
        CGFloat shadowGrow = 0;
        // A shape layer's stroke ends as drawn, and their revision.
        double strokeStart = 0, strokeEnd = 0;
        std::uint64_t strokeRevision = 0;
        std::uint64_t frame = 0;
    };

    struct Visited {
        CGRect box = CGRect::null();      // of the subtree, in pixels; null when it shows nothing
        CGRect changed = CGRect::null();  // the old and new boxes of what changed in it, not cut
    };
    Visited visit(const CALayer& model, const CALayer& look, const CALayer* parent,
                  const CGAffineTransform& toPixels, const CGRect& clip, bool aboveChanged);
    // The pixels a shape layer's stroke changed when only its ends moved; null when it must repaint whole.
    static CGRect movedStroke(const CAShapeLayer& shape, const Record& old, const CGAffineTransform& toPixels);
    // Damages `box` as the shadows of its drawing-following ancestors, from `parent` up, spread it.
    void damageShadowsAbove(const CALayer* parent, const CGRect& box);

    const PresentedTree* tree_ = nullptr;
    DamageRegion* damage_ = nullptr;
    std::unordered_map<const CALayer*, Record> records_;
    std::uint64_t frame_ = 0;
    bool sawAnimation_ = false;
};

}  // namespace platform
