#pragma once

#include <filesystem>
#include <memory>

#include "platform/coregraphics/cg_affine_transform.h"
#include "platform/quartzcore/ca_layer.h"

typedef struct _cairo cairo_t;

namespace platform {

class DamageRegion;
class DamageTracker;
class PresentedTree;
class UIImage;
class UIView;

// Draws a layer tree with Cairo as it looks at a moment: presentation values of animated layers,
// backgrounds, corner radii, borders, contents, shape layers (with stroke start and end), the drawRect
// of views, shadows (blurred, from the shadow path or the layer's own shape), masks, opacity groups
// and clipping. A 3-D transform is drawn with the affine part of its projection about the layer's
// centre. Sublayers are drawn in order, later ones in front. Main thread.
class LayerRenderer {
public:
    // Draws `root` with its bounds at the origin of the Cairo context's user space (in points).
    static void render(const CALayer& root, cairo_t* cairo, double mediaTime);
    // The same, but only the layers that `tracker` found drawing into `damage` (at its last collect,
    // over `tree`); the caller clips the context to the damage.
    static void renderDamage(const CALayer& root, cairo_t* cairo, const PresentedTree& tree,
                             const DamageTracker& tracker, const DamageRegion& damage);
    // The view's tree (usually a window) as an image of its bounds at `scale` pixels per point (0: the
    // screen's scale), as it looks now after a layout pass.
    static std::shared_ptr<UIImage> renderView(UIView& view, CGFloat scale = 0);
    static bool writeViewPNG(UIView& view, const std::filesystem::path& path, CGFloat scale = 0);

    // The affine transform that draws a sublayer with these values in its superlayer, or none when the
    // projection leaves it behind the eye, flattens it to a line or a point, or is not finite: such a
    // layer shows nothing, and Cairo would refuse the matrix and draw nothing more in the context.
    static std::optional<CGAffineTransform> projectedTransform(const CATransform3D& toSuperlayer,
                                                               const CGRect& bounds);

private:
    static void draw(const CALayer& root, cairo_t* cairo, const PresentedTree& tree,
                     const DamageTracker* tracker, const DamageRegion* damage);
};

}  // namespace platform
