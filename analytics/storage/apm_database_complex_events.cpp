// Complex events' main events in "main_event_params", kept while their child events are processed.
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_event_blob.h"
#include "analytics/storage/apm_record_columns.h"

namespace analytics {

namespace {

constexpr const char* kTable = "main_event_params";

}  // namespace

std::optional<std::pair<APMEvent, std::int64_t>> APMDatabase::mainEventAndChildCountPairWithEventID(
    std::int64_t eventID, APMErrorOut error) {
    auto* store = openStore(error);
    const auto records =
        store ? store->recordsForQuery("SELECT * FROM main_event_params WHERE event_id=? LIMIT 1", {eventID},
                                       error)
              : std::nullopt;
    if (!records || records->empty()) return std::nullopt;
    const auto& record = records->front();
    const auto blob = record.find("main_event");
    const auto event = blob == record.end()
                           ? std::nullopt
                           : APMEventFromData(blob->second, limits()->maxPublicEventParams(), nullptr);
    const auto childCount = APMIntegerColumn(record, "children_to_process");
    if (!APMCheckCondition(event.has_value(), error, 3, "Main event blob is nil in database") ||
        !APMCheckCondition(childCount.has_value(), error, 3,
                           "Complex event does not have children count in database")) {
        return std::nullopt;
    }
    return std::pair(*event, *childCount);
}

bool APMDatabase::updateComplexEventForAudienceEvaluationWithEventID(std::int64_t eventID,
                                                                     std::int64_t childEventCount,
                                                                     const std::optional<APMEvent>& mainEvent,
                                                                     APMErrorOut error) {
    if (!APMCheckCondition(mainEvent.has_value(), error, 1, "Received nil main event")) return false;
    auto blob = APMDataFromEvent(*mainEvent);
    if (!APMCheckCondition(blob.has_value(), error, 1, "Cannot create the main event blob")) return false;
    return upsertRecord(
        {{"main_event", std::move(*blob)}, {"event_id", eventID}, {"children_to_process", childEventCount}},
        kTable, error);
}

bool APMDatabase::deleteComplexEventForAudienceEvaluationWithEventID(std::int64_t eventID,
                                                                     APMErrorOut error) {
    auto* store = openStore(error);
    return store && store->deleteRecordsFromTableWithName(kTable, "event_id=?", {eventID}, error).has_value();
}

}  // namespace analytics
