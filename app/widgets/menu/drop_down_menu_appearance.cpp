#include "app/widgets/menu/drop_down_menu_appearance.h"

namespace quorvel {

namespace {

template <typename T>
std::shared_ptr<T> either(const std::shared_ptr<T>& own, const std::shared_ptr<T>& base) {
    return own ? own : base;
}

platform::CGSize either(platform::CGSize own, platform::CGSize base) {
    return own.width != 0 || own.height != 0 ? own : base;
}

int either(int own, int base) {
    return own != DropDownMenuAppearance::kUnsetAlignment ? own : base;
}

}  // namespace

DropDownMenuAppearance DropDownMenuAppearance::resolvedOver(const DropDownMenuAppearance& base) const {
    DropDownMenuAppearance r;
    r.backgroundColor_ = either(backgroundColor_, base.backgroundColor_);
    r.separatorColor_ = either(separatorColor_, base.separatorColor_);
    r.font_ = either(font_, base.font_);
    r.textColor_ = either(textColor_, base.textColor_);
    r.textShadowColor_ = either(textShadowColor_, base.textShadowColor_);
    r.textOffset_ = either(textOffset_, base.textOffset_);
    r.textShadowOffset_ = either(textShadowOffset_, base.textShadowOffset_);
    r.textAlignment_ = either(textAlignment_, base.textAlignment_);
    r.highlightedBackgroundColor_ = either(highlightedBackgroundColor_, base.highlightedBackgroundColor_);
    r.highlightedSeparatorColor_ = either(highlightedSeparatorColor_, base.highlightedSeparatorColor_);
    r.highlightedTextColor_ = either(highlightedTextColor_, base.highlightedTextColor_);
    r.highlightedTextShadowColor_ = either(highlightedTextShadowColor_, base.highlightedTextShadowColor_);
    r.highlightedTextShadowOffset_ = either(highlightedTextShadowOffset_, base.highlightedTextShadowOffset_);
    r.subtitleFont_ = either(subtitleFont_, base.subtitleFont_);
    r.subtitleTextColor_ = either(subtitleTextColor_, base.subtitleTextColor_);
    r.subtitleTextShadowColor_ = either(subtitleTextShadowColor_, base.subtitleTextShadowColor_);
    r.subtitleTextOffset_ = either(subtitleTextOffset_, base.subtitleTextOffset_);
    r.subtitleTextShadowOffset_ = either(subtitleTextShadowOffset_, base.subtitleTextShadowOffset_);
    r.subtitleHighlightedTextColor_ =
        either(subtitleHighlightedTextColor_, base.subtitleHighlightedTextColor_);
    r.subtitleHighlightedTextShadowColor_ =
        either(subtitleHighlightedTextShadowColor_, base.subtitleHighlightedTextShadowColor_);
    r.subtitleHighlightedTextShadowOffset_ =
        either(subtitleHighlightedTextShadowOffset_, base.subtitleHighlightedTextShadowOffset_);
    r.subtitleTextAlignment_ = either(subtitleTextAlignment_, base.subtitleTextAlignment_);
    return r;
}

}  // namespace quorvel
