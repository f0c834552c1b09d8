#pragma once

#include <memory>

#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/tables/ui_table_view.h"
#include "platform/uikit/tables/ui_table_view_data_source.h"
#include "platform/uikit/tables/ui_table_view_delegate.h"

namespace platform {

// A controller whose view is a table: one it makes itself, as its data source and delegate, unless a
// nib or storyboard gives it one (whose outlets say who serves it). Each time it is about to appear it
// clears the table's selection, unless told not to. Main thread.
class UITableViewController : public UIViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    explicit UITableViewController(UITableViewStyle style = UITableViewStyle::plain) : style_(style) {}

    // Loads the view first if need be; null when the view is not a table.
    std::shared_ptr<UITableView> tableView();
    void setTableView(const std::shared_ptr<UITableView>& tableView) { setView(tableView); }
    void setClearsSelectionOnViewWillAppear(bool clears) { clearsSelection_ = clears; }

    void loadView() override;
    void viewWillAppear(bool animated) override;

    // No rows until a subclass says otherwise.
    long tableViewNumberOfRowsInSection(UITableView& tableView, long section) override {
        (void)tableView;
        (void)section;
        return 0;
    }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& tableView,
                                                                    const NSIndexPath& indexPath) override {
        (void)tableView;
        (void)indexPath;
        return nullptr;
    }

private:
    UITableViewStyle style_;
    bool clearsSelection_ = true;
};

}  // namespace platform
