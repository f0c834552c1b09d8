#include "app/screens/timer/statistics_bottom_container.h"

#include <map>

#include "app/core/temp_user_default_properties.h"
#include "app/core/timer_view_model.h"
#include "app/core/user_default_properties.h"
#include "app/screens/timer/zuvo_alert_manager.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {

namespace {

using namespace platform;
using Temp = TempUserDefaultProperties;

void close(const std::shared_ptr<RevealTableViewCell>& cell) {
    if (cell) cell->setRevealPosition(revealPositionCenter, true);
}

}  // namespace

std::shared_ptr<NSAttributedString> statisticsText(const std::string& value, const std::string& limit) {
    const bool pad = UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiom::pad;
    const std::string fontName = pad ? "SFProDisplay-Medium" : "SFProDisplay-Light";
    const auto inSize = [&](CGFloat size) {
        return NSAttributes{UIFont::fontWithName(fontName, size), nullptr};
    };
    auto text = std::make_shared<NSAttributedString>(value, inSize(pad ? 51 : 43));
    text->appendAttributedString(NSAttributedString("/" + limit, inSize(pad ? 16 : 14)));
    return text;
}

std::shared_ptr<StatisticsBottomContainer> StatisticsBottomContainer::make(const CGRect& frame) {
    auto view = std::shared_ptr<StatisticsBottomContainer>(new StatisticsBottomContainer(frame));
    view->setUpViews();
    return view;
}

StatisticsBottomContainer::StatisticsBottomContainer(const CGRect& frame) : UIView(frame) {}

std::shared_ptr<StatisticsBottomContainer> StatisticsBottomContainer::self() {
    return std::static_pointer_cast<StatisticsBottomContainer>(shared_from_this());
}

void StatisticsBottomContainer::makeValueLabels() {
    for (auto* label : {&roundLabel_, &goalLabel_}) {
        *label = std::make_shared<UILabel>(CGRect::zero());
        (*label)->setTextAlignment(NSTextAlignment::center);
        (*label)->setTextColor(UIColor::colorWithWhite(0.1, 0.65));
    }
}

void StatisticsBottomContainer::setUpViews() {
    setBackgroundColor(UIColor::clearColor());
    makeValueLabels();

    const auto table = std::make_shared<UITableView>(bounds());
    statisticsTableView_ = table;
    table->setBackgroundColor(UIColor::clearColor());
    table->setTranslatesAutoresizingMaskIntoConstraints(false);
    addSubview(table);
    table->setAlwaysBounceVertical(false);
    table->setAlwaysBounceHorizontal(false);
    table->setBounces(false);
    table->setSeparatorStyle(UITableViewCellSeparatorStyle::none);
    table->setScrollEnabled(false);
    const auto me = self();
    table->setDataSource(std::static_pointer_cast<UITableViewDataSource>(me));
    table->setDelegate(std::static_pointer_cast<UITableViewDelegate>(me));

    const std::map<std::string, std::shared_ptr<UIView>> views = {{"view", table}};
    addConstraints(NSLayoutConstraint::constraintsWithVisualFormat("H:|-0-[view]-0-|", views));
    addConstraints(NSLayoutConstraint::constraintsWithVisualFormat("V:|-0-[view]-0-|", views));
}

void StatisticsBottomContainer::showRevealHintIfNeeded() {
    const auto standard = UserDefaultProperties::standardDefaults();
    if (standard->boolForKey(Temp::key(Temp::Case::showedOnceRevealingCell))) return;
    Temp::save(Temp::showedOnceRevealingCell(true));
    // The row exists only once the table has laid itself out.
    statisticsTableView_->layoutIfNeeded();
    const auto cell = std::dynamic_pointer_cast<RevealTableViewCell>(
        statisticsTableView_->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)));
    if (cell) cell->setRevealPosition(revealPositionRight, true);
}

void StatisticsBottomContainer::updateSessionCounts(const std::string& round, const std::string& roundLimit,
                                                    const std::string& goal, const std::string& goalLimit) {
    // The timer reports the counts on every tick, and building their texts' fonts costs more than the
    // tick: they change only when a session ends or the settings do.
    std::vector<std::string> counts{round, roundLimit, goal, goalLimit};
    if (counts == shownCounts_) return;
    shownCounts_ = std::move(counts);
    roundLabel_->setAttributedText(statisticsText(round, roundLimit));
    goalLabel_->setAttributedText(statisticsText(goal, goalLimit));
}

void StatisticsBottomContainer::updateForRotation(UIDeviceOrientation orientation, Split split) {
    (void)orientation;
    splitStatus_ = split;
    statisticsTableView_->reloadData();
}

long StatisticsBottomContainer::numberOfSectionsInTableView(UITableView& tableView) {
    (void)tableView;
    return 1;
}

long StatisticsBottomContainer::tableViewNumberOfRowsInSection(UITableView& tableView, long section) {
    (void)tableView;
    (void)section;
    return 1;
}

std::shared_ptr<UITableViewCell> StatisticsBottomContainer::tableViewCellForRowAtIndexPath(
    UITableView& tableView, const NSIndexPath& indexPath) {
    (void)tableView;
    (void)indexPath;
    auto cell =
        std::make_shared<RevealTableViewCell>(UITableViewCellStyle::subtitle, SWIPEABLE_CELL_REFERENCE);
    const auto me = self();
    cell->setDelegate(std::static_pointer_cast<RevealTableViewCellDelegate>(me));
    cell->setDataSource(std::static_pointer_cast<RevealTableViewCellDataSource>(me));
    cell->setCellRevealMode(revealModeDefault);
    cell->setNsession(roundLabel_);
    cell->contentView()->addSubview(roundLabel_);
    cell->setNgoal(goalLabel_);
    cell->contentView()->addSubview(goalLabel_);
    cell->setSelectionStyle(UITableViewCellSelectionStyle::none);
    cell->setAccessoryType(UITableViewCellAccessoryType::none);
    cell->setBackgroundColor(UIColor::clearColor());
    return cell;
}

CGFloat StatisticsBottomContainer::tableViewHeightForRowAtIndexPath(UITableView& tableView,
                                                                    const NSIndexPath& indexPath) {
    (void)indexPath;
    return tableView.frame().size.height + 2.0;
}

void StatisticsBottomContainer::tableViewDidSelectRowAtIndexPath(UITableView& tableView,
                                                                 const NSIndexPath& indexPath) {
    close(std::dynamic_pointer_cast<RevealTableViewCell>(tableView.cellForRowAtIndexPath(indexPath)));
}

std::vector<std::shared_ptr<RevealCellButtonItem>>
StatisticsBottomContainer::leftButtonItemsInRevealTableViewCell(RevealTableViewCell& cell) {
    (void)cell;
    return {};
}

std::vector<std::shared_ptr<RevealCellButtonItem>>
StatisticsBottomContainer::rightButtonItemsInRevealTableViewCell(RevealTableViewCell& cell) {
    const CGFloat width = cell.frame().size.width * 0.5 * 0.5;
    return {swipeButton("COUNT", UIColor::colorWithRed(116 / 255.0, 111 / 255.0, 106 / 255.0, 1), width,
                        &StatisticsBottomContainer::countTapped),
            swipeButton("MUTE", UIColor::colorWithRed(164 / 255.0, 158 / 255.0, 152 / 255.0, 1), width,
                        &StatisticsBottomContainer::muteTapped)};
}

std::shared_ptr<RevealCellButtonItem> StatisticsBottomContainer::swipeButton(
    const std::string& title, std::shared_ptr<UIColor> background, CGFloat width,
    void (StatisticsBottomContainer::*tapped)(const std::shared_ptr<RevealTableViewCell>&)) {
    std::weak_ptr<StatisticsBottomContainer> weak = self();
    auto item = RevealCellButtonItem::itemWithTitle(
        title, [weak, tapped](const std::shared_ptr<RevealCellButtonItem>&,
                              const std::shared_ptr<RevealTableViewCell>& cell) {
            if (auto me = weak.lock()) (me.get()->*tapped)(cell);
            // The row stays open until the question is answered.
            return false;
        });
    item->setBackgroundColor(std::move(background));
    item->setTintColor(UIColor::whiteColor());
    item->setWidth(width);
    return item;
}

void StatisticsBottomContainer::countTapped(const std::shared_ptr<RevealTableViewCell>& cell) {
    std::weak_ptr<StatisticsBottomContainer> weak = self();
    std::weak_ptr<RevealTableViewCell> row = cell;
    ZuvoAlertManager::showResetCountAlert([weak, row](SessionReset reset) {
        const auto me = weak.lock();
        if (me && me->delegate()) TimerViewModel::shared()->reset(reset);
        close(row.lock());
    });
}

void StatisticsBottomContainer::muteTapped(const std::shared_ptr<RevealTableViewCell>& cell) {
    std::weak_ptr<RevealTableViewCell> row = cell;
    ZuvoAlertManager::showSoundOptionsAlert([row] { close(row.lock()); });
}

}  // namespace quorvel
