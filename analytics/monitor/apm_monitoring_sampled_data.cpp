#include "analytics/monitor/apm_monitoring_sampled_data.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace analytics {

namespace {
constexpr std::size_t kContext = 0;
constexpr std::size_t kPopulation = 1;
constexpr std::size_t kKey = 2;
constexpr std::size_t kTimestamp = 3;
}  // namespace

APMMonitoringSampledData::APMMonitoringSampledData(const std::optional<platform::Value>& array,
                                                   RandomUniform random)
    : random_(random ? std::move(random)
                     : RandomUniform([](std::uint32_t bound) { return ::arc4random_uniform(bound); })) {
    if (array && isValidUserDefaultsArrayEntry(*array)) sampledData_ = *array->arrayValue();
}

bool APMMonitoringSampledData::isValidUserDefaultsArrayEntry(const platform::Value& object) {
    const auto* array = object.arrayValue();
    if (!array || array->size() != 4) return false;
    const auto& population = (*array)[kPopulation];
    const bool isNumber = population.numberValue().has_value() || population.boolValue().has_value();
    return (*array)[kContext].stringValue() && isNumber && (*array)[kKey].stringValue() &&
           (*array)[kTimestamp].dateValue().has_value();
}

platform::Value::Array APMMonitoringSampledData::sampledDataEntryWithKey(const std::string& key,
                                                                         platform::NSDate timestamp,
                                                                         const std::string& context,
                                                                         std::int32_t population) {
    return {platform::Value(context), platform::Value(population), platform::Value(key),
            platform::Value(timestamp)};
}

std::string APMMonitoringSampledData::monitoringURLParamWithKey(const std::string& key,
                                                                std::int32_t population,
                                                                const std::string& context) {
    std::string text = std::to_string(population) + ":" + key;
    if (!context.empty()) text += ":" + context;
    return text;
}

void APMMonitoringSampledData::insertOrUpdateSampledDataWithKey(const std::string& key,
                                                                const std::string& encodedContext) {
    if (!sampledData_ || sampledData_->size() != 4) {
        sampledData_ = sampledDataEntryWithKey(key, platform::NSDate::now(), encodedContext, 1);
        return;
    }
    auto& slot = *sampledData_;
    const std::int64_t stored = slot[kPopulation].intValue().value_or(0);
    // Saturates instead of overflowing after 2^31 messages in one period.
    const std::int32_t population = stored >= std::numeric_limits<std::int32_t>::max()
                                        ? std::numeric_limits<std::int32_t>::max()
                                        : static_cast<std::int32_t>(std::max<std::int64_t>(stored, 0) + 1);
    slot[kPopulation] = platform::Value(population);
    if (random_(static_cast<std::uint32_t>(population)) == 0) {
        slot[kKey] = platform::Value(key);
        slot[kContext] = platform::Value(encodedContext);
    }
}

std::optional<std::string> APMMonitoringSampledData::monitoringDataForDispatchWithSamplePeriod(
    double samplePeriod, double lastSampledTimestamp) {
    const double now = platform::NSDate::now().timeIntervalSince1970();
    if (!sampledData_) {
        if (lastSampledTimestamp > 0 && std::fabs(now - lastSampledTimestamp) > samplePeriod) return "0:";
        return std::nullopt;
    }
    const auto& slot = *sampledData_;
    const auto filled = slot[kTimestamp].dateValue();
    if (!filled || !(filled->timeIntervalSince1970() < now - samplePeriod)) return std::nullopt;
    const std::int64_t population = slot[kPopulation].intValue().value_or(0);
    std::string answer = monitoringURLParamWithKey(
        *slot[kKey].stringValue(), static_cast<std::int32_t>(population), *slot[kContext].stringValue());
    sampledData_.reset();
    return answer;
}

}  // namespace analytics
