#include "platform/quartzcore/ca_shape_layer.h"

namespace platform {

namespace {

std::uint64_t strokeMoves = 0;

}  // namespace

std::uint64_t CAShapeLayer::lastStrokeRevision() {
    return strokeMoves;
}

void CAShapeLayer::moveStroke(CGFloat& end, CGFloat value) {
    if (end == value) return;
    end = value;
    strokeRevision_ = ++strokeMoves;
}

CAValue CAShapeLayer::valueForKey(const std::string& key) const {
    if (key == "strokeStart") return strokeStart_;
    if (key == "strokeEnd") return strokeEnd_;
    if (key == "lineWidth") return lineWidth_;
    if (key == "fillColor") return fillColor_;
    if (key == "strokeColor") return strokeColor_;
    return CALayer::valueForKey(key);
}

bool CAShapeLayer::storeValueForKey(const std::string& key, const CAValue& value) {
    const bool number = value.is<double>();
    const bool color = value.is<CGColorRef>() || value.isNull();
    if (key == "strokeStart" && number) return strokeStart_ = value.toDouble(), true;
    if (key == "strokeEnd" && number) return strokeEnd_ = value.toDouble(), true;
    if (key == "lineWidth" && number) return lineWidth_ = value.toDouble(), true;
    if (key == "fillColor" && color) return fillColor_ = value.toColor(), true;
    if (key == "strokeColor" && color) return strokeColor_ = value.toColor(), true;
    return CALayer::storeValueForKey(key, value);
}

std::shared_ptr<CALayer> CAShapeLayer::cloneProperties() const {
    auto copy = std::make_shared<CAShapeLayer>();
    copyPropertiesTo(*copy);
    copy->path_ = path_;
    copy->fillColor_ = fillColor_;
    copy->strokeColor_ = strokeColor_;
    copy->lineWidth_ = lineWidth_;
    copy->strokeStart_ = strokeStart_;
    copy->strokeEnd_ = strokeEnd_;
    copy->fillRule_ = fillRule_;
    return copy;
}

}  // namespace platform
