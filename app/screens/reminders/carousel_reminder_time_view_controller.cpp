#include "app/screens/reminders/carousel_reminder_time_view_controller.h"

#include <limits>

#include "app/screens/reminders/next_reminder_date.h"
#include "app/screens/reminders/ruler_sheet.h"
#include "app/widgets/carousel/carousel_cell.h"
#include "platform/audiotoolbox/audio_services.h"
#include "platform/foundation/console.h"
#include "platform/uikit/nibs/ui_nib.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {

using namespace platform;

void CarouselReminderTimeViewController::registerNib() {
    UINib::registerNib(kNibName, [](UINibBuilder& nib) {
        auto picker = nib.addTopLevel(std::make_shared<CarouselReminderTimeViewController>());
        const auto sheet = RulerSheet::make();
        auto close = sheet.addButton("Close", RulerSheet::Place::left);
        auto done = sheet.addButton("Done", RulerSheet::Place::right);
        sheet.titleLabel->setFont(UIFont::fontWithName("HelveticaNeue-Light", 18));
        sheet.titleLabel->setTextColor(UIColor::colorWithWhite(0.5, 1));
        nib.connect([picker, sheet, close, done] {
            picker->setView(sheet.root);
            picker->setTitleLabel(sheet.titleLabel);
            picker->setSubtitleLabel(sheet.subtitleLabel);
            picker->setDoneButton(done);
            picker->setContentViewTopConstraint(sheet.contentTopConstraint);
            picker->setCarouselContentView(sheet.rulerHolder);
            picker->setMidPointGuide(sheet.midPointGuide);
            close->addTarget(picker, &CarouselReminderTimeViewController::onClose, UIControlEventTouchUpInside);
            done->addTarget(picker, &CarouselReminderTimeViewController::onDone, UIControlEventTouchUpInside);
        });
    });
}

std::shared_ptr<CarouselReminderTimeViewController> CarouselReminderTimeViewController::loadFromNib() {
    if (!UINib::nibWithNibName(kNibName)) registerNib();
    const auto objects = UINib::nibWithNibName(kNibName)->instantiateWithOwner(nullptr);
    return objects.empty() ? nullptr : objects.front().as<CarouselReminderTimeViewController>();
}

CarouselReminderTimeViewController::~CarouselReminderTimeViewController() {
    Console::print("CarouselReminderTimeViewController deinit");
}

void CarouselReminderTimeViewController::setMidPointGuide(const std::shared_ptr<UIView>& view) {
    midPointGuide_ = view;
    if (view) view->setBackgroundColor(midPointGuideColor());
}

const std::shared_ptr<ItemCarousel>& CarouselReminderTimeViewController::carousel() {
    if (!carousel_) carousel_ = std::make_shared<ItemCarousel>(CGRect{0, 0, 20, 90});
    return carousel_;
}

void CarouselReminderTimeViewController::show(const std::shared_ptr<UIViewController>& presenter,
                                              std::int64_t hour) {
    value_ = hour;
    setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
    std::weak_ptr<UIViewController> weak = weak_from_this();
    presenter->presentViewController(shared_from_this(), false, [weak] {
        if (auto self = std::static_pointer_cast<CarouselReminderTimeViewController>(weak.lock())) {
            self->animateIn();
        }
    });
}

void CarouselReminderTimeViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupCarousel();
    refreshLabels();
    if (auto top = contentViewTopConstraint()) top->setPriority(RulerSheet::kClosedPriority);
}

void CarouselReminderTimeViewController::setupCarousel() {
    const auto& ruler = carousel();
    ruler->setType(ItemCarouselType::linear);
    ruler->setDecelerationRate(0.2);
    auto self = std::static_pointer_cast<CarouselReminderTimeViewController>(shared_from_this());
    ruler->setDelegate(std::static_pointer_cast<ItemCarouselDelegate>(self));
    ruler->setDataSource(std::static_pointer_cast<ItemCarouselDataSource>(self));
    auto holder = carouselContentView();
    if (!holder) return;
    holder->addSubview(ruler);
    ruler->setTranslatesAutoresizingMaskIntoConstraints(false);
    const std::map<std::string, std::shared_ptr<UIView>> views = {{"view", ruler}};
    holder->addConstraints(NSLayoutConstraint::constraintsWithVisualFormat("V:|-0-[view]-0-|", views));
    holder->addConstraints(NSLayoutConstraint::constraintsWithVisualFormat("H:|-0-[view]-0-|", views));
}

void CarouselReminderTimeViewController::refreshLabels() {
    if (auto subtitle = subtitleLabel()) {
        subtitle->setText("");
        subtitle->setHidden(true);
    }
    if (auto title = titleLabel()) title->setText(nextReminderDate(value_));
    carousel()->setCurrentItemIndex(static_cast<long>(value_));
    carousel()->reloadData();
}

void CarouselReminderTimeViewController::animateIn() {
    slideRulerSheetIn(*view(), contentViewTopConstraint().get());
}

void CarouselReminderTimeViewController::animateOut(std::function<void()> completion) {
    if (closing_) return;
    closing_ = true;
    if (auto top = contentViewTopConstraint()) top->setPriority(RulerSheet::kClosedPriority);
    auto root = view();
    std::weak_ptr<UIViewController> weak = weak_from_this();
    UIView::animateWithDuration(
        0.2,
        [root] {
            root->layoutIfNeeded();
            root->setBackgroundColor(UIColor::colorWithWhite(0, 0));
        },
        [weak, completion](bool) {
            if (auto self = weak.lock()) self->UIViewController::dismissViewControllerAnimated(false, completion);
        });
}

void CarouselReminderTimeViewController::dismissViewControllerAnimated(bool, std::function<void()> completion) {
    animateOut(std::move(completion));
}

void CarouselReminderTimeViewController::onClose() {
    dismissViewControllerAnimated(true);
}

void CarouselReminderTimeViewController::onDone() {
    if (closing_) return;  // a second press while sliding out reports nothing more
    dismissViewControllerAnimated(true);
    if (didChangeValue_) didChangeValue_(value_);
}

std::shared_ptr<UIView> CarouselReminderTimeViewController::hourItemView(long index,
                                                                        std::shared_ptr<UIView> reusingView) {
    const auto& settings = carouselSettings_;
    auto cell = std::dynamic_pointer_cast<CarouselCell>(reusingView);
    if (!cell) {
        cell = std::make_shared<CarouselCell>(CGRect{0, 0, settings.width, settings.height});
        cell->measure()->setBackgroundColor(settings.unitColor);
        cell->measure()->layer()->setCornerRadius(1.0);
        cell->setContentMode(UIViewContentMode::center);
        const auto& label = cell->measureLabel();
        label->setTextAlignment(NSTextAlignment::center);
        label->setFont(UIFont::systemFontOfSize(settings.fontSize));
        label->setTextColor(settings.unitColor);
        label->setBackgroundColor(UIColor::clearColor());
    }
    const auto& tick = cell->measure();
    const auto& label = cell->measureLabel();
    const bool known = index >= 0 && index < static_cast<long>(hourDatas_.size());
    const bool major = settings.displayInterval == 0 ? index == 0 : index % settings.displayInterval == 0;
    if (major) {
        cell->setTag(1);
        tick->setFrame({(settings.width - 2) / 2, 0, 2, settings.measurementUnitHeight});
        label->setText(known ? nextReminderDate(hourDatas_[index]) : "");
        const auto fitting =
            label->sizeThatFits({std::numeric_limits<CGFloat>::max(), 100}).width;
        label->setFrame({(tick->frame().origin.x + settings.width - fitting) / 2,
                         settings.measurementUnitHeight + 2 + settings.offset, fitting,
                         (settings.height - settings.measurementUnitHeight - settings.differential()) / 2});
    } else {
        cell->setTag(0);
        tick->setFrame({(settings.width - 2) / 2, settings.halfMeasurementUnitHeight(), 2,
                        settings.halfMeasurementUnitHeight()});
        label->setText("");
    }
    cell->layoutIfNeeded();
    return cell;
}

long CarouselReminderTimeViewController::numberOfItemsInCarousel(ItemCarousel&) {
    return static_cast<long>(hourDatas_.size());
}

std::shared_ptr<UIView> CarouselReminderTimeViewController::carouselViewForItemAtIndex(
    ItemCarousel&, long index, std::shared_ptr<UIView> reusingView) {
    return hourItemView(index, std::move(reusingView));
}

void CarouselReminderTimeViewController::choose(long index) {
    value_ = index;
    if (auto title = titleLabel()) title->setText(nextReminderDate(value_));
}

void CarouselReminderTimeViewController::carouselCurrentItemIndexDidChange(ItemCarousel& carousel) {
    choose(carousel.currentItemIndex());
    AudioServicesPlaySystemSound(kSystemSoundID_Click);
}

void CarouselReminderTimeViewController::carouselDidEndScrollingAnimation(ItemCarousel& carousel) {
    choose(carousel.currentItemIndex());
}

void CarouselReminderTimeViewController::carouselDidSelectItemAtIndex(ItemCarousel&, long index) {
    choose(index);
}

double CarouselReminderTimeViewController::carouselValueForOption(ItemCarousel& carousel,
                                                                  ItemCarouselOption option, double value) {
    const auto fade = carousel.bounds().size.width / carouselSettings_.fadeFactor;
    switch (option) {
        case ItemCarouselOption::wrap:
            return 1;
        case ItemCarouselOption::fadeRange:
            return 1.0;
        case ItemCarouselOption::fadeMin:
            return -fade;
        case ItemCarouselOption::fadeMax:
            return fade;
        default:
            return value;
    }
}

}  // namespace quorvel
