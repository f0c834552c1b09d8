#pragma once

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/widgets/reveal/reveal_cell_button_item.h"
#include "app/widgets/reveal/reveal_cell_reveal_position.h"
#include "app/widgets/reveal/reveal_table_view_cell_data_source.h"
#include "app/widgets/reveal/reveal_table_view_cell_delegate.h"
#include "app/widgets/reveal/reveal_table_view_cell_pan_gesture_recognizer.h"
#include "app/widgets/reveal/reveal_utility_content_view.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "platform/uikit/tables/ui_table_view_cell.h"
#include "platform/uikit/text/ui_label.h"
#include "platform/uikit/touches/ui_gesture_recognizer_delegate.h"

namespace quorvel {

// How one side behaves when dragged past its buttons.
struct RevealSideMode {
    bool cascadeReversed = false;
    bool bounceBackOnOverdraw = false;
    bool performsActionOnOverdraw = false;
};

// A table cell whose content slides sideways, by a pan or by code, to show rows of buttons behind it
// on the left or the right. Moves are queued and run one after another; a pan holds the queue while
// the finger is down. The cell also carries the round and goal layout of the timer screen: two
// captions, a thin centre line and two value labels its user supplies. Main thread only.
class RevealTableViewCell : public platform::UITableViewCell {
public:
    static constexpr platform::CGFloat kDefaultQuickFlickVelocity = 150;
    static constexpr double kDefaultRevealAnimationDuration = 0.35;

    RevealTableViewCell(platform::UITableViewCellStyle style, const std::string& reuseIdentifier);
    // As a storyboard or nib makes it.
    RevealTableViewCell();
    ~RevealTableViewCell() override;

    std::shared_ptr<RevealTableViewCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<RevealTableViewCellDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<RevealTableViewCellDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(std::weak_ptr<RevealTableViewCellDataSource> source) {
        dataSource_ = std::move(source);
    }

    // Positions. Outside a superview a new position is only stored; it is applied on joining one.
    RevealCellRevealPosition revealPosition() const { return frontPosition_; }
    void setRevealPosition(RevealCellRevealPosition position, bool animated);
    void setRevealPosition(RevealCellRevealPosition position) { setRevealPosition(position, false); }
    void resetCellAnimated(bool animated) { setRevealPosition(revealPositionCenter, animated); }

    RevealCellRevealMode cellRevealMode() const { return mode_; }
    // Sets both sides' behaviour.
    void setCellRevealMode(RevealCellRevealMode mode);
    const RevealSideMode& sideMode(RevealSide side) const {
        return sideModes_[side == RevealSide::left ? 0 : 1];
    }

    // The items the data source gave for each side, kept until the cell closes.
    const std::vector<std::shared_ptr<RevealCellButtonItem>>& leftCellButtonItems();
    const std::vector<std::shared_ptr<RevealCellButtonItem>>& rightCellButtonItems();

    // Points per second above which a released pan opens or closes by its direction alone.
    platform::CGFloat quickFlickVelocity() const { return quickFlickVelocity_; }
    void setQuickFlickVelocity(platform::CGFloat velocity) { quickFlickVelocity_ = velocity; }
    double revealAnimationDuration() const { return revealAnimationDuration_; }
    void setRevealAnimationDuration(double duration) { revealAnimationDuration_ = duration; }
    bool allowsRevealInEditMode() const { return allowsRevealInEditMode_; }
    // Turning it off while editing closes the cell at once.
    void setAllowsRevealInEditMode(bool allows);
    // When not 0, a closed cell's pan must start this close to the edge of a side with buttons.
    platform::CGFloat draggableBorderWidth() const { return draggableBorderWidth_; }
    void setDraggableBorderWidth(platform::CGFloat width) { draggableBorderWidth_ = width; }

    // The content's distance from the centre as shown, positive towards the left-hand buttons.
    platform::CGFloat revealLocation() const { return location_; }
    // The view behind the content that holds the buttons; none before the cell first joins a superview.
    const std::shared_ptr<RevealUtilityContentView>& utilityContentView() const { return utility_; }
    const std::shared_ptr<RevealTableViewCellPanGestureRecognizer>& panGestureRecognizer() const {
        return pan_;
    }
    // Moves waiting or running, a pan in progress counted as one.
    size_t pendingMoves() const { return animationQueue_.size(); }
    // Points are placed on the pixel grid of the screen this cell was made for.
    platform::CGFloat pixelScale() const { return pixelScale_; }

    // The round and goal layout.
    const std::shared_ptr<platform::UILabel>& session() const { return session_; }
    const std::shared_ptr<platform::UILabel>& goal() const { return goal_; }
    const std::shared_ptr<platform::UILabel>& centerSeparator() const { return centerSeparator_; }
    const std::shared_ptr<platform::UILabel>& nsession() const { return nsession_; }
    void setNsession(std::shared_ptr<platform::UILabel> label);
    const std::shared_ptr<platform::UILabel>& ngoal() const { return ngoal_; }
    void setNgoal(std::shared_ptr<platform::UILabel> label);
    const std::shared_ptr<platform::UIImageView>& mute() const { return mute_; }
    void setMute(std::shared_ptr<platform::UIImageView> view) { mute_ = std::move(view); }

    // Reuse and editing close the cell.
    void prepareForReuse() override;
    void setEditing(bool editing, bool animated) override;
    void didMoveToSuperview() override;
    void layoutSubviews() override;

private:
    class PanDelegate;

    void setUp();
    std::shared_ptr<RevealTableViewCell> self();
    platform::CGFloat revealWidth(RevealSide side);
    // Where the content stands at `position`.
    platform::CGFloat locationOf(RevealCellRevealPosition position);
    platform::CGFloat progressOf(platform::CGFloat location);
    // Places the content (rubber-banded past the overdraw threshold) and the buttons.
    void layoutForLocation(platform::CGFloat location);

    // The queue: a new move waits behind those before it.
    void enqueue(std::function<void()> move);
    void moveEnded();
    // Moves to `position` over a spring (duration > 0, its speed set by the duration) or at once.
    void moveTo(RevealCellRevealPosition position, double duration);
    void finishMove(RevealCellRevealPosition position, RevealCellRevealPosition previous);

    // The pan.
    bool panShouldBegin();
    void panned(platform::UIPanGestureRecognizer& pan);
    // The location a pan has dragged the content to; held at 0 towards a side without items.
    platform::CGFloat panLocation(platform::UIPanGestureRecognizer& pan);
    void panEnded(platform::CGFloat location, platform::CGFloat velocity);
    void tellPanEnded(platform::CGFloat location);

    std::weak_ptr<RevealTableViewCellDelegate> delegate_;
    std::weak_ptr<RevealTableViewCellDataSource> dataSource_;
    RevealCellRevealPosition frontPosition_ = revealPositionCenter;
    RevealCellRevealPosition leftPosition_ = revealPositionCenter;
    RevealCellRevealPosition rightPosition_ = revealPositionCenter;
    RevealCellRevealPosition panStartPosition_ = revealPositionCenter;
    platform::CGFloat quickFlickVelocity_ = kDefaultQuickFlickVelocity;
    double revealAnimationDuration_ = kDefaultRevealAnimationDuration;
    // Newest first; the oldest, at the back, is the one running.
    std::deque<std::function<void()>> animationQueue_;
    RevealCellRevealMode mode_ = revealModeDefault;
    std::array<RevealSideMode, 2> sideModes_;
    bool allowsRevealInEditMode_ = false;
    platform::CGFloat draggableBorderWidth_ = 0;
    platform::CGFloat location_ = 0;
    platform::CGFloat pixelScale_ = 1;

    std::shared_ptr<RevealUtilityContentView> utility_;
    std::weak_ptr<platform::UIView> revealLayoutView_;
    std::shared_ptr<PanDelegate> panDelegate_;
    std::shared_ptr<RevealTableViewCellPanGestureRecognizer> pan_;

    std::shared_ptr<platform::UILabel> session_;
    std::shared_ptr<platform::UILabel> goal_;
    std::shared_ptr<platform::UILabel> centerSeparator_;
    std::shared_ptr<platform::UILabel> nsession_;
    std::shared_ptr<platform::UILabel> ngoal_;
    std::shared_ptr<platform::UIImageView> mute_;
};

}  // namespace quorvel
