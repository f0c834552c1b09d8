#pragma once

#include <memory>

#include "platform/coregraphics/cg_context.h"
#include "platform/coregraphics/cg_geometry.h"

typedef struct _cairo_surface cairo_surface_t;

namespace platform {

class CGImage;

// A drawing context over a bitmap of its own: `size` points at `scale` pixels per point, transparent
// unless `opaque` (then it starts white, as an opaque bitmap has no alpha to start from).
class CGBitmapContext : public CGContext {
public:
    // None when the size has no pixels or more than a bitmap can hold (NaN included), or for a scale
    // that is not positive.
    static std::unique_ptr<CGBitmapContext> create(CGSize size, bool opaque, CGFloat scale);
    ~CGBitmapContext();

    CGFloat scale() const { return scale_; }
    // A copy of the pixels drawn so far, so later drawing does not change the image.
    std::shared_ptr<CGImage> makeImage() const;

private:
    CGBitmapContext(cairo_t* cairo, cairo_surface_t* surface, CGFloat scale);

    cairo_surface_t* surface_;
    CGFloat scale_;
};

}  // namespace platform
