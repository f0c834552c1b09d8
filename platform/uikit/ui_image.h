#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/uikit/cg_geometry.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace platform {

enum class UIImageRenderingMode : int { automatic = 0, alwaysOriginal = 1, alwaysTemplate = 2 };
enum class UIImageResizingMode : int { tile = 0, stretch = 1 };

// An immutable bitmap with a scale (pixels per point). The pixels are a premultiplied ARGB Cairo image
// surface shared between an image and the copies made from it (rendering mode, cap insets).
class UIImage {
public:
    // Takes a reference to `surface` (an ARGB32 or RGB24 image surface).
    UIImage(cairo_surface_t* surface, CGFloat scale);
    UIImage(const UIImage& other);
    UIImage& operator=(const UIImage&) = delete;
    ~UIImage();

    // "<name>.png" of the main bundle (or its "images" folder), preferring the "@Nx" file of the screen's
    // scale; none when missing or unreadable.
    static std::shared_ptr<UIImage> imageNamed(const std::string& name);
    // A PNG file; a "@2x"/"@3x" suffix sets the scale. None when missing or unreadable.
    static std::shared_ptr<UIImage> imageWithContentsOfFile(const std::filesystem::path& path);

    // In points.
    CGSize size() const;
    CGFloat scale() const { return scale_; }
    int pixelWidth() const;
    int pixelHeight() const;

    UIImageRenderingMode renderingMode() const { return renderingMode_; }
    std::shared_ptr<UIImage> imageWithRenderingMode(UIImageRenderingMode mode) const;

    // Drawn into a larger area, the caps keep their size and the middle stretches.
    const UIEdgeInsets& capInsets() const { return capInsets_; }
    UIImageResizingMode resizingMode() const { return resizingMode_; }
    std::shared_ptr<UIImage> resizableImageWithCapInsets(const UIEdgeInsets& insets) const;
    std::shared_ptr<UIImage> resizableImageWithCapInsets(const UIEdgeInsets& insets,
                                                         UIImageResizingMode mode) const;

    // Into the current graphics context; nothing without one.
    void drawInRect(const CGRect& rect) const;
    void drawAtPoint(CGPoint point) const;

    // Paints the image into `rect` of a Cairo context, honouring the cap insets.
    void paint(cairo_t* cairo, const CGRect& rect, double alpha = 1) const;

    bool writePNG(const std::filesystem::path& path) const;

    // One pixel, unpremultiplied; transparent outside the bitmap.
    struct Pixel {
        std::uint8_t r = 0, g = 0, b = 0, a = 0;
        bool operator==(const Pixel&) const = default;
    };
    Pixel pixelAt(int x, int y) const;

    cairo_surface_t* surface() const { return surface_; }

private:
    cairo_surface_t* surface_;
    CGFloat scale_;
    UIImageRenderingMode renderingMode_ = UIImageRenderingMode::automatic;
    UIEdgeInsets capInsets_;
    UIImageResizingMode resizingMode_ = UIImageResizingMode::tile;
};

}  // namespace platform
