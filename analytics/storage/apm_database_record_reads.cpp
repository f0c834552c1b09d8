// Helpers the typed operations of the measurement database share.
#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_database.h"

namespace analytics {

APMSqliteStore* APMDatabase::openStore(APMErrorOut error) {
    return APMCheckNotNil(sqliteStore_, error, 2, "Database not open") ? sqliteStore_.get() : nullptr;
}

std::optional<std::int64_t> APMDatabase::integerForQuery(const std::string& query, const Values& values,
                                                         APMErrorOut error) {
    auto* store = openStore(error);
    const auto number = store ? store->numberForQuery(query, values, error) : std::nullopt;
    return number ? number->intValue() : std::nullopt;
}

void APMDatabase::logUnreadableRows(const std::string& tableName, std::size_t count) {
    if (count == 0) return;
    APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::MonitoredWarning, 12060,
                                               "Skipped stored rows that cannot be read. Table, count",
                                               tableName, static_cast<std::int64_t>(count));
}

}  // namespace analytics
