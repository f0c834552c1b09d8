#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/screens/timer/rotation_observable.h"
#include "app/screens/timer/session_monitorable.h"
#include "app/screens/timer/session_resetable.h"
#include "app/screens/timer/split.h"
#include "app/widgets/reveal/reveal_table_view_cell.h"
#include "app/widgets/reveal/reveal_table_view_cell_data_source.h"
#include "app/widgets/reveal/reveal_table_view_cell_delegate.h"
#include "platform/uikit/tables/ui_table_view.h"
#include "platform/uikit/tables/ui_table_view_data_source.h"
#include "platform/uikit/tables/ui_table_view_delegate.h"
#include "platform/uikit/text/ns_attributed_string.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel {

// The round and goal counts as "2/4", the value large and the "/" and limit small, in the statistics
// font of the device (larger on a pad).
std::shared_ptr<platform::NSAttributedString> statisticsText(const std::string& value,
                                                             const std::string& limit);

// The one-row table under the timer with the round and goal counts. Swiping the row to the left shows
// "COUNT", which asks which counters to reset, and "MUTE", which shows the sound switches; the row
// stays open until the question is answered (a cancelled reset leaves it open). The first appearance
// opens it once as a hint. A reload, as after a rotation, makes a fresh, closed row. Main thread.
class StatisticsBottomContainer : public platform::UIView,
                                  public platform::UITableViewDataSource,
                                  public platform::UITableViewDelegate,
                                  public RevealTableViewCellDataSource,
                                  public RevealTableViewCellDelegate,
                                  public SessionMonitorable,
                                  public RotationObservable {
public:
    static constexpr const char* SWIPEABLE_CELL_REFERENCE = "swipeableCell";

    // Made with a frame, or (no frame) as the storyboard makes it; either way set up at once.
    static std::shared_ptr<StatisticsBottomContainer> make(
        const platform::CGRect& frame = platform::CGRect::zero());

    std::shared_ptr<SessionResetable> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<SessionResetable> delegate) { delegate_ = std::move(delegate); }
    const std::shared_ptr<platform::UITableView>& statisticsTableView() const { return statisticsTableView_; }
    const std::shared_ptr<platform::UILabel>& roundLabel() const { return roundLabel_; }
    const std::shared_ptr<platform::UILabel>& goalLabel() const { return goalLabel_; }

    void makeValueLabels();
    void setUpViews();
    // Opens the row to show its buttons, once per installation.
    void showRevealHintIfNeeded();

    void updateSessionCounts(const std::string& round, const std::string& roundLimit, const std::string& goal,
                             const std::string& goalLimit) override;
    Split splitStatus() const override { return splitStatus_; }
    // Keeps the split and reloads the table, which closes an open row.
    void updateForRotation(platform::UIDeviceOrientation orientation, Split split) override;

    long numberOfSectionsInTableView(platform::UITableView& tableView) override;
    long tableViewNumberOfRowsInSection(platform::UITableView& tableView, long section) override;
    std::shared_ptr<platform::UITableViewCell> tableViewCellForRowAtIndexPath(
        platform::UITableView& tableView, const platform::NSIndexPath& indexPath) override;
    platform::CGFloat tableViewHeightForRowAtIndexPath(platform::UITableView& tableView,
                                                       const platform::NSIndexPath& indexPath) override;
    // Closes the tapped row.
    void tableViewDidSelectRowAtIndexPath(platform::UITableView& tableView,
                                          const platform::NSIndexPath& indexPath) override;

    std::vector<std::shared_ptr<RevealCellButtonItem>> leftButtonItemsInRevealTableViewCell(
        RevealTableViewCell& cell) override;
    // "COUNT" and "MUTE", each a quarter of the row wide, made anew on every call.
    std::vector<std::shared_ptr<RevealCellButtonItem>> rightButtonItemsInRevealTableViewCell(
        RevealTableViewCell& cell) override;

private:
    explicit StatisticsBottomContainer(const platform::CGRect& frame);
    std::shared_ptr<StatisticsBottomContainer> self();
    // A swipe button that runs `tapped` with the row and leaves the row open.
    std::shared_ptr<RevealCellButtonItem> swipeButton(
        const std::string& title, std::shared_ptr<platform::UIColor> background, platform::CGFloat width,
        void (StatisticsBottomContainer::*tapped)(const std::shared_ptr<RevealTableViewCell>&));
    void countTapped(const std::shared_ptr<RevealTableViewCell>& cell);
    void muteTapped(const std::shared_ptr<RevealTableViewCell>& cell);

    std::weak_ptr<SessionResetable> delegate_;
    std::shared_ptr<platform::UITableView> statisticsTableView_;
    std::shared_ptr<platform::UILabel> roundLabel_;
    std::shared_ptr<platform::UILabel> goalLabel_;
    // Round, its limit, goal, its limit, as last shown.
    std::vector<std::string> shownCounts_;
    Split splitStatus_ = Split::fullSize;
};

}  // namespace quorvel
