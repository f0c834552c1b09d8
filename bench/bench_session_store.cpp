#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/core/core_data_manager.h"
#include "app/core/p_file_manager.h"
#include "bench/bench_folder.h"
#include "bench/bench_repetitions.h"
#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"

namespace {

constexpr int kSessions = 100000;
constexpr double kSpacing = 600.0;  // one session every ten minutes: 100,000 span about 694 days

// A fresh data root with a store of `count` sessions, written in one save.
bool makeStore(int count) {
    std::string pattern = quorvel::bench::freshFolder();
    if (pattern.empty()) return false;
    platform::DataRoot::setPath(pattern);
    auto manager = quorvel::CoreDataManager::shared();
    manager->setUpStore();
    auto context = quorvel::CoreDataManager::context();
    if (!context) return false;
    manager->setNumberHolder(quorvel::NumberHolder::fetchOrInsert(*context));
    for (int i = 0; i < count; ++i) {
        auto session =
            std::dynamic_pointer_cast<quorvel::Session>(context->insertNewObjectForEntityForName("Session"));
        session->setTimestamp(platform::NSDate(i * kSpacing));
        session->setDuration(25);
        session->setType(0);
    }
    return manager->save();
}

void removeStore() {
    std::filesystem::remove_all(platform::DataRoot::path());
}

// One session stored the way the timer stores it: its own transaction, synced to disk.
void BM_InsertSessionInto100k(benchmark::State& state) {
    if (!makeStore(kSessions)) return state.SkipWithError("no store");
    auto manager = quorvel::CoreDataManager::shared();
    double stamp = kSessions * kSpacing;
    for (auto _ : state) {
        if (!manager->insertSession(25, quorvel::SessionType::focus, platform::NSDate(stamp += kSpacing)))
            state.SkipWithError("insert failed");
    }
    removeStore();
}
BENCHMARK(BM_InsertSessionInto100k)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// 100,000 sessions inserted and saved in one go (a first import of another device's history).
void BM_Insert100kInOneSave(benchmark::State& state) {
    for (auto _ : state) {
        if (!makeStore(kSessions)) state.SkipWithError("no store");
        state.PauseTiming();
        removeStore();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Insert100kInOneSave)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// One fetch of every session, dropped again as a caller would: each way of reading is one function,
// so that a profiler (valgrind --tool=callgrind --toggle-collect=<name>) counts it and nothing else.
[[gnu::noinline]] std::size_t fetchAllAsObjects(quorvel::CoreDataManager& manager) {
    const auto sessions = manager.fetchAllSessions();
    benchmark::DoNotOptimize(sessions.data());
    return sessions.size();
}

void BM_FetchAllOf100k(benchmark::State& state) {
    if (!makeStore(kSessions)) return state.SkipWithError("no store");
    auto manager = quorvel::CoreDataManager::shared();
    for (auto _ : state) {
        if (fetchAllAsObjects(*manager) != static_cast<std::size_t>(kSessions)) state.SkipWithError("wrong count");
    }
    removeStore();
}
BENCHMARK(BM_FetchAllOf100k)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated);

// The baseline: the same sessions read straight through SQLite into plain structs, newest first.
struct PlainSession {
    double timestamp;
    std::int64_t duration;
    std::int64_t type;
    std::string uniqueIdentifier;
};

[[gnu::noinline]] std::size_t fetchAllAsStructs(sqlite3_stmt* rows) {
    std::vector<PlainSession> sessions;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(rows, 3));
        sessions.push_back({sqlite3_column_double(rows, 0), sqlite3_column_int64(rows, 1), sqlite3_column_int64(rows, 2),
                            text ? std::string(text, std::size_t(sqlite3_column_bytes(rows, 3))) : ""});
    }
    sqlite3_reset(rows);
    benchmark::DoNotOptimize(sessions.data());
    return sessions.size();
}

void BM_PlainSqliteFetchAllOf100k(benchmark::State& state) {
    if (!makeStore(kSessions)) return state.SkipWithError("no store");
    const auto file = *quorvel::PFileManager::shared()->storeDirectoryURL() / "store.sqlite";
    sqlite3* db = nullptr;
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db,
                           "SELECT timestamp, duration, type, uniqueIdentifier FROM Session "
                           "ORDER BY timestamp DESC, _pk DESC",
                           -1, &rows, nullptr) != SQLITE_OK) {
        state.SkipWithError("cannot read the store");
    } else {
        for (auto _ : state) {
            if (fetchAllAsStructs(rows) != static_cast<std::size_t>(kSessions)) state.SkipWithError("wrong count");
        }
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    removeStore();
}
BENCHMARK(BM_PlainSqliteFetchAllOf100k)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated);

void BM_Fetch30DaysOf100k(benchmark::State& state) {
    if (!makeStore(kSessions)) return state.SkipWithError("no store");
    auto manager = quorvel::CoreDataManager::shared();
    const platform::NSDate to((kSessions - 1) * kSpacing);
    const platform::NSDate from = to.dateByAddingTimeInterval(-30 * 86400.0);
    for (auto _ : state) {
        auto sessions = manager->fetchSessions(from, to);
        if (sessions.size() != 4321) state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(sessions);
    }
    removeStore();
}
BENCHMARK(BM_Fetch30DaysOf100k)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Start-up's store steps over 100,000 sessions, including the check that the file is sound.
void BM_OpenStoreOf100k(benchmark::State& state) {
    if (!makeStore(kSessions)) return state.SkipWithError("no store");
    auto manager = quorvel::CoreDataManager::shared();
    for (auto _ : state) {
        // The opening writes a line naming the model and the file, the same every run: kept here, and
        // written out only when the opening failed.
        platform::Console::Capture opening;
        manager->setUpStore();
        const auto context = quorvel::CoreDataManager::context();
        if (!context || opening.lines().size() != 1) {
            for (const auto& line : opening.lines()) std::fprintf(stderr, "%s\n", line.c_str());
            state.SkipWithError("the store did not open as it does at start-up");
            break;
        }
        manager->setNumberHolder(quorvel::NumberHolder::fetchOrInsert(*context));
    }
    removeStore();
}
BENCHMARK(BM_OpenStoreOf100k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
