#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/coregraphics/cg_path.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace platform {

// Soft shadows for a renderer without a blur of its own: an alpha mask blurred by three box passes
// (close to a Gaussian whose sigma is half the shadow radius). The blur runs on a mask only as fine as
// the softness needs, which is then enlarged to the device's resolution once and cached, keyed by the
// shape (a path, or the pixels of what a layer drew), the radius and the scale. A still shadow costs one
// aligned mask paint per frame. Main thread.
class ShadowBlur {
public:
    // An A8 surface covering a user-space rectangle from `origin` at `scale` pixels per unit.
    struct Mask {
        cairo_surface_t* surface = nullptr;
        CGPoint origin;
        CGFloat scale = 1;
    };

    static ShadowBlur& shared();
    ~ShadowBlur();

    // The blurred fill of `path` (user units) for a context of `deviceScale` pixels per unit.
    const Mask& maskForPath(const CGPath& path, CGFloat radius, CGFloat deviceScale);
    // The blurred alpha of what `draw` paints (in user units) inside `area`. When `owner` asked before
    // with the same `stamp` (a value that changes whenever what it draws does), with the same area,
    // radius and scale, the mask made then comes back without drawing again.
    const Mask& maskForDrawing(const CGRect& area, CGFloat radius, CGFloat deviceScale,
                               const std::function<void(cairo_t*)>& draw, const void* owner = nullptr,
                               std::uint64_t stamp = 0);
    // Paints the context's source through the mask moved by `offset`; pixel-aligned when the context
    // only scales by the mask's scale and translates.
    static void paint(cairo_t* cairo, const Mask& mask, CGSize offset);

    // Blurs an A8 surface in place; radius in pixels of the surface.
    static void blur(cairo_surface_t* a8, double radiusPixels);
    // How far beyond its shape a shadow of `radius` may darken anything, in user units.
    static CGFloat spread(CGFloat radius);
    // The resolution a mask of this blur radius needs, at most the device's.
    static CGFloat maskScale(CGFloat radius, CGFloat deviceScale);
    // The widths of the three box passes that approximate a Gaussian of `sigma` pixels.
    static std::vector<int> boxWidths(double sigma);

    std::size_t cachedMasks() const { return cache_.size(); }
    void clear();

private:
    using Cache = std::map<std::string, Mask>;
    // What an owner last drew for a mask, and the mask it gave.
    struct Drawn {
        std::uint64_t stamp;
        CGRect area;
        CGFloat radius, scale;
        Cache::iterator mask;
        bool sameDrawing(const Drawn& o) const {
            return stamp == o.stamp && area == o.area && radius == o.radius && scale == o.scale;
        }
    };

    ShadowBlur() = default;
    // A coarse, unblurred mask of `area` grown by the blur's reach, ready to draw into.
    static Mask coarseMask(const CGRect& area, CGFloat radius, CGFloat deviceScale);
    // Blurs the coarse mask, enlarges it to the device scale and caches it under `key`.
    Cache::iterator finish(std::string key, Mask coarse, CGFloat radius, CGFloat deviceScale);

    Cache cache_;
    std::unordered_map<const void*, Drawn> drawn_;
};

}  // namespace platform
