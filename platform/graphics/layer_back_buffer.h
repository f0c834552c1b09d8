#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/coregraphics/cg_affine_transform.h"
#include "platform/graphics/damage_region.h"
#include "platform/graphics/damage_tracker.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace platform {

// A picture that keeps its pixels between frames: layer trees (windows) drawn over a background, where
// each frame repaints only what changed since the one before — the damage the trees' trackers find,
// clipped, skipping the layers outside it — and an unchanged picture costs no drawing. A repaint
// gives the same pixels as drawing everything anew. Main thread.
class LayerBackBuffer {
public:
    // A tree and where its root's frame origin lies, in points of the picture.
    struct Placement {
        std::shared_ptr<CALayer> root;
        CGPoint origin;
        bool operator==(const Placement&) const = default;
    };
    // Paints the picture's background in pixels (its whole surface, or only inside the clip).
    using Background = std::function<void(cairo_t*)>;

    // `pointsToPixels` maps the picture's points to its pixels; the trees show only inside `treeArea`
    // (in pixels; null: the whole picture).
    LayerBackBuffer(int width, int height, const CGAffineTransform& pointsToPixels, Background background,
                    const CGRect& treeArea = CGRect::null());
    ~LayerBackBuffer();
    LayerBackBuffer(const LayerBackBuffer&) = delete;
    LayerBackBuffer& operator=(const LayerBackBuffer&) = delete;

    // Repaints what changed since the last draw (everything at the first one, or when the trees or their
    // places changed) and returns the repainted pixels; empty when nothing changed.
    const DamageRegion& draw(const std::vector<Placement>& trees, double mediaTime);
    // The next draw repaints everything.
    void setNeedsFullRedraw() { fullRedraw_ = true; }
    cairo_surface_t* surface() const { return surface_; }

private:
    // Pixels drawn around each damaged rectangle and thrown away (see repaint).
    static constexpr CGFloat kMargin = 16;

    void collectDamage(const std::vector<Placement>& trees, const PresentedTree& presented);
    CGAffineTransform toPixels(const Placement& placement) const;
    void repaint(const CGRect& rect, const std::vector<Placement>& trees, const PresentedTree& presented);
    // Paints the background and the trees' layers that meet `damaged` into `target`, inside `clip`.
    void drawTrees(cairo_surface_t* target, const CGRect& clip, const CGRect& damaged,
                   const std::vector<Placement>& trees, const PresentedTree& presented);

    cairo_surface_t* surface_;
    // Where repaints are drawn before their damaged pixels are copied over; made at the first.
    cairo_surface_t* scratch_ = nullptr;
    CGRect pixels_;
    CGRect treeArea_;
    CGAffineTransform pointsToPixels_;
    Background background_;
    std::vector<Placement> placed_;
    std::vector<DamageTracker> trackers_;
    DamageRegion damage_;
    bool fullRedraw_ = true;
    // The newest layer and stroke revisions at the last draw, and whether an animation was running then.
    std::uint64_t drawnRevision_ = 0;
    std::uint64_t drawnStrokeRevision_ = 0;
    bool animating_ = false;
};

}  // namespace platform
