// Opens arbitrary bytes as the session store's file, as a damaged disk or another program may leave
// it, reads every record and stores one more session. Whatever the file held, the store opens (a
// damaged file set aside for a new one, one it cannot use refused), reads without a crash, and a
// session whose save succeeded reads back.
#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "fuzz/platform/coredata/session_store_context.h"
#include "fuzz/support/fuzz_folder.h"
#include "platform/foundation/console.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const quorvel::fuzzing::FuzzFolder scratch("session-store-fuzz");
    const fs::path& folder = scratch.path();
    fs::remove_all(folder);
    fs::create_directories(folder);
    const auto store = folder / "store.sqlite";
    std::ofstream(store, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    platform::Console::Capture quiet;
    const auto context = quorvel::fuzzing::openSessionStore(store);
    if (!context) std::abort();
    bool saved = false;
    context->performBlockAndWait([&] {
        for (const char* entity : {"Session", "NumberHolder", "GoalDaily"})
            quorvel::fuzzing::readAll(*context, entity);
        auto session = context->insertNewObjectForEntityForName("Session");
        session->setValueForKey(platform::NSDate(1000), "timestamp");
        session->setValueForKey(std::int64_t{25}, "duration");
        session->setValueForKey(std::string("fuzz-new"), "uniqueIdentifier");
        saved = context->save();
    });
    if (!saved) return 0;
    const auto reopened = quorvel::fuzzing::openSessionStore(store);
    reopened->performBlockAndWait([&] {
        const auto ids = quorvel::fuzzing::readAll(*reopened, "Session");
        if (std::find(ids.begin(), ids.end(), "fuzz-new") == ids.end()) std::abort();
    });
    return 0;
}
