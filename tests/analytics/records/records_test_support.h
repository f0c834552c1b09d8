#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "analytics/foundation/apm_value.h"
#include "tests/analytics/monitored_test.h"

namespace records_test {

using RecordsTest = quorvel::testing::MonitoredTest;

inline analytics::APMValue text(const std::string& value) {
    return *analytics::APMValue::initWithString(value);
}

inline analytics::APMValue integer(std::int64_t value) {
    return analytics::APMValue::initWithInt64(value);
}

// The value of a parameter, or nothing.
inline std::optional<analytics::APMValue> parameter(const analytics::APMValue::Parameters& parameters,
                                                    const std::string& name) {
    const auto entry = parameters.find(name);
    return entry == parameters.end() ? std::nullopt : std::optional(entry->second);
}

inline std::string repeat(const std::string& piece, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) result += piece;
    return result;
}

}  // namespace records_test
