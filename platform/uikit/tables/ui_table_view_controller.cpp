#include "platform/uikit/tables/ui_table_view_controller.h"

#include "platform/uikit/device/ui_screen.h"

namespace platform {

std::shared_ptr<UITableView> UITableViewController::tableView() {
    return std::dynamic_pointer_cast<UITableView>(view());
}

void UITableViewController::loadView() {
    if (!nibName().empty()) return UIViewController::loadView();
    auto table = std::make_shared<UITableView>(UIScreen::mainScreen().applicationFrame(), style_);
    table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    auto self = std::static_pointer_cast<UITableViewController>(shared_from_this());
    table->setDataSource(self);
    table->setDelegate(self);
    setView(table);
}

void UITableViewController::viewWillAppear(bool animated) {
    if (!clearsSelection_) return;
    auto table = std::dynamic_pointer_cast<UITableView>(viewIfLoaded());
    if (!table) return;
    for (const auto& indexPath : table->indexPathsForSelectedRows()) table->deselectRowAtIndexPath(indexPath, animated);
}

}  // namespace platform
