// Writes numbered changes to one of the stores the system keeps and prints each number once its write
// returned (the change is then committed), until it is killed or has made `count` changes:
//   store_writer <store> <data root> <first number> [count]
// sessions     each number a focus session stored through the session store, its timestamp the number
// preferences  each number a key of the standard suite and of the app-group suite, flushed to the files
// measurement  each number an event logged through the analytics interface and stored by its engine
// dictionary   each number a key of a persistent dictionary, written to its file
// sync         each number a session as above, then merged through the cloud folder ($QUORVEL_CLOUD)
// and, to read what the cloud holds, as another device:
//   store_writer synced <data root>   merges and prints the number of every session it then holds;
//                                      fails when a session is there twice
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>

#include "analytics/interface/dzr_app.h"
#include "analytics/interface/rov_eruzovaza.h"
#include "analytics/storage/apm_persistent_dictionary.h"
#include "app/core/cloud_sync_manager.h"
#include "app/core/core_data_manager.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/foundation/pending_work.h"
#include "tests/reliability/store_contents.h"

using platform::Value;

namespace {

// What each write carries besides its number, so a write takes long enough to be killed inside.
const std::string kFiller(16 * 1024, 'f');

bool report(long number) {
    const std::string line = std::to_string(number) + "\n";
    return ::write(STDOUT_FILENO, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

// Writes `number` and says whether it is committed.
using Write = std::function<bool(long number)>;

Write sessions() {
    auto manager = quorvel::CoreDataManager::shared();
    manager->setUpStore();
    auto context = quorvel::CoreDataManager::context();
    if (!context) return nullptr;
    manager->setNumberHolder(quorvel::NumberHolder::fetchOrInsert(*context));
    if (!manager->save()) return nullptr;
    return [manager](long number) {
        return manager->insertSession(number % 90, quorvel::SessionType::focus,
                                      quorvel::testing::sessionTimestampOf(number));
    };
}

// Waits for the merge a save started, then runs one of its own to its end.
bool syncAndWait() {
    const auto sync = quorvel::CloudSyncManager::shared();
    if (!sync->ensemble()) return false;
    auto& loop = platform::NSRunLoop::main();
    for (int attempt = 0; attempt < 10; ++attempt) {
        while (sync->ensemble()->isMerging()) loop.runOnce(0.01);
        bool done = false;
        sync->synchronize([&done] { done = true; });
        for (int wait = 0; wait < 500 && !done; ++wait) loop.runOnce(0.01);
        if (done) return true;
    }
    return false;
}

Write mergedSessions() {
    const Write store = sessions();
    if (!store || !syncAndWait()) return nullptr;
    return [store](long number) { return store(number) && syncAndWait(); };
}

int reportSynced() {
    if (!sessions() || !syncAndWait() || !syncAndWait()) return 1;
    std::set<std::string> identifiers;
    for (const auto& session : quorvel::CoreDataManager::shared()->fetchAllSessions()) {
        if (!identifiers.insert(session->uniqueIdentifier()).second) return 3;
        const auto timestamp = session->timestamp();
        if (timestamp && !report(static_cast<long>(timestamp->timeIntervalSinceReferenceDate() - 1000.0)))
            return 1;
    }
    return 0;
}

Write preferences() {
    const auto standard = platform::NSUserDefaults::standardUserDefaults();
    const auto shared =
        platform::NSUserDefaults::suiteNamed(quorvel::UserDefaultProperties::kAppGroupSuiteName);
    standard->setString(kFiller, "filler");
    return [=](long number) {
        const auto key = quorvel::testing::keyOf(number);
        standard->setInteger(number, key);
        shared->setInteger(number, key);
        return platform::NSUserDefaults::flushAll();
    };
}

Write measurement() {
    analytics::DZRApp::configure();
    return [](long number) {
        analytics::ROVEruzovaza::logEventWithName("kill_test",
                                                  {{"seq", Value(number)}, {"filler", Value("f")}});
        while (!platform::PendingWork::shared().idle())
            platform::PendingWork::shared().waitForChange(std::chrono::milliseconds(10));
        return true;
    };
}

Write dictionary() {
    auto store = analytics::APMPersistentDictionary::initWithFileName(quorvel::testing::kDictionaryName);
    if (!store) return nullptr;
    store->setObject(Value(kFiller), "filler");
    return [store](long number) {
        store->setObject(Value(number), quorvel::testing::keyOf(number));
        store->persistToDisk();
        return true;
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "synced") {
        platform::DataRoot::setPath(argv[2]);
        return reportSynced();
    }
    if (argc != 4 && argc != 5) return 2;
    platform::DataRoot::setPath(argv[2]);
    const std::map<std::string, std::function<Write()>> stores{{"sessions", sessions},
                                                               {"preferences", preferences},
                                                               {"measurement", measurement},
                                                               {"dictionary", dictionary},
                                                               {"sync", mergedSessions}};
    const auto found = stores.find(argv[1]);
    if (found == stores.end()) return 2;
    const Write write = found->second();
    if (!write) return 1;
    const long first = std::atol(argv[3]);
    const long end = argc == 5 ? first + std::atol(argv[4]) : std::numeric_limits<long>::max();
    for (long number = first; number < end; ++number) {
        if (write(number) && !report(number)) return 1;
    }
    return 0;
}
