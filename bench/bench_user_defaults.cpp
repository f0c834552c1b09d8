// A burst of writes of mixed kinds to one preferences suite, then the durable write that keeps them
// (flushAll: the file written whole, synced and put in place), beside its baseline: the same writes
// into a plain map, serialised and written durably with plain POSIX calls, the same steps (temporary
// file, fsync, rename, fsync of the folder) and nothing else.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_folder.h"
#include "bench/bench_repetitions.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/foundation/property_list.h"

namespace {

// The i-th of a round's writes: values of the four common kinds over up to 500 keys, different each round.
std::pair<std::string, platform::Value> nthWrite(int i, std::int64_t round) {
    std::string key = "key." + std::to_string(i % 500);
    switch (i % 4) {
        case 0:
            return {std::move(key), platform::Value(round * i)};
        case 1:
            return {std::move(key), platform::Value(0.1 * static_cast<double>(round + i))};
        case 2:
            return {std::move(key), platform::Value((round + i) % 2 == 0)};
        default: {
            platform::Value text(std::to_string(round) + "-" + key);
            return {std::move(key), std::move(text)};
        }
    }
}

// A temporary data root with one suite in it, removed at the end.
class Suite {
public:
    Suite() {
        std::string pattern = quorvel::bench::freshFolder();
        if (pattern.empty()) return;
        root_ = pattern;
        platform::DataRoot::setPath(root_);
        platform::NSUserDefaults::resetAllForTesting();
        defaults = platform::NSUserDefaults::suiteNamed("bench");
    }
    ~Suite() {
        platform::NSUserDefaults::resetAllForTesting();
        std::error_code ignored;
        if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
    }

    void write(int writes, std::int64_t round) {
        for (int i = 0; i < writes; ++i) {
            auto [key, value] = nthWrite(i, round);
            defaults->setObject(value, key);
        }
    }

    // Virtual time: the coalesced background write never fires, so only flushAll writes.
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    std::shared_ptr<platform::NSUserDefaults> defaults;
    std::filesystem::path root_;
};

void BM_WritesThenFlush(benchmark::State& state) {
    Suite suite;
    if (!suite.defaults) return state.SkipWithError("no temporary folder");
    const auto writes = static_cast<int>(state.range(0));
    std::int64_t round = 0;
    for (auto _ : state) {
        const auto filesBefore = suite.defaults->fileWriteCount();
        suite.write(writes, ++round);
        if (!platform::NSUserDefaults::flushAll() || suite.defaults->fileWriteCount() != filesBefore + 1) {
            state.SkipWithError("the suite's file was not written");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * writes);
}
BENCHMARK(BM_WritesThenFlush)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Apply(
    quorvel::bench::repeated);

bool writeDurably(const std::filesystem::path& path, const std::string& bytes) {
    std::string name = ".";
    name.append(path.filename().string()).append(".tmp");
    const auto temporary = path.parent_path() / name;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    const int folder = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ok = ok && folder >= 0 && ::fsync(folder) == 0;
    if (folder >= 0) ::close(folder);
    return ok;
}

// The baseline: the same writes into a plain map holding what the suite holds, that map serialised and
// its bytes written durably. The durable write's wait on the disk is most of either's wall time and
// varies, so the table compares their CPU time too.
void BM_PlainDurableWrite(benchmark::State& state) {
    Suite suite;
    if (!suite.defaults) return state.SkipWithError("no temporary folder");
    const auto writes = static_cast<int>(state.range(0));
    suite.write(writes, 1);
    platform::Value::Dictionary values = suite.defaults->dictionaryRepresentation();
    const auto path = suite.root_ / "plain.plist";
    std::int64_t round = 1;
    for (auto _ : state) {
        ++round;
        for (int i = 0; i < writes; ++i) {
            auto [key, value] = nthWrite(i, round);
            values.insert_or_assign(std::move(key), std::move(value));
        }
        const auto bytes = platform::PropertyList::serialize(platform::Value(values));
        if (!bytes || !writeDurably(path, *bytes)) {
            state.SkipWithError("cannot write the file");
            break;
        }
    }
}
BENCHMARK(BM_PlainDurableWrite)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Apply(
    quorvel::bench::repeated);

}  // namespace

BENCHMARK_MAIN();
