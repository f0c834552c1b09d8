#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "platform/uikit/cg_geometry.h"
#include "platform/uikit/cg_path.h"

typedef struct _cairo_surface cairo_surface_t;

namespace platform {

// Soft shadows for a renderer without a blur of its own: an alpha mask blurred by three box passes
// (close to a Gaussian whose sigma is half the shadow radius). Masks of paths are cached by shape,
// radius and scale, so a still shadow costs one mask paint per frame. Main thread.
class ShadowBlur {
public:
    // An A8 surface with its device scale set, so it paints in user units with its top left at origin.
    struct Mask {
        cairo_surface_t* surface = nullptr;
        CGPoint origin;
    };

    static ShadowBlur& shared();
    ~ShadowBlur();

    // The blurred fill of `path` (user units), drawn at `scale` pixels per unit. Owned by the cache.
    const Mask& maskForPath(const CGPath& path, CGFloat radius, CGFloat scale);

    // An empty mask covering `rect` grown by the blur's reach; the caller draws into it (with the
    // device scale already applied) and then blurs it.
    static Mask emptyMask(const CGRect& rect, CGFloat radius, CGFloat scale);
    // Blurs an A8 surface in place; radius in pixels of the surface.
    static void blur(cairo_surface_t* a8, double radiusPixels);
    // The widths of the three box passes that approximate a Gaussian of `sigma` pixels.
    static std::vector<int> boxWidths(double sigma);

    std::size_t cachedMasks() const { return cache_.size(); }
    void clear();

private:
    ShadowBlur() = default;
    std::map<std::string, Mask> cache_;
};

}  // namespace platform
