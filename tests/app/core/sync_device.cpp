// One device of the two-process sync test. Arguments: data root, cloud folder, how many sessions to
// store first, the timestamp of the first. Stores them, syncs twice (a leech, then a merge, or two
// merges) and prints the unique identifier of every session in its store, then "END".
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/core/cloud_sync_manager.h"
#include "app/core/core_data_manager.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_run_loop.h"

namespace {

bool syncAndWait() {
    bool done = false;
    quorvel::CloudSyncManager::shared()->synchronize([&] { done = true; });
    for (int i = 0; i < 600 && !done; ++i) platform::NSRunLoop::main().runOnce(0.05);
    return done;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) return 2;
    ::setenv("QUORVEL_CLOUD", argv[2], 1);
    platform::DataRoot::setPath(argv[1]);
    const long count = std::atol(argv[3]);
    const double first = std::atof(argv[4]);

    auto manager = quorvel::CoreDataManager::shared();
    manager->setUpStore();
    auto context = quorvel::CoreDataManager::context();
    if (!context) return 1;
    manager->setNumberHolder(quorvel::NumberHolder::fetchOrInsert(*context));
    manager->save();
    for (long i = 0; i < count; ++i) {
        if (!manager->insertSession(25, quorvel::SessionType::focus, platform::NSDate(first + i))) return 1;
    }
    if (!syncAndWait() || !syncAndWait()) return 3;
    for (const auto& session : manager->fetchAllSessions())
        std::printf("%s\n", session->uniqueIdentifier().c_str());
    std::printf("END\n");
    return 0;
}
