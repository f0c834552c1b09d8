#include "app/screens/reminders/reminder_settings_controller.h"

#include "app/core/navigation_bar_style.h"
#include "app/screens/reminders/carousel_reminder_time_view_controller.h"
#include "app/screens/reminders/next_reminder_date.h"
#include "app/screens/reminders/option_common_cell.h"
#include "app/screens/reminders/reminder_settings_view_model.h"
#include "app/screens/timer/zuvo_alert_manager.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/nibs/ui_nib.h"

namespace quorvel {

using namespace platform;

void ReminderSettingsController::registerNib() {
    UINib::registerNib(kNibName, [](UINibBuilder& nib) {
        auto screen = nib.addTopLevel(std::make_shared<ReminderSettingsController>());
        auto table = nib.add(std::make_shared<UITableView>(CGRect{0, 0, 320, 480}, UITableViewStyle::grouped));
        nib.connect([screen, table] {
            screen->setView(table);
            screen->setTableView(table);
            table->setDataSource(std::static_pointer_cast<UITableViewDataSource>(screen));
            table->setDelegate(std::static_pointer_cast<UITableViewDelegate>(screen));
        });
    });
}

std::shared_ptr<ReminderSettingsController> ReminderSettingsController::loadFromNib() {
    if (!UINib::nibWithNibName(kNibName)) registerNib();
    const auto objects = UINib::nibWithNibName(kNibName)->instantiateWithOwner(nullptr);
    return objects.empty() ? nullptr : objects.front().as<ReminderSettingsController>();
}

std::weak_ptr<ReminderSettingsController> ReminderSettingsController::weakSelf() {
    return std::static_pointer_cast<ReminderSettingsController>(shared_from_this());
}

void ReminderSettingsController::setTableView(const std::shared_ptr<UITableView>& tableView) {
    tableView_ = tableView;
    if (!tableView) return;
    if (!UINib::nibWithNibName(OptionCommonCell::kNibName)) OptionCommonCell::registerNib();
    tableView->registerNib(UINib::nibWithNibName(OptionCommonCell::kNibName), OptionCommonCell::kNibName);
}

void ReminderSettingsController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setTitle("Reminder");
    viewModel_ = std::make_shared<ReminderSettingsViewModel>();
    bindViewModel();
}

void ReminderSettingsController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) styleNavigationBar(false, navigation->navigationBar());
}

void ReminderSettingsController::bindViewModel() {
    auto didUpdate = [weak = weakSelf()] {
        auto self = weak.lock();
        if (!self) return;
        auto table = self->tableView();
        if (!table) return;
        table->beginUpdates();
        table->reloadSections({0}, UITableViewRowAnimation::none);
        table->reloadSections({1}, UITableViewRowAnimation::fade);
        table->endUpdates();
    };
    viewModel_->setDidUpdate(didUpdate);
    viewModel_->buildDisplayList();
    didUpdate();
}

const ReminderSettingsCell* ReminderSettingsController::row(const NSIndexPath& indexPath) const {
    if (!viewModel_) return nullptr;
    const auto& list = viewModel_->displayList();
    if (indexPath.section < 0 || indexPath.section >= static_cast<long>(list.size())) return nullptr;
    const auto& rows = list[indexPath.section].rows;
    if (indexPath.row < 0 || indexPath.row >= static_cast<long>(rows.size())) return nullptr;
    return &rows[indexPath.row];
}

long ReminderSettingsController::numberOfSectionsInTableView(UITableView&) {
    return viewModel_ ? static_cast<long>(viewModel_->displayList().size()) : 0;
}

long ReminderSettingsController::tableViewNumberOfRowsInSection(UITableView&, long section) {
    if (!viewModel_ || section < 0 || section >= static_cast<long>(viewModel_->displayList().size())) return 0;
    return static_cast<long>(viewModel_->displayList()[section].rows.size());
}

std::optional<std::string> ReminderSettingsController::tableViewTitleForHeaderInSection(UITableView&,
                                                                                         long section) {
    if (!viewModel_ || section < 0 || section >= static_cast<long>(viewModel_->displayList().size())) {
        return std::nullopt;
    }
    return viewModel_->displayList()[section].kind == ReminderSettingsSection::Kind::schedule ? "SCHEDULE"
                                                                                              : "REPEAT";
}

std::shared_ptr<UITableViewCell> ReminderSettingsController::tableViewCellForRowAtIndexPath(
    UITableView& tableView, const NSIndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<OptionCommonCell>(
        tableView.dequeueReusableCellWithIdentifier(OptionCommonCell::kNibName, indexPath));
    const auto* shown = row(indexPath);
    if (!cell || !shown) return cell;
    switch (shown->kind) {
        case ReminderSettingsCell::Kind::time:
            cell->setCellType(OptionCommonCellType::badge(OptionBadgeColor::standard(), nextReminderDate(shown->hour)));
            cell->configure();
            break;
        case ReminderSettingsCell::Kind::enable:
            cell->setCellType(OptionCommonCellType::switch_(shown->flag));
            cell->configure();
            // Nothing changes until the user confirms; cancelling stores the old state again, and the
            // reload puts the switch back.
            cell->setDidValueChange([weak = weakSelf()](bool on) {
                ZuvoAlertManager::showReminderToggleAlert(on, [weak, on](bool confirmed) {
                    auto self = weak.lock();
                    if (self && self->viewModel_) {
                        self->viewModel_->update(ReminderSettingsCell::enable(confirmed ? on : !on));
                    }
                });
            });
            break;
        case ReminderSettingsCell::Kind::repeats:
            cell->setCellType(OptionCommonCellType::maker(shown->flag));
            cell->configure();
            break;
    }
    cell->setOptionTitle(shown->title());
    if (auto label = cell->optionTitleLabel()) label->setText(shown->title());
    return cell;
}

bool ReminderSettingsController::tableViewShouldHighlightRowAtIndexPath(UITableView&,
                                                                        const NSIndexPath& indexPath) {
    const auto* shown = row(indexPath);
    return !shown || shown->kind != ReminderSettingsCell::Kind::enable;
}

void ReminderSettingsController::tableViewDidSelectRowAtIndexPath(UITableView& tableView,
                                                                  const NSIndexPath& indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    const auto* shown = row(indexPath);
    if (!shown) return;
    switch (shown->kind) {
        case ReminderSettingsCell::Kind::enable:
            break;
        case ReminderSettingsCell::Kind::repeats:
            viewModel_->update(ReminderSettingsCell::repeats(shown->day, !shown->flag));
            break;
        case ReminderSettingsCell::Kind::time: {
            auto picker = CarouselReminderTimeViewController::loadFromNib();
            picker->show(shared_from_this(), shown->hour);
            picker->setDidChangeValue([weak = weakSelf()](std::int64_t hour) {
                auto self = weak.lock();
                if (self && self->viewModel_) self->viewModel_->update(ReminderSettingsCell::time(hour));
            });
            break;
        }
    }
}

}  // namespace quorvel
