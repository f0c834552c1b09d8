#pragma once

#include <memory>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {

// The look of a drop-down menu's rows: colours, fonts, offsets and alignments of the title, the
// subtitle and the row in its normal and highlighted states. A menu holds the values every row starts
// from; an item holds its own, unset by default (no colour or font, a (0, 0) offset, alignment −1),
// and the values it sets win over the menu's.
class DropDownMenuAppearance {
public:
    using Color = std::shared_ptr<platform::UIColor>;
    using Font = std::shared_ptr<platform::UIFont>;
    using Offset = platform::CGSize;
    static constexpr int kUnsetAlignment = -1;

    // These values where set, else those of `base`.
    DropDownMenuAppearance resolvedOver(const DropDownMenuAppearance& base) const;

    const Color& backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(Color c) { backgroundColor_ = std::move(c); }
    const Color& separatorColor() const { return separatorColor_; }
    void setSeparatorColor(Color c) { separatorColor_ = std::move(c); }
    const Font& font() const { return font_; }
    void setFont(Font f) { font_ = std::move(f); }
    const Color& textColor() const { return textColor_; }
    void setTextColor(Color c) { textColor_ = std::move(c); }
    const Color& textShadowColor() const { return textShadowColor_; }
    void setTextShadowColor(Color c) { textShadowColor_ = std::move(c); }
    Offset textOffset() const { return textOffset_; }
    void setTextOffset(Offset o) { textOffset_ = o; }
    Offset textShadowOffset() const { return textShadowOffset_; }
    void setTextShadowOffset(Offset o) { textShadowOffset_ = o; }
    int textAlignment() const { return textAlignment_; }
    void setTextAlignment(int a) { textAlignment_ = a; }

    const Color& highlightedBackgroundColor() const { return highlightedBackgroundColor_; }
    void setHighlightedBackgroundColor(Color c) { highlightedBackgroundColor_ = std::move(c); }
    const Color& highlightedSeparatorColor() const { return highlightedSeparatorColor_; }
    void setHighlightedSeparatorColor(Color c) { highlightedSeparatorColor_ = std::move(c); }
    const Color& highlightedTextColor() const { return highlightedTextColor_; }
    void setHighlightedTextColor(Color c) { highlightedTextColor_ = std::move(c); }
    const Color& highlightedTextShadowColor() const { return highlightedTextShadowColor_; }
    void setHighlightedTextShadowColor(Color c) { highlightedTextShadowColor_ = std::move(c); }
    Offset highlightedTextShadowOffset() const { return highlightedTextShadowOffset_; }
    void setHighlightedTextShadowOffset(Offset o) { highlightedTextShadowOffset_ = o; }

    const Font& subtitleFont() const { return subtitleFont_; }
    void setSubtitleFont(Font f) { subtitleFont_ = std::move(f); }
    const Color& subtitleTextColor() const { return subtitleTextColor_; }
    void setSubtitleTextColor(Color c) { subtitleTextColor_ = std::move(c); }
    const Color& subtitleTextShadowColor() const { return subtitleTextShadowColor_; }
    void setSubtitleTextShadowColor(Color c) { subtitleTextShadowColor_ = std::move(c); }
    Offset subtitleTextOffset() const { return subtitleTextOffset_; }
    void setSubtitleTextOffset(Offset o) { subtitleTextOffset_ = o; }
    Offset subtitleTextShadowOffset() const { return subtitleTextShadowOffset_; }
    void setSubtitleTextShadowOffset(Offset o) { subtitleTextShadowOffset_ = o; }
    const Color& subtitleHighlightedTextColor() const { return subtitleHighlightedTextColor_; }
    void setSubtitleHighlightedTextColor(Color c) { subtitleHighlightedTextColor_ = std::move(c); }
    const Color& subtitleHighlightedTextShadowColor() const { return subtitleHighlightedTextShadowColor_; }
    void setSubtitleHighlightedTextShadowColor(Color c) {
        subtitleHighlightedTextShadowColor_ = std::move(c);
    }
    Offset subtitleHighlightedTextShadowOffset() const { return subtitleHighlightedTextShadowOffset_; }
    void setSubtitleHighlightedTextShadowOffset(Offset o) { subtitleHighlightedTextShadowOffset_ = o; }
    int subtitleTextAlignment() const { return subtitleTextAlignment_; }
    void setSubtitleTextAlignment(int a) { subtitleTextAlignment_ = a; }

private:
    Color backgroundColor_, separatorColor_, textColor_, textShadowColor_;
    Color highlightedBackgroundColor_, highlightedSeparatorColor_, highlightedTextColor_,
        highlightedTextShadowColor_;
    Color subtitleTextColor_, subtitleTextShadowColor_, subtitleHighlightedTextColor_,
        subtitleHighlightedTextShadowColor_;
    Font font_, subtitleFont_;
    Offset textOffset_, textShadowOffset_, highlightedTextShadowOffset_;
    Offset subtitleTextOffset_, subtitleTextShadowOffset_, subtitleHighlightedTextShadowOffset_;
    int textAlignment_ = kUnsetAlignment;
    int subtitleTextAlignment_ = kUnsetAlignment;
};

}  // namespace quorvel
