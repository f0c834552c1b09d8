#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_user_defaults.h"

namespace {

// A burst of writes of mixed kinds to one suite, then the one file write that persists them.
void BM_WritesThenSynchronize(benchmark::State& state) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path root = pattern;
    platform::DataRoot::setPath(root);
    // Virtual time: the coalesced background write never fires, so only synchronize() writes.
    auto clock = platform::VirtualClock::install();
    platform::NSUserDefaults::resetAllForTesting();
    auto defaults = platform::NSUserDefaults::suiteNamed("bench");

    const auto writes = static_cast<int>(state.range(0));
    std::vector<std::string> keys;
    for (int i = 0; i < writes; ++i) keys.push_back("key." + std::to_string(i % 500));
    std::int64_t round = 0;
    for (auto _ : state) {
        ++round;
        for (int i = 0; i < writes; ++i) {
            switch (i % 4) {
                case 0:
                    defaults->setInteger(round * i, keys[i]);
                    break;
                case 1:
                    defaults->setDouble(0.1 * static_cast<double>(round + i), keys[i]);
                    break;
                case 2:
                    defaults->setBool((round + i) % 2 == 0, keys[i]);
                    break;
                default:
                    defaults->setString(std::to_string(round) + "-" + keys[i], keys[i]);
                    break;
            }
        }
        if (!defaults->synchronize()) state.SkipWithError("synchronize failed");
    }
    state.SetItemsProcessed(state.iterations() * writes);

    platform::NSUserDefaults::resetAllForTesting();
    std::filesystem::remove_all(root);
}

BENCHMARK(BM_WritesThenSynchronize)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
