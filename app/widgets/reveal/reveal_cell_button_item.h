#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/views/ui_view.h"
#include "platform/uikit/views/ui_visual_effect.h"

namespace quorvel {

class RevealTableViewCell;

// One button behind a reveal cell: what it shows, how wide it is and what a tap on it does.
class RevealCellButtonItem : public std::enable_shared_from_this<RevealCellButtonItem> {
public:
    // Runs on a tap (and on an overdraw that acts); true closes the cell.
    using Handler = std::function<bool(const std::shared_ptr<RevealCellButtonItem>& item,
                                       const std::shared_ptr<RevealTableViewCell>& cell)>;

    RevealCellButtonItem() = default;
    explicit RevealCellButtonItem(std::string title);
    // As wide as the image.
    explicit RevealCellButtonItem(std::shared_ptr<platform::UIImage> image);
    RevealCellButtonItem(std::string title, std::shared_ptr<platform::UIImage> image, Handler handler);
    static std::shared_ptr<RevealCellButtonItem> itemWithTitle(std::string title, Handler handler);
    static std::shared_ptr<RevealCellButtonItem> itemWithImage(std::shared_ptr<platform::UIImage> image,
                                                               Handler handler);

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    const std::shared_ptr<platform::UIImage>& image() const { return image_; }
    void setImage(std::shared_ptr<platform::UIImage> image) { image_ = std::move(image); }
    const std::shared_ptr<platform::UIColor>& backgroundColor() const { return backgroundColor_; }
    // Also decides whether the button is opaque: an alpha above 0.98.
    void setBackgroundColor(std::shared_ptr<platform::UIColor> color);
    const std::shared_ptr<platform::UIColor>& tintColor() const { return tintColor_; }
    void setTintColor(std::shared_ptr<platform::UIColor> color) { tintColor_ = std::move(color); }
    // Kept for whoever shows the item; the cell's buttons do not draw it.
    const std::shared_ptr<platform::UIVisualEffect>& visualEffect() const { return visualEffect_; }
    void setVisualEffect(std::shared_ptr<platform::UIVisualEffect> effect) {
        visualEffect_ = std::move(effect);
    }
    platform::CGFloat width() const { return width_; }
    void setWidth(platform::CGFloat width) { width_ = width; }
    const Handler& handler() const { return handler_; }
    void setHandler(Handler handler) { handler_ = std::move(handler); }
    bool isOpaque() const { return opaque_; }

    // The content view that shows the item's button while its side is out.
    std::shared_ptr<platform::UIView> view() const { return view_.lock(); }
    void setView(const std::shared_ptr<platform::UIView>& view) { view_ = view; }

private:
    std::string title_;
    std::shared_ptr<platform::UIImage> image_;
    std::shared_ptr<platform::UIColor> backgroundColor_;
    std::shared_ptr<platform::UIColor> tintColor_;
    std::shared_ptr<platform::UIVisualEffect> visualEffect_;
    platform::CGFloat width_ = 0;
    Handler handler_;
    bool opaque_ = false;
    std::weak_ptr<platform::UIView> view_;
};

}  // namespace quorvel
