#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/uikit/tables/ns_index_path.h"

namespace platform {

class UITableView;
class UITableViewCell;

// What a table shows: its sections, their rows and the cell of each row. The row count and the cell are
// required; the other messages answer, by default, one section and no titles.
class UITableViewDataSource {
public:
    virtual ~UITableViewDataSource() = default;

    virtual long numberOfSectionsInTableView(UITableView& tableView) {
        (void)tableView;
        return 1;
    }
    virtual long tableViewNumberOfRowsInSection(UITableView& tableView, long section) = 0;
    // A cell for the row, usually dequeued from the table; none stands for an empty cell.
    virtual std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& tableView,
                                                                            const NSIndexPath& indexPath) = 0;
    virtual std::optional<std::string> tableViewTitleForHeaderInSection(UITableView& tableView,
                                                                        long section) {
        (void)tableView;
        (void)section;
        return std::nullopt;
    }
    virtual std::optional<std::string> tableViewTitleForFooterInSection(UITableView& tableView,
                                                                        long section) {
        (void)tableView;
        (void)section;
        return std::nullopt;
    }
};

}  // namespace platform
