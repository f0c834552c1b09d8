#include "platform/mediaplayer/mp_media_property_predicate.h"

namespace platform {

std::shared_ptr<MPMediaPropertyPredicate> MPMediaPropertyPredicate::predicateWithValue(
    std::string value, std::string property, MPMediaPredicateComparison comparisonType) {
    return std::shared_ptr<MPMediaPropertyPredicate>(
        new MPMediaPropertyPredicate(std::move(value), std::move(property), comparisonType));
}

bool MPMediaPropertyPredicate::matches(const MPMediaItem& item) const {
    const std::string text = item.valueForProperty(property_);
    return comparison_ == MPMediaPredicateComparison::contains ? text.find(value_) != std::string::npos
                                                               : text == value_;
}

}  // namespace platform
