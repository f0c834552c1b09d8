#include "app/screens/timer/time_view_storyboard.h"

#include "app/screens/timer/shared_fonts.h"
#include "app/screens/timer/time_view_controller.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/layout/ui_layout_guide.h"
#include "platform/uikit/nibs/ui_storyboard.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr CGFloat kPlayButtonSide = 64;

template <typename View>
std::shared_ptr<View> byConstraints(std::shared_ptr<View> view) {
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    return view;
}

std::vector<std::shared_ptr<NSLayoutConstraint>> centred(UIView& view, UIView& in) {
    return {view.centerXAnchor().constraintEqualToAnchor(in.centerXAnchor()),
            view.centerYAnchor().constraintEqualToAnchor(in.centerYAnchor())};
}

// The clock button in the middle, the round and goal labels under it.
std::shared_ptr<ElapsedTimeDisplayView> makeElapsedTimeView(UINibBuilder& nib,
                                                            std::shared_ptr<TimerButton>& clock) {
    auto view = nib.add(std::make_shared<ElapsedTimeDisplayView>());
    view->setClipsToBounds(true);
    clock = nib.add(byConstraints(std::make_shared<TimerButton>()));
    clock->setTitle("25:00", UIControlStateNormal);
    view->addSubview(clock);
    auto round = nib.add(std::make_shared<UILabel>());
    auto goal = nib.add(std::make_shared<UILabel>());
    for (const auto& label : {round, goal}) label->setTextAlignment(NSTextAlignment::center);
    auto counts = nib.add(
        byConstraints(std::make_shared<UIStackView>(std::vector<std::shared_ptr<UIView>>{round, goal})));
    counts->setDistribution(UIStackViewDistribution::fillEqually);
    view->addSubview(counts);
    auto width = clock->widthAnchor().constraintEqualToConstant(10);
    auto constraints = centred(*clock, *view);
    constraints.insert(constraints.end(),
                       {width, counts->centerXAnchor().constraintEqualToAnchor(view->centerXAnchor()),
                        counts->topAnchor().constraintEqualToAnchor(clock->bottomAnchor()),
                        counts->widthAnchor().constraintEqualToConstant(220),
                        counts->heightAnchor().constraintEqualToConstant(24)});
    NSLayoutConstraint::activateConstraints(constraints);
    nib.connect([view, clock, width, counts, round, goal] {
        view->setTimerControlButton(clock);
        view->setWidthConstraint(width);
        view->setStaticsticsHolder(counts);
        view->setRoundDisplayLabel(round);
        view->setGoalDisplayLabel(goal);
    });
    return view;
}

// The minute ring with its centre marker.
std::shared_ptr<CarouselView> makeMinuteRing(UINibBuilder& nib) {
    auto ring =
        nib.add(CarouselView::make(CGRect(0, 0, UIScreen::mainScreen().applicationFrame().size.width, 150)));
    // The ruler keeps the ring's width; its height and place are the ring's own business.
    const auto& ruler = ring->carousel();
    NSLayoutConstraint::activateConstraints(
        {ruler->leadingAnchor().constraintEqualToAnchor(ring->leadingAnchor()),
         ruler->trailingAnchor().constraintEqualToAnchor(ring->trailingAnchor())});
    auto marker = nib.add(byConstraints(std::make_shared<UIView>()));
    marker->setUserInteractionEnabled(false);
    ring->addSubview(marker);
    NSLayoutConstraint::activateConstraints(
        {marker->centerXAnchor().constraintEqualToAnchor(ring->centerXAnchor()),
         marker->topAnchor().constraintEqualToAnchor(ring->topAnchor()),
         marker->widthAnchor().constraintEqualToConstant(2),
         marker->heightAnchor().constraintEqualToConstant(12)});
    nib.connect([ring, marker] { ring->setMidPointGuide(marker); });
    return ring;
}

// The ring centred in its square, the play button in the ring.
std::shared_ptr<ProgressView> makeProgressView(UINibBuilder& nib) {
    auto view = nib.add(std::make_shared<ProgressView>());
    auto ring = nib.add(byConstraints(std::make_shared<CircularProgress>()));
    auto play = nib.add(byConstraints(std::make_shared<ProgressButton>()));
    view->addSubview(ring);
    view->addSubview(play);
    auto height = ring->heightAnchor().constraintEqualToConstant(118);
    auto width = ring->widthAnchor().constraintEqualToConstant(118);
    auto constraints = centred(*ring, *view);
    auto button = centred(*play, *view);
    constraints.insert(constraints.end(), button.begin(), button.end());
    constraints.insert(constraints.end(),
                       {height, width, play->widthAnchor().constraintEqualToConstant(kPlayButtonSide),
                        play->heightAnchor().constraintEqualToConstant(kPlayButtonSide)});
    NSLayoutConstraint::activateConstraints(constraints);
    nib.connect([view, ring, play, height, width] {
        ring->setHeightConstraint(height);
        ring->setWidthConstraint(width);
        view->setProgressViewDisplay(ring);
        view->setProgressButton(play);
    });
    return view;
}

void buildView(UINibBuilder& nib) {
    auto screen = std::static_pointer_cast<TimeViewController>(nib.owner());
    auto root = std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame());
    root->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    auto holder = nib.add(byConstraints(std::make_shared<TimerContentHolder>()));
    holder->setAxis(UILayoutConstraintAxis::vertical);
    root->addSubview(holder);

    std::shared_ptr<TimerButton> clock;
    auto elapsed = makeElapsedTimeView(nib, clock);
    auto ring = makeMinuteRing(nib);
    auto progress = makeProgressView(nib);
    auto table = nib.add(StatisticsBottomContainer::make());
    const std::vector<std::shared_ptr<UIView>> sections{elapsed, ring, progress, table};
    for (const auto& section : sections) holder->addArrangedSubview(section);

    // Below the bar and clear of the sensor housing, down to the screen's bottom edge.
    const UILayoutGuide safe = root->safeAreaLayoutGuide();
    auto bottom = holder->bottomAnchor().constraintEqualToAnchor(root->bottomAnchor());
    NSLayoutConstraint::activateConstraints({holder->leadingAnchor().constraintEqualToAnchor(safe.leadingAnchor()),
                                             holder->trailingAnchor().constraintEqualToAnchor(safe.trailingAnchor()),
                                             holder->topAnchor().constraintEqualToAnchor(safe.topAnchor()), bottom});
    nib.connect([holder, sections, bottom] {
        holder->setStackViews(sections);
        holder->setBottomConstraint(bottom);
    });

    nib.setOwnerView(root);
    nib.connectOwner([=] {
        screen->setContentHolder(holder);
        screen->setElapsedTimeView(elapsed);
        screen->setCarouselView(ring);
        screen->setStatisticsHolder(table);
        screen->setProgressView(progress);
        screen->setTimerButton(clock);
    });
}

}  // namespace

void TimeViewStoryboard::registerScenes() {
    UIStoryboard::registerScene(
        kName, kScreen, [] { return std::make_shared<TimeViewController>(); }, buildView);
}

}  // namespace quorvel
