// Events stored end to end: logged through the public interface, taken in by the engine and stored as
// raw events, timed until the library has settled. Beside it, plain SQLite running only the statements
// the engine runs (the insert of one pre-encoded blob for each event, one trim for each transaction;
// the engine knows its metadata is stored and reads nothing for it) on the same schema, in a database
// file made anew for each run as the engine's is, with the same journal and synchronous settings and
// in transactions of the size the engine made, with the trim counted as the engine counts it, and, for
// comparison, with the trim's plain SQL before every insert. Both also count the CPU time of every
// thread of the process per event. Measured at 0, 10,000 and 100,000 stored events (100,000 is the
// default limit, so every transaction trims). Also the per-name event counters and the purchase
// fingerprints, at and below their limits of 1,000.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_data_additions.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/interface/rov_eruzovaza.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/records/apm_event.h"
#include "analytics/storage/apm_database.h"
#include "bench/bench_engine.h"
#include "bench/bench_repetitions.h"

namespace {

using analytics::APMDatabase;
using platform::Value;

constexpr int kEvents = 20000;
constexpr std::int64_t kKept = 100000;
const Value::Dictionary kParameters{{"session", "focus"}, {"minutes", 25}, {"round", 3}, {"volume", 0.75}};

// Events per transaction the engine made at each fill, for the plain runs to use the same.
std::map<std::int64_t, double>& eventsPerTransaction() {
    static std::map<std::int64_t, double> measured;
    return measured;
}

// CPU time of every thread of the process, in microseconds.
double processCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

analytics::APMEvent sampleEvent() {
    return *analytics::APMEvent::initWithOrigin("app", true, "session_started", 1.7e9, 0,
                                                analytics::APMObjectParametersFrom(kParameters));
}

std::shared_ptr<APMPBMeasurementBundle> sampleMetadata() {
    auto bundle = APMPBMeasurementBundle::initWithBuffer();
    APMNanoSetStringField(bundle.get(), apmpb_fields::MeasurementBundle::kPlatform, "ios");
    return bundle;
}

// Empties the database and stores `rows` events under other metadata, in one transaction.
bool fill(APMDatabase& database, std::int64_t rows) {
    const auto metadata = sampleMetadata();
    const auto event = sampleEvent();
    return database.reset(nullptr) && database.performTransaction([&] {
        if (!database.insertIfNotExistsRawEventMetadata(metadata.get(), nullptr)) return false;
        const auto fingerprint = analytics::apm_64LSBMD5(*metadata->protoBuffer());
        for (std::int64_t i = 0; i < rows; ++i) {
            if (!database.insertRawEvent(event, fingerprint, false, nullptr)) return false;
        }
        return true;
    });
}

int countCommit(void* commits) {
    static_cast<std::atomic<std::int64_t>*>(commits)->fetch_add(1);
    return 0;
}

void BM_EndToEnd(benchmark::State& state) {
    const auto engine = quorvel::bench::startedEngine();
    if (!engine) return state.SkipWithError("no engine");
    const std::int64_t rows = state.range(0);
    std::atomic<std::int64_t> commits{0};
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bool filled = false;
        engine->scheduler().dispatchSyncOnWorkerQueueBlockID("bench", [&] {
            filled = engine->database() && fill(*engine->database(), rows);
            if (filled)
                sqlite3_commit_hook(engine->database()->sqliteStore()->sqliteHandle(), countCommit, &commits);
        });
        if (!filled) return state.SkipWithError("cannot fill the database");
        commits = 0;
        state.ResumeTiming();
        const double cpuBefore = processCpuMicroseconds();
        for (int i = 0; i < kEvents; ++i)
            analytics::ROVEruzovaza::logEventWithName("session_started", kParameters);
        quorvel::bench::waitUntilSettled();
        cpu += processCpuMicroseconds() - cpuBefore;
    }
    state.SetItemsProcessed(state.iterations() * kEvents);
    const double perTransaction = commits ? static_cast<double>(kEvents) / static_cast<double>(commits) : 1;
    eventsPerTransaction()[rows] = perTransaction;
    state.counters["events_per_transaction"] = perTransaction;
    state.counters["cpu_us_per_event"] = cpu / static_cast<double>(state.iterations() * kEvents);
}

enum class Trim { Counted, PlainSQL };

// The same work in plain SQLite: statements prepared once, no records, no queues.
class PlainStore {
public:
    explicit PlainStore(const std::string& name) {
        const std::string path = analytics::APMMeasurementDirectoryFilePath(name);
        std::filesystem::remove(path);
        // The same schema, made by the database itself.
        if (!APMDatabase::initWithDatabaseName(name, nullptr, nullptr)) return;
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return;
        sqlite3_prepare_v2(db_, "SELECT count(1) FROM raw_events", -1, &countStatement_, nullptr);
        sqlite3_prepare_v2(
            db_,
            "DELETE FROM raw_events WHERE rowid IN (SELECT rowid FROM raw_events ORDER BY rowid ASC LIMIT ?)",
            -1, &trimOldest_, nullptr);
        sqlite3_prepare_v2(
            db_,
            "DELETE FROM raw_events WHERE rowid IN (SELECT rowid FROM raw_events ORDER BY rowid DESC "
            "LIMIT -1 OFFSET ?)",
            -1, &trimOffset_, nullptr);
        sqlite3_prepare_v2(
            db_,
            "INSERT OR REPLACE INTO raw_events (data, is_realtime, metadata_fingerprint, name, timestamp) "
            "VALUES (?, ?, ?, ?, ?)",
            -1, &insert_, nullptr);
        auto proto = sampleEvent().protoEvent();
        APMNanoClearField(proto.get(), apmpb_fields::Event::kName);
        data_ = *proto->protoBuffer();
    }
    ~PlainStore() {
        for (sqlite3_stmt* statement : {countStatement_, trimOldest_, trimOffset_, insert_})
            sqlite3_finalize(statement);
        sqlite3_close(db_);
    }

    bool ready() const {
        return db_ && countStatement_ && trimOldest_ && trimOffset_ && insert_;
    }

    bool fill(std::int64_t rows) {
        if (!exec("DELETE FROM raw_events") || !exec("BEGIN")) return false;
        for (std::int64_t i = 0; i < rows; ++i) insertEvent();
        count_.reset();
        return exec("COMMIT");
    }

    void storeEvents(int events, int perTransaction, Trim trim) {
        for (int stored = 0; stored < events;) {
            exec("BEGIN EXCLUSIVE TRANSACTION");
            const int batch = std::min(perTransaction, events - stored);
            // As the engine trims: once after the inserts of a transaction, before an event stored alone.
            const bool trimOnce = trim == Trim::Counted && batch > 1;
            for (int i = 0; i < batch; ++i, ++stored) {
                if (!trimOnce) trim == Trim::Counted ? trimCounted(kKept - 1) : trimPlain();
                insertEvent();
            }
            if (trimOnce) trimCounted(kKept);
            exec("END TRANSACTION");
        }
    }

private:
    bool exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

    void insertEvent() {
        sqlite3_bind_blob(insert_, 1, data_.data(), static_cast<int>(data_.size()), SQLITE_STATIC);
        sqlite3_bind_int64(insert_, 2, 0);
        sqlite3_bind_int64(insert_, 3, 42);
        sqlite3_bind_text(insert_, 4, "session_started", -1, SQLITE_STATIC);
        sqlite3_bind_double(insert_, 5, 1.7e9);
        sqlite3_step(insert_);
        sqlite3_reset(insert_);
        if (count_) ++*count_;
    }

    // Keeps the newest `kept` rows.
    void trimCounted(std::int64_t kept) {
        if (!count_) {
            sqlite3_step(countStatement_);
            count_ = sqlite3_column_int64(countStatement_, 0);
            sqlite3_reset(countStatement_);
        }
        if (*count_ <= kept) return;
        sqlite3_bind_int64(trimOldest_, 1, *count_ - kept);
        sqlite3_step(trimOldest_);
        sqlite3_reset(trimOldest_);
        *count_ -= sqlite3_changes(db_);
    }

    void trimPlain() {
        sqlite3_bind_int64(trimOffset_, 1, kKept - 1);
        sqlite3_step(trimOffset_);
        sqlite3_reset(trimOffset_);
        count_.reset();
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* countStatement_ = nullptr;
    sqlite3_stmt* trimOldest_ = nullptr;
    sqlite3_stmt* trimOffset_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    std::optional<std::int64_t> count_;
    Value::Data data_;
};

void BM_PlainSqlite(benchmark::State& state, Trim trim) {
    quorvel::bench::processDataRoot();
    const std::int64_t rows = state.range(0);
    const auto measured = eventsPerTransaction().find(rows);
    const int perTransaction =
        measured == eventsPerTransaction().end() ? 1 : std::max(1, static_cast<int>(measured->second + 0.5));
    // The plain trim walks the whole table for every event, so fewer events keep its run short.
    const int events = trim == Trim::PlainSQL ? 2000 : kEvents;
    double cpu = 0;
    std::unique_ptr<PlainStore> store;
    for (auto _ : state) {
        state.PauseTiming();
        // A database file made anew for each run, as the engine's is: inserts into a new file grow it,
        // where inserts into an emptied one reuse its free pages.
        store.reset();
        store = std::make_unique<PlainStore>("plain-sqlite.sql");
        if (!store->ready()) return state.SkipWithError("no plain store");
        if (!store->fill(rows)) return state.SkipWithError("cannot fill the plain store");
        state.ResumeTiming();
        const double cpuBefore = processCpuMicroseconds();
        store->storeEvents(events, perTransaction, trim);
        cpu += processCpuMicroseconds() - cpuBefore;
    }
    state.SetItemsProcessed(state.iterations() * events);
    state.counters["events_per_transaction"] = perTransaction;
    state.counters["cpu_us_per_event"] = cpu / static_cast<double>(state.iterations() * events);
}

constexpr int kWritesPerTransaction = 1000;

std::string numbered(std::string prefix, std::int64_t number) {
    prefix += std::to_string(number);
    return prefix;
}

// A database of its own, emptied, with `rows` rows written by `write(i)` in one transaction.
std::shared_ptr<APMDatabase> filledDatabase(const std::string& name, std::int64_t rows,
                                            const std::function<bool(APMDatabase&, std::int64_t)>& write) {
    quorvel::bench::processDataRoot();
    auto database = APMDatabase::initWithDatabaseName(name, nullptr, nullptr);
    if (!database || !database->reset(nullptr)) return nullptr;
    const bool filled = database->performTransaction([&] {
        for (std::int64_t i = 0; i < rows; ++i) {
            if (!write(*database, i)) return false;
        }
        return true;
    });
    return filled ? database : nullptr;
}

bool writeCounters(APMDatabase& database, std::int64_t index, std::int32_t lifetimeCount) {
    return database.updateEventAggregates(
        analytics::APMEventAggregates::initWithName(numbered("e", index), lifetimeCount, 1, 1, 1.7e9),
        nullptr);
}

// The per-name counters each stored event updates, with 1 and 1,000 names stored (1,000 fills the table,
// so each write checks the limit on a full table).
void BM_EventCounterUpdate(benchmark::State& state) {
    const std::int64_t names = state.range(0);
    const auto database = filledDatabase("bench-counters.sql", names, [](APMDatabase& store, std::int64_t i) {
        return writeCounters(store, i, 1);
    });
    if (!database) return state.SkipWithError("cannot fill the counters");
    std::int32_t count = 1;
    for (auto _ : state) {
        ++count;
        const bool written = database->performTransaction([&] {
            for (int i = 0; i < kWritesPerTransaction; ++i) {
                if (!writeCounters(*database, i % names, count)) return false;
            }
            return true;
        });
        if (!written) return state.SkipWithError("counters refused");
    }
    state.SetItemsProcessed(state.iterations() * kWritesPerTransaction);
}

// New purchase fingerprints with none and 1,000 (the number kept) stored: past 1,000 each one trims.
void BM_PurchaseFingerprint(benchmark::State& state) {
    std::int64_t next = 0;
    const auto insert = [&next](APMDatabase& database) {
        return database.insertIfNotDuplicatePurchaseFingerprint(numbered("tx-", next++), nullptr) == true;
    };
    const auto database = filledDatabase("bench-purchases.sql", state.range(0),
                                         [&](APMDatabase& store, std::int64_t) { return insert(store); });
    if (!database) return state.SkipWithError("cannot fill the fingerprints");
    for (auto _ : state) {
        const bool stored = database->performTransaction([&] {
            for (int i = 0; i < kWritesPerTransaction; ++i) {
                if (!insert(*database)) return false;
            }
            return true;
        });
        if (!stored) return state.SkipWithError("fingerprint refused");
    }
    state.SetItemsProcessed(state.iterations() * kWritesPerTransaction);
}

}  // namespace

// Each run at 0, 10,000 and kKept stored rows, three times, in wall-clock milliseconds.
static void atStoredRows(benchmark::internal::Benchmark* run) {
    run->Arg(0)->Arg(10000)->Arg(kKept)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_EndToEnd)->Apply(atStoredRows)->Apply(quorvel::bench::repeated)->Repetitions(3);
BENCHMARK_CAPTURE(BM_PlainSqlite, counted_trim, Trim::Counted)->Apply(atStoredRows)->Apply(quorvel::bench::repeated)->Repetitions(3);
// Ten seconds an iteration at 100,000 rows and outside the table: run once.
BENCHMARK_CAPTURE(BM_PlainSqlite, plain_trim, Trim::PlainSQL)->Apply(atStoredRows);
BENCHMARK(BM_EventCounterUpdate)->Arg(1)->Arg(APMDatabase::kEventsTableLimit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PurchaseFingerprint)
    ->Arg(0)
    ->Arg(APMDatabase::kPurchaseTransactionsLimit)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
