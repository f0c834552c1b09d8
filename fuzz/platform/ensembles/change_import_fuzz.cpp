// Puts arbitrary bytes into the cloud folder as another device's change file and lets the session
// store's ensemble merge it. Whatever the file holds, the merge ends, the store stays readable and
// no session is there twice.
#include <cstdlib>
#include <future>
#include <set>

#include "fuzz/platform/coredata/session_store_context.h"
#include "fuzz/support/fuzz_folder.h"
#include "platform/ensembles/cde_persistent_store_ensemble.h"
#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kEnsemble = "PomodoroStore";

// Identifies records by their "uniqueIdentifier", as the app does.
class Identifiers : public platform::CDEPersistentStoreEnsembleDelegate {
public:
    void persistentStoreEnsembleDidSaveMergeChangesWithNotification(
        platform::CDEPersistentStoreEnsemble&, const platform::NSNotification&) override {}
    std::vector<std::string> persistentStoreEnsembleGlobalIdentifiersForManagedObjects(
        platform::CDEPersistentStoreEnsemble&,
        const std::vector<std::shared_ptr<platform::NSManagedObject>>& objects) override {
        std::vector<std::string> ids;
        for (const auto& object : objects) {
            const auto id = object->valueForKey("uniqueIdentifier");
            ids.push_back(id.stringValue() ? *id.stringValue() : "");
        }
        return ids;
    }
};

template <typename Start>
void finish(Start start) {
    std::promise<void> done;
    start([&](std::shared_ptr<platform::NSError>) { done.set_value(); });
    done.get_future().wait();
}

struct Device {
    Device() {
        ::setenv("QUORVEL_CLOUD", (folder / "cloud").c_str(), 1);
        platform::DataRoot::setPath(folder / "root");
        fs::create_directories(folder / "root");
        store = folder / "root" / "store.sqlite";
        fileSystem = std::make_shared<platform::CDEICloudFileSystem>(std::nullopt);
        ensemble = platform::CDEPersistentStoreEnsemble::initWithEnsembleIdentifier(
            kEnsemble, store, quorvel::fuzzing::sessionModel(), fileSystem);
        ensemble->setDelegate(identifiers);
        finish([&](auto done) { ensemble->leechPersistentStoreWithCompletion(done); });
        if (!ensemble->isLeeched()) std::abort();
    }

    quorvel::fuzzing::FuzzFolder scratch{"change-import-fuzz"};
    const fs::path& folder = scratch.path();
    fs::path store;
    std::shared_ptr<Identifiers> identifiers = std::make_shared<Identifiers>();
    std::shared_ptr<platform::CDEICloudFileSystem> fileSystem;
    std::shared_ptr<platform::CDEPersistentStoreEnsemble> ensemble;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::Console::Capture quiet;
    static Device device;
    static long count = 0;
    const std::string path = std::string(kEnsemble) + "/changes/other/" + std::to_string(++count) + ".plist";
    device.fileSystem->createDirectoryAtPath(std::string(kEnsemble) + "/changes/other", nullptr);
    if (!device.fileSystem->writeFileAtPath(path, std::string(reinterpret_cast<const char*>(data), size),
                                            nullptr))
        std::abort();
    finish([&](auto done) { device.ensemble->mergeWithCompletion(done); });
    fs::remove(device.fileSystem->containerDirectory() / path);  // a file it skipped would be read again

    const auto context = quorvel::fuzzing::openSessionStore(device.store);
    context->performBlockAndWait([&] {
        std::set<std::string> seen;
        for (const auto& id : quorvel::fuzzing::readAll(*context, "Session")) {
            if (!seen.insert(id).second) std::abort();  // one record imported as two sessions
        }
    });
    return 0;
}
