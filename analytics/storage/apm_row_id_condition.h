#pragma once

#include <optional>
#include <string>

#include "analytics/monitor/apm_error_additions.h"
#include "analytics/storage/apm_sqlite_store.h"

namespace analytics {

// The condition "rowid IN (?,…)" with one marker per row ID, and the IDs to bind to it.
struct APMRowIDCondition {
    // Nothing for an empty list or an element that is no number.
    static std::optional<APMRowIDCondition> withRowIDs(const APMSqliteStore::Values& rowIDs,
                                                       APMErrorOut error);

    std::string text;
    APMSqliteStore::Values values;
};

}  // namespace analytics
