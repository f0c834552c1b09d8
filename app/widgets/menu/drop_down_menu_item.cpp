#include "app/widgets/menu/drop_down_menu_item.h"

#include "app/widgets/menu/drop_down_menu_item_view.h"

namespace quorvel {

using namespace platform;

DropDownMenuItem::DropDownMenuItem(std::string title, std::shared_ptr<UIImage> image,
                                   std::shared_ptr<UIImage> highlightedImage, Action action)
    : DropDownMenuItem(std::move(title), "", std::move(image), std::move(highlightedImage),
                       std::move(action)) {}

DropDownMenuItem::DropDownMenuItem(std::string title, std::string subtitle, std::shared_ptr<UIImage> image,
                                   std::shared_ptr<UIImage> highlightedImage, Action action)
    : title_(std::move(title)),
      subtitle_(std::move(subtitle)),
      image_(std::move(image)),
      higlightedImage_(std::move(highlightedImage)),
      action_(std::move(action)) {}

DropDownMenuItem::DropDownMenuItem(std::shared_ptr<UIView> customView, Action action)
    : action_(std::move(action)), customView_(std::move(customView)) {}

std::string DropDownMenuItem::description() const {
    return "<title: " + title_ + "; subtitle: " + subtitle_ + "; tag: " + std::to_string(tag_) + ">";
}

void DropDownMenuItem::setTitle(std::string title) {
    title_ = std::move(title);
    if (auto row = itemView()) {
        row->titleLabel()->setText(title_);
        row->setAccessibilityLabel(title_);
    }
}

void DropDownMenuItem::setSubtitle(std::string subtitle) {
    subtitle_ = std::move(subtitle);
    if (auto row = itemView()) {
        if (row->subtitleLabel()) row->subtitleLabel()->setText(subtitle_);
        row->setAccessibilityLabel(title_ + ", " + subtitle_);
    }
}

void DropDownMenuItem::setImage(std::shared_ptr<UIImage> image) {
    image_ = std::move(image);
    if (auto row = itemView()) row->imageView()->setImage(image_);
}

void DropDownMenuItem::setHiglightedImage(std::shared_ptr<UIImage> image) {
    higlightedImage_ = std::move(image);
    if (auto row = itemView()) row->imageView()->setHighlightedImage(higlightedImage_);
}

void DropDownMenuItem::setNeedsLayout() {
    if (auto row = itemView()) row->setNeedsLayout();
}

}  // namespace quorvel
