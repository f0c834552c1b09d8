#pragma once

#include <memory>
#include <string>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/text/ui_font.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel {

// Icons as glyphs of the app's icon font "qvicons": each icon is a one-character string from the
// font's private-use range, made into a font, a label or an image in any size and colour.
class IconFont {
public:
    // None when the font is not available.
    static std::shared_ptr<platform::UIFont> fontWithSize(double size);
    static std::shared_ptr<platform::UILabel> labelWithIcon(const std::string& icon, double size,
                                                            const std::shared_ptr<platform::UIColor>& color);
    // Without the font the label keeps the system font.
    static void labelSetIcon(const std::shared_ptr<platform::UILabel>& label, const std::string& icon,
                             double size, const std::shared_ptr<platform::UIColor>& color, bool sizeToFit);
    // A square image of `size` points.
    static std::shared_ptr<platform::UIImage> imageWithIcon(const std::string& icon, double size,
                                                            const std::shared_ptr<platform::UIColor>& color);
    // The glyph centred in an image of `imageSize` at the screen's scale; a null colour is black. None
    // when the image size has no pixels.
    static std::shared_ptr<platform::UIImage> imageWithIcon(const std::string& icon,
                                                            const std::shared_ptr<platform::UIColor>& color,
                                                            double iconSize, platform::CGSize imageSize);
};

}  // namespace quorvel
