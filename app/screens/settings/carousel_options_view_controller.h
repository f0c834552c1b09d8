#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/core/settings_records.h"
#include "app/screens/settings/carousel_function.h"
#include "app/widgets/carousel/item_carousel.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel {

// The modal picker of a session length (minutes) or a count (sessions per round, daily goal): a ruler
// of the values 1 to 65 slides in over the dimmed screen; turning it clicks at every step and the labels
// say what the value means. "Save" stores the value and closes; a tap on the dimmed background closes
// without storing. Main thread only.
class CarouselOptionsViewController : public platform::UIViewController,
                                      public ItemCarouselDataSource,
                                      public ItemCarouselDelegate {
public:
    static constexpr const char* kNibName = "CarouselOptionsViewController";
    static constexpr std::int64_t kFirstValue = 1;
    static constexpr std::int64_t kLastValue = 65;

    // A picker from its nib, its view not loaded yet.
    static std::shared_ptr<CarouselOptionsViewController> loadFromNib();
    // Builds the nib: the shared ruler sheet with a "Save" button.
    static void registerNib();

    const CarouselFunction& function() const { return function_; }
    void setFunction(const CarouselFunction& function) { function_ = function; }
    const std::optional<PomodoroData>& userSettingsData() const { return userSettingsData_; }
    static const std::shared_ptr<platform::UIColor>& UNIT_COLOUR();
    std::int64_t selectedTime() const { return selectedTime_; }
    const std::shared_ptr<ItemCarousel>& carousel() const { return carousel_; }
    const std::vector<std::int64_t>& data() const { return data_; }

    // Outlets; setting one styles it.
    std::shared_ptr<platform::UIView> carouselHolder() const { return carouselHolder_.lock(); }
    void setCarouselHolder(const std::shared_ptr<platform::UIView>& view) { carouselHolder_ = view; }
    std::shared_ptr<platform::NSLayoutConstraint> contentViewTopConstraint() const {
        return contentViewTopConstraint_.lock();
    }
    void setContentViewTopConstraint(const std::shared_ptr<platform::NSLayoutConstraint>& constraint) {
        contentViewTopConstraint_ = constraint;
    }
    std::shared_ptr<platform::UILabel> descriptionLabel() const { return descriptionLabel_.lock(); }
    void setDescriptionLabel(const std::shared_ptr<platform::UILabel>& label);
    std::shared_ptr<platform::UILabel> subtitleLabel() const { return subtitleLabel_.lock(); }
    void setSubtitleLabel(const std::shared_ptr<platform::UILabel>& label);
    std::shared_ptr<platform::UIView> midPointGuide() const { return midPointGuide_.lock(); }
    void setMidPointGuide(const std::shared_ptr<platform::UIView>& view);

    // Called with true after a save.
    void setCompletionBlock(std::function<void(bool)> block) { completionBlock_ = std::move(block); }
    // Called once, as closing starts.
    void setWillDismiss(std::function<void()> block) { willDismiss_ = std::move(block); }

    // Fills the labels from the stored value (`initial`, also choosing it and moving the ruler there)
    // or from the chosen one. A stored value outside 1 to 65 is taken as the nearest of the two.
    void setup(bool initial);
    void setupCarousel();
    // Run once the presentation is over: the panel slides in and the screen dims.
    void animateIn();
    // "Save": stores the chosen value, closes, then reports.
    void save();
    void saveUserData() { save(); }
    // Closes without storing anything more; a second call while closing does nothing.
    void dismissAnimated();
    void dismissView() { dismissAnimated(); }

    std::shared_ptr<platform::UIView> itemView(long index);

    void viewDidLoad() override;

    long numberOfItemsInCarousel(ItemCarousel& carousel) override;
    std::shared_ptr<platform::UIView> carouselViewForItemAtIndex(
        ItemCarousel& carousel, long index, std::shared_ptr<platform::UIView> reusingView) override;
    void carouselCurrentItemIndexDidChange(ItemCarousel& carousel) override;
    void carouselDidEndScrollingAnimation(ItemCarousel& carousel) override;
    void carouselDidSelectItemAtIndex(ItemCarousel& carousel, long index) override;
    double carouselValueForOption(ItemCarousel& carousel, ItemCarouselOption option, double value) override;

private:
    // The stored value the function edits.
    std::int64_t storedValue() const;
    void choose(long index);

    CarouselFunction function_ = CarouselFunction::timer(TimerLengthSetting::focus);
    std::optional<PomodoroData> userSettingsData_;
    std::int64_t selectedTime_ = 0;
    std::weak_ptr<platform::UIView> carouselHolder_;
    std::weak_ptr<platform::NSLayoutConstraint> contentViewTopConstraint_;
    std::weak_ptr<platform::UILabel> descriptionLabel_;
    std::weak_ptr<platform::UILabel> subtitleLabel_;
    std::weak_ptr<platform::UIView> midPointGuide_;
    std::shared_ptr<ItemCarousel> carousel_;
    std::vector<std::int64_t> data_;
    std::function<void(bool)> completionBlock_;
    std::function<void()> willDismiss_;
    bool dismissing_ = false;
};

}  // namespace quorvel
