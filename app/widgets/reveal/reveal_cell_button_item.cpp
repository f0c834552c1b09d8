#include "app/widgets/reveal/reveal_cell_button_item.h"

namespace quorvel {

using namespace platform;

namespace {

// A background whose alpha is above this hides what lies behind the button.
constexpr double kOpaqueAlpha = 0.98;

}  // namespace

RevealCellButtonItem::RevealCellButtonItem(std::string title) : title_(std::move(title)) {}

RevealCellButtonItem::RevealCellButtonItem(std::shared_ptr<UIImage> image) : image_(std::move(image)) {
    if (image_) width_ = image_->size().width;
}

RevealCellButtonItem::RevealCellButtonItem(std::string title, std::shared_ptr<UIImage> image, Handler handler)
    : title_(std::move(title)), image_(std::move(image)), handler_(std::move(handler)) {}

std::shared_ptr<RevealCellButtonItem> RevealCellButtonItem::itemWithTitle(std::string title,
                                                                          Handler handler) {
    return std::make_shared<RevealCellButtonItem>(std::move(title), nullptr, std::move(handler));
}

std::shared_ptr<RevealCellButtonItem> RevealCellButtonItem::itemWithImage(std::shared_ptr<UIImage> image,
                                                                          Handler handler) {
    auto item = std::make_shared<RevealCellButtonItem>(std::move(image));
    item->setHandler(std::move(handler));
    return item;
}

void RevealCellButtonItem::setBackgroundColor(std::shared_ptr<UIColor> color) {
    backgroundColor_ = std::move(color);
    double alpha = 0;
    // Read as RGBA, else as hue and brightness, else as a white level; a pattern reads as none.
    if (backgroundColor_ && !backgroundColor_->getRed(nullptr, nullptr, nullptr, &alpha) &&
        !backgroundColor_->getHue(nullptr, nullptr, nullptr, &alpha)) {
        backgroundColor_->getWhite(nullptr, &alpha);
    }
    opaque_ = alpha > kOpaqueAlpha;
}

}  // namespace quorvel
