#include "platform/uikit/text/ui_label.h"

#include <cmath>

#include "platform/uikit/drawing/ui_graphics.h"

namespace platform {

namespace {

CGSize ceilSize(CGSize s) {
    return {std::ceil(s.width - 1e-9), std::ceil(s.height - 1e-9)};
}

}  // namespace

UILabel::UILabel() : UILabel(CGRect()) {}

UILabel::UILabel(const CGRect& frame) : UIView(frame) {
    font_ = UIFont::systemFontOfSize(UIFont::labelFontSize());
    textColor_ = UIColor::blackColor();
    setUserInteractionEnabled(false);
    setOpaque(false);
}

UILabel::~UILabel() = default;

const std::string& UILabel::text() const {
    static const std::string empty;
    return attributed_ ? attributed_->string() : empty;
}

void UILabel::setText(const std::string& text) {
    // The same text again changes nothing on screen: a clock set every tick redraws once a second.
    if (plain_ && attributed_ && attributed_->string() == text) return;
    attributed_ = std::make_shared<NSAttributedString>(text);
    plain_ = true;
    changed();
}

void UILabel::setAttributedText(std::shared_ptr<const NSAttributedString> text) {
    if (!plain_ && attributed_ && text && *attributed_ == *text) return;
    attributed_ = std::move(text);
    plain_ = false;
    changed();
}

void UILabel::setFont(std::shared_ptr<UIFont> font) {
    font_ = font ? std::move(font) : UIFont::systemFontOfSize(UIFont::labelFontSize());
    changed();
}

void UILabel::setTextColor(std::shared_ptr<UIColor> color) {
    if (!color) color = UIColor::blackColor();
    if (textColor_ && *textColor_ == *color) return;
    textColor_ = std::move(color);
    changed();
}

void UILabel::setHighlightedTextColor(std::shared_ptr<UIColor> color) {
    highlightedTextColor_ = std::move(color);
    changed();
}

void UILabel::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    changed();
}

void UILabel::setTextAlignment(NSTextAlignment alignment) {
    alignment_ = alignment;
    changed();
}

void UILabel::setNumberOfLines(long lines) {
    lines_ = lines < 0 ? 0 : lines;
    changed();
}

void UILabel::setLineBreakMode(NSLineBreakMode mode) {
    lineBreakMode_ = mode;
    changed();
}

void UILabel::setAdjustsFontSizeToFitWidth(bool adjusts) {
    adjustsFontSize_ = adjusts;
    changed();
}

void UILabel::setMinimumScaleFactor(CGFloat factor) {
    minimumScaleFactor_ = factor;
    changed();
}

void UILabel::setShadowColor(std::shared_ptr<UIColor> color) {
    shadowColor_ = std::move(color);
    changed();
}

void UILabel::setShadowOffset(CGSize offset) {
    shadowOffset_ = offset;
    changed();
}

void UILabel::changed() {
    cache_ = Cache();
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

NSAttributedString UILabel::styledText(CGFloat scale, bool shadow) const {
    if (!attributed_) return {};
    std::shared_ptr<UIColor> color =
        highlighted_ && highlightedTextColor_ ? highlightedTextColor_ : textColor_;
    if (shadow) color = shadowColor_;
    NSAttributedString styled(attributed_->string(), {font_, color});
    if (plain_) {
        if (scale != 1)
            styled.setAttributes({font_->fontWithSize(font_->pointSize() * scale), color}, 0,
                                 styled.length());
        return styled;
    }
    for (const auto& run : attributed_->runs()) {
        NSAttributes a = run.attributes;
        if (!a.font) a.font = font_;
        if (!a.foregroundColor || shadow) a.foregroundColor = color;
        if (scale != 1) a.font = a.font->fontWithSize(a.font->pointSize() * scale);
        styled.setAttributes(a, run.location, run.length);
    }
    if (scale != 1 && attributed_->runs().empty()) {
        styled.setAttributes({font_->fontWithSize(font_->pointSize() * scale), color}, 0, styled.length());
    }
    return styled;
}

CGFloat UILabel::fittingScale(CGFloat width) const {
    if (!adjustsFontSize_ || lines_ != 1 || width <= 0) return 1;
    const CGFloat natural = TextLayout(styledText(1, false), 0, 1, lineBreakMode_, alignment_).size().width;
    if (natural <= width) return 1;
    return std::max(minimumScaleFactor_ > 0 ? minimumScaleFactor_ : 0.01, width / natural);
}

const TextLayout& UILabel::layoutFor(CGFloat width) const {
    if (!cache_.layout || cache_.width != width) {
        cache_.scale = fittingScale(width);
        cache_.width = width;
        cache_.layout = std::make_unique<TextLayout>(styledText(cache_.scale, false), width,
                                                     static_cast<int>(lines_), lineBreakMode_, alignment_);
        cache_.shadow.reset();
    }
    return *cache_.layout;
}

CGSize UILabel::sizeThatFits(CGSize size) const {
    if (text().empty()) return {0, 0};
    const CGFloat width = lines_ == 1 ? 0 : size.width;
    // Asked again on every layout of the superview: measured once until the text or its style changes.
    if (!cache_.fitted || cache_.fittedWidth != width) {
        cache_.fitted = ceilSize(TextLayout(styledText(1, false), width, static_cast<int>(lines_),
                                            lineBreakMode_, NSTextAlignment::left)
                                     .size());
        cache_.fittedWidth = width;
    }
    return *cache_.fitted;
}

CGSize UILabel::intrinsicContentSize() const {
    const CGFloat width = preferredMaxLayoutWidth_ > 0 ? preferredMaxLayoutWidth_ : bounds().size.width;
    return sizeThatFits({lines_ == 1 ? 0 : width, 0});
}

CGRect UILabel::textRectForBounds(const CGRect& bounds, long numberOfLines) const {
    (void)numberOfLines;
    const CGSize size = layoutFor(bounds.size.width).size();
    const CGFloat height = std::min(size.height, bounds.size.height);
    return CGRectMake(bounds.origin.x, bounds.midY() - height / 2, bounds.size.width, height);
}

void UILabel::drawTextInRect(const CGRect& rect) {
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context || text().empty()) return;
    const TextLayout& layout = layoutFor(rect.size.width);
    if (shadowColor_) {
        // Drawn every frame: laid out once, like the text.
        if (!cache_.shadow) {
            cache_.shadow =
                std::make_unique<TextLayout>(styledText(cache_.scale, true), rect.size.width,
                                             static_cast<int>(lines_), lineBreakMode_, alignment_);
        }
        cache_.shadow->draw(context->cairo(),
                            {rect.origin.x + shadowOffset_.width, rect.origin.y + shadowOffset_.height});
    }
    layout.draw(context->cairo(), rect.origin);
}

void UILabel::drawRect(const CGRect& rect) {
    (void)rect;
    drawTextInRect(textRectForBounds(bounds(), lines_));
}

}  // namespace platform
