#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/screens/reminders/carousel_settings.h"
#include "app/widgets/carousel/item_carousel.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel {

// Picks the reminder hour on a ruler of the 24 hours, a long labelled tick every fifth hour, over the
// dimmed screen. Done reports the hour under the centre; Close reports nothing. Main thread only.
class CarouselReminderTimeViewController : public platform::UIViewController,
                                           public ItemCarouselDataSource,
                                           public ItemCarouselDelegate {
public:
    static constexpr const char* kNibName = "CarouselReminderTimeViewController";

    // A picker from its nib: the shared ruler sheet with "Close" and "Done".
    static std::shared_ptr<CarouselReminderTimeViewController> loadFromNib();
    static void registerNib();
    ~CarouselReminderTimeViewController() override;

    // Outlets.
    std::shared_ptr<platform::UILabel> titleLabel() const { return titleLabel_.lock(); }
    void setTitleLabel(const std::shared_ptr<platform::UILabel>& label) { titleLabel_ = label; }
    std::shared_ptr<platform::UILabel> subtitleLabel() const { return subtitleLabel_.lock(); }
    void setSubtitleLabel(const std::shared_ptr<platform::UILabel>& label) { subtitleLabel_ = label; }
    std::shared_ptr<platform::UIButton> doneButton() const { return doneButton_.lock(); }
    void setDoneButton(const std::shared_ptr<platform::UIButton>& button) { doneButton_ = button; }
    std::shared_ptr<platform::NSLayoutConstraint> contentViewTopConstraint() const {
        return contentViewTopConstraint_.lock();
    }
    void setContentViewTopConstraint(const std::shared_ptr<platform::NSLayoutConstraint>& constraint) {
        contentViewTopConstraint_ = constraint;
    }
    std::shared_ptr<platform::UIView> carouselContentView() const { return carouselContentView_.lock(); }
    void setCarouselContentView(const std::shared_ptr<platform::UIView>& view) { carouselContentView_ = view; }
    std::shared_ptr<platform::UIView> midPointGuide() const { return midPointGuide_.lock(); }
    // Tinted with the focus theme colour at half alpha.
    void setMidPointGuide(const std::shared_ptr<platform::UIView>& view);

    void setDidChangeValue(std::function<void(std::int64_t hour)> block) { didChangeValue_ = std::move(block); }
    std::int64_t value() const { return value_; }
    const std::shared_ptr<ItemCarousel>& carousel();
    const std::vector<std::int64_t>& hourDatas() const { return hourDatas_; }
    const CarouselSettings& carouselSettings() const { return carouselSettings_; }

    // Shows itself over the presenter's whole screen on `hour`, then slides in.
    virtual void show(const std::shared_ptr<platform::UIViewController>& presenter, std::int64_t hour);
    virtual void animateIn();
    // Slides out, then really goes and runs the completion. Only the first call counts.
    virtual void animateOut(std::function<void()> completion = nullptr);
    virtual void setupCarousel();
    virtual void refreshLabels();

    void onClose();
    void onDone();
    // Always through the slide-out, whatever `animated` says.
    void dismissViewControllerAnimated(bool animated, std::function<void()> completion = nullptr) override;

    std::shared_ptr<platform::UIView> hourItemView(long index, std::shared_ptr<platform::UIView> reusingView);

    void viewDidLoad() override;

    long numberOfItemsInCarousel(ItemCarousel& carousel) override;
    std::shared_ptr<platform::UIView> carouselViewForItemAtIndex(
        ItemCarousel& carousel, long index, std::shared_ptr<platform::UIView> reusingView) override;
    void carouselCurrentItemIndexDidChange(ItemCarousel& carousel) override;
    void carouselDidEndScrollingAnimation(ItemCarousel& carousel) override;
    void carouselDidSelectItemAtIndex(ItemCarousel& carousel, long index) override;
    double carouselValueForOption(ItemCarousel& carousel, ItemCarouselOption option, double value) override;

private:
    void choose(long index);

    std::weak_ptr<platform::UILabel> titleLabel_;
    std::weak_ptr<platform::UILabel> subtitleLabel_;
    std::weak_ptr<platform::UIButton> doneButton_;
    std::weak_ptr<platform::NSLayoutConstraint> contentViewTopConstraint_;
    std::weak_ptr<platform::UIView> carouselContentView_;
    std::weak_ptr<platform::UIView> midPointGuide_;
    std::function<void(std::int64_t)> didChangeValue_;
    std::int64_t value_ = 1;
    std::shared_ptr<ItemCarousel> carousel_;
    std::vector<std::int64_t> hourDatas_ = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                             12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23};
    CarouselSettings carouselSettings_;
    bool closing_ = false;
};

}  // namespace quorvel
