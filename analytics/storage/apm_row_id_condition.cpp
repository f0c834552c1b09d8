#include "analytics/storage/apm_row_id_condition.h"

#include <algorithm>

namespace analytics {

std::optional<APMRowIDCondition> APMRowIDCondition::withRowIDs(const APMSqliteStore::Values& rowIDs,
                                                               APMErrorOut error) {
    const bool allNumbers = std::all_of(rowIDs.begin(), rowIDs.end(), [](const platform::Value& rowID) {
        return rowID.numberValue().has_value();
    });
    if (!APMCheckCondition(!rowIDs.empty(), error, 3, "Received empty row IDs to process") ||
        !APMCheckCondition(allNumbers, error, 3, "Received invalid type for row ID to process")) {
        return std::nullopt;
    }
    std::string markers = "?";
    for (std::size_t i = 1; i < rowIDs.size(); ++i) markers += ",?";
    return APMRowIDCondition{"rowid IN (" + markers + ")", rowIDs};
}

}  // namespace analytics
