#pragma once

#include <memory>
#include <string>

#include "platform/mediaplayer/mp_media_item.h"

namespace platform {

enum class MPMediaPredicateComparison : int { equalTo = 0, contains = 1 };

// A filter on one property of the items, compared as text.
class MPMediaPropertyPredicate {
public:
    static std::shared_ptr<MPMediaPropertyPredicate> predicateWithValue(
        std::string value, std::string property,
        MPMediaPredicateComparison comparisonType = MPMediaPredicateComparison::equalTo);

    bool matches(const MPMediaItem& item) const;

private:
    MPMediaPropertyPredicate(std::string value, std::string property, MPMediaPredicateComparison comparison)
        : value_(std::move(value)), property_(std::move(property)), comparison_(comparison) {}

    std::string value_;
    std::string property_;
    MPMediaPredicateComparison comparison_;
};

}  // namespace platform
