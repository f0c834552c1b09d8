#pragma once

#include <memory>

#include "app/screens/reminders/reminder_settings_view_model_protocol.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/tables/ui_table_view.h"
#include "platform/uikit/tables/ui_table_view_data_source.h"
#include "platform/uikit/tables/ui_table_view_delegate.h"

namespace quorvel {

// The screen of the weekly focus reminder: the hour (opening the hour picker), the on/off switch
// (asking first) and the seven weekdays (a tap ticks or unticks one). Every change goes to the model,
// which stores it, reschedules and has the table reloaded. Main thread only.
class ReminderSettingsController : public platform::UIViewController,
                                   public platform::UITableViewDataSource,
                                   public platform::UITableViewDelegate {
public:
    static constexpr const char* kNibName = "ReminderSettingsController";

    static std::shared_ptr<ReminderSettingsController> loadFromNib();
    // Builds the nib: a grouped table over the whole view.
    static void registerNib();

    std::shared_ptr<platform::UITableView> tableView() const { return tableView_.lock(); }
    // Registers the row nib with it.
    void setTableView(const std::shared_ptr<platform::UITableView>& tableView);
    const std::shared_ptr<ReminderSettingsViewModelProtocol>& viewModel() const { return viewModel_; }

    // Has the model reload the table after each change, builds its list and shows it.
    void bindViewModel();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    long numberOfSectionsInTableView(platform::UITableView& tableView) override;
    long tableViewNumberOfRowsInSection(platform::UITableView& tableView, long section) override;
    std::optional<std::string> tableViewTitleForHeaderInSection(platform::UITableView& tableView,
                                                                long section) override;
    std::shared_ptr<platform::UITableViewCell> tableViewCellForRowAtIndexPath(
        platform::UITableView& tableView, const platform::NSIndexPath& indexPath) override;
    bool tableViewShouldHighlightRowAtIndexPath(platform::UITableView& tableView,
                                                const platform::NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(platform::UITableView& tableView,
                                          const platform::NSIndexPath& indexPath) override;

private:
    std::weak_ptr<ReminderSettingsController> weakSelf();
    // The row at the index path; none outside the list.
    const ReminderSettingsCell* row(const platform::NSIndexPath& indexPath) const;

    std::weak_ptr<platform::UITableView> tableView_;
    std::shared_ptr<ReminderSettingsViewModelProtocol> viewModel_;
};

}  // namespace quorvel
