#include "app/screens/settings/value_table_controller.h"

#include "app/core/app_notification_names.h"
#include "app/core/navigation_bar_style.h"
#include "app/core/user_data_manager.h"
#include "app/screens/settings/settings_writer.h"
#include "app/screens/settings/value_selection_cell.h"
#include "platform/foundation/ns_calendar.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/ns_date_formatter.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"

namespace quorvel {

namespace {
const SettingsMapper kNeverRow{"Never", ValueTableController::kNever};
}  // namespace

ValueTableController::ValueTableController() : timeArray_{kNeverRow} {}

void ValueTableController::viewDidLoad() {
    UITableViewController::viewDidLoad();
    setTitle("Auto Reset Counter");
    // The prototype cell of the list.
    if (auto table = tableView()) table->registerClass<ValueSelectionCell>(ValueSelectionCell::kReuseIdentifier);
    buildTimeArray();
    if (auto navigation = navigationController()) styleNavigationBar(false, navigation->navigationBar());
}

long ValueTableController::numberOfSectionsInTableView(platform::UITableView&) {
    return 1;
}

long ValueTableController::tableViewNumberOfRowsInSection(platform::UITableView&, long) {
    return static_cast<long>(timeArray_.size());
}

std::shared_ptr<platform::UITableViewCell> ValueTableController::tableViewCellForRowAtIndexPath(
    platform::UITableView& tableView, const platform::NSIndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<ValueSelectionCell>(
        tableView.dequeueReusableCellWithIdentifier(ValueSelectionCell::kReuseIdentifier, indexPath));
    if (!cell || indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= timeArray_.size()) return cell;
    const SettingsMapper& row = timeArray_[static_cast<std::size_t>(indexPath.row)];
    cell->configure(row.name, row.value, 0);
    markSelectedRow(*cell, indexPath);
    return cell;
}

void ValueTableController::tableViewDidSelectRowAtIndexPath(platform::UITableView& tableView,
                                                            const platform::NSIndexPath& indexPath) {
    saveSelection(tableView, indexPath);
}

void ValueTableController::buildTimeArray() {
    platform::NSDateFormatter formatter;
    formatter.setDateStyle(platform::NSDateFormatterStyle::None);
    formatter.setTimeStyle(platform::NSDateFormatterStyle::Short);
    const auto calendar = platform::NSCalendar::currentCalendar();
    const platform::NSDate today = platform::NSDate::now();
    // Starts from "Never" again, so that a view loaded a second time does not list the hours twice.
    timeArray_ = {kNeverRow};
    for (int hour = 0; hour < 24; ++hour) {
        if (auto date = calendar.dateBySettingHour(hour, 0, 0, today)) {
            timeArray_.push_back({formatter.stringFromDate(*date), hour});
        }
    }
}

void ValueTableController::markSelectedRow(ValueSelectionCell& cell, const platform::NSIndexPath& indexPath) {
    const AppSettingData settings = UserDataManager::getAppSettingData();
    const bool marked = settings.resetCounterAtMidnight
                            ? indexPath.row != 0 && cell.integerUpdateValue() == settings.autoResetHour
                            : indexPath.row == 0;
    if (!marked) return;
    if (auto table = tableView()) table->selectRowAtIndexPath(indexPath, false, platform::UITableViewScrollPosition::none);
}

void ValueTableController::saveSelection(platform::UITableView& tableView, const platform::NSIndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<ValueSelectionCell>(tableView.cellForRowAtIndexPath(indexPath));
    if (!cell) return;
    storeSettings({UserDefaultProperties::resetCounterAtMidnight(indexPath.row != 0),
                   UserDefaultProperties::autoResetHour(cell->integerUpdateValue())});
    platform::NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::autoResetSound());
}

}  // namespace quorvel
