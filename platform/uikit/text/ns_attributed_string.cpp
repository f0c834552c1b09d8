#include "platform/uikit/text/ns_attributed_string.h"

#include <algorithm>

#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/text/text_layout.h"

namespace platform {

namespace {

template <typename T>
bool sameAttribute(const std::shared_ptr<T>& a, const std::shared_ptr<T>& b) {
    return a == b || (a && b && *a == *b);
}

}  // namespace

bool NSAttributedString::operator==(const NSAttributedString& other) const {
    if (string_ != other.string_ || runs_.size() != other.runs_.size()) return false;
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        const Run& a = runs_[i];
        const Run& b = other.runs_[i];
        if (a.location != b.location || a.length != b.length ||
            !sameAttribute(a.attributes.font, b.attributes.font) ||
            !sameAttribute(a.attributes.foregroundColor, b.attributes.foregroundColor))
            return false;
    }
    return true;
}

NSAttributedString::NSAttributedString(std::string string, NSAttributes attributes)
    : string_(std::move(string)) {
    if (!string_.empty()) runs_.push_back({0, string_.size(), std::move(attributes)});
}

void NSAttributedString::appendAttributedString(const NSAttributedString& other) {
    const std::size_t offset = string_.size();
    string_ += other.string_;
    for (Run run : other.runs_) {
        run.location += offset;
        runs_.push_back(std::move(run));
    }
}

void NSAttributedString::setAttributes(const NSAttributes& attributes, std::size_t location,
                                       std::size_t length) {
    location = std::min(location, string_.size());
    // Not location + length, which wraps for a length meaning "to the end".
    const std::size_t end = location + std::min(length, string_.size() - location);
    if (end == location) return;
    std::vector<Run> kept;
    for (const Run& run : runs_) {
        const std::size_t runEnd = run.location + run.length;
        if (run.location < location)
            kept.push_back({run.location, std::min(runEnd, location) - run.location, run.attributes});
        if (runEnd > end) {
            const std::size_t start = std::max(run.location, end);
            kept.push_back({start, runEnd - start, run.attributes});
        }
    }
    kept.push_back({location, end - location, attributes});
    std::sort(kept.begin(), kept.end(), [](const Run& a, const Run& b) { return a.location < b.location; });
    runs_ = std::move(kept);
}

CGSize NSAttributedString::size() const {
    return TextLayout(*this, 0, 0, NSLineBreakMode::byWordWrapping, NSTextAlignment::left).size();
}

CGRect NSAttributedString::boundingRectWithSize(CGSize size, unsigned options, const void* context) const {
    (void)context;
    const CGFloat width = (options & NSStringDrawingUsesLineFragmentOrigin) ? size.width : 0;
    return CGRect({0, 0},
                  TextLayout(*this, width, 0, NSLineBreakMode::byWordWrapping, NSTextAlignment::left).size());
}

void NSAttributedString::drawInRect(const CGRect& rect) const {
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    TextLayout layout(*this, rect.size.width, 0, NSLineBreakMode::byWordWrapping, NSTextAlignment::left);
    layout.draw(context->cairo(), rect.origin);
}

void NSAttributedString::drawAtPoint(CGPoint point) const {
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    TextLayout(*this, 0, 0, NSLineBreakMode::byWordWrapping, NSTextAlignment::left)
        .draw(context->cairo(), point);
}

}  // namespace platform
