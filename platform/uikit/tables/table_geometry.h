#pragma once

#include <optional>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/tables/ns_index_path.h"

namespace platform {

// Where the parts of a table lie along its height: the table's header, then per section its header, its
// rows and its footer, then the table's footer. Built once per reload from the heights, so finding what
// lies at a height or in a band takes a binary search, however long the table.
class TableGeometry {
public:
    struct SectionHeights {
        CGFloat header = 0;
        std::vector<CGFloat> rows;
        CGFloat footer = 0;
    };
    // A band of the table: its top and its height.
    struct Span {
        CGFloat top = 0;
        CGFloat height = 0;
        CGFloat bottom() const { return top + height; }
    };

    TableGeometry() = default;
    // Negative or non-finite heights count as 0.
    TableGeometry(CGFloat tableHeader, const std::vector<SectionHeights>& sections, CGFloat tableFooter);

    long numberOfSections() const { return long(sections_.size()); }
    long numberOfRows(long section) const;
    bool contains(const NSIndexPath& indexPath) const;

    CGFloat contentHeight() const { return contentHeight_; }
    Span tableHeader() const { return {0, tableHeader_}; }
    Span tableFooter() const { return {contentHeight_ - tableFooter_, tableFooter_}; }
    // Empty spans at the end of the table for what is not there.
    Span section(long section) const;
    Span header(long section) const;
    Span footer(long section) const;
    Span row(const NSIndexPath& indexPath) const;

    // The row at height `y`, if a row is there.
    std::optional<NSIndexPath> rowAt(CGFloat y) const;
    // The rows and the sections that overlap [top, bottom), in order.
    std::vector<NSIndexPath> rowsIn(CGFloat top, CGFloat bottom) const;
    std::vector<long> sectionsIn(CGFloat top, CGFloat bottom) const;

private:
    struct Section {
        CGFloat top = 0;
        CGFloat header = 0;
        std::vector<CGFloat> rowTops;  // one more than the rows: the last is where the footer begins
        CGFloat footer = 0;
        CGFloat bottom() const { return rowTops.back() + footer; }
    };
    // The first section whose end lies below `y`, or the number of sections.
    long sectionReaching(CGFloat y) const;

    CGFloat tableHeader_ = 0;
    CGFloat tableFooter_ = 0;
    CGFloat contentHeight_ = 0;
    std::vector<Section> sections_;
};

}  // namespace platform
