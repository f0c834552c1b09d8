#pragma once

#include <memory>

#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

// A view that shows an image placed by its content mode; an image in template mode is drawn in the
// view's tint colour. Its intrinsic size is the image's size.
class UIImageView : public UIView {
public:
    UIImageView();
    explicit UIImageView(const CGRect& frame);
    explicit UIImageView(std::shared_ptr<UIImage> image);
    // Sized to `image`, which it shows until highlighted.
    UIImageView(std::shared_ptr<UIImage> image, std::shared_ptr<UIImage> highlightedImage);

    const std::shared_ptr<UIImage>& image() const { return image_; }
    void setImage(std::shared_ptr<UIImage> image);
    const std::shared_ptr<UIImage>& highlightedImage() const { return highlightedImage_; }
    void setHighlightedImage(std::shared_ptr<UIImage> image);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);

    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;
    void drawRect(const CGRect& rect) override;
    void tintColorDidChange() override { setNeedsDisplay(); }

    // Where an image of `imageSize` goes in `bounds` under `mode`.
    static CGRect placeImage(CGSize imageSize, const CGRect& bounds, UIViewContentMode mode);

private:
    const std::shared_ptr<UIImage>& shownImage() const;

    std::shared_ptr<UIImage> image_;
    std::shared_ptr<UIImage> highlightedImage_;
    bool highlighted_ = false;
};

}  // namespace platform
