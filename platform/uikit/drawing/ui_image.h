#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/coregraphics/cg_image.h"

namespace platform {

enum class UIImageRenderingMode : int { automatic = 0, alwaysOriginal = 1, alwaysTemplate = 2 };
enum class UIImageResizingMode : int { tile = 0, stretch = 1 };

// An immutable bitmap with a scale (a CGImage, whose pixels its copies share), loaded from the bundle or a
// file, with a rendering mode and cap insets.
class UIImage : public CGImage {
public:
    // An empty image: no pixels, size zero (a bar shows nothing where it is its background or shadow).
    UIImage();
    // Takes a reference to `surface` (an ARGB32 or RGB24 image surface).
    UIImage(cairo_surface_t* surface, CGFloat scale);
    // Shares the bitmap's pixels and scale.
    explicit UIImage(const CGImage& bitmap);
    UIImage(const UIImage& other) = default;

    // "<name>.png" of the main bundle (or its "images" folder), preferring the "@Nx" file of the screen's
    // scale; none when missing or unreadable.
    static std::shared_ptr<UIImage> imageNamed(const std::string& name);
    // A PNG file; a "@2x"/"@3x" suffix sets the scale. None when missing or unreadable.
    static std::shared_ptr<UIImage> imageWithContentsOfFile(const std::filesystem::path& path);

    UIImageRenderingMode renderingMode() const { return renderingMode_; }
    std::shared_ptr<UIImage> imageWithRenderingMode(UIImageRenderingMode mode) const;

    // Drawn into a larger area, the caps keep their size and the middle stretches.
    const UIEdgeInsets& capInsets() const { return capInsets_; }
    std::shared_ptr<UIImage> resizableImageWithCapInsets(const UIEdgeInsets& insets) const;
    std::shared_ptr<UIImage> resizableImageWithCapInsets(const UIEdgeInsets& insets,
                                                         UIImageResizingMode mode) const;

    // Into the current graphics context; nothing without one.
    void drawInRect(const CGRect& rect) const;
    void drawAtPoint(CGPoint point) const;

    // Paints the image into `rect` of a Cairo context, honouring the cap insets.
    void paint(cairo_t* cairo, const CGRect& rect, double alpha = 1) const override;

private:
    UIImageRenderingMode renderingMode_ = UIImageRenderingMode::automatic;
    UIEdgeInsets capInsets_;
    UIImageResizingMode resizingMode_ = UIImageResizingMode::tile;
};

}  // namespace platform
