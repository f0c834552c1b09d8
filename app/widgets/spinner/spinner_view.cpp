#include "app/widgets/spinner/spinner_view.h"

#include <functional>
#include <vector>

#include "app/widgets/spinner/spinner_9_cube_grid_animation.h"
#include "app/widgets/spinner/spinner_arc_alt_animation.h"
#include "app/widgets/spinner/spinner_arc_animation.h"
#include "app/widgets/spinner/spinner_bounce_animation.h"
#include "app/widgets/spinner/spinner_chasing_dots_animation.h"
#include "app/widgets/spinner/spinner_circle_animation.h"
#include "app/widgets/spinner/spinner_circle_flip_animation.h"
#include "app/widgets/spinner/spinner_fading_circle_alt_animation.h"
#include "app/widgets/spinner/spinner_fading_circle_animation.h"
#include "app/widgets/spinner/spinner_orbit_animation.h"
#include "app/widgets/spinner/spinner_plane_animation.h"
#include "app/widgets/spinner/spinner_pulse_animation.h"
#include "app/widgets/spinner/spinner_three_bounce_animation.h"
#include "app/widgets/spinner/spinner_wandering_cubes_animation.h"
#include "app/widgets/spinner/spinner_wave_animation.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/quartzcore/ca_media_time.h"

namespace quorvel {

using namespace platform;

namespace {

template <typename Style>
std::unique_ptr<SpinnerAnimating> make() {
    return std::make_unique<Style>();
}

// The shapes of the spinner: its layer's sublayers, other than those of subviews a host may have added.
std::vector<std::shared_ptr<CALayer>> shapeLayers(const CALayer& host) {
    std::vector<std::shared_ptr<CALayer>> shapes;
    for (const auto& layer : host.sublayers()) {
        if (!UIView::viewForLayer(*layer)) shapes.push_back(layer);
    }
    return shapes;
}

// Colours the layers that show the colour: those without sublayers, so that a style's container (the
// turning square of the chasing dots) stays see-through while its dots change.
void recolour(const CALayer& layer, const std::shared_ptr<UIColor>& color) {
    for (const auto& shape : shapeLayers(layer)) {
        if (shape->sublayers().empty()) {
            shape->setBackgroundColor(color);
        } else {
            recolour(*shape, color);
        }
    }
}

}  // namespace

SpinnerView::SpinnerView(int style, std::shared_ptr<UIColor> color, CGFloat spinnerSize)
    : UIView(CGRectMake(0, 0, spinnerSize, spinnerSize)),
      style_(style),
      color_(std::move(color)),
      spinnerSize_(spinnerSize),
      hidesWhenStopped_(true) {
    applyAnimation();
    sizeToFit();
}

SpinnerView::SpinnerView(int style, std::shared_ptr<UIColor> color)
    : SpinnerView(style, std::move(color), kDefaultSpinnerSize) {}

SpinnerView::SpinnerView(int style) : SpinnerView(style, UIColor::grayColor()) {}

SpinnerView::SpinnerView(const CGRect& frame) : SpinnerView(0) {
    setFrame(frame);
}

SpinnerView::SpinnerView() {
    applyAnimation();
}

SpinnerView::~SpinnerView() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

std::unique_ptr<SpinnerAnimating> SpinnerView::animationForStyle(int style) {
    static const std::function<std::unique_ptr<SpinnerAnimating>()> styles[] = {
        make<SpinnerPlaneAnimation>,           make<SpinnerCircleFlipAnimation>,
        make<SpinnerBounceAnimation>,          make<SpinnerWaveAnimation>,
        make<SpinnerWanderingCubesAnimation>,  make<SpinnerPulseAnimation>,
        make<SpinnerChasingDotsAnimation>,     make<SpinnerThreeBounceAnimation>,
        make<SpinnerCircleAnimation>,          make<Spinner9CubeGridAnimation>,
        make<SpinnerOrbitAnimation>,           make<SpinnerFadingCircleAnimation>,
        make<SpinnerFadingCircleAltAnimation>, make<SpinnerArcAnimation>,
        make<SpinnerArcAltAnimation>,
    };
    if (style < 0 || style >= int(std::size(styles))) return nullptr;
    return styles[style]();
}

void SpinnerView::setStyle(int style) {
    style_ = style;
    applyAnimation();
}

void SpinnerView::setColor(std::shared_ptr<UIColor> color) {
    color_ = std::move(color);
    recolour(*layer(), color_);
}

void SpinnerView::setSpinnerSize(CGFloat spinnerSize) {
    spinnerSize_ = spinnerSize;
    applyAnimation();
    invalidateIntrinsicContentSize();
}

void SpinnerView::applyAnimation() {
    for (const auto& shape : shapeLayers(*layer())) shape->removeFromSuperlayer();
    if (auto animation = animationForStyle(style_)) {
        animation->setupSpinnerAnimationInLayer(*layer(), {spinnerSize_, spinnerSize_}, color_);
    }
}

// Running and stopping ----------------------------------------------------------------------------

void SpinnerView::startAnimating() {
    if (!stopped_) return;
    setHidden(false);
    stopped_ = false;
    resumeLayers();
}

void SpinnerView::stopAnimating() {
    if (!isAnimating()) return;
    if (hidesWhenStopped_) setHidden(true);
    stopped_ = true;
    pauseLayers();
}

void SpinnerView::pauseLayers() {
    const auto& host = layer();
    const double now = host->convertTimeFromLayer(CACurrentMediaTime(), nullptr);
    host->setSpeed(0);
    host->setTimeOffset(now);
}

void SpinnerView::resumeLayers() {
    const auto& host = layer();
    // A running layer has no frozen moment: "resuming" it would set its clock back to zero, and every
    // animation would wait for a begin time that lies as far ahead as the media time.
    if (host->speed() != 0) return;
    const double paused = host->timeOffset();
    host->setSpeed(1);
    host->setTimeOffset(0);
    host->setBeginTime(0);
    host->setBeginTime(host->convertTimeFromLayer(CACurrentMediaTime(), nullptr) - paused);
}

void SpinnerView::applicationDidEnterBackground() {
    pauseLayers();
}

void SpinnerView::applicationWillEnterForeground() {
    if (!stopped_) {
        resumeLayers();
    } else {
        pauseLayers();
    }
}

CGSize SpinnerView::sizeThatFits(CGSize size) const {
    (void)size;
    return {spinnerSize_, spinnerSize_};
}

CGSize SpinnerView::intrinsicContentSize() const {
    return {spinnerSize_, spinnerSize_};
}

}  // namespace quorvel
