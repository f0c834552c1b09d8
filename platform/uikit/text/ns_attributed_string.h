#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/text/ui_font.h"

namespace platform {

// The character attributes the app sets: font and foreground colour. Unset, the text is drawn in
// Helvetica 12 and black.
struct NSAttributes {
    std::shared_ptr<UIFont> font;
    std::shared_ptr<UIColor> foregroundColor;
};

// Text-drawing options, as bits.
enum : unsigned {
    NSStringDrawingUsesLineFragmentOrigin = 1 << 0,
};

// Text (UTF-8) with runs of attributes; ranges are byte ranges. Appending builds it run by run.
class NSAttributedString {
public:
    struct Run {
        std::size_t location = 0;
        std::size_t length = 0;
        NSAttributes attributes;
    };

    NSAttributedString() = default;
    explicit NSAttributedString(std::string string, NSAttributes attributes = {});

    const std::string& string() const { return string_; }
    std::size_t length() const { return string_.size(); }
    const std::vector<Run>& runs() const { return runs_; }
    // The same text with equal fonts and colours over the same ranges.
    bool operator==(const NSAttributedString& other) const;

    void appendAttributedString(const NSAttributedString& other);
    // Sets the attributes of a byte range (clamped to the text), splitting runs as needed.
    void setAttributes(const NSAttributes& attributes, std::size_t location, std::size_t length);

    // On one line.
    CGSize size() const;
    // With NSStringDrawingUsesLineFragmentOrigin the text wraps at size.width; without it, one line.
    // The origin is zero; the size is fractional.
    CGRect boundingRectWithSize(CGSize size, unsigned options, const void* context = nullptr) const;
    // Into the current graphics context, wrapped in the rectangle's width, from its top left.
    void drawInRect(const CGRect& rect) const;
    void drawAtPoint(CGPoint point) const;

private:
    std::string string_;
    std::vector<Run> runs_;
};

}  // namespace platform
