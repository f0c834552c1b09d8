#pragma once

#include <cstdint>
#include <filesystem>

#include "platform/coregraphics/cg_geometry.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace platform {

// An immutable bitmap with a scale (pixels per point), as layers show it and pattern colours tile it. The
// pixels are a premultiplied ARGB Cairo image surface shared between an image and its copies.
class CGImage {
public:
    // Takes a reference to `surface` (an ARGB32 or RGB24 image surface).
    CGImage(cairo_surface_t* surface, CGFloat scale);
    CGImage(const CGImage& other);
    CGImage& operator=(const CGImage&) = delete;
    virtual ~CGImage();

    // In points.
    CGSize size() const;
    CGFloat scale() const { return scale_; }
    int pixelWidth() const;
    int pixelHeight() const;

    // Paints the image stretched into `rect` of a Cairo context.
    virtual void paint(cairo_t* cairo, const CGRect& rect, double alpha = 1) const;

    bool writePNG(const std::filesystem::path& path) const;

    // One pixel, unpremultiplied; transparent outside the bitmap.
    struct Pixel {
        std::uint8_t r = 0, g = 0, b = 0, a = 0;
        bool operator==(const Pixel&) const = default;
    };
    Pixel pixelAt(int x, int y) const;

    cairo_surface_t* surface() const { return surface_; }

protected:
    // Paints the part `source` (in pixels) of the bitmap stretched over `destination` (user space).
    void paintPart(cairo_t* cairo, const CGRect& source, const CGRect& destination, double alpha) const;

private:
    cairo_surface_t* surface_;
    CGFloat scale_;
};

}  // namespace platform
