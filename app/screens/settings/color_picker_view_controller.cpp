#include "app/screens/settings/color_picker_view_controller.h"

#include <array>

#include "app/core/app_notification_names.h"
#include "app/core/dazaraze_analytics_manager.h"
#include "app/core/navigation_bar_style.h"
#include "app/core/timer_view_model.h"
#include "app/core/user_data_manager.h"
#include "app/screens/settings/settings_writer.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/console.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/layout/ui_layout_guide.h"
#include "platform/uikit/navigation/ui_bar_button_item.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/navigation/ui_navigation_item.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {

using namespace platform;
using P = UserDefaultProperties;

namespace {

constexpr CGFloat kMargin = 24;
constexpr CGFloat kButtonHeight = 52;
constexpr CGFloat kSliderHeight = 44;
constexpr double kFadeIn = 0.3;

using Setting = UserDefaultProperties (*)(UserDefaultProperties::Color);

// By session type: focus, short break, long break.
constexpr std::array<Setting, 3> kStandardSettings = {&P::focusThemeColor, &P::shortBreakThemeColor,
                                                      &P::longBreakThemeColor};
constexpr std::array<Setting, 3> kSharedSettings = {&P::sharedFocusThemeColor, &P::sharedShortBreakThemeColor,
                                                    &P::sharedLongBreakThemeColor};

// Pins `control` to every edge of `container`, the constraints held by the container.
void pin(UIView& container, const std::shared_ptr<UIView>& control) {
    const std::map<std::string, std::shared_ptr<UIView>> views{{"view", control}};
    container.addConstraints(NSLayoutConstraint::constraintsWithVisualFormat("H:|-0-[view]-0-|", views));
    container.addConstraints(NSLayoutConstraint::constraintsWithVisualFormat("V:|-0-[view]-0-|", views));
}

}  // namespace

ColorPickerViewController::ColorPickerViewController()
    : colorPicker_(std::make_shared<ColorPickerController>()) {}

ColorPickerViewController::~ColorPickerViewController() {
    Console::print("ColorPickerViewController deinit");
}

const std::shared_ptr<RectangularPaletteControl>& ColorPickerViewController::paletteControl() {
    if (!paletteControl_) paletteControl_ = std::make_shared<RectangularPaletteControl>();
    return paletteControl_;
}

const std::shared_ptr<BrightnessSliderControl>& ColorPickerViewController::brightnessControl() {
    if (!brightnessControl_) brightnessControl_ = std::make_shared<BrightnessSliderControl>();
    return brightnessControl_;
}

void ColorPickerViewController::setDelegate(std::weak_ptr<ColorPickerDelegate> delegate) {
    colorPicker_->setDelegate(std::move(delegate));
}

void ColorPickerViewController::setSelectedColor(const std::shared_ptr<UIColor>& color) {
    colorPicker_->setSelectedColor(color);
}

void ColorPickerViewController::colorPickerSelectedColor(ColorPickerController&,
                                                         const std::shared_ptr<UIColor>& selectedColor, ColorControl&) {
    currentColour_ = selectedColor;
    updateColourButton();
}

void ColorPickerViewController::colorPickerConfirmedColor(ColorPickerController&, const std::shared_ptr<UIColor>&,
                                                          ColorControl&) {}

void ColorPickerViewController::loadView() {
    auto root = std::make_shared<UIView>(CGRect(0, 0, 375, 600));
    root->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    root->setBackgroundColor(UIColor::whiteColor());
    auto button = std::make_shared<ZuvoCustomButton>();
    button->setCornerRadius(kButtonHeight / 2);
    button->setBorderWidth(1);
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::boldSystemFontOfSize(18));
    auto palette = std::make_shared<UIView>();
    auto slider = std::make_shared<UIView>();
    std::vector<std::shared_ptr<NSLayoutConstraint>> constraints;
    // Clear of the sensor housing at a landscape phone's sides.
    const UILayoutGuide safe = root->safeAreaLayoutGuide();
    for (const auto& view : std::vector<std::shared_ptr<UIView>>{button, palette, slider}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        root->addSubview(view);
        constraints.push_back(view->leadingAnchor().constraintEqualToAnchor(safe.leadingAnchor(), kMargin));
        constraints.push_back(
            view->trailingAnchor().constraintEqualToAnchor(safe.trailingAnchor(), -kMargin));
    }
    constraints.push_back(button->topAnchor().constraintEqualToAnchor(root->topAnchor(), kMargin));
    constraints.push_back(button->heightAnchor().constraintEqualToConstant(kButtonHeight));
    constraints.push_back(palette->topAnchor().constraintEqualToAnchor(button->bottomAnchor(), kMargin));
    constraints.push_back(slider->topAnchor().constraintEqualToAnchor(palette->bottomAnchor(), kMargin));
    constraints.push_back(slider->heightAnchor().constraintEqualToConstant(kSliderHeight));
    constraints.push_back(slider->bottomAnchor().constraintEqualToAnchor(root->bottomAnchor(), -2 * kMargin));
    NSLayoutConstraint::activateConstraints(constraints);
    colourButton_ = button;
    paletteContainer_ = palette;
    sliderContainer_ = slider;
    setView(root);
}

void ColorPickerViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    colorPicker_->setDelegate(std::dynamic_pointer_cast<ColorPickerDelegate>(shared_from_this()));
    setupNavigation();
    loadCurrentColour();
    if (auto navigation = navigationController()) styleNavigationBar(false, navigation->navigationBar());
    // After the first layout, so the controls start at their containers' sizes.
    std::weak_ptr<UIViewController> weak = shared_from_this();
    DispatchQueue::main()->async([weak] {
        if (auto self = std::static_pointer_cast<ColorPickerViewController>(weak.lock())) self->setupColourControls();
    });
}

void ColorPickerViewController::setupNavigation() {
    auto self = std::static_pointer_cast<ColorPickerViewController>(shared_from_this());
    navigationItem()->setRightBarButtonItem(UIBarButtonItem::itemWithTitle(
        "Save", UIBarButtonItemStyle::done, UIBarButtonItem::action(self, &ColorPickerViewController::setDefaultColour)));
    const std::string title = colourPickerTitle(colourPickerFunction_);
    if (auto button = colourButton()) button->setTitle(title, UIControlStateNormal);
    setTitle(title);
}

void ColorPickerViewController::loadCurrentColour() {
    const SessionType type = sessionType(colourPickerFunction_);
    currentColour_ = UserDataManager::getPomodoroData().themeColorOf(type);
    updateColourButton();
    colorPicker_->setSelectedColor(currentColour_);
}

void ColorPickerViewController::updateColourButton() {
    auto button = colourButton();
    if (!button) return;
    button->setBackgroundColor(currentColour_);
    button->layer()->setBorderColor(currentColour_);
    button->setUserInteractionEnabled(false);
}

void ColorPickerViewController::setupColourControls() {
    auto slider = brightnessControl();
    auto palette = paletteControl();
    slider->setExpandOnTap(false);
    slider->setShowPercentage(false);
    slider->setTranslatesAutoresizingMaskIntoConstraints(false);
    palette->setTranslatesAutoresizingMaskIntoConstraints(false);
    const auto sliderHost = sliderContainer();
    const auto paletteHost = paletteContainer();
    if (sliderHost) sliderHost->addSubview(slider);
    if (paletteHost) paletteHost->addSubview(palette);
    if (sliderHost) pin(*sliderHost, slider);
    if (paletteHost) pin(*paletteHost, palette);
    colorPicker_->setRectangularPaletteControl(palette);
    colorPicker_->setBrightnessSliderControl(slider);
    slider->setAlpha(0);
    palette->setAlpha(0);
    UIView::animateWithDuration(kFadeIn, [slider, palette] {
        slider->setAlpha(1);
        palette->setAlpha(1);
    });
}

void ColorPickerViewController::setDefaultColour() {
    saveColour();
}

void ColorPickerViewController::saveColour() {
    const auto colour = colorPicker_->selectedColor();
    const SessionType type = sessionType(colourPickerFunction_);
    const auto index = static_cast<std::size_t>(type);
    storeSettings({kStandardSettings[index](colour), kSharedSettings[index](colour)});
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::colourSet());
    // The edited type, by the engine's own names; a second engine would react to the app's notifications.
    DazarazeAnalyticsManager::logOptionsEvent(OptionsEventKind::colourSet(TimerViewModel::fullName(type)));
    if (auto navigation = navigationController()) navigation->popViewControllerAnimated(true);
}

}  // namespace quorvel
