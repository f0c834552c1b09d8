#include "platform/quartzcore/ca_layer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/quartzcore/ca_animation_scheduler.h"
#include "platform/quartzcore/ca_media_time.h"
#include "platform/quartzcore/ca_property_animation.h"
#include "platform/quartzcore/ca_transaction.h"
#include "platform/quartzcore/ca_transition.h"

namespace platform {

namespace {

constexpr double kNever = std::numeric_limits<double>::infinity();

std::uint64_t revisions = 0;

// This layer, its superlayer, … up to the root.
std::vector<const CALayer*> ancestry(const CALayer* layer) {
    std::vector<const CALayer*> chain;
    for (const CALayer* l = layer; l; l = l->superlayer().get()) chain.push_back(l);
    return chain;
}

// Converts a point from `from`'s coordinates to `to`'s; a null `from` is `to`'s root space.
CGPoint convertBetween(CGPoint p, const CALayer* from, const CALayer* to) {
    const auto chain = ancestry(to);
    std::size_t ancestor = chain.size() - 1;  // the root, unless `from` meets the chain lower down
    CGPoint point = p;
    if (from) {
        const CALayer* current = from;
        for (;;) {
            const auto it = std::find(chain.begin(), chain.end(), current);
            if (it != chain.end()) {
                ancestor = static_cast<std::size_t>(it - chain.begin());
                break;
            }
            const auto parent = current->superlayer();
            if (!parent) break;  // another tree: its root space stands for ours
            const auto up = current->convertPointToSuperlayer(point);
            if (!up) return p;
            point = *up;
            current = parent.get();
        }
    }
    for (std::size_t i = ancestor; i-- > 0;) {
        const auto down = chain[i]->convertPointFromSuperlayer(point);
        if (!down) return p;
        point = *down;
    }
    return point;
}

CGRect boxOf(const CGPoint* points, int count) {
    CGFloat x0 = points[0].x, x1 = points[0].x, y0 = points[0].y, y1 = points[0].y;
    for (int i = 1; i < count; ++i) {
        x0 = std::min(x0, points[i].x);
        x1 = std::max(x1, points[i].x);
        y0 = std::min(y0, points[i].y);
        y1 = std::max(y1, points[i].y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

template <typename Convert>
CGRect convertRect(const CGRect& r, Convert convert) {
    if (r.isNull()) return r;
    const CGRect s = r.standardized();
    const CGPoint corners[4] = {convert(CGPoint{s.minX(), s.minY()}), convert(CGPoint{s.maxX(), s.minY()}),
                                convert(CGPoint{s.minX(), s.maxY()}), convert(CGPoint{s.maxX(), s.maxY()})};
    return boxOf(corners, 4);
}

}  // namespace

std::uint64_t CALayer::lastRevision() {
    return revisions;
}

void CALayer::changed() {
    revision_ = ++revisions;
}

CALayer::CALayer() {
    changed();
}

CALayer::~CALayer() {
    auto& scheduler = CAAnimationScheduler::shared();
    for (const Attached& a : animations_) scheduler.detach(a.animation.get());
    for (const auto& sublayer : sublayers_) sublayer->superlayer_.reset();
}

// --- Tree ---------------------------------------------------------------------------------------

bool CALayer::isDescendantOf(const CALayer* ancestor) const {
    for (const CALayer* l = this; l; l = l->superlayer_.lock().get()) {
        if (l == ancestor) return true;
    }
    return false;
}

void CALayer::attach(const std::shared_ptr<CALayer>& layer, std::size_t index) {
    if (!layer || isDescendantOf(layer.get())) return;  // itself or an ancestor: no cycles
    const auto keep = layer;                            // survives leaving its old superlayer
    layer->detachFromSuperlayer();
    index = std::min(index, sublayers_.size());
    sublayers_.insert(sublayers_.begin() + static_cast<std::ptrdiff_t>(index), layer);
    layer->superlayer_ = weak_from_this();
    if (layer->formerSuperlayer_ != this || layer->formerIndex_ != index) layer->changed();
    timingChanged();
}

void CALayer::detachFromSuperlayer() {
    const auto parent = superlayer_.lock();
    if (!parent) return;
    const auto it = std::find_if(parent->sublayers_.begin(), parent->sublayers_.end(),
                                 [this](const std::shared_ptr<CALayer>& l) { return l.get() == this; });
    formerSuperlayer_ = parent.get();
    formerIndex_ = static_cast<std::size_t>(it - parent->sublayers_.begin());
    if (it != parent->sublayers_.end()) parent->sublayers_.erase(it);
    superlayer_.reset();
    ++revisions;  // the tree changed, though no layer in it did
}

void CALayer::addSublayer(const std::shared_ptr<CALayer>& layer) {
    attach(layer, sublayers_.size());
}

void CALayer::insertSublayerAtIndex(const std::shared_ptr<CALayer>& layer, std::size_t index) {
    // The index counts the list without the layer itself, as if it were removed first.
    if (layer && layer->superlayer_.lock().get() == this) {
        const auto keep = layer;
        layer->detachFromSuperlayer();
    }
    attach(layer, index);
}

void CALayer::insertSublayerBelow(const std::shared_ptr<CALayer>& layer,
                                  const std::shared_ptr<CALayer>& sibling) {
    if (!layer || layer == sibling) return;
    const auto keep = layer;
    if (layer->superlayer_.lock().get() == this) layer->detachFromSuperlayer();
    const auto it = std::find(sublayers_.begin(), sublayers_.end(), sibling);
    attach(layer, it == sublayers_.end() ? 0 : static_cast<std::size_t>(it - sublayers_.begin()));
}

void CALayer::insertSublayerAbove(const std::shared_ptr<CALayer>& layer,
                                  const std::shared_ptr<CALayer>& sibling) {
    if (!layer || layer == sibling) return;
    const auto keep = layer;
    if (layer->superlayer_.lock().get() == this) layer->detachFromSuperlayer();
    const auto it = std::find(sublayers_.begin(), sublayers_.end(), sibling);
    attach(layer, it == sublayers_.end() ? sublayers_.size()
                                         : static_cast<std::size_t>(it - sublayers_.begin()) + 1);
}

void CALayer::removeFromSuperlayer() {
    const auto keep = shared_from_this();
    detachFromSuperlayer();
    timingChanged();
}

// --- Geometry -----------------------------------------------------------------------------------

CGPoint CALayer::anchorInBounds() const {
    return {bounds_.origin.x + anchorPoint_.x * bounds_.size.width,
            bounds_.origin.y + anchorPoint_.y * bounds_.size.height};
}

CGRect CALayer::frame() const {
    const CGSize size = bounds_.size;
    const CGPoint origin{position_.x - anchorPoint_.x * size.width,
                         position_.y - anchorPoint_.y * size.height};
    if (transform_.isIdentity()) return CGRect(origin, size).standardized();
    const CATransform3D m = transformIn(nullptr);
    const CGRect b = bounds_.standardized();
    CGPoint corners[4];
    int count = 0;
    for (const CGPoint c : {CGPoint{b.minX(), b.minY()}, CGPoint{b.maxX(), b.minY()},
                            CGPoint{b.minX(), b.maxY()}, CGPoint{b.maxX(), b.maxY()}}) {
        if (const auto p = m.projectPoint(c)) corners[count++] = *p;
    }
    return count ? boxOf(corners, count) : CGRect::null();
}

void CALayer::setFrame(const CGRect& frame) {
    if (frame.isNull()) return;
    const CGRect f = frame.standardized();
    assign(bounds_.size, f.size);
    assign(position_,
           CGPoint{f.origin.x + anchorPoint_.x * f.size.width, f.origin.y + anchorPoint_.y * f.size.height});
}

CATransform3D CALayer::transformToSuperlayer() const {
    return transformIn(superlayer_.lock().get());
}

CATransform3D CALayer::transformIn(const CALayer* parent) const {
    const CGPoint a = anchorInBounds();
    CATransform3D m = CATransform3D::makeTranslation(-a.x, -a.y, -anchorPointZ_)
                          .concat(transform_)
                          .concat(CATransform3D::makeTranslation(position_.x, position_.y, 0));
    if (parent && !parent->sublayerTransform_.isIdentity()) {
        const CGPoint pa = parent->anchorInBounds();
        m = m.concat(CATransform3D::makeTranslation(-pa.x, -pa.y, 0))
                .concat(parent->sublayerTransform_)
                .concat(CATransform3D::makeTranslation(pa.x, pa.y, 0));
    }
    return m;
}

std::optional<CGPoint> CALayer::convertPointToSuperlayer(CGPoint p) const {
    const auto parent = superlayer_.lock();
    if (transform_.isIdentity() && anchorPointZ_ == 0 &&
        (!parent || parent->sublayerTransform_.isIdentity())) {
        const CGPoint a = anchorInBounds();
        return CGPoint{p.x - a.x + position_.x, p.y - a.y + position_.y};
    }
    return transformToSuperlayer().projectPoint(p);
}

std::optional<CGPoint> CALayer::convertPointFromSuperlayer(CGPoint p) const {
    const auto parent = superlayer_.lock();
    if (transform_.isIdentity() && anchorPointZ_ == 0 &&
        (!parent || parent->sublayerTransform_.isIdentity())) {
        const CGPoint a = anchorInBounds();
        return CGPoint{p.x - position_.x + a.x, p.y - position_.y + a.y};
    }
    return transformToSuperlayer().unprojectPoint(p);
}

CGPoint CALayer::convertPointFromLayer(CGPoint p, const std::shared_ptr<const CALayer>& layer) const {
    return convertBetween(p, layer.get(), this);
}

CGPoint CALayer::convertPointToLayer(CGPoint p, const std::shared_ptr<const CALayer>& layer) const {
    if (layer) return convertBetween(p, this, layer.get());
    return convertBetween(p, this, ancestry(this).back());
}

CGRect CALayer::convertRectFromLayer(const CGRect& r, const std::shared_ptr<const CALayer>& layer) const {
    return convertRect(r, [&](CGPoint p) { return convertPointFromLayer(p, layer); });
}

CGRect CALayer::convertRectToLayer(const CGRect& r, const std::shared_ptr<const CALayer>& layer) const {
    return convertRect(r, [&](CGPoint p) { return convertPointToLayer(p, layer); });
}

bool CALayer::isFacingAway() const {
    if (transform_.isAffine()) return transform_.m11 * transform_.m22 - transform_.m12 * transform_.m21 < 0;
    const CATransform3D m = transformToSuperlayer();
    const CGPoint a = anchorInBounds();
    const auto p0 = m.projectPoint(a), p1 = m.projectPoint({a.x + 1, a.y}),
               p2 = m.projectPoint({a.x, a.y + 1});
    if (!p0 || !p1 || !p2) return true;  // behind the eye
    const CGFloat cross = (p1->x - p0->x) * (p2->y - p0->y) - (p1->y - p0->y) * (p2->x - p0->x);
    return cross < 0;
}

bool CALayer::containsPoint(CGPoint p) const {
    return bounds_.standardized().contains(p);
}

std::shared_ptr<CALayer> CALayer::hitTest(CGPoint p) {
    if (hidden_) return nullptr;
    const auto local = convertPointFromSuperlayer(p);
    if (!local) return nullptr;
    if (!doubleSided_ && isFacingAway()) return nullptr;
    if (masksToBounds_ && !containsPoint(*local)) return nullptr;
    for (auto it = sublayers_.rbegin(); it != sublayers_.rend(); ++it) {
        if (auto hit = (*it)->hitTest(*local)) return hit;
    }
    return containsPoint(*local) ? shared_from_this() : nullptr;
}

// --- Time ---------------------------------------------------------------------------------------

void CALayer::timingChanged() {
    CAAnimationScheduler::shared().timingChanged();
}

void CALayer::setBeginTime(double t) {
    assign(beginTime_, t);
    timingChanged();
}

void CALayer::setSpeed(float s) {
    assign(speed_, s);
    timingChanged();
}

void CALayer::setTimeOffset(double t) {
    assign(timeOffset_, t);
    timingChanged();
}

double CALayer::localTimeFromParent(double parentTime) const {
    return (parentTime - beginTime_) * speed_ + timeOffset_;
}

double CALayer::parentTimeFromLocal(double localTime) const {
    if (speed_ == 0) return kNever;  // a paused layer never reaches another time
    return (localTime - timeOffset_) / speed_ + beginTime_;
}

double CALayer::localTimeFromMedia(double mediaTime) const {
    const auto chain = ancestry(this);
    double t = mediaTime;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) t = (*it)->localTimeFromParent(t);
    return t;
}

double CALayer::mediaTimeFromLocal(double localTime) const {
    double t = localTime;
    for (const CALayer* l = this; l && t != kNever; l = l->superlayer_.lock().get())
        t = l->parentTimeFromLocal(t);
    return t;
}

double CALayer::convertTimeFromLayer(double t, const std::shared_ptr<const CALayer>& layer) const {
    return localTimeFromMedia(layer ? layer->mediaTimeFromLocal(t) : t);
}

double CALayer::convertTimeToLayer(double t, const std::shared_ptr<const CALayer>& layer) const {
    const double media = mediaTimeFromLocal(t);
    return layer ? layer->localTimeFromMedia(media) : media;
}

double CALayer::localTime() const {
    return localTimeFromMedia(CACurrentMediaTime());
}

// --- Animations ---------------------------------------------------------------------------------

void CALayer::addAnimation(const std::shared_ptr<CAAnimation>& animation, const std::string& key) {
    if (!animation) return;
    std::string slot = key;
    if (slot.empty() && dynamic_cast<const CATransition*>(animation.get())) slot = "transition";
    auto copy = animation->copy();
    copy->prepareForLayer(localTime(), CATransaction::animationDuration());
    if (!slot.empty()) removeAnimationForKey(slot);
    animations_.push_back({slot, copy});
    changed();
    CAAnimationScheduler::shared().attach(shared_from_this(), copy);
}

std::shared_ptr<CAAnimation> CALayer::animationForKey(const std::string& key) const {
    if (key.empty()) return nullptr;
    for (const Attached& a : animations_) {
        if (a.key == key) return a.animation;
    }
    return nullptr;
}

std::vector<std::string> CALayer::animationKeys() const {
    std::vector<std::string> keys;
    for (const Attached& a : animations_) {
        if (!a.key.empty()) keys.push_back(a.key);
    }
    return keys;
}

void CALayer::removeAnimationForKey(const std::string& key) {
    if (key.empty()) return;
    const auto it =
        std::find_if(animations_.begin(), animations_.end(), [&](const Attached& a) { return a.key == key; });
    if (it == animations_.end()) return;
    const auto animation = it->animation;
    animations_.erase(it);
    changed();
    CAAnimationScheduler::shared().detach(animation.get());
}

void CALayer::removeAllAnimations() {
    const auto removed = std::move(animations_);
    animations_.clear();
    if (!removed.empty()) changed();
    for (const Attached& a : removed) CAAnimationScheduler::shared().detach(a.animation.get());
}

void CALayer::dropAnimation(const CAAnimation* animation) {
    if (std::erase_if(animations_, [&](const Attached& a) { return a.animation.get() == animation; }))
        changed();
}

// --- Key-value access and presentation ------------------------------------------------------------

CAValue CALayer::valueForKey(const std::string& key) const {
    if (key == "bounds") return bounds_;
    if (key == "position") return position_;
    if (key == "anchorPoint") return anchorPoint_;
    if (key == "anchorPointZ") return anchorPointZ_;
    if (key == "transform") return transform_;
    if (key == "sublayerTransform") return sublayerTransform_;
    if (key == "opacity") return opacity_;
    if (key == "backgroundColor") return backgroundColor_;
    if (key == "cornerRadius") return cornerRadius_;
    if (key == "borderWidth") return borderWidth_;
    if (key == "borderColor") return borderColor_;
    if (key == "shadowColor") return shadowColor_;
    if (key == "shadowOffset") return shadowOffset_;
    if (key == "shadowRadius") return shadowRadius_;
    if (key == "shadowOpacity") return shadowOpacity_;
    return {};
}

bool CALayer::setValueForKey(const std::string& key, const CAValue& value) {
    if (!storeValueForKey(key, value)) return false;
    changed();
    return true;
}

bool CALayer::storeValueForKey(const std::string& key, const CAValue& value) {
    const bool number = value.is<double>();
    const bool color = value.is<CGColorRef>() || value.isNull();
    if (key == "bounds" && value.is<CGRect>()) return bounds_ = value.toRect(), true;
    if (key == "position" && value.is<CGPoint>()) return position_ = value.toPoint(), true;
    if (key == "anchorPoint" && value.is<CGPoint>()) return anchorPoint_ = value.toPoint(), true;
    if (key == "anchorPointZ" && number) return anchorPointZ_ = value.toDouble(), true;
    if (key == "transform" && value.is<CATransform3D>()) return transform_ = value.toTransform(), true;
    if (key == "sublayerTransform" && value.is<CATransform3D>())
        return sublayerTransform_ = value.toTransform(), true;
    if (key == "opacity" && number) return opacity_ = static_cast<float>(value.toDouble()), true;
    if (key == "backgroundColor" && color) return backgroundColor_ = value.toColor(), true;
    if (key == "cornerRadius" && number) return cornerRadius_ = value.toDouble(), true;
    if (key == "borderWidth" && number) return borderWidth_ = value.toDouble(), true;
    if (key == "borderColor" && color) return borderColor_ = value.toColor(), true;
    if (key == "shadowColor" && color) return shadowColor_ = value.toColor(), true;
    if (key == "shadowOffset" && value.is<CGSize>()) return shadowOffset_ = value.toSize(), true;
    if (key == "shadowRadius" && number) return shadowRadius_ = value.toDouble(), true;
    if (key == "shadowOpacity" && number) return shadowOpacity_ = static_cast<float>(value.toDouble()), true;
    return false;
}

CAValue CALayer::valueForKeyPath(const std::string& keyPath) const {
    const auto [head, rest] = splitKeyPath(keyPath);
    return valueForKey(head).component(rest);
}

bool CALayer::setValueForKeyPath(const std::string& keyPath, const CAValue& value) {
    const auto [head, rest] = splitKeyPath(keyPath);
    if (rest.empty()) return setValueForKey(head, value);
    const CAValue whole = valueForKey(head);
    if (whole.isNull()) return false;
    return setValueForKey(head, whole.withComponent(rest, value));
}

CAValue CALayer::presentationValue(const std::string& keyPath, double mediaTime) const {
    const auto [head, rest] = splitKeyPath(keyPath);
    CAValue value = valueForKey(head);
    if (!animations_.empty()) {
        const double local = localTimeFromMedia(mediaTime);
        for (const Attached& a : animations_) a.animation->apply(head, value, local, false);
    }
    return value.component(rest);
}

CAValue CALayer::presentationValue(const std::string& keyPath) const {
    return presentationValue(keyPath, CACurrentMediaTime());
}

std::shared_ptr<CALayer> CALayer::presentationLayer(double mediaTime) const {
    auto copy = cloneProperties();
    if (animations_.empty()) return copy;
    std::vector<std::string> properties;
    for (const Attached& a : animations_) a.animation->collectProperties(properties);
    const double local = localTimeFromMedia(mediaTime);
    for (const std::string& property : properties) {
        CAValue value = valueForKey(property);
        for (const Attached& a : animations_) a.animation->apply(property, value, local, false);
        copy->setValueForKey(property, value);
    }
    return copy;
}

std::shared_ptr<CALayer> CALayer::presentationLayer() const {
    return presentationLayer(CACurrentMediaTime());
}

std::optional<double> CALayer::transitionProgress(double mediaTime) const {
    const double local = localTimeFromMedia(mediaTime);
    for (auto it = animations_.rbegin(); it != animations_.rend(); ++it) {
        if (const auto* transition = dynamic_cast<const CATransition*>(it->animation.get())) {
            if (const auto progress = transition->transitionProgress(local)) return progress;
        }
    }
    return std::nullopt;
}

std::shared_ptr<CALayer> CALayer::cloneProperties() const {
    auto copy = std::make_shared<CALayer>();
    copyPropertiesTo(*copy);
    return copy;
}

void CALayer::copyPropertiesTo(CALayer& other) const {
    other.bounds_ = bounds_;
    other.position_ = position_;
    other.anchorPoint_ = anchorPoint_;
    other.anchorPointZ_ = anchorPointZ_;
    other.transform_ = transform_;
    other.sublayerTransform_ = sublayerTransform_;
    other.opacity_ = opacity_;
    other.hidden_ = hidden_;
    other.doubleSided_ = doubleSided_;
    other.backgroundColor_ = backgroundColor_;
    other.cornerRadius_ = cornerRadius_;
    other.masksToBounds_ = masksToBounds_;
    other.borderWidth_ = borderWidth_;
    other.borderColor_ = borderColor_;
    other.shadowColor_ = shadowColor_;
    other.shadowOffset_ = shadowOffset_;
    other.shadowRadius_ = shadowRadius_;
    other.shadowOpacity_ = shadowOpacity_;
    other.shadowPath_ = shadowPath_;
    other.mask_ = mask_;
    other.shouldRasterize_ = shouldRasterize_;
    other.rasterizationScale_ = rasterizationScale_;
    other.name_ = name_;
    other.delegate_ = delegate_;
    other.beginTime_ = beginTime_;
    other.speed_ = speed_;
    other.timeOffset_ = timeOffset_;
}

}  // namespace platform
