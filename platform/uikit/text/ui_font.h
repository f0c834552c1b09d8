#pragma once

#include <memory>
#include <string>

#include "platform/coregraphics/cg_geometry.h"

typedef struct _PangoFontDescription PangoFontDescription;

namespace platform {

// A face at a size. The app's font names map to installed free faces: "SFProDisplay-*" and the system
// font to Inter, "Helvetica*"/"HelveticaNeue*" to Liberation Sans, "qvicons" to the app's icon font. A
// name that is not mapped, or whose face is not installed, gives no font. Immutable; main thread.
class UIFont {
public:
    static std::shared_ptr<UIFont> fontWithName(const std::string& name, CGFloat size);
    static std::shared_ptr<UIFont> systemFontOfSize(CGFloat size);
    static std::shared_ptr<UIFont> boldSystemFontOfSize(CGFloat size);
    static CGFloat buttonFontSize() { return 18; }
    static CGFloat labelFontSize() { return 17; }

    // The same face at another size.
    std::shared_ptr<UIFont> fontWithSize(CGFloat size) const;

    const std::string& fontName() const { return name_; }
    std::string familyName() const;
    CGFloat pointSize() const { return size_; }
    CGFloat ascender() const { return ascender_; }
    // Below the baseline, so negative.
    CGFloat descender() const { return descender_; }
    CGFloat lineHeight() const { return ascender_ - descender_; }

    // Pango's description of the face and size (owned by the font).
    const PangoFontDescription* description() const { return description_; }

    bool operator==(const UIFont& other) const;

    struct Face;
    UIFont(std::string name, const Face& face, CGFloat size);
    UIFont(const UIFont&) = delete;
    UIFont& operator=(const UIFont&) = delete;
    ~UIFont();

private:
    std::string name_;
    CGFloat size_;
    PangoFontDescription* description_;
    CGFloat ascender_ = 0;
    CGFloat descender_ = 0;
};

}  // namespace platform
