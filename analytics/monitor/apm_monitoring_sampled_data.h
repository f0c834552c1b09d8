#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/foundation/ns_date.h"
#include "platform/foundation/value.h"

namespace analytics {

// The monitor's health sample: of all monitorable messages of one period it keeps one, chosen uniformly
// (a reservoir of one), with the number of messages seen. Stored as the array
// [context, population, key, timestamp]. Not thread-safe: the monitor's queue makes every call.
class APMMonitoringSampledData {
public:
    // A uniform random integer below the bound.
    using RandomUniform = std::function<std::uint32_t(std::uint32_t)>;

    // Keeps `array` when it is a valid stored entry, else starts empty.
    explicit APMMonitoringSampledData(const std::optional<platform::Value>& array, RandomUniform random = {});

    void insertOrUpdateSampledDataWithKey(const std::string& key, const std::string& encodedContext);
    // The sample text once the slot's period is over (the slot then empties), "0:" for a period without
    // messages, else nullopt. `lastSampledTimestamp` is in seconds since 1970.
    std::optional<std::string> monitoringDataForDispatchWithSamplePeriod(double samplePeriod,
                                                                         double lastSampledTimestamp);
    std::optional<platform::Value::Array> sampledData() const { return sampledData_; }

    static bool isValidUserDefaultsArrayEntry(const platform::Value& object);
    static platform::Value::Array sampledDataEntryWithKey(const std::string& key, platform::NSDate timestamp,
                                                          const std::string& context,
                                                          std::int32_t population);
    static std::string monitoringURLParamWithKey(const std::string& key, std::int32_t population,
                                                 const std::string& context);

private:
    std::optional<platform::Value::Array> sampledData_;
    RandomUniform random_;
};

}  // namespace analytics
