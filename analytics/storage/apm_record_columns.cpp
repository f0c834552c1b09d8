#include "analytics/storage/apm_record_columns.h"

#include <cmath>
#include <limits>

namespace analytics {

namespace {

const platform::Value* column(const APMSqliteStore::Record& record, const char* name) {
    const auto found = record.find(name);
    return found == record.end() || found->second.isNull() ? nullptr : &found->second;
}

}  // namespace

std::optional<std::int64_t> APMIntegerColumn(const APMSqliteStore::Record& record, const char* name) {
    const auto* value = column(record, name);
    return value ? value->intValue() : std::nullopt;
}

std::optional<double> APMNumberColumn(const APMSqliteStore::Record& record, const char* name) {
    const auto* value = column(record, name);
    return value ? value->numberValue() : std::nullopt;
}

std::optional<std::int32_t> APMInt32Column(const APMSqliteStore::Record& record, const char* name) {
    const auto number = APMNumberColumn(record, name);
    if (!number || std::isnan(*number)) return std::nullopt;
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(*number < kMin ? kMin : *number > kMax ? kMax : *number);
}

const std::string* APMStringColumn(const APMSqliteStore::Record& record, const char* name) {
    const auto* value = column(record, name);
    return value ? value->stringValue() : nullptr;
}

const APMBytes* APMDataColumn(const APMSqliteStore::Record& record, const char* name) {
    const auto* value = column(record, name);
    return value ? value->dataValue() : nullptr;
}

}  // namespace analytics
