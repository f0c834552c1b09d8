#include "platform/uikit/tables/table_geometry.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

CGFloat usable(CGFloat height) {
    return std::isfinite(height) && height > 0 ? height : 0;
}

}  // namespace

TableGeometry::TableGeometry(CGFloat tableHeader, const std::vector<SectionHeights>& sections,
                             CGFloat tableFooter)
    : tableHeader_(usable(tableHeader)), tableFooter_(usable(tableFooter)) {
    CGFloat y = tableHeader_;
    sections_.reserve(sections.size());
    for (const auto& heights : sections) {
        Section s;
        s.top = y;
        s.header = usable(heights.header);
        y += s.header;
        s.rowTops.reserve(heights.rows.size() + 1);
        for (CGFloat h : heights.rows) {
            s.rowTops.push_back(y);
            y += usable(h);
        }
        s.rowTops.push_back(y);
        s.footer = usable(heights.footer);
        y += s.footer;
        sections_.push_back(std::move(s));
    }
    contentHeight_ = y + tableFooter_;
}

long TableGeometry::numberOfRows(long section) const {
    if (section < 0 || section >= numberOfSections()) return 0;
    return long(sections_[size_t(section)].rowTops.size()) - 1;
}

bool TableGeometry::contains(const NSIndexPath& indexPath) const {
    return indexPath.row >= 0 && indexPath.row < numberOfRows(indexPath.section);
}

TableGeometry::Span TableGeometry::section(long section) const {
    if (section < 0 || section >= numberOfSections()) return {tableFooter().top, 0};
    const Section& s = sections_[size_t(section)];
    return {s.top, s.bottom() - s.top};
}

TableGeometry::Span TableGeometry::header(long section) const {
    if (section < 0 || section >= numberOfSections()) return {tableFooter().top, 0};
    const Section& s = sections_[size_t(section)];
    return {s.top, s.header};
}

TableGeometry::Span TableGeometry::footer(long section) const {
    if (section < 0 || section >= numberOfSections()) return {tableFooter().top, 0};
    const Section& s = sections_[size_t(section)];
    return {s.rowTops.back(), s.footer};
}

TableGeometry::Span TableGeometry::row(const NSIndexPath& indexPath) const {
    if (!contains(indexPath)) return {tableFooter().top, 0};
    const auto& tops = sections_[size_t(indexPath.section)].rowTops;
    const CGFloat top = tops[size_t(indexPath.row)];
    return {top, tops[size_t(indexPath.row) + 1] - top};
}

long TableGeometry::sectionReaching(CGFloat y) const {
    auto it = std::upper_bound(sections_.begin(), sections_.end(), y,
                               [](CGFloat value, const Section& s) { return value < s.bottom(); });
    return long(it - sections_.begin());
}

std::optional<NSIndexPath> TableGeometry::rowAt(CGFloat y) const {
    const long section = sectionReaching(y);
    if (section >= numberOfSections()) return std::nullopt;
    const auto& tops = sections_[size_t(section)].rowTops;
    if (y < tops.front() || y >= tops.back()) return std::nullopt;  // a header or a footer
    const long row = long(std::upper_bound(tops.begin(), tops.end(), y) - tops.begin()) - 1;
    return NSIndexPath{section, row};
}

std::vector<NSIndexPath> TableGeometry::rowsIn(CGFloat top, CGFloat bottom) const {
    std::vector<NSIndexPath> rows;
    for (long section = sectionReaching(top); section < numberOfSections(); ++section) {
        const auto& tops = sections_[size_t(section)].rowTops;
        if (tops.front() >= bottom) break;
        auto first = std::upper_bound(tops.begin(), tops.end(), top);
        long row = std::max(0L, long(first - tops.begin()) - 1);
        for (; row + 1 < long(tops.size()) && tops[size_t(row)] < bottom; ++row) {
            if (tops[size_t(row) + 1] > top) rows.push_back({section, row});
        }
    }
    return rows;
}

std::vector<long> TableGeometry::sectionsIn(CGFloat top, CGFloat bottom) const {
    std::vector<long> found;
    for (long section = sectionReaching(top); section < numberOfSections(); ++section) {
        if (sections_[size_t(section)].top >= bottom) break;
        found.push_back(section);
    }
    return found;
}

}  // namespace platform
