#include <gtest/gtest.h>

#include "analytics/messages/proto/apm_messages.h"
#include "analytics/storage/apm_audience.h"
#include "tests/analytics/storage/database_test_support.h"

using namespace analytics;
using quorvel::testing::describe;
using quorvel::testing::runOnOwnConnection;

namespace {

class AudienceFilters : public quorvel::testing::OpenMeasurementDatabaseTest {
protected:
    void SetUp() override {
        OpenMeasurementDatabaseTest::SetUp();
        audience = APMAudience::initWithDatabase(database);
    }

    // An encoded event filter message with the flags given.
    static APMBytes eventFilterData(std::int32_t filterID, bool sessionScoped, bool dynamic, bool sequence) {
        using Field = apmpb_fields::EventFilter;
        auto message = APMPBEventFilter::initWithBuffer();
        APMNanoSetInt32(message.get(), Field::kFilterId, filterID);
        APMNanoSetBoolField(message.get(), Field::kSessionScoped, sessionScoped);
        APMNanoSetBoolField(message.get(), Field::kDynamic, dynamic);
        APMNanoSetBoolField(message.get(), Field::kSequence, sequence);
        return *message->protoBuffer();
    }

    static APMBytes propertyFilterData(bool sessionScoped, bool dynamic, bool sequence) {
        using Field = apmpb_fields::PropertyFilter;
        auto message = APMPBPropertyFilter::initWithBuffer();
        APMNanoSetBoolField(message.get(), Field::kSessionScoped, sessionScoped);
        APMNanoSetBoolField(message.get(), Field::kDynamic, dynamic);
        APMNanoSetBoolField(message.get(), Field::kSequence, sequence);
        return *message->protoBuffer();
    }

    static APMEventFilter eventFilter(std::int32_t audienceID, std::int32_t filterID, const std::string& name,
                                      bool sessionScoped = false) {
        return APMEventFilter::initWithAudienceID(audienceID, filterID, name,
                                                  eventFilterData(filterID, sessionScoped, false, false),
                                                  sessionScoped, false, false);
    }

    static APMPropertyFilter propertyFilter(std::int32_t audienceID, std::int32_t filterID,
                                            const std::string& name, bool sessionScoped = false) {
        return APMPropertyFilter::initWithAudienceID(audienceID, filterID, name,
                                                     propertyFilterData(sessionScoped, false, false),
                                                     sessionScoped, false, false);
    }

    static APMFilterResult result(std::int32_t audienceID, std::optional<APMBytes> current,
                                  std::optional<APMBytes> previous = std::nullopt) {
        return APMFilterResult::initWithAudienceID(audienceID, std::move(current), std::move(previous));
    }

    std::shared_ptr<APMAudience> audience;
};

}  // namespace

TEST_F(AudienceFilters, TheFlagsAreReadFromTheStoredFilterMessage) {
    // The column says session scoped; the message, which is what counts, says otherwise.
    const auto written = APMEventFilter::initWithAudienceID(
        3, 1, "purchase", eventFilterData(1, false, true, true), true, false, false);
    ASSERT_TRUE(database->updateEventFilters({written}, &error)) << describe(error);
    const auto read = database->eventFiltersForEventName("purchase", &error);
    ASSERT_TRUE(read && read->size() == 1u) << describe(error);
    EXPECT_EQ(read->front().audienceID(), 3);
    EXPECT_EQ(read->front().filterID(), 1);
    EXPECT_EQ(read->front().data(), written.data());
    EXPECT_FALSE(read->front().isSessionScoped());
    EXPECT_TRUE(read->front().isDynamic());
    EXPECT_TRUE(read->front().isSequence());

    ASSERT_TRUE(database->updatePropertyFilters(
        {APMPropertyFilter::initWithAudienceID(4, 2, "plan", propertyFilterData(true, false, true), false,
                                               false, false),
         APMPropertyFilter::initWithAudienceID(4, 3, "plan", {0xff, 0xff}, true, true, true)},
        &error));
    const auto properties = database->propertyFiltersForPropertyName("plan", &error);
    ASSERT_TRUE(properties && properties->size() == 2u) << describe(error);
    EXPECT_TRUE((*properties)[0].isSessionScoped());
    EXPECT_FALSE((*properties)[0].isDynamic());
    EXPECT_TRUE((*properties)[0].isSequence());
    // Bytes that do not decode carry no flags.
    EXPECT_FALSE((*properties)[1].isSessionScoped() || (*properties)[1].isDynamic() ||
                 (*properties)[1].isSequence());
    EXPECT_TRUE(database->propertyFiltersForPropertyName("other", &error)->empty());
}

TEST_F(AudienceFilters, AudiencesAndTheirSessionScopedFiltersComeFromBothKinds) {
    ASSERT_TRUE(database->updateEventFilters(
        {eventFilter(1, 10, "a", true), eventFilter(1, 11, "a"), eventFilter(2, 20, "b", true)}, &error));
    ASSERT_TRUE(database->updatePropertyFilters(
        {propertyFilter(2, 21, "p", true), propertyFilter(5, 50, "p")}, &error));
    auto ids = database->allAudienceIDs(&error).value();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 2, 5}));

    auto scoped = database->allSessionScopedFilters(&error).value();
    for (auto& [audienceID, filterIDs] : scoped) std::sort(filterIDs.begin(), filterIDs.end());
    EXPECT_EQ(scoped, (std::map<std::int32_t, std::vector<std::int32_t>>{{1, {10}}, {2, {20, 21}}}));

    ASSERT_TRUE(database->deleteEventFilters({eventFilter(1, 10, "a"), eventFilter(2, 20, "b")}, &error));
    EXPECT_EQ(count("event_filters"), 1);
    ASSERT_TRUE(database->deleteAllPropertyFilters(&error));
    EXPECT_EQ(count("property_filters"), 0);
}

TEST_F(AudienceFilters, AListWriteStopsAtItsFirstBadFilter) {
    EXPECT_FALSE(database->updateEventFilters({}, &error));
    EXPECT_EQ(describe(error), "Received empty event filters to update");
    EXPECT_FALSE(database->updateEventFilters(
        {eventFilter(1, 1, "a"), APMEventFilter::initWithAudienceID(1, 2, "b", {}, false, false, false),
         eventFilter(1, 3, "c")},
        &error));
    EXPECT_EQ(describe(error), "Received event filter with empty data for getting dictionary representation");
    EXPECT_EQ(count("event_filters"), 1);
}

TEST_F(AudienceFilters, ReplacingTheFiltersIsAllOrNothing) {
    ASSERT_TRUE(audience->replaceFilters({eventFilter(1, 1, "a")}, {propertyFilter(1, 2, "p")}, &error))
        << describe(error);
    EXPECT_FALSE(audience->replaceFilters({eventFilter(2, 1, "b")}, {propertyFilter(2, 2, "")}, &error));
    EXPECT_EQ(describe(error),
              "Received property filter with empty property name for getting dictionary representation");
    EXPECT_EQ(audience->eventFiltersForEventName("a", &error)->size(), 1u);
    EXPECT_TRUE(audience->eventFiltersForEventName("b", &error)->empty());

    // A configuration without property filters is no error.
    ASSERT_TRUE(audience->replaceFilters({eventFilter(2, 1, "b")}, {}, &error)) << describe(error);
    EXPECT_EQ(audience->allAudienceIDs(&error), std::vector<std::int32_t>{2});
}

TEST_F(AudienceFilters, EmptyPreviousResultsAreStoredAsNoneAndReadBackAsNone) {
    ASSERT_TRUE(audience->updateFilterResults(
        {result(7, APMBytes{1, 2}, APMBytes{}), result(8, APMBytes{3}, APMBytes{4})}, &error))
        << describe(error);
    EXPECT_EQ(database->sqliteStore()
                  ->numberForQuery(
                      "SELECT previous_results IS NULL FROM audience_filter_values WHERE audience_id = 7", {},
                      nullptr)
                  ->intValue(),
              1);
    const auto seven = audience->filterResultForAudienceID(7, &error);
    ASSERT_TRUE(seven) << describe(error);
    EXPECT_EQ(seven->currentResults(), (APMBytes{1, 2}));
    EXPECT_FALSE(seven->previousResults());

    const auto all = audience->allFilterResults(&error);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->size(), 2u);
    EXPECT_EQ(all->at(8).previousResults(), APMBytes{4});
    EXPECT_FALSE(audience->filterResultForAudienceID(9, &error));
}

TEST_F(AudienceFilters, DeletingTwoResultsOfOneAudienceDeletesItsRow) {
    ASSERT_TRUE(database->updateFilterResults({result(7, APMBytes{1}), result(8, APMBytes{2})}, &error));
    ASSERT_TRUE(audience->deleteFilterResults({result(7, APMBytes{1}), result(7, APMBytes{9})}, &error))
        << describe(error);
    EXPECT_EQ(count("audience_filter_values"), 1);
    EXPECT_FALSE(database->deleteFilterResults({}, &error));
    EXPECT_EQ(describe(error), "Received empty filter results to delete");
}

TEST_F(AudienceFilters, AResultWithoutCurrentResultsReachesTheStoreEmpty) {
    EXPECT_FALSE(audience->updateFilterResults({result(1, APMBytes{1}), result(2, APMBytes{})}, &error));
    EXPECT_EQ(describe(error), "Received empty record for upsert");
    // The transaction undid the first one too.
    EXPECT_EQ(count("audience_filter_values"), 0);
}

TEST_F(AudienceFilters, AFailedReadOfTheResultsIsAFailureNotAnEmptyTable) {
    ASSERT_TRUE(runOnOwnConnection(path, "DROP TABLE audience_filter_values"));
    EXPECT_FALSE(audience->allFilterResults(&error));
    EXPECT_TRUE(error);
}
