#pragma once

#include <memory>
#include <vector>

#include "platform/coregraphics/cg_affine_transform.h"
#include "platform/coregraphics/cg_color.h"
#include "platform/coregraphics/cg_geometry.h"
#include "platform/coregraphics/cg_path.h"

typedef struct _cairo cairo_t;

namespace platform {

class CGImage;

// The blend modes the app uses, with the platform's numbering.
enum class CGBlendMode : int {
    normal = 0,
    multiply = 1,
    clear = 16,
    copy = 17,
    sourceIn = 18,
    sourceOut = 19,
    sourceAtop = 20,
    destinationOut = 23,
};

// A drawing destination in user space (points, y down): the layer renderer's window surface or an image
// context's bitmap. A thin layer over a Cairo context, which it references but does not own.
class CGContext {
public:
    explicit CGContext(cairo_t* cairo);
    CGContext(const CGContext&) = delete;
    CGContext& operator=(const CGContext&) = delete;

    cairo_t* cairo() const { return cairo_; }

    void saveGState();
    void restoreGState();

    void translateCTM(CGFloat tx, CGFloat ty);

    void setFillColor(const CGColorRef& color);
    void setStrokeColor(const CGColorRef& color);
    void setLineWidth(CGFloat width);
    // For fills, strokes, images and text alike.
    void setBlendMode(CGBlendMode mode);
    void setAlpha(CGFloat alpha);

    void fillRect(const CGRect& rect);
    void clearRect(const CGRect& rect);
    void fillEllipseInRect(const CGRect& rect);
    void addPath(const CGPath& path);
    void fillPath(CGPathFillRule rule = CGPathFillRule::winding);
    void strokePath();
    void clipToRect(const CGRect& rect);
    // Draws the image stretched into `rect`.
    void drawImage(const CGRect& rect, const CGImage& image);

    // Replaces the current path of the Cairo context with `path`.
    static void appendPath(cairo_t* cairo, const CGPath& path);
    static void setSourceColor(cairo_t* cairo, const CGColor& color);

private:
    struct State {
        CGColorRef fill;
        CGColorRef stroke;
        CGFloat alpha = 1;
        CGBlendMode blend = CGBlendMode::normal;
    };
    void paintWith(const CGColorRef& color);

    cairo_t* cairo_;
    State state_;
    std::vector<State> saved_;
};

}  // namespace platform
