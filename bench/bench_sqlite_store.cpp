#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "analytics/storage/apm_sqlite_store.h"
#include "bench/bench_folder.h"

using analytics::APMSqliteStore;
using platform::Value;

namespace {

constexpr int kRows = 1000;
const std::string kQuery = "SELECT id, value FROM t WHERE id = ?";

// A store in a temporary folder with kRows rows keyed by id (the row id, so a lookup costs little next
// to preparing); removed with the fixture.
class StoreFixture {
public:
    StoreFixture() {
        std::string pattern = quorvel::bench::freshFolder();
        if (pattern.empty()) return;
        folder_ = pattern;
        store_ = APMSqliteStore::initWithDatabasePath((folder_ / "bench.sql").string(), nullptr);
        if (!store_ || !store_->ensureTableWithName("t", {{"id", "INTEGER PRIMARY KEY"}, {"value", "TEXT"}},
                                                    {}, nullptr))
            store_ = nullptr;
        if (store_) {
            store_->performTransactionWithError(nullptr, [this] {
                for (int id = 0; id < kRows; ++id) {
                    if (!store_->upsertRecord(
                            {{"id", Value(id)}, {"value", Value("row " + std::to_string(id))}}, "t", nullptr))
                        return false;
                }
                return true;
            });
        }
    }
    ~StoreFixture() {
        store_ = nullptr;
        if (!folder_.empty()) std::filesystem::remove_all(folder_);
    }

    APMSqliteStore* store() const { return store_.get(); }

private:
    std::filesystem::path folder_;
    std::shared_ptr<APMSqliteStore> store_;
};

// One row by its key through the statement cache: after the first call the statement is only reset,
// bound and stepped.
void BM_CachedStatement(benchmark::State& state) {
    StoreFixture fixture;
    if (!fixture.store()) return state.SkipWithError("no store");
    int id = 0;
    for (auto _ : state) {
        auto records = fixture.store()->recordsForQuery(kQuery, {Value(id++ % kRows)}, nullptr);
        if (!records || records->size() != 1) return state.SkipWithError("query failed");
        benchmark::DoNotOptimize(records);
    }
}
BENCHMARK(BM_CachedStatement);

// The same query and the same record building, with the statement prepared and finalized on every call.
void BM_PreparePerCall(benchmark::State& state) {
    StoreFixture fixture;
    if (!fixture.store()) return state.SkipWithError("no store");
    APMSqliteStore& store = *fixture.store();
    int id = 0;
    for (auto _ : state) {
        sqlite3_stmt* statement = store.prepareSQL(kQuery, nullptr);
        const APMSqliteStore::Values values{Value(id++ % kRows)};
        if (!statement || !store.bindValues(values, statement, nullptr))
            return state.SkipWithError("prepare failed");
        std::vector<APMSqliteStore::Record> records;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            APMSqliteStore::Record record;
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                if (auto value = APMSqliteStore::valueAtColumn(column, statement))
                    record.emplace(sqlite3_column_name(statement, column), std::move(*value));
            }
            records.push_back(std::move(record));
        }
        sqlite3_finalize(statement);
        if (records.size() != 1) return state.SkipWithError("query failed");
        benchmark::DoNotOptimize(records);
    }
}
BENCHMARK(BM_PreparePerCall);

}  // namespace

BENCHMARK_MAIN();
