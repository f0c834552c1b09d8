#pragma once

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/text/ns_attributed_string.h"

typedef struct _cairo cairo_t;
typedef struct _PangoLayout PangoLayout;

namespace platform {

enum class NSTextAlignment : int { left = 0, center = 1, right = 2, justified = 3, natural = 4 };

enum class NSLineBreakMode : int {
    byWordWrapping = 0,
    byCharWrapping,
    byClipping,
    byTruncatingHead,
    byTruncatingTail,
    byTruncatingMiddle,
};

// Attributed text laid out by Pango in a width (0 or less: unlimited) and a number of lines (0:
// unlimited). The truncating modes end the last line that fits with an ellipsis; the others cut the
// lines that do not fit. The size measured is exactly the extent drawn.
class TextLayout {
public:
    TextLayout(const NSAttributedString& text, CGFloat width, int maxLines, NSLineBreakMode mode,
               NSTextAlignment alignment);
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;
    ~TextLayout();

    // The lines shown: the widest line's width and the lines' height.
    CGSize size() const { return size_; }
    // Draws with the layout's top left at `origin`; alignment acts inside the layout width.
    void draw(cairo_t* cairo, CGPoint origin) const;

private:
    PangoLayout* layout_;
    CGSize size_;
    int lines_ = 0;
};

}  // namespace platform
