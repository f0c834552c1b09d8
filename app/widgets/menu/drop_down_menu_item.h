#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/widgets/menu/drop_down_menu_appearance.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

class DropDownMenuItemView;

// One row of a drop-down menu: its content, the action a tap runs and the look it sets for itself
// (see DropDownMenuAppearance; the row's background is the exception: the item's colour or clear,
// never the menu's). While its row is shown, changing the content changes the row.
class DropDownMenuItem : public DropDownMenuAppearance,
                         public std::enable_shared_from_this<DropDownMenuItem> {
public:
    using Action = std::function<void(const std::shared_ptr<DropDownMenuItem>& item)>;

    DropDownMenuItem(std::string title, std::shared_ptr<platform::UIImage> image,
                     std::shared_ptr<platform::UIImage> highlightedImage, Action action);
    DropDownMenuItem(std::string title, std::string subtitle, std::shared_ptr<platform::UIImage> image,
                     std::shared_ptr<platform::UIImage> highlightedImage, Action action);
    // A view of the caller's in place of the standard content.
    explicit DropDownMenuItem(std::shared_ptr<platform::UIView> customView, Action action = nullptr);

    // "<title: …; subtitle: …; tag: …>"
    std::string description() const;

    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    const std::string& subtitle() const { return subtitle_; }
    void setSubtitle(std::string subtitle);
    const std::shared_ptr<platform::UIImage>& image() const { return image_; }
    void setImage(std::shared_ptr<platform::UIImage> image);
    const std::shared_ptr<platform::UIImage>& higlightedImage() const { return higlightedImage_; }
    void setHiglightedImage(std::shared_ptr<platform::UIImage> image);
    const std::optional<std::string>& badge() const { return badge_; }
    void setBadge(std::optional<std::string> badge) { badge_ = std::move(badge); }
    long tag() const { return tag_; }
    void setTag(long tag) { tag_ = tag; }
    const Action& action() const { return action_; }
    void setAction(Action action) { action_ = std::move(action); }
    const std::shared_ptr<platform::UIView>& customView() const { return customView_; }
    void setCustomView(std::shared_ptr<platform::UIView> view) { customView_ = std::move(view); }

    // The row that shows the item, from the last time the menu opened.
    std::shared_ptr<DropDownMenuItemView> itemView() const { return itemView_.lock(); }
    void setItemView(const std::shared_ptr<DropDownMenuItemView>& view) { itemView_ = view; }
    // Lays the row out again.
    void setNeedsLayout();

private:
    std::string title_;
    std::string subtitle_;
    std::shared_ptr<platform::UIImage> image_;
    std::shared_ptr<platform::UIImage> higlightedImage_;
    std::optional<std::string> badge_;
    long tag_ = 0;
    Action action_;
    std::shared_ptr<platform::UIView> customView_;
    std::weak_ptr<DropDownMenuItemView> itemView_;
};

}  // namespace quorvel
