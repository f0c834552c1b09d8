#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "analytics/foundation/apm_data_type_validator.h"

namespace {

using analytics::APMDataTypeValidator;
using analytics::APMValue;

// A typical logged event: a public name and ten parameters of mixed kinds, each name checked under the
// public and then the internal rules and each value under both value rules, as the parameter rules do.
void BM_ValidateTypicalEvent(benchmark::State& state) {
    const std::string eventName = "level_complete";
    std::vector<std::pair<std::string, APMValue>> parameters;
    for (int i = 0; i < 10; ++i) {
        const std::string name = "parameter_" + std::to_string(i);
        if (i % 3 == 0) {
            parameters.emplace_back(name, APMValue::initWithInt64(i * 1000));
        } else if (i % 3 == 1) {
            parameters.emplace_back(name, APMValue::initWithDouble(i * 0.5));
        } else {
            parameters.emplace_back(name,
                                    *APMValue::initWithString("value text number " + std::to_string(i)));
        }
    }
    for (auto _ : state) {
        int code = 0;
        bool valid = APMDataTypeValidator::isValidPublicEventName(eventName, &code);
        for (const auto& [name, value] : parameters) {
            valid &= APMDataTypeValidator::isValidPublicEventParameterName(name, &code);
            valid &= APMDataTypeValidator::isValidInternalEventParameterName(name, &code);
            valid &= APMDataTypeValidator::isValidPublicEventParameterValue(value, &code);
            valid &= APMDataTypeValidator::isValidInternalEventParameterValue(value, &code);
        }
        benchmark::DoNotOptimize(valid);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("events");
}
BENCHMARK(BM_ValidateTypicalEvent);

}  // namespace

BENCHMARK_MAIN();
