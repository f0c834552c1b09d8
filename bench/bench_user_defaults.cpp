// A burst of writes of mixed kinds to one preferences suite, then the durable write that keeps them
// (flushAll: the file written whole, synced and put in place), beside its baseline: the same file's
// bytes written durably with plain POSIX calls, the same steps (temporary file, fsync, rename, fsync
// of the folder) and nothing else.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_folder.h"
#include "bench/bench_repetitions.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/foundation/property_list.h"

namespace {

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

    // `writes` values of the four common kinds over up to 500 keys, different each round.
    void write(int writes, std::int64_t round) {
        for (int i = 0; i < writes; ++i) {
            const std::string key = "key." + std::to_string(i % 500);
            switch (i % 4) {
                case 0:
                    defaults->setInteger(round * i, key);
                    break;
                case 1:
                    defaults->setDouble(0.1 * static_cast<double>(round + i), key);
                    break;
                case 2:
                    defaults->setBool((round + i) % 2 == 0, key);
                    break;
                default:
                    defaults->setString(std::to_string(round) + "-" + key, key);
                    break;
            }
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

// The baseline: the bytes the suite's file holds after the same writes, written durably.
void BM_PlainDurableWrite(benchmark::State& state) {
    Suite suite;
    if (!suite.defaults) return state.SkipWithError("no temporary folder");
    suite.write(static_cast<int>(state.range(0)), 1);
    const auto bytes =
        platform::PropertyList::serialize(platform::Value(suite.defaults->dictionaryRepresentation()));
    if (!bytes) return state.SkipWithError("cannot serialize the suite");
    const auto path = suite.root_ / "plain.plist";
    for (auto _ : state) {
        if (!writeDurably(path, *bytes)) {
            state.SkipWithError("cannot write the file");
            break;
        }
    }
}
BENCHMARK(BM_PlainDurableWrite)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Apply(
    quorvel::bench::repeated);

}  // namespace

BENCHMARK_MAIN();
