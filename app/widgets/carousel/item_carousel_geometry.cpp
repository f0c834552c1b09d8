// Where each item goes: counts, clamps, offsets, transforms and alpha of the layout types.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "app/widgets/carousel/carousel_arithmetic.h"
#include "app/widgets/carousel/item_carousel.h"
#include "platform/foundation/console.h"

namespace quorvel {

using platform::CATransform3D;
using Type = ItemCarouselType;
using Option = ItemCarouselOption;
using namespace carousel_arithmetic;

namespace {

constexpr double kFullTurn = M_PI * 2.0;
// No more item positions than this are ever loaded.
constexpr double kMaxVisibleItems = 30;
// Cylinder items sit this far in front of the cylinder so none is cut by the plane at its axis.
constexpr double kCylinderLift = double(0.01f);

bool isCircular(Type type) {
    return type >= Type::rotary && type <= Type::invertedWheel;
}

bool isCoverFlow(Type type) {
    return type == Type::coverFlow || type == Type::coverFlow2;
}

bool isInverted(Type type) {
    return type == Type::invertedRotary || type == Type::invertedCylinder || type == Type::invertedWheel ||
           type == Type::invertedTimeMachine;
}

}  // namespace

double ItemCarousel::valueForOption(Option option, double value) {
    auto delegate = this->delegate();
    return delegate ? delegate->carouselValueForOption(*this, option, value) : value;
}

// Layout pass -------------------------------------------------------------------------------------

void ItemCarousel::layOutItemViews() {
    if (!dataSource() || !contentView_) return;
    wrapEnabled_ = isCircular(type_);
    reReadWrap();
    numberOfPlaceholdersToShow_ = wrapEnabled_ ? 0 : numberOfPlaceholders_;
    updateItemWidth();
    updateNumberOfVisibleItems();
    previousItemIndex_ = currentItemIndex();
    offsetMultiplier_ = valueForOption(Option::offsetMultiplier, isCoverFlow(type_) ? 2 : 1);
    if (!scrolling_ && !decelerating_) {
        if (scrollToItemBoundary_) {
            scrollToItemAtIndex(currentItemIndex(), true);
        } else {
            scrollOffset_ = clampedOffset(scrollOffset_);
        }
    }
    didScroll();
}

void ItemCarousel::updateItemWidth() {
    if (auto delegate = this->delegate()) {
        const double width = delegate->carouselItemWidth(*this);
        if (width != 0 && std::isfinite(width)) itemWidth_ = width;
    }
    if (!itemViews_.empty()) return;
    if (numberOfItems_ > 0) {
        loadViewAtIndex(0);
    } else if (numberOfPlaceholders_ > 0) {
        loadViewAtIndex(-1);
    }
}

double ItemCarousel::itemsAcross(double spacing) const {
    const double extent = vertical_ ? bounds().size.height : bounds().size.width;
    return std::ceil(single(quotient(extent, spacing * itemWidth_)));
}

long ItemCarousel::circularCarouselItemCount() {
    const long items = numberOfItems_ + numberOfPlaceholdersToShow_;
    if (!isCircular(type_)) return items;
    const double spacing = valueForOption(Option::spacing, 1);
    const double cap = type_ <= Type::cylinder ? 200 : 30;
    const double turn = std::min(std::max(itemsAcross(spacing) * M_PI, 12.0), cap);
    const long count = std::min(items, truncated(turn));
    return std::max(0L, truncated(valueForOption(Option::count, double(count))));
}

void ItemCarousel::updateNumberOfVisibleItems() {
    double count = double(numberOfVisibleItems_);  // a type without a layout keeps its count
    switch (type_) {
        case Type::linear:
            count = itemsAcross(valueForOption(Option::spacing, 1)) + 2;
            break;
        case Type::rotary:
        case Type::cylinder:
            count = double(circularCarouselItemCount());
            break;
        case Type::invertedRotary:
        case Type::invertedCylinder:
            count = std::ceil(float(circularCarouselItemCount()) * 0.5f);
            break;
        case Type::wheel:
        case Type::invertedWheel: {
            const double n = double(circularCarouselItemCount());
            const double spacing = valueForOption(Option::spacing, 1);
            const double arc = valueForOption(Option::arc, kFullTurn);
            const double radius = valueForOption(Option::radius, quotient(spacing * itemWidth_ * n, arc));
            const platform::CGSize size = bounds().size;
            const bool wholeWheelShows = radius - itemWidth_ / 2 < std::min(size.width, size.height) / 2;
            count = wholeWheelShows ? n : std::ceil(float(n) * 0.5f) + 1;
            break;
        }
        case Type::coverFlow:
        case Type::coverFlow2:
            count = itemsAcross(valueForOption(Option::spacing, 0.25)) + 2;
            break;
        case Type::timeMachine:
        case Type::invertedTimeMachine:
        case Type::custom:
            count = kMaxVisibleItems;
            break;
    }
    long visible = truncated(std::min(count, kMaxVisibleItems));
    visible = truncated(valueForOption(Option::visibleItems, double(visible)));
    numberOfVisibleItems_ = std::max(0L, std::min(visible, numberOfItems_ + numberOfPlaceholdersToShow_));
}

// Clamps and offsets ------------------------------------------------------------------------------

long ItemCarousel::clampedIndex(long index) const {
    if (!wrapEnabled_) return std::min(std::max(index, 0L), std::max(numberOfItems_, 1L) - 1);
    if (numberOfItems_ == 0) return 0;
    const float count = float(numberOfItems_);
    return truncated(float(index) - std::floor(float(double(index) / double(numberOfItems_))) * count);
}

double ItemCarousel::clampedOffset(double offset) const {
    if (!wrapEnabled_)
        return double(
            std::fmin(std::fmax(0.0f, float(offset)), std::fmax(0.0f, float(numberOfItems_) - 1.0f)));
    if (numberOfItems_ == 0) return 0;
    const float turns = std::floor(float(offset / double(numberOfItems_)));
    return offset - double(turns * float(numberOfItems_));
}

bool ItemCarousel::isBeyondEnds(double offset) const {
    // Compared in the precision the clamp works in, so that an offset between the ends never counts
    // as beyond them.
    return single(offset) != single(clampedOffset(offset));
}

long ItemCarousel::currentItemIndex() const {
    return clampedIndex(rounded(scrollOffset_));
}

void ItemCarousel::setCurrentItemIndex(long index) {
    setScrollOffset(double(index));
}

double ItemCarousel::offsetForItemAtIndex(long index) const {
    double offset = double(index) - scrollOffset_;
    if (wrapEnabled_) {
        const double half = double(float(numberOfItems_) * 0.5f);
        if (offset > half) {
            offset -= double(numberOfItems_);
        } else if (offset < -half) {
            offset += double(numberOfItems_);
        }
    }
    return numberOfItems_ + numberOfPlaceholdersToShow_ == 1 ? 0 : offset;
}

// Transforms --------------------------------------------------------------------------------------

CATransform3D ItemCarousel::baseTransform() const {
    CATransform3D transform = CATransform3D::identity();
    transform.m34 = perspective_;
    return transform.translatedBy(-viewpointOffset_.width, -viewpointOffset_.height, 0);
}

CATransform3D ItemCarousel::translatedAlongAxis(const CATransform3D& transform, double distance,
                                                double z) const {
    return vertical_ ? transform.translatedBy(0, distance, z) : transform.translatedBy(distance, 0, z);
}

CATransform3D ItemCarousel::rotatedAboutAxis(const CATransform3D& transform, double angle) const {
    return vertical_ ? transform.rotatedBy(angle, -1, 0, 0) : transform.rotatedBy(angle, 0, 1, 0);
}

CATransform3D ItemCarousel::transformForItemViewWithOffset(double offset) {
    const CATransform3D base = baseTransform();
    switch (type_) {
        case Type::linear:
            return translatedAlongAxis(base, valueForOption(Option::spacing, 1) * itemWidth_ * offset, 0);
        case Type::rotary:
        case Type::invertedRotary:
        case Type::cylinder:
        case Type::invertedCylinder:
            return circularTransform(offset, base);
        case Type::wheel:
        case Type::invertedWheel:
            return wheelTransform(offset, base);
        case Type::coverFlow:
        case Type::coverFlow2:
            return coverFlowTransform(offset, base);
        case Type::timeMachine:
        case Type::invertedTimeMachine: {
            double tilt = valueForOption(Option::tilt, double(0.3f));
            const double spacing = valueForOption(Option::spacing, 1);
            if (isInverted(type_)) {
                tilt = -tilt;
                offset = -offset;
            }
            return translatedAlongAxis(base, tilt * offset * itemWidth_, spacing * offset * itemWidth_);
        }
        case Type::custom: {
            auto delegate = this->delegate();
            return delegate ? delegate->carouselItemTransformForOffset(*this, offset, base)
                            : CATransform3D::zero();
        }
    }
    return base;
}

CATransform3D ItemCarousel::circularTransform(double offset, const CATransform3D& base) {
    const double count = double(circularCarouselItemCount());
    const double spacing = valueForOption(Option::spacing, 1);
    const double arc = valueForOption(Option::arc, kFullTurn);
    const double halfWidth = itemWidth_ * spacing / 2;
    const float tangent = std::tan(float(quotient(arc / 2, count)));
    const bool cylinder = type_ == Type::cylinder || type_ == Type::invertedCylinder;
    const double fitting = cylinder ? std::fmax(float(quotient(halfWidth, tangent)), 0.01f)
                                    : std::fmax(float(halfWidth), float(quotient(halfWidth, tangent)));
    double radius = valueForOption(Option::radius, fitting);
    double angle = valueForOption(Option::angle, quotient(offset, count) * arc);
    if (isInverted(type_)) {
        radius = -radius;
        angle = -angle;
    }
    if (!cylinder) {
        return translatedAlongAxis(base, radius * std::sin(angle), radius * std::cos(angle) - radius);
    }
    const CATransform3D onCylinder = rotatedAboutAxis(base.translatedBy(0, 0, -radius), angle);
    return onCylinder.translatedBy(0, 0, radius + kCylinderLift);
}

CATransform3D ItemCarousel::wheelTransform(double offset, const CATransform3D& base) {
    const double count = double(circularCarouselItemCount());
    const double spacing = valueForOption(Option::spacing, 1);
    const double arc = valueForOption(Option::arc, kFullTurn);
    double radius = valueForOption(Option::radius, quotient(spacing * itemWidth_ * count, arc));
    double angle = valueForOption(Option::angle, quotient(arc, count));
    if (isInverted(type_)) {
        radius = -radius;
        angle = -angle;
    }
    if (vertical_) {
        return base.translatedBy(-radius, 0, 0)
            .rotatedBy(angle * offset, 0, 0, 1)
            .translatedBy(radius, 0, offset * 0.01);
    }
    char line[160];
    std::snprintf(line, sizeof line, "transformForItemViewWithOffset arc %f, radius %f, offset %f", arc,
                  radius, offset);
    platform::Console::print(line);
    return base.translatedBy(0, radius, 0)
        .rotatedBy(angle * offset, 0, 0, 1)
        .translatedBy(0, -radius, offset * 0.01);
}

CATransform3D ItemCarousel::coverFlowTransform(double offset, const CATransform3D& base) {
    const double tilt = valueForOption(Option::tilt, double(0.9f));
    const double spacing = valueForOption(Option::spacing, 0.25);
    double turn = clampedToUnit(offset);
    if (type_ == Type::coverFlow2) {
        // The two items either side of the centre turn with the toggle as the carousel snaps.
        const double t = toggle_;
        if (t >= 0) {
            if (offset <= -0.5) {
                turn = -1;
            } else if (offset <= 0.5) {
                turn = -t;
            } else if (offset <= 1.5) {
                turn = 1 - t;
            }
        } else {
            if (offset > 0.5) {
                turn = 1;
            } else if (offset > -0.5) {
                turn = -t;
            } else if (offset > -1.5) {
                turn = -1 - t;
            }
        }
    }
    const double along = (turn * 0.5 * tilt + offset * spacing) * itemWidth_;
    const double depth = -std::fabs(turn) * itemWidth_ * 0.5;
    return rotatedAboutAxis(translatedAlongAxis(base, along, depth), tilt * turn * (-M_PI / 2));
}

double ItemCarousel::alphaForItemWithOffset(double offset) {
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const double fadeMin =
        valueForOption(Option::fadeMin, type_ == Type::invertedTimeMachine ? 0 : -infinity);
    const double fadeMax = valueForOption(Option::fadeMax, type_ == Type::timeMachine ? 0 : infinity);
    const double range = valueForOption(Option::fadeRange, 1);
    const double minAlpha = valueForOption(Option::fadeMinAlpha, 0);
    double beyond = 0;
    if (offset > fadeMax) {
        beyond = offset - fadeMax;
    } else if (offset < fadeMin) {
        beyond = fadeMin - offset;
    }
    beyond = double(std::fmin(float(beyond), float(range)));
    return 1 - quotient(beyond, range) * (1 - minAlpha);
}

// Applying them -----------------------------------------------------------------------------------

void ItemCarousel::transformItemView(platform::UIView& view, long index) {
    auto container = view.superview();
    if (!container) return;
    const double offset = offsetForItemAtIndex(index);
    const platform::CGSize size = bounds().size;
    container->setCenter({contentOffset_.width + size.width / 2, contentOffset_.height + size.height / 2});
    container->setAlpha(alphaForItemWithOffset(offset));
    container->setUserInteractionEnabled(!centerItemWhenSelected_ || index == currentItemIndex());
    if (decelerating_ || (scrolling_ && !didDrag_) || isBeyondEnds(scrollOffset_)) updateToggle(offset);
    const CATransform3D transform = transformForItemViewWithOffset(offset);
    container->setTransform3D(transform);
    const bool doubleSided = view.layer()->isDoubleSided() && type_ != Type::invertedCylinder;
    const bool showBackfaces = valueForOption(Option::showBackfaces, doubleSided ? 1 : 0) != 0;
    container->setHidden(!showBackfaces && !(transform.m33 > 0));
}

void ItemCarousel::transformItemViews() {
    // A copy: the delegate's answers may reload the carousel meanwhile.
    for (const auto& [index, view] : ItemViews(itemViews_)) transformItemView(*view, index);
}

void ItemCarousel::updateToggle(double offset) {
    const double turn = clampedToUnit(offset);
    if ((offset > 0 && offset <= 0.5) || (offset <= 0 && offset > -0.5)) {
        toggle_ = -turn;
    } else {
        toggle_ = (offset > 0 ? 1.0 : -1.0) - turn;
    }
}

}  // namespace quorvel
