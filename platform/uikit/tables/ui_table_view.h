#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/uikit/scrolling/ui_scroll_view.h"
#include "platform/uikit/tables/ns_index_path.h"
#include "platform/uikit/tables/table_geometry.h"
#include "platform/uikit/tables/ui_table_view_cell.h"

namespace platform {

class UINib;
class UITableViewDataSource;
class UITableViewDelegate;

enum class UITableViewStyle : int { plain = 0, grouped = 1 };
enum class UITableViewScrollPosition : int { none = 0, top = 1, middle = 2, bottom = 3 };
// Accepted for the platform's calls; rows change at once.
enum class UITableViewRowAnimation : int { fade, right, left, top, bottom, none, middle, automatic = 100 };
enum class UITableViewCellSeparatorStyle : int { none = 0, singleLine = 1 };

// For heights: whatever the content or the style needs.
inline constexpr CGFloat UITableViewAutomaticDimension = -1;

// A vertical scroll view of rows in sections, from a data source. Only the rows in view have cells: a
// row scrolling out gives its cell back to the pool of its reuse identifier and a row scrolling in asks
// the data source, which dequeues from that pool. Heights come from the delegate (or rowHeight) for every
// row when the data is reloaded. A plain table keeps the header of the section on top pinned at its
// top edge; a grouped table sets its sections apart on a grey ground. Main thread.
class UITableView : public UIScrollView {
public:
    using CellFactory = std::function<std::shared_ptr<UITableViewCell>(const std::string& reuseIdentifier)>;

    explicit UITableView(const CGRect& frame, UITableViewStyle style = UITableViewStyle::plain);
    ~UITableView() override;

    UITableViewStyle style() const { return style_; }

    // Both held weakly; the delegate is also the scroll view's.
    std::shared_ptr<UITableViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(std::weak_ptr<UITableViewDataSource> dataSource);
    std::shared_ptr<UITableViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<UITableViewDelegate> delegate);

    // Heights used where the delegate does not answer.
    CGFloat rowHeight() const { return rowHeight_; }
    void setRowHeight(CGFloat height);
    CGFloat sectionHeaderHeight() const { return sectionHeaderHeight_; }
    CGFloat sectionFooterHeight() const { return sectionFooterHeight_; }

    void setSeparatorStyle(UITableViewCellSeparatorStyle style);
    const std::shared_ptr<UIColor>& separatorColor() const { return separatorColor_; }
    void setSeparatorColor(std::shared_ptr<UIColor> color);

    // Above the first section and below the last, as tall as their frames; they take the table's width.
    // A plain table with a footer view draws no lines for empty rows below its last row.
    void setTableHeaderView(std::shared_ptr<UIView> view);
    const std::shared_ptr<UIView>& tableFooterView() const { return tableFooterView_; }
    void setTableFooterView(std::shared_ptr<UIView> view);

    // Reloading: the whole table at its next layout; sections and rows at once (or at endUpdates).
    // Reloaded rows lose their selection.
    void reloadData();
    void reloadSections(const std::vector<long>& sections, UITableViewRowAnimation animation);
    void reloadRowsAtIndexPaths(const std::vector<NSIndexPath>& indexPaths,
                                UITableViewRowAnimation animation);
    void beginUpdates();
    void endUpdates();
    long numberOfSections();
    long numberOfRowsInSection(long section);

    // Reuse: a registered factory makes cells for its identifier when the pool has none.
    void registerClass(CellFactory factory, const std::string& identifier);
    template <class Cell>
    void registerClass(const std::string& identifier) {
        registerClass(
            [](const std::string& id) { return std::make_shared<Cell>(UITableViewCellStyle::default_, id); },
            identifier);
    }
    // New cells for the identifier come from the nib: its first top-level cell, woken from the nib.
    void registerNib(const std::shared_ptr<UINib>& nib, const std::string& identifier);
    // A pooled cell (prepared for reuse) or a new one from the registered factory; none without either.
    std::shared_ptr<UITableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);
    // Never none: without a factory it makes a default-style cell and says so on the console.
    std::shared_ptr<UITableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier,
                                                                       const NSIndexPath& indexPath);

    // Rows in view, after any pending layout.
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(const NSIndexPath& indexPath);
    std::vector<std::shared_ptr<UITableViewCell>> visibleCells();
    std::vector<NSIndexPath> indexPathsForVisibleRows();
    std::optional<NSIndexPath> indexPathForCell(const UITableViewCell& cell) const;
    // `point` in the table's own (content) coordinates.
    std::optional<NSIndexPath> indexPathForRowAtPoint(CGPoint point);
    std::shared_ptr<UIView> headerViewForSection(long section);
    std::shared_ptr<UIView> footerViewForSection(long section);

    CGRect rectForSection(long section);
    CGRect rectForHeaderInSection(long section);
    CGRect rectForFooterInSection(long section);
    CGRect rectForRowAtIndexPath(const NSIndexPath& indexPath);
    void scrollToRowAtIndexPath(const NSIndexPath& indexPath, UITableViewScrollPosition position,
                                bool animated);

    // Selection by code tells the delegate nothing.
    void setAllowsSelection(bool allows);
    void setAllowsMultipleSelection(bool allows);
    std::optional<NSIndexPath> indexPathForSelectedRow() const;
    std::vector<NSIndexPath> indexPathsForSelectedRows() const;
    // None deselects every row.
    void selectRowAtIndexPath(const std::optional<NSIndexPath>& indexPath, bool animated,
                              UITableViewScrollPosition position);
    void deselectRowAtIndexPath(const NSIndexPath& indexPath, bool animated);

    bool isEditing() const { return editing_; }
    void setEditing(bool editing) { setEditing(editing, false); }
    virtual void setEditing(bool editing, bool animated);

    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;

    // A finger on a row highlights it (when the delegate lets it); lifting it there selects the row,
    // telling the delegate. Scrolling away cancels the press.
    void touchesBegan(const UITouchSet& touches, const UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent* event) override;
    bool handlesTouchPhase(UITouchPhase phase) const override {
        (void)phase;
        return true;
    }

private:
    // A section's header or footer: the delegate's view, or one made for the data source's title.
    struct SectionView {
        std::shared_ptr<UIView> view;
        CGFloat height = 0;
    };

    void reloadGeometryIfNeeded();
    SectionView sectionView(long section, bool header);
    // Makes the cells, headers and footers in view and places them, after reloading what is stale.
    void refresh();
    void layoutRows(CGFloat top, CGFloat bottom);
    void layoutSectionViews(CGFloat top, CGFloat bottom);
    std::shared_ptr<UITableViewCell> makeCell(const NSIndexPath& indexPath);
    void recycleRows(const std::function<bool(const NSIndexPath&)>& which);
    UITableViewCell::Separators separatorsFor(const NSIndexPath& indexPath) const;
    // Reloads the rows `which` picks, now or at the end of the updates; they lose their selection.
    void reloadRows(const std::function<bool(const NSIndexPath&)>& which);
    // Lays out now what is pending, unless this is already inside the table's own layout.
    void updateIfNeeded();
    CGRect fullWidth(const TableGeometry::Span& span) const;
    // The pressed row under `touch`, if the touch is the one pressing it and still on it.
    bool stillOnPressedRow(const UITouchSet& touches);
    void releasePress();
    void selectTapped(const NSIndexPath& indexPath);

    UITableViewStyle style_;
    std::weak_ptr<UITableViewDataSource> dataSource_;
    std::weak_ptr<UITableViewDelegate> delegate_;
    CGFloat rowHeight_ = UITableViewCell::kDefaultHeight;
    CGFloat sectionHeaderHeight_ = UITableViewAutomaticDimension;
    CGFloat sectionFooterHeight_ = UITableViewAutomaticDimension;
    UITableViewCellSeparatorStyle separatorStyle_ = UITableViewCellSeparatorStyle::singleLine;
    std::shared_ptr<UIColor> separatorColor_;
    UIEdgeInsets separatorInset_{0, UITableViewCell::kMargin, 0, 0};
    std::shared_ptr<UIView> tableHeaderView_;
    std::shared_ptr<UIView> tableFooterView_;

    TableGeometry geometry_;
    bool geometryStale_ = true;
    CGFloat geometryWidth_ = 0;  // titles wrap to the width they were measured in
    int updateDepth_ = 0;
    bool partReloadPending_ = false;
    bool refreshing_ = false;

    std::map<NSIndexPath, std::shared_ptr<UITableViewCell>> visible_;
    std::vector<SectionView> headers_;
    std::vector<SectionView> footers_;
    std::vector<long> shownSections_;  // whose header and footer views are subviews
    std::map<std::string, std::vector<std::shared_ptr<UITableViewCell>>> pool_;
    std::map<std::string, CellFactory> factories_;

    bool allowsSelection_ = true;
    bool allowsMultipleSelection_ = false;
    std::set<NSIndexPath> selected_;
    bool editing_ = false;
    std::optional<NSIndexPath> pressed_;
    const UITouch* pressingTouch_ = nullptr;
};

}  // namespace platform
