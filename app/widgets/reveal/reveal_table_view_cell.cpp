#include "app/widgets/reveal/reveal_table_view_cell.h"

#include <cmath>

#include "app/widgets/reveal/reveal_geometry.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/scrolling/ui_scroll_view.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr double kSpringDamping = 1.0;

std::shared_ptr<UILabel> caption(const std::string& text, const CGRect& frame) {
    auto label = std::make_shared<UILabel>(frame);
    label->setText(text);
    label->setTextAlignment(NSTextAlignment::center);
    label->setTextColor(UIColor::colorWithWhite(0.1, 0.5));
    label->setFont(UIFont::fontWithName("SFProDisplay-Medium", 17));
    return label;
}

const std::vector<std::shared_ptr<RevealCellButtonItem>>& noItems() {
    static const std::vector<std::shared_ptr<RevealCellButtonItem>> none;
    return none;
}

}  // namespace

// The pan's delegate: the cell answers through it, so that the cell's own answers as a view (for
// recognisers on itself) stay the standard ones.
class RevealTableViewCell::PanDelegate : public UIGestureRecognizerDelegate {
public:
    explicit PanDelegate(RevealTableViewCell& cell) : cell_(cell) {}

    bool gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer) override {
        (void)recognizer;
        return cell_.panShouldBegin();
    }
    bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
        UIGestureRecognizer& recognizer, UIGestureRecognizer& other) override {
        (void)recognizer;
        auto delegate = cell_.delegate();
        return delegate &&
               delegate
                   ->revealTableViewCellPanGestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
                       cell_, other);
    }

private:
    RevealTableViewCell& cell_;
};

// Set-up ---------------------------------------------------------------------------------------------

RevealTableViewCell::RevealTableViewCell(UITableViewCellStyle style, const std::string& reuseIdentifier)
    : UITableViewCell(style, reuseIdentifier) {
    setUp();
}

RevealTableViewCell::RevealTableViewCell() : RevealTableViewCell(UITableViewCellStyle::default_, "") {}

RevealTableViewCell::~RevealTableViewCell() = default;

void RevealTableViewCell::setUp() {
    pixelScale_ = UIScreen::mainScreen().scale();
    panDelegate_ = std::make_shared<PanDelegate>(*this);
    pan_ = std::make_shared<RevealTableViewCellPanGestureRecognizer>([](UIGestureRecognizer& recognizer) {
        auto view = recognizer.view();
        auto cell = std::dynamic_pointer_cast<RevealTableViewCell>(view ? view->superview() : nullptr);
        if (cell) cell->panned(static_cast<UIPanGestureRecognizer&>(recognizer));
    });
    pan_->setDelegate(panDelegate_);
    contentView()->addGestureRecognizer(pan_);

    session_ = caption("ROUND", CGRect(0, 15, 160, 20));
    goal_ = caption("GOAL", CGRect(160, 15, 160, 20));
    centerSeparator_ = std::make_shared<UILabel>(CGRect(159.5, 20, 1, 75));
    centerSeparator_->setBackgroundColor(UIColor::colorWithWhite(0.1, 0.2));
    contentView()->addSubview(session_);
    contentView()->addSubview(goal_);
    contentView()->addSubview(centerSeparator_);
}

std::shared_ptr<RevealTableViewCell> RevealTableViewCell::self() {
    return std::static_pointer_cast<RevealTableViewCell>(shared_from_this());
}

void RevealTableViewCell::setNsession(std::shared_ptr<UILabel> label) {
    nsession_ = std::move(label);
    setNeedsLayout();
}

void RevealTableViewCell::setNgoal(std::shared_ptr<UILabel> label) {
    ngoal_ = std::move(label);
    setNeedsLayout();
}

void RevealTableViewCell::setCellRevealMode(RevealCellRevealMode mode) {
    mode_ = mode;
    const RevealSideMode sides{mode == revealModeReversedAction, mode == revealModeBounceBack,
                               mode == revealModeReversedAction};
    sideModes_ = {sides, sides};
}

const std::vector<std::shared_ptr<RevealCellButtonItem>>& RevealTableViewCell::leftCellButtonItems() {
    return utility_ ? utility_->items(RevealSide::left) : noItems();
}

const std::vector<std::shared_ptr<RevealCellButtonItem>>& RevealTableViewCell::rightCellButtonItems() {
    return utility_ ? utility_->items(RevealSide::right) : noItems();
}

void RevealTableViewCell::setAllowsRevealInEditMode(bool allows) {
    const bool turnedOff = allowsRevealInEditMode_ && !allows;
    allowsRevealInEditMode_ = allows;
    if (turnedOff && isEditing()) resetCellAnimated(false);
}

// Table cell hooks ----------------------------------------------------------------------------------

void RevealTableViewCell::prepareForReuse() {
    UITableViewCell::prepareForReuse();
    resetCellAnimated(false);
}

void RevealTableViewCell::setEditing(bool editing, bool animated) {
    const bool entering = editing && !isEditing();
    UITableViewCell::setEditing(editing, animated);
    if (entering && !allowsRevealInEditMode_) resetCellAnimated(animated);
}

void RevealTableViewCell::didMoveToSuperview() {
    UITableViewCell::didMoveToSuperview();
    if (!superview()) {
        if (utility_) utility_->dropItems();
        return;
    }
    if (!utility_) {
        auto layoutView = contentView()->superview();
        revealLayoutView_ = layoutView;
        utility_ = std::make_shared<RevealUtilityContentView>(bounds(), self());
        utility_->setAutoresizesSubviews(false);
        utility_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
        if (layoutView) layoutView->insertSubview(utility_, 0);
    }
    // Whatever was shown before, the stored position is placed afresh.
    const RevealCellRevealPosition position = frontPosition_;
    frontPosition_ = leftPosition_ = rightPosition_ = revealPositionNone;
    setRevealPosition(position, false);
}

void RevealTableViewCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    layoutForLocation(location_);
    const CGSize size = frame().size;
    const CGFloat w = size.width, h = size.height, y = h / 6.9;
    session_->setFrame(CGRect(0, y, w / 2, y));
    goal_->setFrame(CGRect(w / 2, y, w / 2, y));
    centerSeparator_->setFrame(CGRect(w / 2 - 0.5, h * 0.16, 1, h * 0.64));
    if (nsession_) nsession_->setFrame(CGRect(0, h * 0.31, w / 2, h / 2));
    if (ngoal_) ngoal_->setFrame(CGRect(w / 2, h * 0.31, w / 2, h / 2));
}

// Locations ------------------------------------------------------------------------------------------

CGFloat RevealTableViewCell::revealWidth(RevealSide side) {
    return utility_ ? utility_->revealWidth(side) : 0;
}

CGFloat RevealTableViewCell::locationOf(RevealCellRevealPosition position) {
    switch (position) {
        case revealPositionRightExtended:
            return -(revealWidth(RevealSide::right) + reveal::kOverdraw);
        case revealPositionRight:
            return -revealWidth(RevealSide::right);
        case revealPositionLeft:
            return revealWidth(RevealSide::left);
        case revealPositionLeftExtended:
            return revealWidth(RevealSide::left) + reveal::kOverdraw;
        default:
            return 0;
    }
}

CGFloat RevealTableViewCell::progressOf(CGFloat location) {
    const CGFloat width = revealWidth(reveal::sideOfLocation(location));
    return width > 0 ? std::abs(location) / width : 0;
}

void RevealTableViewCell::layoutForLocation(CGFloat location) {
    if (location != 0) {
        const RevealSide side = reveal::sideOfLocation(location);
        const CGFloat limit = revealWidth(side) + reveal::kOverdraw;
        location = reveal::signOf(side) * reveal::rubberBand(std::abs(location), limit, pixelScale_);
    }
    location_ = location;
    const CGRect b = bounds();
    if (utility_) utility_->setFrame(CGRect(-location, 0, b.size.width, b.size.height - 0.5));
    auto layoutView = revealLayoutView_.lock();
    if (auto scroll = std::dynamic_pointer_cast<UIScrollView>(layoutView)) {
        scroll->setContentOffset({-location, 0});
    } else {
        UITableViewCell::layoutSubviews();
        // Everything slides but the row's separators.
        if (layoutView) {
            for (const auto& view : layoutView->subviews()) {
                if (view->className().find("Separator") == std::string::npos) {
                    view->setFrame(CGRectOffset(view->frame(), location, 0));
                }
            }
        }
    }
    if (utility_) utility_->layoutForLocation(location);
}

// Moves ----------------------------------------------------------------------------------------------

void RevealTableViewCell::setRevealPosition(RevealCellRevealPosition position, bool animated) {
    if (!superview()) {
        frontPosition_ = position;
        leftPosition_ = reveal::positionOpens(position, RevealSide::left) ? position : revealPositionCenter;
        rightPosition_ = reveal::positionOpens(position, RevealSide::right) ? position : revealPositionCenter;
        return;
    }
    std::weak_ptr<RevealTableViewCell> weak = self();
    enqueue([weak, position, animated] {
        if (auto cell = weak.lock()) cell->moveTo(position, animated ? cell->revealAnimationDuration_ : 0);
    });
}

void RevealTableViewCell::enqueue(std::function<void()> move) {
    animationQueue_.push_front(std::move(move));
    if (animationQueue_.size() == 1) {
        const auto run = animationQueue_.back();
        run();
    }
}

void RevealTableViewCell::moveEnded() {
    if (!animationQueue_.empty()) animationQueue_.pop_back();
    if (!animationQueue_.empty()) {
        const auto next = animationQueue_.back();
        next();
    }
}

void RevealTableViewCell::moveTo(RevealCellRevealPosition position, double duration) {
    const RevealCellRevealPosition previous = frontPosition_;
    if ((position < revealPositionCenter && rightCellButtonItems().empty()) ||
        (position > revealPositionCenter && leftCellButtonItems().empty()) ||
        (isEditing() && !allowsRevealInEditMode_)) {
        position = revealPositionCenter;
    }
    auto delegate = this->delegate();
    if (delegate && position != previous) delegate->revealTableViewCellWillMoveToPosition(*this, position);

    bool opensSide = false;
    for (RevealSide side : {RevealSide::left, RevealSide::right}) {
        auto& shown = side == RevealSide::left ? leftPosition_ : rightPosition_;
        const bool opens = reveal::positionOpens(position, side);
        if (opens && utility_) utility_->deploy(side);
        opensSide = opensSide || (opens && !reveal::positionOpens(shown, side));
        shown = opens ? position : revealPositionCenter;
    }
    if (auto layoutView = revealLayoutView_.lock(); layoutView && opensSide && utility_) {
        layoutView->sendSubviewToBack(utility_);
    }
    frontPosition_ = position;

    std::weak_ptr<RevealTableViewCell> weak = self();
    const CGFloat location = locationOf(position);
    auto animations = [weak, location, position] {
        auto cell = weak.lock();
        if (!cell) return;
        cell->layoutForLocation(location);
        if (auto d = cell->delegate()) d->revealTableViewCellAnimateToPosition(*cell, position);
    };
    if (duration > 0) {
        UIView::animateWithDuration(revealAnimationDuration_, 0, kSpringDamping, 1 / duration, 0, animations,
                                    [weak, position, previous](bool) {
                                        if (auto cell = weak.lock()) cell->finishMove(position, previous);
                                    });
    } else {
        UIView::performWithoutAnimation(animations);
        finishMove(position, previous);
    }
}

void RevealTableViewCell::finishMove(RevealCellRevealPosition position, RevealCellRevealPosition previous) {
    if (utility_) {
        for (RevealSide side : {RevealSide::left, RevealSide::right}) {
            if (!reveal::positionOpens(position, side)) utility_->undeploy(side);
        }
    }
    if (auto d = delegate(); d && position != previous)
        d->revealTableViewCellDidMoveToPosition(*this, position);
    // Closed, the data source is asked afresh next time.
    if (position == revealPositionCenter && utility_) utility_->dropItems();
    moveEnded();
}

// The pan --------------------------------------------------------------------------------------------

bool RevealTableViewCell::panShouldBegin() {
    if (isEditing() && !allowsRevealInEditMode_) return false;
    if (auto d = delegate(); d && !d->revealTableViewCellPanGestureShouldBegin(*this)) return false;
    if (!animationQueue_.empty()) return false;
    if (frontPosition_ == revealPositionCenter && draggableBorderWidth_ != 0) {
        const CGFloat x = pan_->startPointInView(this).x;
        const bool nearLeft = x <= draggableBorderWidth_ && !leftCellButtonItems().empty();
        const bool nearRight =
            x >= bounds().size.width - draggableBorderWidth_ && !rightCellButtonItems().empty();
        return nearLeft || nearRight;
    }
    return true;
}

CGFloat RevealTableViewCell::panLocation(UIPanGestureRecognizer& pan) {
    const CGFloat location = locationOf(panStartPosition_) + pan.translationInView(this).x;
    if (location < 0 && rightCellButtonItems().empty()) return 0;
    if (location > 0 && leftCellButtonItems().empty()) return 0;
    return location;
}

void RevealTableViewCell::panned(UIPanGestureRecognizer& pan) {
    auto keep = self();
    auto d = delegate();
    switch (pan.state()) {
        case UIGestureRecognizerState::began: {
            // Holds the moves asked for meanwhile until the pan's own move ends.
            enqueue([] {});
            panStartPosition_ = frontPosition_;
            const CGFloat location = locationOf(panStartPosition_);
            if (d) {
                d->revealTableViewCellPanGestureBegan(*this);
                d->revealTableViewCellPanGestureBeganFromLocation(*this, location, progressOf(location));
            }
            break;
        }
        case UIGestureRecognizerState::changed: {
            const CGFloat location = panLocation(pan);
            if (location != 0 && utility_) {
                const RevealSide shown = reveal::sideOfLocation(location);
                utility_->deploy(shown);
                utility_->undeploy(shown == RevealSide::left ? RevealSide::right : RevealSide::left);
            }
            layoutForLocation(location);
            if (d) d->revealTableViewCellPanGestureMovedToLocation(*this, location, progressOf(location));
            break;
        }
        case UIGestureRecognizerState::ended:
            panEnded(panLocation(pan), pan.velocityInView(this).x);
            break;
        case UIGestureRecognizerState::cancelled:
            // Taken away mid-drag, the content goes back where it was when the pan began.
            tellPanEnded(location_);
            moveTo(panStartPosition_, revealAnimationDuration_);
            break;
        default:
            break;
    }
}

void RevealTableViewCell::panEnded(CGFloat location, CGFloat velocity) {
    const RevealSide side = reveal::sideOfLocation(location);
    const int sign = reveal::signOf(side);
    const CGFloat distance = std::abs(location), width = revealWidth(side);
    const RevealSideMode& mode = sideMode(side);

    int target = revealPositionCenter;
    double duration = revealAnimationDuration_;
    if (std::abs(velocity) > quickFlickVelocity_) {
        const bool opening = velocity * sign > 0;
        target = opening ? revealPositionLeft : revealPositionCenter;
        duration = std::abs((opening ? width - distance : distance) / velocity);
    } else if (distance > width / 2) {
        target = revealPositionLeft;
    }
    if (target == revealPositionLeft && distance >= width + reveal::kOverdraw) {
        if (mode.bounceBackOnOverdraw) {
            target = revealPositionCenter;
        } else if (mode.cascadeReversed && mode.performsActionOnOverdraw) {
            target = revealPositionLeftExtended;
        }
    }
    target = revealPositionCenter + sign * (target - revealPositionCenter);
    tellPanEnded(location);

    // An overdraw that acts runs the first button's handler; a yes closes the cell.
    if (utility_ && utility_->isExtended(side)) {
        const auto& items = utility_->items(side);
        if (!items.empty() && items.front()->handler() && items.front()->handler()(items.front(), self())) {
            target = revealPositionCenter;
        }
    }
    moveTo(static_cast<RevealCellRevealPosition>(target), duration);
}

void RevealTableViewCell::tellPanEnded(CGFloat location) {
    if (auto d = delegate()) {
        d->revealTableViewCellPanGestureEndedToLocation(*this, location, progressOf(location));
        d->revealTableViewCellPanGestureEnded(*this);
    }
}

}  // namespace quorvel
