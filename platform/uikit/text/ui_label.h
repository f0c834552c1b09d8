#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/uikit/text/ns_attributed_string.h"
#include "platform/uikit/text/text_layout.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

// A view that shows text: one attributed string, or plain text in one font and colour, centred
// vertically in its bounds. Its intrinsic size is the size of its text; the text measured is the text
// drawn. Draws through drawRect, so the renderer asks it each frame; the layout is cached until a
// property or the width changes.
class UILabel : public UIView {
public:
    UILabel();
    explicit UILabel(const CGRect& frame);
    ~UILabel() override;

    const std::string& text() const;
    void setText(const std::string& text);
    // The text with the label's font and colour applied where the string sets none.
    std::shared_ptr<const NSAttributedString> attributedText() const { return attributed_; }
    void setAttributedText(std::shared_ptr<const NSAttributedString> text);

    // Null (or a font that could not be made) falls back to the system font of 17 points.
    const std::shared_ptr<UIFont>& font() const { return font_; }
    void setFont(std::shared_ptr<UIFont> font);
    // Black when set to null.
    const std::shared_ptr<UIColor>& textColor() const { return textColor_; }
    void setTextColor(std::shared_ptr<UIColor> color);
    const std::shared_ptr<UIColor>& highlightedTextColor() const { return highlightedTextColor_; }
    void setHighlightedTextColor(std::shared_ptr<UIColor> color);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);

    NSTextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(NSTextAlignment alignment);
    // 0 means as many as the text needs.
    long numberOfLines() const { return lines_; }
    void setNumberOfLines(long lines);
    NSLineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(NSLineBreakMode mode);
    // A single line wider than the bounds is drawn in a smaller font, down to the scale factor.
    bool adjustsFontSizeToFitWidth() const { return adjustsFontSize_; }
    void setAdjustsFontSizeToFitWidth(bool adjusts);
    CGFloat minimumScaleFactor() const { return minimumScaleFactor_; }
    void setMinimumScaleFactor(CGFloat factor);

    const std::shared_ptr<UIColor>& shadowColor() const { return shadowColor_; }
    void setShadowColor(std::shared_ptr<UIColor> color);
    CGSize shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(CGSize offset);

    // Stored for the accessibility tree, which has no other reader here.
    bool accessibilityElementsHidden() const { return accessibilityElementsHidden_; }
    void setAccessibilityElementsHidden(bool hidden) { accessibilityElementsHidden_ = hidden; }

    // Where the text goes in `bounds`: its measured size, centred vertically.
    virtual CGRect textRectForBounds(const CGRect& bounds, long numberOfLines) const;
    virtual void drawTextInRect(const CGRect& rect);

    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;
    void drawRect(const CGRect& rect) override;

private:
    // The text as drawn: the label's font and colour filled in, the font scaled down to fit when asked.
    NSAttributedString styledText(CGFloat scale, bool shadow) const;
    CGFloat fittingScale(CGFloat width) const;
    const TextLayout& layoutFor(CGFloat width) const;
    void changed();

    std::shared_ptr<const NSAttributedString> attributed_;
    bool plain_ = true;  // set through setText: the label's font and colour style the whole text
    std::shared_ptr<UIFont> font_;
    std::shared_ptr<UIColor> textColor_;
    std::shared_ptr<UIColor> highlightedTextColor_;
    bool highlighted_ = false;
    NSTextAlignment alignment_ = NSTextAlignment::natural;
    long lines_ = 1;
    NSLineBreakMode lineBreakMode_ = NSLineBreakMode::byTruncatingTail;
    bool adjustsFontSize_ = false;
    CGFloat minimumScaleFactor_ = 0;
    CGFloat preferredMaxLayoutWidth_ = 0;
    std::shared_ptr<UIColor> shadowColor_;
    CGSize shadowOffset_{0, -1};
    bool accessibilityElementsHidden_ = false;

    struct Cache {
        CGFloat width = 0;
        CGFloat scale = 1;
        std::unique_ptr<TextLayout> layout;
        std::unique_ptr<TextLayout> shadow;  // made when first drawn with a shadow colour
        // The last size measured by sizeThatFits, and the width it was measured in.
        std::optional<CGSize> fitted;
        CGFloat fittedWidth = 0;
    };
    mutable Cache cache_;
};

}  // namespace platform
