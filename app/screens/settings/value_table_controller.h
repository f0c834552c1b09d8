#pragma once

#include <memory>
#include <vector>

#include "app/core/settings_records.h"
#include "platform/uikit/tables/ui_table_view_controller.h"

namespace quorvel {

class ValueSelectionCell;

// The auto-reset hour list: "Never" and one row per hour of the day. A choice is stored at once and
// announced with "AutoResetSound"; the list stays open. Main thread only.
class ValueTableController : public platform::UITableViewController {
public:
    // The value of the "Never" row: no hour.
    static constexpr std::int64_t kNever = 666;

    ValueTableController();

    const std::vector<SettingsMapper>& timeArray() const { return timeArray_; }

    void viewDidLoad() override;
    long numberOfSectionsInTableView(platform::UITableView& tableView) override;
    long tableViewNumberOfRowsInSection(platform::UITableView& tableView, long section) override;
    std::shared_ptr<platform::UITableViewCell> tableViewCellForRowAtIndexPath(
        platform::UITableView& tableView, const platform::NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(platform::UITableView& tableView,
                                          const platform::NSIndexPath& indexPath) override;

    // "Never", then each hour of today that the calendar can form, in the locale's short time form.
    virtual void buildTimeArray();
    // Selects the row of the stored choice.
    virtual void markSelectedRow(ValueSelectionCell& cell, const platform::NSIndexPath& indexPath);
    void saveSelection(platform::UITableView& tableView, const platform::NSIndexPath& indexPath);

private:
    std::vector<SettingsMapper> timeArray_;
};

}  // namespace quorvel
