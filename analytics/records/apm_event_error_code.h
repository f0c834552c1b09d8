#pragma once

#include <cstdint>

namespace analytics {

// The codes an "_err" parameter carries (their names: APMErrorCodeNames).
struct APMEventErrorCode {
    enum : std::int64_t {
        InvalidEventName = 2,
        InvalidParameterName = 3,
        InvalidParameterValue = 4,
        ParameterLimitReached = 5,
        UserPropertyValueTooLong = 7,
        ConversionEventLimitReached = 10,
        EventNameIsReserved = 13,
        ParameterNameIsReserved = 14,
        TooManyArrayItems = 17,
        ValueIsNotNumeric = 18,
        CurrencyCodeIsMissingOrInvalid = 19,
        InvalidArrayParamName = 20,
        InvalidArrayParamEventName = 21,
        InvalidArrayParamNesting = 22,
        CustomParamsInArrayElement = 23,
    };
};

}  // namespace analytics
