#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analytics/foundation/apm_data_additions.h"
#include "analytics/storage/apm_sqlite_store.h"

namespace analytics {

// One column of a record read from the database. A column that is missing, NULL or of another kind
// reads as nothing.
std::optional<std::int64_t> APMIntegerColumn(const APMSqliteStore::Record& record, const char* column);
std::optional<double> APMNumberColumn(const APMSqliteStore::Record& record, const char* column);
// A count written as a 32-bit number; one beyond that range stops at its end.
std::optional<std::int32_t> APMInt32Column(const APMSqliteStore::Record& record, const char* column);
const std::string* APMStringColumn(const APMSqliteStore::Record& record, const char* column);
const APMBytes* APMDataColumn(const APMSqliteStore::Record& record, const char* column);

}  // namespace analytics
