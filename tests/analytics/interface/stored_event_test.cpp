#include <gtest/gtest.h>
#include <sqlite3.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "analytics/config/apm_remote_config.h"
#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/interface/apm_analytics.h"
#include "analytics/interface/dzr_app.h"
#include "analytics/interface/rov_eruzovaza.h"
#include "analytics/storage/apm_database.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_date.h"
#include "tests/analytics/fresh_library.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;
using platform::Value;

TEST(StoredEvent, AnEventLoggedByTheAppIsStoredAsARawEventWithItsParameters) {
    quorvel::testing::FreshLibrary library;
    quorvel::testing::TempDataRoot root;
    const auto clock = platform::VirtualClock::install();
    DZRApp::configure();
    ROVEruzovaza::logEventWithName("Chart_Event",
                                   {{"Orientation", "landscape"}, {"charts", 2}, {"zoom", 1.5}});
    clock->runUntilIdle();

    const auto engine = APMMeasurement::sharedInstance();
    ASSERT_TRUE(engine);
    std::optional<std::vector<APMRawEventData>> stored;
    engine->scheduler().dispatchSyncOnWorkerQueueBlockID("test", [&] {
        const auto database = engine->database();
        const auto fingerprint = database->nextMetadataFingerprintToProcess(nullptr);
        stored = database->rawEventsWithMetadataFingerprint(fingerprint.value_or(0), nullptr,
                                                            [](auto, const auto&) { return true; });
    });
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->size(), 1u);
    const APMEvent& event = stored->front().rawEvent();
    EXPECT_EQ(event.name(), "Chart_Event");
    EXPECT_EQ(event.origin(), "app");
    EXPECT_EQ(event.timestamp(), platform::NSDate::now().timeIntervalSince1970());
    const APMValue::Parameters expected{{"Orientation", *APMValue::initWithString(std::string("landscape"))},
                                        {"_o", *APMValue::initWithString(std::string("app"))},
                                        {"charts", APMValue::initWithInt64(2)},
                                        {"zoom", APMValue::initWithDouble(1.5)}};
    EXPECT_EQ(event.parameters(), expected);
}

namespace {

std::string hex(const void* bytes, int size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (int i = 0; i < size; ++i) {
        const auto byte = static_cast<const unsigned char*>(bytes)[i];
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

// Every column of every row of a table, each with its storage class, doubles and blobs exactly.
std::string dumpTable(sqlite3* db, const std::string& table) {
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(db, ("SELECT rowid, * FROM " + table + " ORDER BY rowid").c_str(), -1, &rows, nullptr);
    std::string dump;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        dump += table;
        for (int column = 0; column < sqlite3_column_count(rows); ++column) {
            dump += std::string(" ") + sqlite3_column_name(rows, column) + "=";
            switch (sqlite3_column_type(rows, column)) {
                case SQLITE_INTEGER:
                    dump += "i:" + std::to_string(sqlite3_column_int64(rows, column));
                    break;
                case SQLITE_FLOAT: {
                    const double number = sqlite3_column_double(rows, column);
                    dump += "f:" + hex(&number, sizeof number);
                    break;
                }
                case SQLITE_TEXT:
                    dump += "t:" + hex(sqlite3_column_text(rows, column), sqlite3_column_bytes(rows, column));
                    break;
                case SQLITE_BLOB:
                    dump += "b:" + hex(sqlite3_column_blob(rows, column), sqlite3_column_bytes(rows, column));
                    break;
                default:
                    dump += "null";
            }
        }
        dump += "\n";
    }
    sqlite3_finalize(rows);
    return dump;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

// A fixed run of events under a fixed clock is stored exactly as the golden dump has it: the same rows,
// row IDs, metadata, encodings and column types, the oldest trimmed away once eight are kept.
TEST(StoredEvent, AFixedRunOfEventsIsStoredExactlyAsTheGoldenDump) {
    quorvel::testing::FreshLibrary library;
    quorvel::testing::TempDataRoot root;
    const auto clock = platform::VirtualClock::install();
    DZRApp::configure();
    clock->runUntilIdle();
    const auto engine = APMMeasurement::sharedInstance();
    ASSERT_TRUE(engine);
    engine->scheduler().dispatchSyncOnWorkerQueueBlockID("test", [] {
        APMMeasurement::remoteConfig()->parseSettings({{"measurement.store.max_stored_events_per_app", "8"}});
    });

    const auto log = [&](const std::string& name, const Value::Dictionary& parameters) {
        ROVEruzovaza::logEventWithName(name, parameters);
        clock->advance(1.25);
    };
    for (int i = 0; i < 6; ++i) log("tick", {{"n", i}});
    log("session_started", {{"session", "focus"},
                            {"minutes", 25},
                            {"volume", 0.75},
                            {"auto_restart", true},
                            {"note", ""},
                            {"label", "Z\xc3\xbcrich \xe2\x9c\x93"},
                            {"smallest", INT64_MIN},
                            {"tiny", -1e-300}});
    log("Chart_Event", {{"Orientation", "landscape"}});
    log("purchase", {{"items", Value::Array{Value::Dictionary{{"item_id", "a"}, {"price", 1.5}},
                                            Value::Dictionary{{"item_id", "b"}, {"quantity", 2}}}},
                     {"value", 9.99},
                     {"currency", "EUR"}});
    log("no_parameters", {});
    APMAnalytics::logInternalEventWithOrigin("auto", "_err", APMObjectParametersFrom({{"_ev", "x"}, {"_r", 1}}));
    clock->advance(0.5);
    log("last", {{"n", 99}});
    clock->runUntilIdle();

    std::string dump;
    engine->scheduler().dispatchSyncOnWorkerQueueBlockID("test", [&] {
        sqlite3* db = engine->database()->sqliteStore()->sqliteHandle();
        dump = dumpTable(db, "raw_events_metadata") + dumpTable(db, "raw_events");
    });
    const std::filesystem::path golden = QUORVEL_GOLDEN_DIR "/stored_events.txt";
    if (std::getenv("QUORVEL_UPDATE_GOLDENS")) std::ofstream(golden) << dump;
    EXPECT_EQ(dump, readFile(golden));
}

// The facade checks a public name before queueing the event, and only a public one: an internal event
// logged through it is checked when its record is made, so one of a refused name is never stored.
TEST(StoredEvent, AnInternalEventOfARefusedNameIsDroppedWhileAPublicOneCheckedOnTheWayInIsStored) {
    quorvel::testing::FreshLibrary library;
    quorvel::testing::TempDataRoot root;
    const auto clock = platform::VirtualClock::install();
    DZRApp::configure();
    APMAnalytics::logInternalEventWithOrigin("auto", "_not a name", APMObjectParametersFrom({{"n", 1}}));
    ROVEruzovaza::logEventWithName("Chart_Event", {{"charts", 2}});
    clock->runUntilIdle();

    const auto engine = APMMeasurement::sharedInstance();
    ASSERT_TRUE(engine);
    // Counted in the table itself: reading rows back drops one whose name is refused.
    const auto count = [&](const std::string& query) {
        const auto number = engine->database()->sqliteStore()->numberForQuery(query, {}, nullptr);
        return number ? number->intValue().value_or(-1) : -1;
    };
    std::int64_t all = -1;
    std::int64_t named = -1;
    engine->scheduler().dispatchSyncOnWorkerQueueBlockID("test", [&] {
        all = count("SELECT count(1) FROM raw_events");
        named = count("SELECT count(1) FROM raw_events WHERE name = 'Chart_Event'");
    });
    EXPECT_EQ(all, 1);
    EXPECT_EQ(named, 1);
}
