#include "app/screens/timer/guidance_view.h"

#include <algorithm>

#include "app/core/app_notification_names.h"
#include "app/core/dazaraze_analytics_manager.h"
#include "app/core/temp_user_default_properties.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/uikit/controls/ui_page_control.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/drawing/ui_image_view.h"

namespace quorvel {

using namespace platform;

namespace {

bool isPad() {
    return UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiom::pad;
}

std::shared_ptr<UIView> emptyHeader(CGFloat height) {
    return std::make_shared<UIView>(CGRect(0, 0, 0, height));
}

}  // namespace

GuidanceView::GuidanceView(const CGRect& frame, GuidanceType function) : UIView(frame), function_(function) {
    setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
}

std::shared_ptr<GuidanceView> GuidanceView::make(const CGRect& frame, GuidanceType function) {
    std::shared_ptr<GuidanceView> view(new GuidanceView(frame, function));
    view->buildGuidance(function);
    return view;
}

void GuidanceView::layoutSubviews() {
    UIView::layoutSubviews();
    if (panelArea() != builtArea_) buildGuidance(function_);
}

CGRect GuidanceView::panelArea() const {
    CGRect area = boundsInsideSafeAreaSides();
    area.size.height = std::max(0.0, area.size.height - safeAreaInsets().bottom);
    return area;
}

void GuidanceView::buildGuidance(GuidanceType type) {
    guidancePanels_.clear();
    if (holder_) holder_->removeFromSuperview();
    builtArea_ = panelArea();
    const CGSize size = builtArea_.size;
    holder_ = std::make_shared<BlurIntroductionView>(builtArea_);
    holder_->setDelegate(std::dynamic_pointer_cast<GuidanceView>(shared_from_this()));
    const CGRect frame(0, 0, size.width, size.height);

    if (type == GuidanceType::standard || isPad()) {
        guidancePanels_.push_back(std::make_shared<IntroductionPanel>(
            frame, phonePanelOneTitle, phonePanelOneDescription, emptyHeader(30)));
        // Without its picture the second panel still shows its text, so the guidance can always be
        // finished: the overlay would otherwise block the app on every launch.
        auto image = UIImage::imageNamed("HandGestures_Swipe");
        auto two = std::make_shared<IntroductionPanel>(frame, phonePanelTwoTitle, phonePanelTwoDescription,
                                                       image, emptyHeader(20));
        if (const auto& picture = two->PanelImageView(); picture && image) {
            CGRect placed = picture->frame();
            placed.origin.y = holder_->frame().maxY() - (isPad() ? 0.6 : 0.65) * placed.size.height;
            picture->setFrame(placed);
        }
        guidancePanels_.push_back(std::move(two));
    } else {
        guidancePanels_.push_back(makeLandscapePanel());
    }
    holder_->buildIntroductionWithPanels(guidancePanels_);
    addSubview(holder_);
}

std::shared_ptr<IntroductionPanel> GuidanceView::makeLandscapePanel() {
    const CGRect frame(CGPoint{}, panelArea().size);
    auto image = UIImage::imageNamed("HandGestures_Touch");
    if (!image) return std::make_shared<IntroductionPanel>(frame);
    return std::make_shared<IntroductionPanel>(frame, phoneLandscapeTitle, phoneLandscapeDescription, image);
}

void GuidanceView::finishGuidance() {
    if (isPad()) {
        TempUserDefaultProperties::save(TempUserDefaultProperties::hasGuidedOncePortrait(true));
        TempUserDefaultProperties::save(TempUserDefaultProperties::hasGuidedOnceLandscape(true));
    } else if (function_ == GuidanceType::landscape) {
        TempUserDefaultProperties::save(TempUserDefaultProperties::hasGuidedOnceLandscape(true));
    } else {
        TempUserDefaultProperties::save(TempUserDefaultProperties::hasGuidedOncePortrait(true));
    }
    // The owner may drop this view from its closure: keep it alive to the end.
    const auto self = shared_from_this();
    if (didEndGoude_) didEndGoude_(function_);
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::enableDeviceRotation(),
                                                               true);
    DazarazeAnalyticsManager::logIntroFinish();
}

void GuidanceView::introduction(BlurIntroductionView& introductionView, IntroductionPanel&, long index) {
    if (const auto& pages = introductionView.PageControl()) pages->setHidden(index >= 1);
}

void GuidanceView::introduction(BlurIntroductionView&, IntroductionFinishType) {
    finishGuidance();
}

}  // namespace quorvel
