#include "platform/uikit/text/text_layout.h"

#include <pango/pangocairo.h>

#include <algorithm>

#include "platform/coregraphics/cg_context.h"
#include "platform/uikit/text/font_registry.h"

namespace platform {

namespace {

const std::shared_ptr<UIFont>& defaultFont() {
    static const auto font = [] {
        auto f = UIFont::fontWithName("Helvetica", 12);
        return f ? f : UIFont::systemFontOfSize(12);
    }();
    return font;
}

guint16 channel(double v) {
    return static_cast<guint16>(std::clamp(v, 0.0, 1.0) * 65535 + 0.5);
}

PangoAttrList* attributesOf(const NSAttributedString& text) {
    PangoAttrList* list = pango_attr_list_new();
    auto add = [list](PangoAttribute* attr, std::size_t start, std::size_t end) {
        attr->start_index = static_cast<guint>(start);
        attr->end_index = static_cast<guint>(end);
        pango_attr_list_insert(list, attr);
    };
    if (defaultFont()) {
        add(pango_attr_font_desc_new(defaultFont()->description()), 0, text.length());
    }
    for (const auto& run : text.runs()) {
        const std::size_t end = run.location + run.length;
        if (run.attributes.font)
            add(pango_attr_font_desc_new(run.attributes.font->description()), run.location, end);
        if (const auto& color = run.attributes.foregroundColor) {
            double r = 0, g = 0, b = 0, a = 1;
            color->getRed(&r, &g, &b, &a);
            add(pango_attr_foreground_new(channel(r), channel(g), channel(b)), run.location, end);
            add(pango_attr_foreground_alpha_new(channel(a)), run.location, end);
        }
    }
    return list;
}

}  // namespace

TextLayout::TextLayout(const NSAttributedString& text, CGFloat width, int maxLines, NSLineBreakMode mode,
                       NSTextAlignment alignment)
    : layout_(pango_layout_new(FontRegistry::shared().context())) {
    pango_layout_set_text(layout_, text.string().data(), static_cast<int>(text.length()));
    PangoAttrList* attributes = attributesOf(text);
    pango_layout_set_attributes(layout_, attributes);
    pango_attr_list_unref(attributes);

    // Widths beyond what Pango's units hold are as good as unlimited.
    const bool limited = width > 0 && width < 1e6;
    pango_layout_set_width(layout_, limited ? static_cast<int>(width * PANGO_SCALE) : -1);
    pango_layout_set_wrap(layout_,
                          mode == NSLineBreakMode::byCharWrapping ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
    switch (alignment) {
        case NSTextAlignment::center:
            pango_layout_set_alignment(layout_, PANGO_ALIGN_CENTER);
            break;
        case NSTextAlignment::right:
            pango_layout_set_alignment(layout_, PANGO_ALIGN_RIGHT);
            break;
        case NSTextAlignment::justified:
            pango_layout_set_justify(layout_, TRUE);
            break;
        default:
            break;
    }
    PangoEllipsizeMode ellipsize = PANGO_ELLIPSIZE_NONE;
    if (mode == NSLineBreakMode::byTruncatingHead) ellipsize = PANGO_ELLIPSIZE_START;
    if (mode == NSLineBreakMode::byTruncatingMiddle) ellipsize = PANGO_ELLIPSIZE_MIDDLE;
    if (mode == NSLineBreakMode::byTruncatingTail) ellipsize = PANGO_ELLIPSIZE_END;
    if (limited && ellipsize != PANGO_ELLIPSIZE_NONE && maxLines > 0) {
        pango_layout_set_ellipsize(layout_, ellipsize);
        pango_layout_set_height(layout_, -maxLines);
    }

    // The shown lines: all of them, or the first maxLines.
    const int count = pango_layout_get_line_count(layout_);
    lines_ = maxLines > 0 ? std::min(count, maxLines) : count;
    PangoLayoutIter* iter = pango_layout_get_iter(layout_);
    int index = 0;
    int top = 0, bottom = 0, minX = 0, maxX = 0;
    do {
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        if (index == 0) {
            top = logical.y;
            minX = logical.x;
            maxX = logical.x + logical.width;
        }
        minX = std::min(minX, logical.x);
        maxX = std::max(maxX, logical.x + logical.width);
        bottom = logical.y + logical.height;
    } while (++index < lines_ && pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    size_ = {(maxX - minX) / double(PANGO_SCALE), (bottom - top) / double(PANGO_SCALE)};
    if (text.length() == 0) size_ = {0, 0};
}

TextLayout::~TextLayout() {
    g_object_unref(layout_);
}

void TextLayout::draw(cairo_t* cr, CGPoint origin) const {
    cairo_save(cr);
    // Lines beyond the limit are cut, not drawn.
    if (lines_ < pango_layout_get_line_count(layout_)) {
        cairo_rectangle(cr, origin.x - 1e4, origin.y, 2e4, size_.height);
        cairo_clip(cr);
    }
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, origin.x, origin.y);
    pango_cairo_show_layout(cr, layout_);
    cairo_restore(cr);
}

}  // namespace platform
