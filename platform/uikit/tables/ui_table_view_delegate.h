#pragma once

#include <memory>
#include <optional>

#include "platform/uikit/scrolling/ui_scroll_view_delegate.h"
#include "platform/uikit/tables/ns_index_path.h"
#include "platform/uikit/tables/ui_table_view.h"

namespace platform {

class UIView;

// How a table lays out and answers selection, besides what its scroll view tells. Every message is
// optional: the bodies here are the answers for a delegate that does not implement it.
class UITableViewDelegate : public UIScrollViewDelegate {
public:
    virtual CGFloat tableViewHeightForRowAtIndexPath(UITableView& tableView, const NSIndexPath& indexPath) {
        (void)indexPath;
        return tableView.rowHeight();
    }
    // UITableViewAutomaticDimension: the height the title or the view needs, or the style's spacing.
    virtual CGFloat tableViewHeightForHeaderInSection(UITableView& tableView, long section) {
        (void)section;
        return tableView.sectionHeaderHeight();
    }
    virtual CGFloat tableViewHeightForFooterInSection(UITableView& tableView, long section) {
        (void)section;
        return tableView.sectionFooterHeight();
    }
    // Shown instead of the title, when given.
    virtual std::shared_ptr<UIView> tableViewViewForHeaderInSection(UITableView& tableView, long section) {
        (void)tableView;
        (void)section;
        return nullptr;
    }
    virtual std::shared_ptr<UIView> tableViewViewForFooterInSection(UITableView& tableView, long section) {
        (void)tableView;
        (void)section;
        return nullptr;
    }

    virtual bool tableViewShouldHighlightRowAtIndexPath(UITableView& tableView,
                                                        const NSIndexPath& indexPath) {
        (void)tableView;
        (void)indexPath;
        return true;
    }
    // The row to select instead, or none to select nothing.
    virtual std::optional<NSIndexPath> tableViewWillSelectRowAtIndexPath(UITableView& tableView,
                                                                         const NSIndexPath& indexPath) {
        (void)tableView;
        return indexPath;
    }
    virtual void tableViewDidSelectRowAtIndexPath(UITableView& tableView, const NSIndexPath& indexPath) {
        (void)tableView;
        (void)indexPath;
    }
    virtual void tableViewDidDeselectRowAtIndexPath(UITableView& tableView, const NSIndexPath& indexPath) {
        (void)tableView;
        (void)indexPath;
    }
};

}  // namespace platform
