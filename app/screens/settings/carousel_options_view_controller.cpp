#include "app/screens/settings/carousel_options_view_controller.h"

#include <algorithm>

#include "app/core/user_data_manager.h"
#include "app/core/user_default_properties.h"
#include "app/screens/reminders/ruler_sheet.h"
#include "app/screens/timer/count_texts.h"
#include "app/widgets/carousel/carousel_cell.h"
#include "platform/audiotoolbox/audio_services.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/nibs/ui_nib.h"
#include "platform/uikit/text/ui_font.h"
#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"

namespace quorvel {

using namespace platform;
using P = UserDefaultProperties;

namespace {

// The ruler's sizes on a pad and on other devices.
struct RulerSizes {
    CGFloat itemWidth, itemHeight, tickLength, fontSize, labelHeight, fadeUnit;
};

RulerSizes rulerSizes() {
    if (UIDevice::currentDevice().userInterfaceIdiom() == UIUserInterfaceIdiom::pad) {
        return {27, 90, 30, 18, 26, 60};
    }
    return {18, 60, 20, 12, 16, 40};
}

}  // namespace

const std::shared_ptr<UIColor>& CarouselOptionsViewController::UNIT_COLOUR() {
    static const auto colour = UIColor::colorWithWhite(0.5, 1);
    return colour;
}

void CarouselOptionsViewController::registerNib() {
    UINib::registerNib(kNibName, [](UINibBuilder& nib) {
        auto picker = nib.addTopLevel(std::make_shared<CarouselOptionsViewController>());
        const auto sheet = RulerSheet::make();
        auto save = sheet.addButton("Save", RulerSheet::Place::whole);
        nib.connect([picker, sheet, save] {
            picker->setView(sheet.root);
            picker->setCarouselHolder(sheet.rulerHolder);
            picker->setContentViewTopConstraint(sheet.contentTopConstraint);
            picker->setDescriptionLabel(sheet.titleLabel);
            picker->setSubtitleLabel(sheet.subtitleLabel);
            picker->setMidPointGuide(sheet.midPointGuide);
            save->addTarget(picker, &CarouselOptionsViewController::saveUserData, UIControlEventTouchUpInside);
        });
    });
}

std::shared_ptr<CarouselOptionsViewController> CarouselOptionsViewController::loadFromNib() {
    if (!UINib::nibWithNibName(kNibName)) registerNib();
    const auto objects = UINib::nibWithNibName(kNibName)->instantiateWithOwner(nullptr);
    auto picker = objects.empty() ? nullptr : objects.front().as<CarouselOptionsViewController>();
    // Its view loads with it: the settings snapshot and the ruler are there before setup.
    if (picker) picker->loadViewIfNeeded();
    return picker;
}

void CarouselOptionsViewController::setDescriptionLabel(const std::shared_ptr<UILabel>& label) {
    descriptionLabel_ = label;
    if (!label) return;
    label->setFont(UIFont::fontWithName("HelveticaNeue-Light", 18));
    label->setTextColor(UNIT_COLOUR());
}

void CarouselOptionsViewController::setSubtitleLabel(const std::shared_ptr<UILabel>& label) {
    subtitleLabel_ = label;
    if (!label) return;
    label->setFont(UIFont::fontWithName("HelveticaNeue", 12));
    label->setTextColor(UIColor::colorWithWhite(0.66, 1));
}

void CarouselOptionsViewController::setMidPointGuide(const std::shared_ptr<UIView>& view) {
    midPointGuide_ = view;
    if (view) view->setBackgroundColor(midPointGuideColor());
}

void CarouselOptionsViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    userSettingsData_ = UserDataManager::getPomodoroData();
    auto tap = std::make_shared<UITapGestureRecognizer>();
    tap->addTarget(std::static_pointer_cast<CarouselOptionsViewController>(shared_from_this()),
                   &CarouselOptionsViewController::dismissView);
    view()->addGestureRecognizer(tap);
    setupCarousel();
    setup(true);
    if (auto top = contentViewTopConstraint()) top->setPriority(RulerSheet::kClosedPriority);
}

std::int64_t CarouselOptionsViewController::storedValue() const {
    if (!userSettingsData_) return kFirstValue;
    const auto& stored = *userSettingsData_;
    if (function_.kind == CarouselFunction::Kind::focus) {
        return function_.session == SessionSetting::sessionsPerRound ? stored.roundLimit : stored.goalLimit;
    }
    return stored.lengthOf(sessionTypeOf(function_.length));
}

void CarouselOptionsViewController::setup(bool initial) {
    if (initial) {
        // The ruler does not report a move to where it already stands, so the stored value is chosen
        // here: "Save" right away stores it again rather than nothing.
        selectedTime_ = std::clamp(storedValue(), kFirstValue, kLastValue);
    }
    const auto value = selectedTime_;
    const bool isCount = function_.kind == CarouselFunction::Kind::focus;
    if (auto label = descriptionLabel()) label->setText(isCount ? sessionCountText(value) : durationText(value));
    if (auto label = subtitleLabel()) {
        label->setHidden(!isCount);
        const auto focusLength = userSettingsData_ ? userSettingsData_->focusLength : 0;
        if (isCount) label->setText(durationText(value * focusLength));
    }
    if (initial && carousel_) carousel_->scrollToItemAtIndex(static_cast<long>(value - 1), false);
}

void CarouselOptionsViewController::setupCarousel() {
    data_.clear();
    for (auto value = kFirstValue; value <= kLastValue; ++value) data_.push_back(value);
    auto carousel = std::make_shared<ItemCarousel>(CGRect{0, 0, 20, 90});
    carousel->setType(ItemCarouselType::linear);
    carousel->setDecelerationRate(0.2);
    auto self = std::static_pointer_cast<CarouselOptionsViewController>(shared_from_this());
    carousel->setDelegate(std::static_pointer_cast<ItemCarouselDelegate>(self));
    carousel->setDataSource(std::static_pointer_cast<ItemCarouselDataSource>(self));
    if (auto holder = carouselHolder()) {
        holder->addSubview(carousel);
        carousel->setTranslatesAutoresizingMaskIntoConstraints(false);
        carousel->reloadData();
        const std::map<std::string, std::shared_ptr<UIView>> views = {{"view", carousel}};
        holder->addConstraints(NSLayoutConstraint::constraintsWithVisualFormat("V:|-0-[view]-0-|", views));
        holder->addConstraints(NSLayoutConstraint::constraintsWithVisualFormat("H:|-0-[view]-0-|", views));
    }
    carousel_ = carousel;
}

void CarouselOptionsViewController::animateIn() {
    slideRulerSheetIn(*view(), contentViewTopConstraint().get());
}

void CarouselOptionsViewController::save() {
    if (dismissing_) return;
    if (function_.kind == CarouselFunction::Kind::timer) {
        switch (function_.length) {
            case TimerLengthSetting::focus:
                P::save(P::focusLength(selectedTime_));
                break;
            case TimerLengthSetting::shortBreak:
                P::save(P::shortBreakLength(selectedTime_));
                break;
            case TimerLengthSetting::longBreak:
                P::save(P::longBreakLength(selectedTime_));
                break;
        }
    } else if (function_.session == SessionSetting::sessionsPerRound) {
        P::save(P::roundLimit(selectedTime_));
        P::save(P::sharedRoundLimit(selectedTime_));
    } else {
        P::save(P::goalLimit(selectedTime_));
        P::save(P::sharedGoalLimit(selectedTime_));
    }
    P::standardDefaults()->synchronize();
    if (const auto group = P::appGroupDefaults()) group->synchronize();
    dismissAnimated();
    if (completionBlock_) completionBlock_(true);
}

void CarouselOptionsViewController::dismissAnimated() {
    if (dismissing_) return;
    dismissing_ = true;
    if (willDismiss_) willDismiss_();
    std::weak_ptr<UIViewController> weak = weak_from_this();
    auto root = view();
    UIView::animateWithDuration(
        0.1,
        [root] {
            root->layoutIfNeeded();
            root->setBackgroundColor(UIColor::colorWithWhite(1, 0));
        },
        [weak](bool) {
            if (auto self = weak.lock()) self->dismissViewControllerAnimated(true);
        });
}

std::shared_ptr<UIView> CarouselOptionsViewController::itemView(long index) {
    const auto sizes = rulerSizes();
    const auto w = sizes.itemWidth, t = sizes.tickLength;
    auto cell = std::make_shared<CarouselCell>(CGRect{0, 0, w, sizes.itemHeight});
    cell->setContentMode(UIViewContentMode::center);
    const auto& tick = cell->measure();
    tick->setBackgroundColor(UNIT_COLOUR());
    tick->layer()->setCornerRadius(1.0);
    const auto& label = cell->measureLabel();
    label->setTextAlignment(NSTextAlignment::center);
    label->setFont(UIFont::systemFontOfSize(sizes.fontSize));
    label->setTextColor(UNIT_COLOUR());
    label->setBackgroundColor(UIColor::clearColor());
    label->setFrame({-10, t + 5, w + 20, sizes.labelHeight});
    const bool major = index % 5 == 0;
    cell->setTag(major ? 1 : 0);
    tick->setFrame({(w - 2) / 2, major ? 0 : t / 2, 2, major ? t : t / 2});
    const bool known = index >= 0 && index < static_cast<long>(data_.size());
    label->setText(major && known ? std::to_string(data_[index]) : "");
    return cell;
}

long CarouselOptionsViewController::numberOfItemsInCarousel(ItemCarousel&) {
    return static_cast<long>(data_.size());
}

std::shared_ptr<UIView> CarouselOptionsViewController::carouselViewForItemAtIndex(ItemCarousel&, long index,
                                                                                 std::shared_ptr<UIView>) {
    return itemView(index);
}

void CarouselOptionsViewController::choose(long index) {
    if (index < 0 || index >= static_cast<long>(data_.size())) return;
    selectedTime_ = data_[index];
    setup(false);
}

void CarouselOptionsViewController::carouselCurrentItemIndexDidChange(ItemCarousel& carousel) {
    AudioServicesPlaySystemSound(kSystemSoundID_Click);
    choose(carousel.currentItemIndex());
}

void CarouselOptionsViewController::carouselDidEndScrollingAnimation(ItemCarousel& carousel) {
    choose(carousel.currentItemIndex());
}

void CarouselOptionsViewController::carouselDidSelectItemAtIndex(ItemCarousel&, long index) {
    choose(index);
}

double CarouselOptionsViewController::carouselValueForOption(ItemCarousel& carousel, ItemCarouselOption option,
                                                             double value) {
    const auto unit = rulerSizes().fadeUnit;
    switch (option) {
        case ItemCarouselOption::wrap:
            return 1.0;
        case ItemCarouselOption::fadeMin:
            return -(carousel.bounds().size.width / unit);
        case ItemCarouselOption::fadeMax:
            return carousel.bounds().size.width / unit;
        case ItemCarouselOption::fadeRange:
            return 1.0;
        default:
            return value;
    }
}

}  // namespace quorvel
