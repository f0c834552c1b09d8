#include "app/widgets/icons/icon_font.h"

#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/text/ns_attributed_string.h"

namespace quorvel {

using namespace platform;

std::shared_ptr<UIFont> IconFont::fontWithSize(double size) {
    return UIFont::fontWithName("qvicons", size);
}

std::shared_ptr<UILabel> IconFont::labelWithIcon(const std::string& icon, double size,
                                                 const std::shared_ptr<UIColor>& color) {
    auto label = std::make_shared<UILabel>();
    labelSetIcon(label, icon, size, color, true);
    return label;
}

void IconFont::labelSetIcon(const std::shared_ptr<UILabel>& label, const std::string& icon, double size,
                            const std::shared_ptr<UIColor>& color, bool sizeToFit) {
    label->setFont(fontWithSize(size));
    label->setText(icon);
    label->setTextColor(color);
    label->setBackgroundColor(UIColor::clearColor());
    if (sizeToFit) label->sizeToFit();
    label->setAccessibilityElementsHidden(true);
}

std::shared_ptr<UIImage> IconFont::imageWithIcon(const std::string& icon, double size,
                                                 const std::shared_ptr<UIColor>& color) {
    return imageWithIcon(icon, color, size, {size, size});
}

std::shared_ptr<UIImage> IconFont::imageWithIcon(const std::string& icon,
                                                 const std::shared_ptr<UIColor>& color, double iconSize,
                                                 CGSize imageSize) {
    // No pixels opens no context; drawing now would land in the caller's.
    if (!UIGraphicsBeginImageContextWithOptions(imageSize, false, 0)) return nullptr;
    const NSAttributedString text(icon, {fontWithSize(iconSize), color ? color : UIColor::blackColor()});
    const CGRect measured = text.boundingRectWithSize({iconSize, iconSize}, 0, nullptr);
    text.drawInRect(CGRectMake(imageSize.width / 2 - measured.size.width / 2,
                               imageSize.height / 2 - measured.size.height / 2, imageSize.width,
                               imageSize.height));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image ? image->imageWithRenderingMode(UIImageRenderingMode::alwaysOriginal) : nullptr;
}

}  // namespace quorvel
